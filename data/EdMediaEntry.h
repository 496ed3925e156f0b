#pragma once
// The database lists that name media files: pictures, sound effects, background music and the
// dedicated character bitmaps with their cell layout.
#include <cstdint>
#include <string>

#include "data/FieldListRecord.h"

// Pictures and music share their members and field list.
class cEdNamedFile : public cFieldListRecord {
public:
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;

    std::string m_strName;
    int32_t m_nReserved = 0;   // stored and copied, never read by the player
    std::string m_strFile;

protected:
    cEdNamedFile();
};

class cEdPicture : public cEdNamedFile {
public:
    FIELD_LIST_RECORD_CLONE(cEdPicture)
    cEdPicture() = default;
};

class cEdBgm : public cEdNamedFile {
public:
    FIELD_LIST_RECORD_CLONE(cEdBgm)
    cEdBgm() = default;
};

class cEdSound : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdSound)
    cEdSound();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;

    std::string m_strName;
    std::string m_strFile;     // the WAVE file
    int32_t m_nReserved = 0;
};

class cEdBmpCharaExc : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdBmpCharaExc)
    cEdBmpCharaExc();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;

    // Cells of 32 pixels, or of GetCellScale() × 32 when m_bBigCells is set.
    int32_t GetCellScale() const;
    int32_t GetCellSide() const { return 32 * GetCellScale(); }
    // Top-left pixel of cell c in the bitmap, 16 / scale cells to a row.
    void GetCellOrigin(int32_t nCell, int32_t& nX, int32_t& nY) const;

    std::string m_strName;
    int32_t m_nReserved = 0;
    std::string m_strFile;
    int32_t m_bBigCells = 0;
    int32_t m_nCellScale = 2;
};
