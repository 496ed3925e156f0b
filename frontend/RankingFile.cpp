#include "frontend/RankingFile.h"

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/Path.h"
#include "core/Text.h"
#include "data/ProjectPaths.h"
#include "data/RecordStream.h"

namespace {

// Files up to this version were written before the two HP and SP rankings had their own sort
// order; their fourth and fifth tables rank larger values first.
constexpr uint32_t kLastVersionWithoutHpSpOrder = 180;

}  // namespace

cRankingEntry::cRankingEntry() { RegisterFields(g_nDataVersion); }

void cRankingEntry::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&m_bEnabled);
    AddInt32Field(&m_nValue);
    AddStringField(&m_strName);
}

cRankingTable::cRankingTable()
{
    RegisterFields(g_nDataVersion);
    m_vEntries.assign(kRankingLines, cRankingEntry());
}

void cRankingTable::RegisterFields(uint32_t) { RegisterOneInt(&m_bLargerFirst); }

bool cRankingTable::Load(FILE* fp)
{
    if (!LoadRecordFields(fp)) return false;
    if (!LoadRecordVector(fp, m_vEntries, cRankingEntry())) return false;
    // Every reader of a table walks its 20 lines; a table stored shorter or longer is brought to
    // that length here, so that no later index can miss and a short table still takes results.
    ResetRankingTable(*this);
    return true;
}

bool cRankingTable::Save(FILE* fp)
{
    return SaveRecordFields(fp) && SaveRecordVector(fp, m_vEntries);
}

cRankingFile::cRankingFile()
{
    RegisterFields(g_nDataVersion);
    ResetRankingFile(*this);
}

void cRankingFile::RegisterFields(uint32_t) { ClearFields(); }

bool cRankingFile::Load(FILE* fp)
{
    const uint32_t nVersion = g_nFileVersion;
    if (!LoadRecordFields(fp)) return false;
    if (!LoadRecordVector(fp, m_vTables, cRankingTable())) return false;
    // Older files hold fewer tables: the missing kinds start empty with their own sort order,
    // and tables beyond the five kinds are never shown or filled.
    while (m_vTables.size() < kRankingKinds) {
        cRankingTable table;
        table.m_bLargerFirst = DefaultRankingSortFlag(static_cast<int32_t>(m_vTables.size()));
        m_vTables.push_back(table);
    }
    m_vTables.resize(kRankingKinds);
    if (nVersion <= kLastVersionWithoutHpSpOrder) {
        m_vTables[3].m_bLargerFirst = 1;
        m_vTables[4].m_bLargerFirst = 1;
    }
    return true;
}

bool cRankingFile::Save(FILE* fp)
{
    return SaveRecordFields(fp) && SaveRecordVector(fp, m_vTables);
}

int32_t DefaultRankingSortFlag(int32_t nKind)
{
    // Clear time ranks the smallest first; every other kind the largest.
    return nKind == 2 ? 0 : 1;
}

void ResetRankingTable(cRankingTable& table)
{
    table.m_vEntries.resize(kRankingLines, cRankingEntry());
}

void ResetRankingFile(cRankingFile& file)
{
    file.ResetFields();
    file.m_vTables.resize(kRankingKinds, cRankingTable());
    for (int32_t i = 0; i < kRankingKinds; ++i) {
        cRankingTable& table = file.m_vTables[static_cast<size_t>(i)];
        table.m_vEntries.assign(kRankingLines, cRankingEntry());
        table.m_bLargerFirst = DefaultRankingSortFlag(i);
    }
}

int BuildRankingFilePath(std::string& out, int32_t nGameMode, const std::string& stageName)
{
    out.clear();
    const char* lpFolder = RankingFolderPath(nGameMode);
    if (lpFolder == nullptr) return 0;
    std::string name = stageName;
    StripDirectory(name);
    FormatString(out, "%s%s%s", lpFolder, name.c_str(), ProjectExtTable[3]);
    return 1;
}

int LoadRankingFile(cRankingFile& file, int32_t nGameMode, const std::string& stageName)
{
    std::string path;
    if (BuildRankingFilePath(path, nGameMode, stageName) && file.LoadFromFile(path)) return 1;
    ResetRankingFile(file);
    return 0;
}

int SaveRankingFile(cRankingFile& file, int32_t nGameMode, const std::string& stageName)
{
    std::string path;
    if (!BuildRankingFilePath(path, nGameMode, stageName)) return 0;
    return file.SaveToFile(path);
}

int32_t FindRankingInsertPos(const cRankingTable& table, int32_t nValue)
{
    const int32_t nCount = static_cast<int32_t>(table.m_vEntries.size());
    for (int32_t i = 0; i < nCount; ++i) {
        const cRankingEntry& entry = table.m_vEntries[static_cast<size_t>(i)];
        if (!entry.m_bEnabled) return i;
        const bool bBeaten = table.m_bLargerFirst ? nValue > entry.m_nValue : nValue < entry.m_nValue;
        if (bBeaten) return i;
    }
    return -1;
}

void InsertRankingEntry(cRankingTable& table, const std::string& name, int32_t nValue)
{
    const int32_t nPos = FindRankingInsertPos(table, nValue);
    cRankingEntry entry;
    entry.m_bEnabled = 1;
    entry.m_strName = name;
    entry.m_nValue = nValue;
    if (nPos < 0) return;   // appended and dropped again: the table is unchanged
    table.m_vEntries.insert(table.m_vEntries.begin() + nPos, entry);
    table.m_vEntries.pop_back();
}
