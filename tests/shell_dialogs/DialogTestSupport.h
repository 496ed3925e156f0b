#pragma once
#include <string>
#include <vector>

#include "platform/win/HostDialog.h"

// A fresh folder made the current directory for one test, restored and removed afterwards.
class cScratchFolder {
public:
    cScratchFolder();
    ~cScratchFolder();
    void MakeFolder(const std::string& relativeHostPath);
    void WriteFile(const std::string& relativeHostPath, const std::string& bytes);
    std::string ReadFile(const std::string& relativeHostPath) const;
    bool Exists(const std::string& relativeHostPath) const;
    std::string m_strPath;
    std::string m_strPrevious;
};

// Resets the dialog script, recorded dialogs and message boxes; installs the dialog graphics.
void ResetDialogHost();
void Queue(DialogActionKind kind, int id = 0, const std::string& text = {});
// Where screenshots go: the build folder of the source tree.
std::string ScreenshotPath(const std::string& name);
