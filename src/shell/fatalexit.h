#pragma once

// Shows message in a box without owner, captioned "Exiting on error", and
// ends the process with status once the box is closed. For table overflows,
// memory exhaustion and folders the program cannot do without.
[[noreturn]] void fatalexit(const char* message, int status);
