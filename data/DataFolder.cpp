#include "data/DataFolder.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "core/Log.h"
#include "core/Text.h"
#include "data/ProjectPaths.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinMessageBox.h"

namespace {

// Folder levels below "default\" that a copy follows; deeper means a folder reaches itself.
constexpr int kMaxFolderDepth = 32;

bool IsFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributes(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Exists(const std::string& path)
{
    return GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A path ends with a separator only when its last backslash is not the trail byte of a
// double-byte character ("ソ" is 83 5C).
bool EndsWithSeparator(const std::string& path)
{
    bool bSeparator = false;
    for (size_t i = 0; i < path.size();) {
        if (i + 1 < path.size() && IsDbcsPair(path.c_str() + i)) {
            bSeparator = false;
            i += 2;
        } else {
            bSeparator = path[i] == '\\';
            ++i;
        }
    }
    return bSeparator;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || EndsWithSeparator(folder)) return folder + name;
    return folder + "\\" + name;
}

std::string WithoutSeparator(std::string path)
{
    if (EndsWithSeparator(path)) path.pop_back();
    return path;
}

// The layer has no folder removal yet; an empty folder is removed through its host path.
bool RemoveEmptyFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::remove(HostPath(path.c_str()), error) && !error;
}

// What a copy has made, so that a failed copy removes exactly that and nothing else.
class cCreatedPaths {
public:
    void AddFolder(const std::string& path) { m_vEntries.push_back({path, true}); }
    void AddFile(const std::string& path) { m_vEntries.push_back({path, false}); }
    void RemoveAll()
    {
        for (auto it = m_vEntries.rbegin(); it != m_vEntries.rend(); ++it) {
            if (it->bFolder) RemoveEmptyFolder(it->path);
            else DeleteFile(it->path.c_str());
        }
        m_vEntries.clear();
    }

private:
    struct Entry {
        std::string path;
        bool bFolder;
    };
    std::vector<Entry> m_vEntries;
};

bool CopyFolderTree(const std::string& from, const std::string& to, cCreatedPaths& created, int nDepth)
{
    if (nDepth > kMaxFolderDepth) {
        WriteReportTrace("%s : folders nested too deep", from.c_str());
        return false;
    }
    std::vector<std::string> names;
    if (!ListDirectory(from.c_str(), &names)) {
        WriteReportTrace("%s : cannot be listed", from.c_str());
        return false;
    }
    for (const std::string& name : names) {
        const std::string source = JoinPath(from, name);
        const std::string target = JoinPath(to, name);
        const DWORD attributes = GetFileAttributes(source.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            WriteReportTrace("%s : cannot be read", source.c_str());
            return false;
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!CreateDirectory(target.c_str(), nullptr)) {
                WriteReportTrace("%s : folder cannot be created", target.c_str());
                return false;
            }
            created.AddFolder(target);
            if (!CopyFolderTree(source, target, created, nDepth + 1)) return false;
        } else {
            if (!CopyFile(source.c_str(), target.c_str(), 1)) {
                WriteReportTrace("%s : cannot be copied", source.c_str());
                return false;
            }
            created.AddFile(target);
        }
    }
    return true;
}

}  // namespace

int CheckDataFolder(HWND owner)
{
    const std::string data = WithoutSeparator(ProjectPathTable[0]);
    const std::string source = WithoutSeparator(ProjectPathTable[1]);
    if (IsFolder(data)) return 1;
    if (!IsFolder(source)) return 0;
    // A file named like the folder is the player's own: it is neither replaced nor removed.
    if (Exists(data)) {
        WriteReportTrace("%s : exists and is not a folder", data.c_str());
        return 0;
    }
    if (MessageBoxA(owner, "データが存在しません！デフォルトデータを作成しますか？\n",
                    "デフォルトデータ作成の確認", MB_YESNO) != IDYES)
        return 0;

    // The copy is made under a name of its own and renamed to "data" only when complete, so a
    // failed or interrupted copy never leaves a partial "data" folder.
    std::string staging;
    for (int n = 0; n < 100 && staging.empty(); ++n) {
        const std::string candidate = data + "~copy" + std::to_string(n);
        if (!Exists(candidate)) staging = candidate;
    }
    if (staging.empty() || !CreateDirectory(staging.c_str(), nullptr)) {
        WriteReportTrace("%s : no folder for the copy", data.c_str());
        return 0;
    }
    cCreatedPaths created;
    created.AddFolder(staging);
    if (CopyFolderTree(source, staging, created, 0) && MoveFileEx(staging.c_str(), data.c_str(), 0)) return 1;
    created.RemoveAll();
    return 0;
}
