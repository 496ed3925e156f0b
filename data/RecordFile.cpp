// Opening, closing, loading and saving whole record files through the platform file layer.
#include <cstring>
#include <new>
#include <string>

#include "core/Log.h"
#include "data/FieldListRecord.h"
#include "data/RecordStream.h"
#include "platform/win/WinFile.h"

namespace {

constexpr size_t kMaxRecordPath = 259;

const char* RecordPathOrErr(const char* path)
{
    return (path == nullptr || path[0] == '\0') ? "err" : path;
}

}  // namespace

FILE* OpenRecordFileForRead(const char* path)
{
    path = RecordPathOrErr(path);
    if (std::strlen(path) > kMaxRecordPath) {
        WriteReportTrace("%s : path too long", path);
        return nullptr;
    }
    FILE* fp = PlatformFopen(path, "rb");
    if (fp == nullptr) return nullptr;
    uint32_t nVersion = 0;
    if (!ReadU32(fp, nVersion)) {
        WriteReportTrace("%s : no format version", path);
        std::fclose(fp);
        return nullptr;
    }
    g_nFileVersion = nVersion;
    return fp;
}

FILE* OpenRecordFileForWrite(const char* path)
{
    path = RecordPathOrErr(path);
    if (std::strlen(path) > kMaxRecordPath) return nullptr;
    FILE* fp = PlatformFopen(path, "wb");
    if (fp == nullptr) return nullptr;
    if (!WriteU32(fp, g_nDataVersion)) {
        std::fclose(fp);
        return nullptr;
    }
    return fp;
}

bool CloseRecordFile(FILE* fp)
{
    if (fp == nullptr) return true;
    const bool bClean = std::ferror(fp) == 0;
    return std::fclose(fp) == 0 && bClean;
}

bool cFieldListRecord::LoadFromStream(FILE* fp)
{
    // Read into a copy, so that a file that ends early or does not fit leaves this record as it was.
    // Memory runs out only for a file far beyond any project; it is a failed load like any other.
    try {
        std::unique_ptr<cFieldListRecord> lpWork = CloneRecord();
        if (!lpWork->Load(fp)) return false;
        AssignRecord(*lpWork);
        return true;
    } catch (const std::bad_alloc&) {
        ReportRecordReadError(fp, "out of memory");
        return false;
    }
}

int cFieldListRecord::LoadFromFile(const char* path)
{
    FILE* fp = OpenRecordFileForRead(path);
    if (fp == nullptr) return 0;
    const bool bRead = LoadFromStream(fp);
    CloseRecordFile(fp);
    if (!bRead) {
        WriteReportTrace("%s : not loaded, the file is damaged", RecordPathOrErr(path));
        return 0;
    }
    return 1;
}

int cFieldListRecord::SaveToFile(const char* path)
{
    path = RecordPathOrErr(path);
    // Written beside the target and renamed over it once complete, so a failed or interrupted
    // save never leaves a half-written file in place of the old one.
    const std::string temporary = std::string(path) + ".tmp";
    FILE* fp = OpenRecordFileForWrite(temporary.c_str());
    if (fp == nullptr) {
        // A file that cannot even be made (a read-only or missing folder) is as lost a save as
        // one whose write fails later, and is reported the same way.
        WriteReportTrace("%s : could not be written", path);
        DeleteFile(temporary.c_str());
        return 0;
    }
    const bool bWritten = Save(fp);
    const bool bClosed = CloseRecordFile(fp);
    if (!bWritten || !bClosed || !MoveFileEx(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING)) {
        WriteReportTrace("%s : could not be written", path);
        DeleteFile(temporary.c_str());
        return 0;
    }
    return 1;
}
