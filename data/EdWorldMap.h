#pragma once
// The world map: a grid of chip numbers, the chip kinds, the entries placed on cells (each a stack
// of alternative entry items chosen by their requirements), the start position and the background.
// Loaded once at start-up from "WorldMap.dat" and only read afterwards.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "data/FieldListRecord.h"

// One tile kind of the map.
class cEdWorldMapChip : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdWorldMapChip)
    cEdWorldMapChip();
    void RegisterFields(uint32_t nVersion) override;

    int32_t m_nChipValue = 0;
    int32_t m_bBlocked = 0;   // the cursor cannot enter a cell of this chip
    int32_t m_nCell = 0;      // graphic cell on the map-chip sheet, 5 per row
    std::string m_strName;
    std::string m_strText;
};

// One alternative state of an entry; the first item whose requirements hold is the current one.
class cEdWorldEntryItem : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdWorldEntryItem)
    cEdWorldEntryItem();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;

    // The comparison of a variable's value with m_nNeedValue by m_nNeedOp.
    bool VariableHolds(int32_t nValue) const;
    // All three requirements: the cleared flag of m_nNeedFlag, the variable comparison and the
    // total score. The callers supply the save data's cleared flags and the variables.
    bool Applies(const std::function<bool(int32_t)>& isCleared,
                 const std::function<int32_t(int32_t)>& variable, int64_t nTotalScore) const;

    int32_t m_nKind = 0;   // 0 stage place, 1 road, 2 wall
    int32_t m_nIcon = 0;
    int32_t m_nStageNo = 0;
    int32_t m_bStopOnPlace = 0;
    int32_t m_bReplayable = 0;
    int32_t m_nSpare = 0;
    int32_t m_nNeedFlag = 0;
    int32_t m_nNeedVar = 0;
    int32_t m_nNeedValue = 0;
    int32_t m_nNeedOp = 0;
    int32_t m_nNeedTotal = 0;   // stored from version 209
    std::string m_strTitle;
    std::string m_strStageFile;
};

// Something placed on one cell.
class cEdWorldEntry : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdWorldEntry)
    cEdWorldEntry();   // one default item
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    // The first item whose requirements hold, or null.
    const cEdWorldEntryItem* CurrentItem(const std::function<bool(int32_t)>& isCleared,
                                         const std::function<int32_t(int32_t)>& variable,
                                         int64_t nTotalScore) const;

    int32_t m_nX = 0;
    int32_t m_nY = 0;
    std::string m_strName;
    std::vector<cEdWorldEntryItem> m_vEntryItem;
};

class cEdWorldMap : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdWorldMap)
    cEdWorldMap();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    void SetDefaults();
    void Validate();
    // New grid size; the cells both grids share keep their chips. 0 when a side is not positive
    // or the grid would be too large.
    int SetSize(int32_t nWidth, int32_t nHeight);

    // The first entry placed on the cell, or null.
    cEdWorldEntry* FindEntryAt(int32_t nX, int32_t nY);
    const cEdWorldEntry* FindEntryAt(int32_t nX, int32_t nY) const;
    // The chip number of a cell, x clamped into the map and y to its rows; a grid shorter than its
    // geometry is reported through the checked access.
    int32_t CellAt(int32_t nX, int32_t nY) const;

    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_nPitch = 0;
    int32_t m_nPitchShift = 0;
    std::vector<cEdWorldMapChip> m_vChip;
    std::vector<int32_t> m_vCell;
    std::vector<cEdWorldEntry> m_vEntry;
    std::vector<cEdWorldEntry> m_vEntry2;
    int32_t m_nStartX = 0;
    int32_t m_nStartY = 0;
    int32_t m_nBackColor = 0;
    int32_t m_bBackPicture = 0;
    std::string m_strName;
    std::string m_strPicture;
};

extern cEdWorldMap g_WorldMap;
