#pragma once
// The Preferences command: the preferences in a generated dialog, written to
// the settings file whenever the dialog closes.

#include <cstdint>

#include "platform/frontend.h"

// Runs the dialog owned by owner, then saves every preference, whatever the
// dialog's outcome. Returns 0; also the converter dialog's onPrefs.
std::int32_t editprefs(WindowHandle owner);
