#pragma once
// The open and save file dialogs of the program (stage and replay files).
#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

// Chooses a file to open. The filter is name and pattern pairs ended by a double NUL. With a
// file list the chosen paths are appended to it (a multiple selection as "%s\%s" paths). The
// result buffer is cleared first; false on cancel.
bool OpenFileDialog(HWND hOwner, char* lpResult, DWORD nSize, const char* lpInitialDir, const char* lpTitle,
                    const char* lpFilter, const char* lpDefExt, int bMultiple, std::vector<std::string>* lpFiles);
// Chooses a file to save (asking before overwriting one). The 260-byte result buffer is cleared
// unless bKeepResult is set (it then holds the name offered). False on cancel.
bool SaveFileDialog(HWND hOwner, char* lpResult, const char* lpInitialDir, const char* lpTitle, const char* lpFilter,
                    const char* lpDefExt, int bKeepResult = 0);
