#include "paramdlg/paramfiles.h"

#include <windows.h>

#include <commdlg.h>

#include <cstdio>
#include <string>

#include "numtext/numshort.h"
#include "numtext/textf.h"
#include "paramdlg/valuecheck.h"
#include "params/paramnames.h"
#include "params/paramsection.h"
#include "platform/filedialog_win.h"
#include "platform/fileops.h"
#include "platform/fileops_win.h"
#include "platform/frontend.h"

namespace {

// Built once by setupparamfiles; Read and Save of any table use them.
std::string filter;
OPENFILENAMEA fileDialog;
char* paramFolder = nullptr;
char chosenPath[MAX_PATH];
char chosenTitle[MAX_PATH];

// Readies the shared record for one dialog; the chosen path comes back in
// chosenPath.
void prepare(WindowHandle window, DWORD flags)
{
    chosenPath[0] = '\0';
    chosenTitle[0] = '\0';
    fileDialog.hwndOwner = static_cast<HWND>(window);
    fileDialog.lpstrFile = chosenPath;
    fileDialog.lpstrFileTitle = chosenTitle;
    fileDialog.Flags = flags;
    // The dialog must open in a folder that exists.
    if (paramFolder)
        existingdir(paramFolder);
}

// Whether the file at path may be written as a parameter file: it does not
// exist, cannot be read (the write will tell), or begins as text does. The
// start suffices: other files show themselves within it.
bool writable(const char* path)
{
    const FilePtr f = openfile(path, "rb");
    if (!f)
        return true;
    std::string head(64 * 1024, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), f.get()));
    return paramtext(head);
}

void namefile(ParamDialogSpec& spec)
{
    copycut(spec.fileName, sizeof spec.fileName, paramname(chosenPath).c_str());
    dlgcaption(spec);
}

}  // namespace

void setupparamfiles(WindowHandle owner, ParamDialogSpec& spec)
{
    filter = paramfilter(spec.fileTypeName, spec.fileExt);
    paramFolder = spec.paramDir;

    fileDialog = OPENFILENAMEA{};
    fileDialog.lStructSize = fileDialogSize;
    fileDialog.hwndOwner = static_cast<HWND>(owner);
    fileDialog.lpstrFilter = filter.c_str();
    fileDialog.nMaxFile = MAX_PATH;
    fileDialog.nMaxFileTitle = MAX_PATH;
    fileDialog.lpstrInitialDir = paramFolder;
    fileDialog.lpstrDefExt = spec.fileExt;

    // An existing folder, or one whose parent is missing, is not an error here.
    if (paramFolder && !CreateDirectoryA(paramFolder, nullptr) && GetLastError() == ERROR_FILE_NOT_FOUND)
        fatalexit(kNoParamFolder, 1);
}

int readparamfile(WindowHandle window, ParamDialogSpec& spec)
{
    prepare(window, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
    if (!GetOpenFileNameA(&fileDialog))
        return 0;
    loadparams(paramSection, spec, chosenPath);
    namefile(spec);
    return 0;
}

int saveparamfile(WindowHandle window, ParamDialogSpec& spec)
{
    prepare(window, OFN_CREATEPROMPT | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY);
    copycut(chosenPath, sizeof chosenPath, spec.fileName);
    if (!GetSaveFileNameA(&fileDialog))
        return 0;
    // The profile write would rewrite any file as lines of text.
    if (!writable(chosenPath)) {
        messagebox(window, textf(kNotParamFile, chosenPath).c_str(), kFileErrorCaption);
        return 0;
    }
    // The caption names a file only once it holds the values.
    if (saveparams(paramSection, spec, chosenPath) < paramcount(spec)) {
        messagebox(window, textf(kCannotWrite, chosenPath).c_str(), kFileErrorCaption);
        return 0;
    }
    namefile(spec);
    return 0;
}
