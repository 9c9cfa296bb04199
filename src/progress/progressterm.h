#pragma once
// The progress record drawn on a terminal by the command-line converter:
// the two text lines, redrawn in place, the second followed by a bar and
// the percentage.

// Draws only when enabled; the command line enables it when stderr is a
// terminal.
void progterminal(bool enabled);

// Ends a drawn bar so that the next output starts on a fresh line.
void progend();
