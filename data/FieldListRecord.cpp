#include "data/FieldListRecord.h"

#include <algorithm>
#include <cstring>

#include "data/RecordStream.h"

// Both hold their start-up values from the beginning, so records built by static initialisers
// register the same members as every later operation does.
uint32_t g_nDataVersion = kCurrentDataVersion;
uint32_t g_nFileVersion = 0;
int32_t g_bStripCR = 1;

namespace {

// A string stored longer than this is taken for a damaged file rather than read into memory.
constexpr uint32_t kMaxStoredStringBytes = 16u * 1024 * 1024;

}  // namespace

cFieldListRecord& cFieldListRecord::operator=(const cFieldListRecord& source)
{
    // The lists are rebuilt for the current version on the target; the source's lists point into
    // the source and are never taken over.
    RegisterFields(g_nDataVersion);
    const_cast<cFieldListRecord&>(source).PrepareCopy(g_nDataVersion);
    return *this;
}

void cFieldListRecord::PrepareCopy(uint32_t) {}

void cFieldListRecord::RegisterFields(uint32_t) {}

void cFieldListRecord::ClearFields()
{
    m_vFields.clear();
    m_vStrings.clear();
}

void cFieldListRecord::AddField(void* lpMember, int32_t nCount, uint8_t nSize)
{
    m_vFields.push_back(FieldDescriptor{this, lpMember, nCount, nSize});
}

void cFieldListRecord::AddStringField(std::string* lpMember, int32_t)
{
    m_vStrings.push_back(StringFieldDescriptor{this, lpMember});
}

void cFieldListRecord::RegisterOneInt(int32_t* lpMember)
{
    ClearFields();
    AddInt32Field(lpMember);
}

void cFieldListRecord::RegisterTwoInts(int32_t* lpFirst, int32_t* lpSecond)
{
    ClearFields();
    AddInt32Field(lpFirst);
    AddInt32Field(lpSecond);
}

void cFieldListRecord::ResetFields()
{
    RegisterFields(g_nDataVersion);
    for (const FieldDescriptor& field : m_vFields)
        std::memset(field.m_lpAddress, 0, static_cast<size_t>(field.m_nCount) * field.m_nSize);
    for (const StringFieldDescriptor& string : m_vStrings) string.m_lpString->clear();
}

void cFieldListRecord::CopyFields(cFieldListRecord& source)
{
    RegisterFields(g_nDataVersion);
    source.RegisterFields(g_nDataVersion);
    const size_t nFields = std::min(m_vFields.size(), source.m_vFields.size());
    for (size_t i = 0; i < nFields; ++i) {
        const FieldDescriptor& to = m_vFields[i];
        const FieldDescriptor& from = source.m_vFields[i];
        if (to.m_lpAddress == from.m_lpAddress) continue;
        const size_t nBytes = static_cast<size_t>(std::min(to.m_nCount, from.m_nCount)) * to.m_nSize;
        std::memcpy(to.m_lpAddress, from.m_lpAddress, nBytes);
    }
    const size_t nStrings = std::min(m_vStrings.size(), source.m_vStrings.size());
    for (size_t i = 0; i < nStrings; ++i) *m_vStrings[i].m_lpString = *source.m_vStrings[i].m_lpString;
}

bool cFieldListRecord::LoadRecordFields(FILE* fp)
{
    RegisterFields(g_nFileVersion);
    uint32_t nFields = 0;
    if (!ReadU32(fp, nFields)) {
        ReportRecordReadError(fp, "field count");
        return false;
    }
    // More blocks than this class has for the file's version cannot be placed in any member.
    if (nFields > m_vFields.size()) {
        ReportRecordReadError(fp, "more field blocks than the record has");
        return false;
    }
    for (uint32_t i = 0; i < nFields; ++i) {
        const FieldDescriptor& field = m_vFields[i];
        if (!ReadRecordBytes(fp, field.m_lpAddress, static_cast<size_t>(field.m_nCount) * field.m_nSize)) {
            ReportRecordReadError(fp, "field block");
            return false;
        }
    }
    if (!LoadStrings(fp)) return false;
    if (g_bStripCR) StripCR();
    if (g_nDataVersion != g_nFileVersion) RegisterFields(g_nDataVersion);
    return true;
}

bool cFieldListRecord::LoadStrings(FILE* fp)
{
    uint32_t nStrings = 0;
    if (!ReadU32(fp, nStrings)) {
        ReportRecordReadError(fp, "string count");
        return false;
    }
    if (nStrings > m_vStrings.size()) {
        ReportRecordReadError(fp, "more strings than the record has");
        return false;
    }
    std::vector<char> buffer;
    for (uint32_t i = 0; i < nStrings; ++i) {
        uint32_t nLength = 0;
        if (!ReadU32(fp, nLength)) {
            ReportRecordReadError(fp, "string length");
            return false;
        }
        std::string& text = *m_vStrings[i].m_lpString;
        if (nLength == 1) {
            text.clear();
            continue;
        }
        // A writer stores at least the terminating NUL, so 0 only comes from a damaged file.
        if (nLength == 0 || nLength > kMaxStoredStringBytes || !RecordCountFits(fp, nLength, 1)) {
            ReportRecordReadError(fp, "string length out of range");
            return false;
        }
        buffer.resize(nLength);
        if (!ReadRecordBytes(fp, buffer.data(), nLength)) {
            ReportRecordReadError(fp, "string text");
            return false;
        }
        const char* lpEnd = static_cast<const char*>(std::memchr(buffer.data(), 0, nLength));
        text.assign(buffer.data(), lpEnd ? static_cast<size_t>(lpEnd - buffer.data()) : nLength);
    }
    return true;
}

void cFieldListRecord::StripCR()
{
    for (const StringFieldDescriptor& string : m_vStrings) std::erase(*string.m_lpString, '\r');
}

bool cFieldListRecord::SaveRecordFields(FILE* fp)
{
    RegisterFields(g_nDataVersion);
    if (!WriteU32(fp, static_cast<uint32_t>(m_vFields.size()))) return false;
    for (const FieldDescriptor& field : m_vFields) {
        if (!WriteRecordBytes(fp, field.m_lpAddress, static_cast<size_t>(field.m_nCount) * field.m_nSize))
            return false;
    }
    return SaveStrings(fp);
}

bool cFieldListRecord::SaveStrings(FILE* fp)
{
    if (!WriteU32(fp, static_cast<uint32_t>(m_vStrings.size()))) return false;
    for (const StringFieldDescriptor& string : m_vStrings) {
        std::string& text = *string.m_lpString;
        // The stored text ends at its first NUL, and so does the member after saving.
        const size_t nNul = text.find('\0');
        if (nNul != std::string::npos) text.resize(nNul);
        if (!WriteU32(fp, static_cast<uint32_t>(text.size() + 1))) return false;
        if (!text.empty() && !WriteRecordBytes(fp, text.c_str(), text.size() + 1)) return false;
    }
    return true;
}

bool cFieldListRecord::Load(FILE* fp)
{
    return LoadRecordFields(fp);
}

bool cFieldListRecord::Save(FILE* fp)
{
    return SaveRecordFields(fp);
}

bool cFieldListRecord::LoadThenNoOp(FILE* fp)
{
    if (!LoadRecordFields(fp)) return false;
    NoOpHook();
    return true;
}

bool cFieldListRecord::SaveAfterNoOp(FILE* fp)
{
    NoOpHook();
    return SaveRecordFields(fp);
}
