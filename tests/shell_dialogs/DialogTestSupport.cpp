#include "DialogTestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/graphics/DialogGraphics.h"
#include "platform/host/Host.h"

cScratchFolder::cScratchFolder()
{
    char buffer[4096];
    m_strPrevious = getcwd(buffer, sizeof buffer) ? buffer : ".";
    char pattern[] = "/tmp/dialogs_XXXXXX";
    m_strPath = mkdtemp(pattern);
    if (chdir(m_strPath.c_str()) != 0) std::abort();
}

cScratchFolder::~cScratchFolder()
{
    if (chdir(m_strPrevious.c_str()) != 0) std::abort();
    std::error_code ec;
    std::filesystem::remove_all(m_strPath, ec);
}

void cScratchFolder::MakeFolder(const std::string& path) { std::filesystem::create_directories(m_strPath + "/" + path); }

void cScratchFolder::WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(m_strPath + "/" + path, std::ios::binary) << bytes;
}

std::string cScratchFolder::ReadFile(const std::string& path) const
{
    std::ifstream in(m_strPath + "/" + path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool cScratchFolder::Exists(const std::string& path) const { return std::filesystem::exists(m_strPath + "/" + path); }

void ResetDialogHost()
{
    HostSelect(HostKind::Headless);
    InstallDialogGraphics();
    HostClearDialogActions();
    HostClearRecordedDialogs();
    HostClearRecordedMessageBoxes();
    HostSetInputMethodAvailable(true);
}

void Queue(DialogActionKind kind, int id, const std::string& text) { HostQueueDialogAction(DIALOGACTION{kind, id, text}); }

std::string ScreenshotPath(const std::string& name)
{
    std::filesystem::create_directories(PLAYER_BUILD_DIR);
    return std::string(PLAYER_BUILD_DIR) + "/" + name;
}
