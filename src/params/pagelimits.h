#pragma once
// What one page of a generated dialog can hold: the template has ten
// complete groups of 15 radio buttons, and the dialog keeps 15 row slots.

#include "params/paramtable.h"

inline constexpr int maxPageGroups = 10;
inline constexpr int maxGroupOptions = groupOptions;

inline constexpr const char* kTooManyGroups = "Too many group items on pagkit dlg page.";
inline constexpr const char* kTooManyRows = "Too many rows on a dialog page: 15 fit.";
inline constexpr const char* kTooManyOptions = "Too many options in a dialog choice: 15 fit.";

// Option names of a choice or unit label: the text after its first ':'.
const char* optionnames(const char* label);

// The number of options of entry e: the names of its label, or its letters
// (a unit entry's selection slot is not one), whichever is more.
int optioncount(const ParamEntry& e);

// Why the page shown cannot be built, or null when it fits.
const char* pagelimit(const ParamDialogSpec& spec);
