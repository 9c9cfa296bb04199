#include "support/recorder.h"

#include <cstdio>
#include <utility>

#include "progress/progresswindow.h"

namespace {
Recorder recorded;
bool echo = false;
std::function<void()> nextreport;
}

Recorder takerecorded()
{
    return std::exchange(recorded, Recorder{});
}

void atnextreport(std::function<void()> action)
{
    nextreport = std::move(action);
}

void echomessages(bool on)
{
    echo = on;
}

void messagebox(WindowHandle owner, const char* text, const char* caption)
{
    recorded.messages.push_back({owner, text, caption});
    if (echo)
        std::fprintf(stderr, "%s: %s\n", caption, text);
}

void progshow(WindowHandle, ProgressWindow& record)
{
    ++recorded.shows;
    record.open = 1;
}

void progupdate(ProgressWindow& record)
{
    recorded.reports.push_back({record.percentage, record.firstLine, record.secondLine});
    if (auto action = std::exchange(nextreport, nullptr))
        action();
}
