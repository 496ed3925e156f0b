#pragma once
// The open and save file choosers, drawn by the layer as modal dialogs. They list the folders
// and the files (through the filter) of the program's folder tree, starting in the initial
// folder; the player cannot leave the program's folder. The chosen file is returned as a
// project path relative to the current directory ("data\stg4\a.stg4_000"), which the choosers
// never change.
#include "platform/win/WinDialog.h"

using LPOFNHOOKPROC = uintptr_t (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    const char* lpstrFilter;        // pairs of name and pattern ("*.a;*.b"), ended by an empty name
    char* lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;             // 1-based; 0 takes the first
    char* lpstrFile;                // in: initial name (or empty); out: the chosen path
    DWORD nMaxFile;
    char* lpstrFileTitle;
    DWORD nMaxFileTitle;
    const char* lpstrInitialDir;
    const char* lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    const char* lpstrDefExt;        // added to a typed name without extension (unless a pattern)
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;
    const char* lpTemplateName;
};

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_NONETWORKBUTTON = 0x00020000;

// True with the path in lpstrFile when a file was chosen; false on cancel or when the buffer is
// too small for the path (CommDlgExtendedError tells which).
BOOL GetOpenFileNameA(OPENFILENAMEA* ofn);
BOOL GetSaveFileNameA(OPENFILENAMEA* ofn);
constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;
DWORD CommDlgExtendedError();

// The file chooser's own control ids (for scripts and tests).
constexpr int kFileChooserFolderText = 1091;
constexpr int kFileChooserList = 1120;
constexpr int kFileChooserName = 1152;
constexpr int kFileChooserFilterText = 1136;
