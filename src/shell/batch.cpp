#include "shell/batch.h"

#include <cderr.h>
#include <commdlg.h>

#include <cstring>

#include "convert/ncstoabf.h"
#include "numtext/numshort.h"
#include "numtext/textf.h"
#include "platform/filedialog_win.h"
#include "platform/fileops_win.h"
#include "platform/frontend.h"
#include "progress/progresswindow.h"
#include "shell/helpers.h"
#include "shell/shellstate.h"

char selectionBuffer[selectionSize];
int singleFile = 0;
char fileTitle[MAX_PATH];
std::string batchOutput;

namespace {

OPENFILENAMEA fileDialog;

constexpr const char* ncsFilter = "Neurolynx File (*.ncs)\0*.ncs\0";
constexpr const char* kTooManySelected = "Files Selection error!\nToo many selected?";

// Whether the selection ends within the buffer: some dialogs cut a list too
// long for it instead of failing, which would leave a partial last name.
bool selectionfits()
{
    const char* text = selectionBuffer;
    const char* end = selectionBuffer + selectionSize;
    while (text < end) {
        std::size_t n = strnlen(text, static_cast<std::size_t>(end - text));
        if (text + n == end)
            return false;
        if (n == 0 || singleFile)
            return true;  // the closing empty text, or the one full path
        text += n + 1;
    }
    return false;
}

// The folder the selection was chosen in: the single path's own folder,
// or the first text.
std::string selectionfolder()
{
    std::string folder(selectionBuffer, strnlen(selectionBuffer, selectionSize));
    if (singleFile) {
        const std::size_t slash = folder.rfind('\\');
        folder.resize(slash == std::string::npos ? 0 : slash + 1);
    }
    return folder;
}

}  // namespace

void initfiledialog(HWND owner, char* directory)
{
    fileDialog = OPENFILENAMEA{};
    fileDialog.lStructSize = fileDialogSize;
    fileDialog.hwndOwner = owner;
    fileDialog.lpstrFilter = ncsFilter;
    fileDialog.nMaxFile = selectionSize;
    fileDialog.nMaxFileTitle = MAX_PATH;
    fileDialog.lpstrInitialDir = directory;
    fileDialog.lpstrDefExt = "nc";
}

int choosefiles(HWND owner, char* selection, char* title, int& single)
{
    selection[0] = '\0';
    fileDialog.hwndOwner = owner;
    fileDialog.lpstrFile = selection;
    fileDialog.lpstrFileTitle = title;
    fileDialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_CREATEPROMPT | OFN_HIDEREADONLY;
    // The initial folder is the data directory itself, shortened in place.
    existingdir(const_cast<char*>(fileDialog.lpstrInitialDir));
    BOOL chosen = GetOpenFileNameA(&fileDialog);
    single = fileDialog.nFileExtension;
    return chosen;
}

int openfiles(HWND owner)
{
    bool chosen = choosefiles(owner, selectionBuffer, fileTitle, singleFile);
    bool tooMany = chosen ? !selectionfits() : CommDlgExtendedError() == FNERR_BUFFERTOOSMALL;
    if (!chosen || tooMany) {
        selectionBuffer[0] = '\0';
        if (tooMany)
            warnbox(owner, kTooManySelected, "");
    }
    if (selectionBuffer[0]) {
        copycut(dataDirectory, sizeof dataDirectory, selectionBuffer);
        if (singleFile)
            if (char* slash = std::strrchr(dataDirectory, '\\'))
                *slash = '\0';
    }
    settitle(owner, fileTitle);
    return 0;
}

std::vector<std::string> selectionlist()
{
    std::vector<std::string> list;
    if (!selectionBuffer[0])
        return list;
    if (singleFile) {
        const char* slash = std::strrchr(selectionBuffer, '\\');
        list.emplace_back(slash ? slash + 1 : selectionBuffer);
        return list;
    }
    // The folder comes first; the names follow it up to an empty text.
    const char* end = selectionBuffer + selectionSize;
    const char* name = selectionBuffer + std::strlen(selectionBuffer) + 1;
    while (name < end && *name && static_cast<int>(list.size()) < maxInputs) {
        std::size_t n = strnlen(name, static_cast<std::size_t>(end - name));
        list.emplace_back(name, n);
        name += n + 1;
    }
    return list;
}

int gobatch(HWND owner)
{
    converterBlock.files = selectionlist();
    const std::vector<std::string>& names = converterBlock.files;
    batchOutput.clear();
    // The names are opened in the folder they were chosen in, whatever
    // folder a file dialog or the data directory made current since.
    const KeptFolder kept;
    const bool entered = !names.empty() && SetCurrentDirectoryA(selectionfolder().c_str());
    for (std::size_t i = 0; i < names.size(); ++i) {
        progshow(owner, progressRecord);
        int records = 0;
        if (entered)
            records = ncstoabf(converterBlock, names[i], progressRecord);
        else
            messagebox(progressRecord.window, textf(kCouldntOpen, names[i].c_str()).c_str(), kFileErrorCaption);
        bool last = singleFile || converterBlock.combine == 'Y' || i + 1 == names.size();
        if (records == 0) {
            MessageBoxA(owner, kProcessingError, kErrorCaption, MB_OK);
        } else {
            batchOutput = progressRecord.outputName;
            if (converterSpec.statusBoxOn)
                MessageBoxA(owner, textf(kStatusFormat, progressRecord.outputName.c_str(), records).c_str(),
                            kStatusCaption, MB_OK);
        }
        if (progressRecord.open) {
            DestroyWindow(static_cast<HWND>(progressRecord.window));
            progressRecord.open = 0;
        }
        if (last)
            break;
    }
    progressRecord.window = nullptr;
    return converterBlock.nfiles();
}
