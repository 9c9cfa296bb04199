#include "progress/progressterm.h"

#include <cstdio>
#include <string>

#include "progress/progresswindow.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

struct Terminal {
    bool enabled = false;
    bool ansi = false;  // cursor movement available: both lines are redrawn
    bool drawn = false;
    int columns = 80;
};
Terminal term;

void measure()
{
#ifdef _WIN32
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    term.ansi = GetConsoleMode(err, &mode) &&
                SetConsoleMode(err, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(err, &info))
        term.columns = info.srWindow.Right - info.srWindow.Left + 1;
#else
    term.ansi = true;
    winsize ws{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        term.columns = ws.ws_col;
#endif
}

// A line never reaches the last column, so the terminal never wraps it and
// the cursor stays where the redraw expects it.
std::string fit(std::string line)
{
    const std::size_t room = term.columns > 1 ? static_cast<std::size_t>(term.columns - 1) : 1;
    if (line.size() > room)
        line.resize(room);
    return line;
}

}  // namespace

void progterminal(bool enabled)
{
    term.enabled = enabled;
    if (enabled)
        measure();
}

void progend()
{
    if (term.drawn)
        std::fputc('\n', stderr);
    term.drawn = false;
}

void progshow(WindowHandle, ProgressWindow& record)
{
    progend();
    record.open = 1;
}

void progupdate(ProgressWindow& record)
{
    if (!term.enabled)
        return;
    constexpr int barWidth = 20;
    const int p = record.percentage < 0 ? 0 : record.percentage > 100 ? 100 : record.percentage;
    const int done = p * barWidth / 100;
    std::string bar = "  [" + std::string(done, '#') + std::string(barWidth - done, '-') + "] " +
                      std::to_string(p) + " %";
    std::string second = fit(record.secondLine + bar);
    if (term.ansi) {
        if (term.drawn)
            std::fputs("\r\x1b[1A", stderr);
        std::fprintf(stderr, "\x1b[2K%s\n\x1b[2K%s", fit(record.firstLine).c_str(), second.c_str());
    } else {
        std::fprintf(stderr, "\r%-*s", term.columns - 1, second.c_str());
    }
    std::fflush(stderr);
    term.drawn = true;
}
