#include "data/RecordStream.h"

#include "core/Log.h"

namespace {

// Counts up to this many small items are read without asking how long the file is: a short
// file then fails at its first missing byte, and nothing large has been allocated by then.
constexpr uint64_t kUncheckedCountBytes = 64 * 1024;

thread_local RecordStopTest t_lpfnStopTest = nullptr;
thread_local void* t_lpStopContext = nullptr;

}  // namespace

void SetRecordStopTest(RecordStopTest lpfnTest, void* lpContext)
{
    t_lpfnStopTest = lpfnTest;
    t_lpStopContext = lpContext;
}

bool RecordLoadStopped()
{
    return t_lpfnStopTest != nullptr && t_lpfnStopTest(t_lpStopContext);
}

void ReportRecordReadError(FILE* fp, const char* what)
{
    WriteReportTrace("Record file damaged or too short at byte %ld: %s", fp ? std::ftell(fp) : -1L, what);
}

bool ReadRecordBytes(FILE* fp, void* lpBuffer, size_t nBytes)
{
    if (nBytes == 0) return true;
    return std::fread(lpBuffer, 1, nBytes, fp) == nBytes;
}

bool ReadU32(FILE* fp, uint32_t& nValue)
{
    unsigned char bytes[4];
    if (!ReadRecordBytes(fp, bytes, 4)) return false;
    nValue = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
             (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return true;
}

bool WriteRecordBytes(FILE* fp, const void* lpBuffer, size_t nBytes)
{
    if (nBytes == 0) return true;
    return std::fwrite(lpBuffer, 1, nBytes, fp) == nBytes;
}

bool WriteU32(FILE* fp, uint32_t nValue)
{
    const unsigned char bytes[4] = {static_cast<unsigned char>(nValue), static_cast<unsigned char>(nValue >> 8),
                                    static_cast<unsigned char>(nValue >> 16),
                                    static_cast<unsigned char>(nValue >> 24)};
    return WriteRecordBytes(fp, bytes, 4);
}

bool RecordCountFits(FILE* fp, uint32_t nCount, uint32_t nMinBytes)
{
    const uint64_t nNeeded = static_cast<uint64_t>(nCount) * nMinBytes;
    if (nNeeded <= kUncheckedCountBytes) return true;
    const long nPos = std::ftell(fp);
    if (nPos < 0 || std::fseek(fp, 0, SEEK_END) != 0) return false;
    const long nEnd = std::ftell(fp);
    if (std::fseek(fp, nPos, SEEK_SET) != 0 || nEnd < nPos) return false;
    return nNeeded <= static_cast<uint64_t>(nEnd - nPos);
}

bool LoadIntVector(FILE* fp, std::vector<int32_t>& v)
{
    uint32_t nCount = 0;
    if (!ReadU32(fp, nCount) || !RecordCountFits(fp, nCount, 4)) {
        ReportRecordReadError(fp, "value count");
        return false;
    }
    std::vector<int32_t> values(nCount);
    if (!ReadRecordBytes(fp, values.data(), static_cast<size_t>(nCount) * 4)) {
        ReportRecordReadError(fp, "values");
        return false;
    }
    v.swap(values);
    return true;
}

bool SaveIntVector(FILE* fp, const std::vector<int32_t>& v)
{
    return WriteU32(fp, static_cast<uint32_t>(v.size())) && WriteRecordBytes(fp, v.data(), v.size() * 4);
}

bool LoadByteVector(FILE* fp, std::vector<int8_t>& v)
{
    uint32_t nCount = 0;
    if (!ReadU32(fp, nCount) || !RecordCountFits(fp, nCount, 1)) {
        ReportRecordReadError(fp, "byte count");
        return false;
    }
    std::vector<int8_t> bytes(nCount);
    if (!ReadRecordBytes(fp, bytes.data(), nCount)) {
        ReportRecordReadError(fp, "bytes");
        return false;
    }
    v.swap(bytes);
    return true;
}

bool SaveByteVector(FILE* fp, const std::vector<int8_t>& v)
{
    return WriteU32(fp, static_cast<uint32_t>(v.size())) && WriteRecordBytes(fp, v.data(), v.size());
}
