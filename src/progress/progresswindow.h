#pragma once
// The one record that describes the progress window. The conversion run
// writes its texts and percentage here and calls progupdate; how the record
// is shown depends on the front end: a modeless window in the desktop
// program, a bar on the terminal in the command-line converter.

#include <cstdint>
#include <string>

#include "platform/frontend.h"

struct ProgressWindow {
    int fontSize = 16;
    // The run-set texts are owned by the record so that they outlive the run:
    // the next window shows them and the caller reads outputName afterwards.
    std::string firstLine = "FancyDialog";
    std::string secondLine = "Line 2";
    int showFirstLine = 1;
    int showSecondLine = 0;
    int open = 1;
    int showCancel = 1;
    int left = 15, top = 15;
    int width = 220, height = 70;
    float barLeft = 0.1f;
    float barTop = 0.5f;
    float barHeight = 0.2f;
    int buttonWidth = 50;
    int buttonHeight = 14;
    const char* fontFace = "MS Sans Serif";
    std::uint32_t colour1 = 0xff0000;  // blue: red is the lowest byte
    std::uint32_t colour2 = 0xffffff;
    int lastButton = 0;
    int extraButtonsOn = 0;
    void* buttonEvent = nullptr;
    const char* buttonLabels[4] = {"&OK", "&Swps on", "&Epis on", "&Display"};
    int extraButtonCount = 4;
    int percentage = 0;
    int textHeight = 0;
    void* font = nullptr;
    void* instance = nullptr;
    WindowHandle window = nullptr;
    WindowHandle bar = nullptr;
    int buttonTop = 0;
    std::string outputName;
};

// Creates and shows the window (or its stand-in) for record.
void progshow(WindowHandle owner, ProgressWindow& record);

// Redraws both text lines and the bar from the record.
void progupdate(ProgressWindow& record);
