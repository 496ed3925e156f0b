#pragma once
// Animation records of the database: a frame, an animation (a named run of frames) and an
// animation set (the basic animations a character definition selects, with its cell offsets).
#include <cstdint>
#include <string>
#include <vector>

#include "data/FieldListRecord.h"

class cEdAnimeFrame : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdAnimeFrame)
    cEdAnimeFrame();
    void RegisterFields(uint32_t nVersion) override;

    int32_t m_nFrame = 0;    // cell number of the object's graphic
    int32_t m_nTime = 1;     // tenths of a second
    int32_t m_bAction = 0;   // the moment the command that plays the animation takes effect
};

class cEdAnime : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdAnime)
    cEdAnime();
    void SetDefaults();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    std::string m_strName;
    std::vector<cEdAnimeFrame> m_vFrames;
    // Stored and copied for the editor; the player gives them no meaning.
    int16_t m_nExtra1 = 0;
    int8_t m_cExtra2 = 1;
    int16_t m_nExtra3 = 0;
};

class cEdAnimeSet : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdAnimeSet)
    cEdAnimeSet();
    void SetDefaults();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    std::string m_strName;
    int32_t m_nFrameOffset1 = 4;   // added to the cell base while invincible
    int32_t m_nFrameOffset2 = 8;   // while the definition's whole-cell box flag is set
    int32_t m_nFrameOffset3 = 0;   // while flying
    // Slot 0 standing, 1 moving while standing, 2 flying, 3 moving while flying.
    std::vector<cEdAnime> m_vAnimes;

private:
    void BringToFourSlots();
};
