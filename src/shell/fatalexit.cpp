#include "shell/fatalexit.h"

#include <cstdlib>

#include "platform/frontend.h"

void fatalexit(const char* message, int status)
{
    messagebox(nullptr, message, "Exiting on error");
    std::exit(status);
}
