#pragma once
// A front end for tests: every message and progress report is recorded so
// that texts, captions and order can be asserted.

#include <functional>
#include <string>
#include <vector>

#include "platform/frontend.h"

struct RecordedMessage {
    WindowHandle owner;
    std::string text, caption;
};

struct RecordedReport {
    int percentage;
    std::string firstLine, secondLine;
};

struct Recorder {
    std::vector<RecordedMessage> messages;
    std::vector<RecordedReport> reports;
    int shows = 0;
};

// The calls since the last take; taking clears them.
Recorder takerecorded();

// When on, each message is also written to stderr as "caption: text", so a
// death test, whose recording dies with its process, can match it.
void echomessages(bool on);

// Runs action once, at the next progress report: for tests that act while a
// conversion is under way (another run, a file that grows).
void atnextreport(std::function<void()> action);
