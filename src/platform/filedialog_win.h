#pragma once
// The common file dialogs' record, as every file dialog of the program fills
// it in.

#include <windows.h>

#include <commdlg.h>

#include <cstddef>

// The record without the fields added after Windows 2000 (the places bar),
// which the program never uses: OPENFILENAME_SIZE_VERSION_400A, spelt with
// offsetof so that it is a constant. Its pointers make it 76 bytes in a
// 32-bit program and more in a 64-bit one, so it is never written as a number.
inline constexpr DWORD fileDialogSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
#ifndef _WIN64
static_assert(fileDialogSize == 76);
#endif
