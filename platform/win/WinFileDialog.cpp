// The open and save file choosers: a dialog of the layer with the folder, a list of its folders
// and matching files, the file-name box and the filter. Paths are project paths relative to the
// current directory; the chooser never leaves the program's folder and never changes the current
// directory.
#include "platform/win/WinFileDialog.h"

#include <algorithm>
#include <cstring>

#include "platform/host/Host.h"
#include "platform/win/DialogInternal.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinMessageBox.h"

namespace {

constexpr int kChooserResource = -1;

struct Chooser {
    OPENFILENAMEA* ofn = nullptr;
    bool save = false;
    std::string folder;   // "" is the program's folder; else "data\stg4" (no trailing backslash)
    std::vector<std::string> patterns;
    std::string filterName;
    struct Entry {
        std::string name;
        bool folder;
    };
    std::vector<Entry> entries;
    std::string result;
};

Chooser* g_lpChooser = nullptr;
DWORD g_dwLastError = 0;
FILECHOOSERLISTING g_LastListing;

std::string Cp(const char* utf8) { return Utf8ToCp932(utf8); }

char LowerByte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string s)
{
    for (char& c : s) c = LowerByte(c);
    return s;
}

// Wildcards "*" and "?" against a name, ignoring the case of ASCII letters.
bool WildcardMatch(const char* pattern, const char* name)
{
    if (*pattern == '\0') return *name == '\0';
    if (*pattern == '*') {
        for (const char* n = name;; ++n) {
            if (WildcardMatch(pattern + 1, n)) return true;
            if (*n == '\0') return false;
        }
    }
    if (*name == '\0') return false;
    if (*pattern != '?' && LowerByte(*pattern) != LowerByte(*name)) return false;
    return WildcardMatch(pattern + 1, name + 1);
}

std::vector<std::string> SplitPatterns(const std::string& list)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        std::string p = list.substr(start, end - start);
        while (!p.empty() && p.front() == ' ') p.erase(0, 1);
        while (!p.empty() && p.back() == ' ') p.pop_back();
        if (!p.empty()) out.push_back(p);
        start = end + 1;
    }
    return out;
}

// Where a code-page-932 path splits: the last "\\" or "/" that is not the second byte of a
// double-byte character (表, ソ and 能 end in 0x5C); npos when there is none.
size_t LastSeparator(const std::string& path)
{
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size(); i += static_cast<size_t>(dlg::CharLength(path, i)))
        if (path[i] == '\\' || path[i] == '/') last = i;
    return last;
}

std::string Join(const std::string& folder, const std::string& name)
{
    return folder.empty() ? name : folder + "\\" + name;
}

