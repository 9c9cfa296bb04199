#include "support/recorder.h"

#include <utility>

#include "progress/progresswindow.h"

namespace {
Recorder recorded;
}

Recorder takerecorded()
{
    return std::exchange(recorded, Recorder{});
}

void messagebox(WindowHandle owner, const char* text, const char* caption)
{
    recorded.messages.push_back({owner, text, caption});
}

void progshow(WindowHandle, ProgressWindow& record)
{
    ++recorded.shows;
    record.open = 1;
}

void progupdate(ProgressWindow& record)
{
    recorded.reports.push_back({record.percentage, record.firstLine, record.secondLine});
}
