#pragma once
// What a generated dialog can show: the template has ten complete groups of
// 15 radio buttons, the dialog keeps 15 row slots per page, and a unit
// entry keeps its three letters and the one chosen.

#include "params/paramtable.h"

inline constexpr int maxPageGroups = 10;
inline constexpr int maxGroupOptions = groupOptions;

inline constexpr const char* kTooManyGroups = "Too many group items on pagkit dlg page.";
inline constexpr const char* kTooManyRows = "Too many rows on a dialog page: 15 fit.";
inline constexpr const char* kTooManyOptions = "Too many options in a dialog choice: 15 fit.";
inline constexpr const char* kNoPages = "A dialog table needs at least one page.";
inline constexpr const char* kBadUnit = "A dialog unit needs three unit letters and the letter chosen.";

// Option names of a choice or unit label: the text after its first ':'.
const char* optionnames(const char* label);

// The number of options of entry e: the names of its label, or its letters
// (a unit entry's selection slot is not one), whichever is more.
int optioncount(const ParamEntry& e);

// Why the table cannot be shown, page by page, or null when every page
// fits. Nothing of the table but its page sizes and entries is read.
const char* tablelimit(const ParamDialogSpec& spec);