bool IsFolder(const std::string& path)
{
    const DWORD a = GetFileAttributes(path.empty() ? "." : path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A typed path made a clean project path below the program's folder; false when it would leave
// it (an absolute path, a drive, "..").
bool Normalise(const std::string& path, std::string* out)
{
    if (path.empty() || path[0] == '\\' || path[0] == '/' || path.find(':') != std::string::npos) return false;
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size();) {
        const bool end = i == path.size();
        if (end || path[i] == '\\' || path[i] == '/') {
            std::string part = path.substr(start, i - start);
            if (part == "..") {
                if (parts.empty()) return false;
                parts.pop_back();
            } else if (!part.empty() && part != ".") {
                parts.push_back(part);
            }
            start = i + 1;
            ++i;
            continue;
        }
        i += static_cast<size_t>(dlg::CharLength(path, i));   // a trail byte may be a backslash
    }
    out->clear();
    for (const auto& p : parts) *out = Join(*out, p);
    return true;
}

void FillList(HWND dialog, Chooser& ch)
{
    ch.entries.clear();
    std::vector<std::string> names;
    ListDirectory(ch.folder.empty() ? "." : ch.folder.c_str(), &names);
    std::vector<Chooser::Entry> folders, files;
    for (const std::string& name : names) {
        if (name == "." || name == "..") continue;
        if (IsFolder(Join(ch.folder, name))) {
            folders.push_back({name, true});
        } else {
            for (const std::string& p : ch.patterns)
                if (WildcardMatch(p.c_str(), name.c_str())) {
                    files.push_back({name, false});
                    break;
                }
        }
    }
    auto byName = [](const Chooser::Entry& a, const Chooser::Entry& b) { return LowerAscii(a.name) < LowerAscii(b.name); };
    std::sort(folders.begin(), folders.end(), byName);
    std::sort(files.begin(), files.end(), byName);
    if (!ch.folder.empty()) ch.entries.push_back({"..", true});
    ch.entries.insert(ch.entries.end(), folders.begin(), folders.end());
    ch.entries.insert(ch.entries.end(), files.begin(), files.end());

    dlg::Dialog* d = dlg::FindDialog(dialog);
    if (!d) return;
    g_LastListing.folder = ch.folder;
    g_LastListing.entries.clear();
    if (dlg::Control* list = dlg::FindControlById(*d, kFileChooserList)) {
        list->items.clear();
        for (const auto& e : ch.entries) {
            list->items.push_back(e.folder ? "[" + e.name + "]" : e.name);
            g_LastListing.entries.push_back(list->items.back());
        }
        list->current = list->items.empty() ? -1 : 0;
        list->top = 0;
    }
    const std::string shown = ch.folder.empty() ? Cp("（プログラムのフォルダー）") : ch.folder + "\\";
    SetDlgItemText(dialog, kFileChooserFolderText, shown.c_str());
    dlg::MarkDirty();
}

void EnterFolder(HWND dialog, Chooser& ch, const std::string& folder)
{
    ch.folder = folder;
    SetDlgItemText(dialog, kFileChooserName, "");
    FillList(dialog, ch);
}

std::string Title(const Chooser& ch)
{
    if (ch.ofn->lpstrTitle && *ch.ofn->lpstrTitle) return ch.ofn->lpstrTitle;
    return ch.save ? Cp("名前を付けて保存") : Cp("開く");
}

void Accept(HWND dialog, Chooser& ch)
{
    char buffer[1024];
    GetDlgItemText(dialog, kFileChooserName, buffer, sizeof buffer);
    std::string typed = buffer;
    while (!typed.empty() && typed.back() == ' ') typed.pop_back();
    while (!typed.empty() && typed.front() == ' ') typed.erase(0, 1);
    dlg::Dialog* d = dlg::FindDialog(dialog);
    if (typed.empty()) {
        // Nothing typed: OK opens the folder chosen in the list.
        dlg::Control* list = d ? dlg::FindControlById(*d, kFileChooserList) : nullptr;
        if (list && list->current >= 0 && list->current < static_cast<int>(ch.entries.size()) &&
            ch.entries[static_cast<size_t>(list->current)].folder) {
            const auto& e = ch.entries[static_cast<size_t>(list->current)];
            std::string next;
            if (Normalise(Join(ch.folder, e.name), &next)) EnterFolder(dialog, ch, next);
        }
        return;
    }
    // A name with a backslash is a path from the program's folder, a plain name one in the folder shown.
    const bool hasPath = LastSeparator(typed) != std::string::npos;
    std::string path;
    if (!Normalise(hasPath ? typed : Join(ch.folder, typed), &path) || path.empty()) {
        MessageBoxA(dialog, (Cp("「") + typed + Cp("」\nこの場所は選べません。")).c_str(), Title(ch).c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    if (IsFolder(path)) {
        EnterFolder(dialog, ch, path);
        return;
    }
    const size_t slash = LastSeparator(path);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string defExt = ch.ofn->lpstrDefExt ? ch.ofn->lpstrDefExt : "";
    if (name.find('.') == std::string::npos && !defExt.empty() && defExt.find_first_of("*?;") == std::string::npos)
        path += "." + defExt;
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    if (!IsFolder(folder)) {
        MessageBoxA(dialog, (Cp("「") + folder + Cp("」\nフォルダーが見つかりません。")).c_str(), Title(ch).c_str(),
                    MB_OK | MB_ICONWARNING);
        return;
    }
    const bool exists = GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!ch.save && (ch.ofn->Flags & OFN_FILEMUSTEXIST) && !exists) {
        MessageBoxA(dialog, (Cp("「") + path + Cp("」\nファイルが見つかりません。\nファイル名を確かめてください。")).c_str(),
                    Title(ch).c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    if (ch.save && exists && (ch.ofn->Flags & OFN_OVERWRITEPROMPT)) {
        const int answer = MessageBoxA(dialog, (Cp("「") + path + Cp("」は既に存在します。\n上書きしますか？")).c_str(),
                                       Title(ch).c_str(), MB_YESNO | MB_ICONWARNING);
        if (answer != IDYES) return;
    }
    ch.result = path;
    EndDialog(dialog, 1);
}

INT_PTR ChooserProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    Chooser* ch = g_lpChooser;
    if (!ch) return 0;
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowText(hwnd, Title(*ch).c_str());
        std::string initial;
        if (ch->ofn->lpstrInitialDir && Normalise(ch->ofn->lpstrInitialDir, &initial) && IsFolder(initial)) ch->folder = initial;
        SetDlgItemText(hwnd, kFileChooserFilterText, ch->filterName.c_str());
        FillList(hwnd, *ch);
        if (ch->ofn->lpstrFile && ch->ofn->lpstrFile[0] && ch->ofn->nMaxFile > 0) {
            std::string start(ch->ofn->lpstrFile, strnlen(ch->ofn->lpstrFile, ch->ofn->nMaxFile));
            SetDlgItemText(hwnd, kFileChooserName, start.c_str());
        }
        SetFocus(GetDlgItem(hwnd, kFileChooserName));
        return 0;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const WORD code = HIWORD(wParam);
        if (id == 1) {
            Accept(hwnd, *ch);
        } else if (id == 2) {
            EndDialog(hwnd, 0);
        } else if (id == kFileChooserList) {
            dlg::Dialog* d = dlg::FindDialog(hwnd);
            dlg::Control* list = d ? dlg::FindControlById(*d, kFileChooserList) : nullptr;
            if (!list || list->current < 0 || list->current >= static_cast<int>(ch->entries.size())) return 1;
            const auto entry = ch->entries[static_cast<size_t>(list->current)];
            if (code == 1 && !entry.folder) {
                SetDlgItemText(hwnd, kFileChooserName, entry.name.c_str());
            } else if (code == BN_DOUBLECLICKED) {
                if (entry.folder) {
                    std::string next;
                    if (Normalise(Join(ch->folder, entry.name), &next)) EnterFolder(hwnd, *ch, next);
                } else {
                    SetDlgItemText(hwnd, kFileChooserName, entry.name.c_str());
                    Accept(hwnd, *ch);
                }
            }
        }
        return 1;
    }
    case WM_CLOSE:
        EndDialog(hwnd, 0);
        return 1;
    default:
        return 0;
    }
}

void RegisterChooserTemplate(bool save)
{
    DIALOGTEMPLATE t;
    t.style = WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    t.caption = "";
    t.font = Cp("ＭＳ Ｐゴシック");
    t.pointSize = 9;
    t.cx = 280;
    t.cy = 192;
    t.items = {
        {0, DialogItemKind::Static, Cp("場所:"), 7, 8, 40, 10, 0},
        {kFileChooserFolderText, DialogItemKind::Static, "", 50, 8, 223, 10, 0},
        {kFileChooserList, DialogItemKind::ListBox, "", 7, 22, 266, 110, WS_TABSTOP | WS_BORDER},
        {0, DialogItemKind::Static, Cp("ファイル名:"), 7, 140, 46, 10, 0},
        {kFileChooserName, DialogItemKind::Edit, "", 55, 137, 218, 14, WS_TABSTOP | WS_BORDER},
        {0, DialogItemKind::Static, Cp("種類:"), 7, 158, 46, 10, 0},
        {kFileChooserFilterText, DialogItemKind::Static, "", 55, 158, 218, 10, 0},
        {1, DialogItemKind::DefPushButton, save ? Cp("保存") : Cp("開く"), 165, 172, 52, 15, WS_TABSTOP},
        {2, DialogItemKind::PushButton, Cp("キャンセル"), 221, 172, 52, 15, WS_TABSTOP},
    };
    RegisterDialogTemplate(kChooserResource, t);
}

BOOL RunChooser(OPENFILENAMEA* ofn, bool save)
{
    g_dwLastError = 0;
    if (!ofn || !ofn->lpstrFile || ofn->nMaxFile == 0) return 0;
    Chooser ch;
    ch.ofn = ofn;
    ch.save = save;
    // The filter: name, pattern, ... ended by an empty name; nFilterIndex chooses (1-based).
    if (ofn->lpstrFilter) {
        std::vector<std::pair<std::string, std::string>> filters;
        const char* p = ofn->lpstrFilter;
        while (*p) {
            std::string name = p;
            p += name.size() + 1;
            std::string pattern = p;
            p += pattern.size() + 1;
            filters.emplace_back(name, pattern);
            if (pattern.empty()) break;
        }
        if (!filters.empty()) {
            const size_t index = ofn->nFilterIndex >= 1 && ofn->nFilterIndex <= filters.size() ? ofn->nFilterIndex - 1 : 0;
            ch.filterName = filters[index].first;
            ch.patterns = SplitPatterns(filters[index].second);
        }
    }
    if (ch.patterns.empty()) ch.patterns.push_back("*");
    RegisterChooserTemplate(save);
    Chooser* outer = g_lpChooser;
    g_lpChooser = &ch;
    const INT_PTR chosen = DialogBoxParamA(nullptr, kChooserResource, ofn->hwndOwner, ChooserProc, 0);
    g_lpChooser = outer;
    if (chosen != 1) return 0;
    if (ch.result.size() + 1 > ofn->nMaxFile) {
        g_dwLastError = FNERR_BUFFERTOOSMALL;
        return 0;
    }
    std::memcpy(ofn->lpstrFile, ch.result.c_str(), ch.result.size() + 1);
    const size_t slash = LastSeparator(ch.result);
    const size_t offset = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = ch.result.rfind('.');
    ofn->nFileOffset = static_cast<WORD>(offset);
    ofn->nFileExtension = static_cast<WORD>(dot != std::string::npos && dot >= offset ? dot + 1 : 0);
    return 1;
}

}  // namespace

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn) { return RunChooser(ofn, false); }
BOOL GetSaveFileNameA(OPENFILENAMEA* ofn) { return RunChooser(ofn, true); }
DWORD CommDlgExtendedError() { return g_dwLastError; }

FILECHOOSERLISTING HostLastFileChooserListing() { return g_LastListing; }

namespace dlg {

bool FileChooserAction(Dialog& dialog, const DIALOGACTION& action)
{
    if (action.kind == DialogActionKind::Cancel) {
        EndDialog(dialog.hwnd, 0);
        return true;
    }
    if (action.kind == DialogActionKind::ChooseFile) {
        SetDlgItemText(dialog.hwnd, kFileChooserName, action.text.c_str());
        if (g_lpChooser) Accept(dialog.hwnd, *g_lpChooser);
        return true;
    }
    return false;
}

}  // namespace dlg
