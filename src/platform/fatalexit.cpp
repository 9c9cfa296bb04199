#include "platform/frontend.h"

#include <cstdlib>

void fatalexit(const char* message, int status)
{
    messagebox(nullptr, message, "Exiting on error");
    std::exit(status);
}
