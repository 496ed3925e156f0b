#include "fuzz/FuzzFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/host/Host.h"

namespace fuzz {

namespace {

// The process's scratch folder. A folder of its own keeps short the search that the file layer
// makes through a folder for a name that is not there yet (every save's temporary file).
char g_szScratchFolder[64];

void RemoveScratchFolder()
{
    rmdir(g_szScratchFolder);
}

}  // namespace

std::string ScratchPath(const char* lpPurpose)
{
    if (!g_szScratchFolder[0]) {
        std::snprintf(g_szScratchFolder, sizeof g_szScratchFolder, "/tmp/player_fuzz_%d", static_cast<int>(getpid()));
        if (mkdir(g_szScratchFolder, 0700) != 0 && errno != EEXIST) std::abort();
        std::atexit(RemoveScratchFolder);
    }
    return std::string(g_szScratchFolder) + "/" + lpPurpose;
}

void WriteScratch(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* fp = std::fopen(path.c_str(), "wb");
    if (!fp) std::abort();
    const bool bWritten = size == 0 || std::fwrite(data, 1, size, fp) == size;
    if (std::fclose(fp) != 0 || !bWritten) std::abort();
}

Bytes ReadFileBytes(const std::string& path)
{
    Bytes bytes;
    FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) return bytes;
    uint8_t buffer[4096];
    size_t nRead;
    while ((nRead = std::fread(buffer, 1, sizeof buffer, fp)) > 0) bytes.insert(bytes.end(), buffer, buffer + nRead);
    std::fclose(fp);
    return bytes;
}

void PrepareHost()
{
    static const bool bStarted = [] {
        HostSelect(HostKind::Headless);
        return true;
    }();
    (void)bStarted;
    HostClearRecordedMessageBoxes();
}

Bytes SavedBytes(cFieldListRecord& record, const char* lpPurpose)
{
    const std::string path = ScratchPath(lpPurpose);
    if (!record.SaveToFile(path.c_str())) return {};
    Bytes bytes = ReadFileBytes(path);
    std::remove(path.c_str());
    return bytes;
}

FuzzOutcome CheckRecordFile(const uint8_t* data, size_t size,
                            const std::function<std::unique_ptr<cFieldListRecord>()>& make)
{
    PrepareHost();
    const std::string path = ScratchPath("input");
    WriteScratch(path, data, size);
    std::unique_ptr<cFieldListRecord> lpRecord = make();
    const Bytes before = SavedBytes(*lpRecord, "before");
    if (before.empty()) return FuzzOutcome::Broken;
    const int nLoaded = lpRecord->LoadFromFile(path.c_str());
    std::remove(path.c_str());
    if (!nLoaded) return SavedBytes(*lpRecord, "after") == before ? FuzzOutcome::Refused : FuzzOutcome::Broken;

    const Bytes first = SavedBytes(*lpRecord, "first");
    if (first.empty()) return FuzzOutcome::Broken;
    WriteScratch(path, first.data(), first.size());
    std::unique_ptr<cFieldListRecord> lpAgain = make();
    const int nReloaded = lpAgain->LoadFromFile(path.c_str());
    std::remove(path.c_str());
    if (!nReloaded) return FuzzOutcome::Broken;
    return SavedBytes(*lpAgain, "second") == first ? FuzzOutcome::Loaded : FuzzOutcome::Broken;
}

}  // namespace fuzz
