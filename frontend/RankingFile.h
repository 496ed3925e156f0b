#pragma once
// The rankings of one stage in one game mode: five tables, one per result kind (score, time left,
// clear time, HP left, SP left), of 20 lines each, kept in "<mode folder><stage key>rkg".
#include <cstdint>
#include <string>
#include <vector>

#include "data/FieldListRecord.h"

constexpr int32_t kRankingKinds = 5;
constexpr int32_t kRankingLines = 20;

class cRankingEntry : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cRankingEntry)
    cRankingEntry();
    void RegisterFields(uint32_t nVersion) override;

    int32_t m_bEnabled = 0;   // 0: an empty line
    std::string m_strName;
    int32_t m_nValue = 0;
};

class cRankingTable : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cRankingTable)
    cRankingTable();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;   // LoadRankingTable
    bool Save(FILE* fp) override;   // SaveRankingTable

    std::vector<cRankingEntry> m_vEntries;
    int32_t m_bLargerFirst = 0;   // sort flag: non-zero, larger values rank first
};

class cRankingFile : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cRankingFile)
    cRankingFile();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;   // ReadRankingFile
    bool Save(FILE* fp) override;   // WriteRankingFile

    std::vector<cRankingTable> m_vTables;   // by result kind
};

// The ranking file of the current stage.
extern cRankingFile g_RankingFile;

// Exactly 20 lines: missing ones empty, lines beyond the 20th dropped.
void ResetRankingTable(cRankingTable& table);
// Five tables of 20 empty lines with the sort flags 1, 1, 0, 1, 1.
void ResetRankingFile(cRankingFile& file);
// The sort flag a table of the result kind starts with.
int32_t DefaultRankingSortFlag(int32_t nKind);

// 1 with the path in out, 0 for a game mode without ranking files (out emptied).
int BuildRankingFilePath(std::string& out, int32_t nGameMode, const std::string& stageName);
// 1 when the file was read; otherwise the record is reset to the default rankings and 0.
int LoadRankingFile(cRankingFile& file, int32_t nGameMode, const std::string& stageName);
// 1 when written.
int SaveRankingFile(cRankingFile& file, int32_t nGameMode, const std::string& stageName);

// The line the value would enter at, or -1. An equal value never beats a line, and an empty
// line is taken before any comparison.
int32_t FindRankingInsertPos(const cRankingTable& table, int32_t nValue);
// Inserts the result at its line; the table keeps its length, the last line falls out.
void InsertRankingEntry(cRankingTable& table, const std::string& name, int32_t nValue);
