#include "shell/FileDialogs.h"

#include <cstring>

#include "core/MainWindow.h"
#include "core/SystemReport.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/GraphicsState.h"
#include "platform/win/WinFileDialog.h"

namespace {

constexpr DWORD kResultSize = 260;

// Selects the older form of the chooser, which shows over a full-screen display.
uintptr_t EmptyHookProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

bool PaletteDisplay()
{
    return lpDTCon == nullptr && lpDDCon != nullptr && nBpp == 8 && lpDDPalette != nullptr;
}

// At 8 bits the dialog needs a black entry 0 to draw with.
void PaletteBeforeDialog()
{
    if (!PaletteDisplay()) return;
    PALETTEENTRY black{0, 0, 0, 0};
    lpDDPalette->SetEntries(0, 0, 1, &black);
}

void PaletteAfterDialog()
{
    if (PaletteDisplay()) lpDDPalette->SetEntries(0, 0, 256, ColorPaletteWork);
}

void PrepareOfn(OPENFILENAMEA* ofn, HWND hOwner, char* lpResult, DWORD nSize, const char* lpInitialDir,
                const char* lpTitle, const char* lpFilter, const char* lpDefExt, DWORD dwFlags)
{
    std::memset(ofn, 0, sizeof *ofn);
    ofn->lStructSize = 76;
    ofn->hwndOwner = hOwner;
    ofn->hInstance = reinterpret_cast<HINSTANCE>(hMainWnd.load());
    ofn->lpstrFilter = lpFilter;
    ofn->lpstrFile = lpResult;
    ofn->nMaxFile = nSize;
    ofn->nMaxFileTitle = kResultSize;
    ofn->lpstrInitialDir = lpInitialDir;
    ofn->lpstrTitle = lpTitle;
    ofn->lpstrDefExt = lpDefExt;
    ofn->Flags = dwFlags;
    if (bGraphicsUp && nWindowMode == 0 && IsOsAtLeast(6, 0)) {
        ofn->Flags |= OFN_ENABLEHOOK;
        ofn->lpfnHook = EmptyHookProc;
    }
}

}  // namespace

bool OpenFileDialog(HWND hOwner, char* lpResult, DWORD nSize, const char* lpInitialDir, const char* lpTitle,
                    const char* lpFilter, const char* lpDefExt, int bMultiple, std::vector<std::string>* lpFiles)
{
    if (!lpResult || nSize == 0) return false;
    std::memset(lpResult, 0, nSize);
    OPENFILENAMEA ofn;
    DWORD flags = OFN_EXPLORER | OFN_NONETWORKBUTTON | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (bMultiple) flags |= OFN_ALLOWMULTISELECT;
    PrepareOfn(&ofn, hOwner, lpResult, nSize, lpInitialDir, lpTitle, lpFilter, lpDefExt, flags);
    PaletteBeforeDialog();
    const BOOL chosen = GetOpenFileNameA(&ofn);
    PaletteAfterDialog();
    if (!chosen) return false;
    if (lpFiles) {
        const size_t first = strnlen(lpResult, nSize);
        if (bMultiple && first + 1 < nSize && lpResult[first + 1] != '\0') {
            // A folder followed by NUL-separated names.
            const std::string folder(lpResult, first);
            for (size_t at = first + 1; at < nSize && lpResult[at] != '\0';) {
                const size_t len = strnlen(lpResult + at, nSize - at);
                lpFiles->push_back(folder + "\\" + std::string(lpResult + at, len));
                at += len + 1;
            }
        } else {
            lpFiles->push_back(std::string(lpResult, first));
        }
    }
    return true;
}

bool SaveFileDialog(HWND hOwner, char* lpResult, const char* lpInitialDir, const char* lpTitle, const char* lpFilter,
                    const char* lpDefExt, int bKeepResult)
{
    if (!lpResult) return false;
    if (!bKeepResult) std::memset(lpResult, 0, kResultSize);
    lpResult[kResultSize - 1] = '\0';
    OPENFILENAMEA ofn;
    PrepareOfn(&ofn, hOwner, lpResult, kResultSize, lpInitialDir, lpTitle, lpFilter, lpDefExt,
               OFN_EXPLORER | OFN_NONETWORKBUTTON | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY |
                   OFN_OVERWRITEPROMPT);
    PaletteBeforeDialog();
    const BOOL chosen = GetSaveFileNameA(&ofn);
    // The working palette comes back whether or not a file was chosen: a cancelled dialog must
    // not leave entry 0 black.
    PaletteAfterDialog();
    return chosen != 0;
}
