#pragma once
// The player's options, kept in "user_data\Option.dat": the palette pattern of the 8-bit display
// mode, music on or off, the sound-effect volume level, the ranking registration mode and the
// name offered for ranking entries.
#include <cstdint>
#include <string>

#include "data/FieldListRecord.h"

constexpr int32_t kMaxPalettePattern = 23;
constexpr int32_t kMaxVolumeLevel = 10;
constexpr int32_t kMaxRankingEntryMode = 3;

class cOptionData : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cOptionData)
    cOptionData();
    void RegisterFields(uint32_t nVersion) override;
    // The generic body; the values are then brought into their ranges, since the file is the
    // player's and may hold anything.
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override { return SaveAfterNoOp(fp); }

    void SetDefaults();
    void Validate();

    int32_t nPalettePattern = 0;     // 0..23
    int32_t bBgm = 1;                // 0..1
    int32_t nVolume = 7;             // 0..10
    int32_t nRankingEntryMode = 0;   // 0..3
    std::string strPlayerName = "aaa";
};

extern cOptionData g_OptionData;

// The sound-effect volume of a level in hundredths of a decibel (level clamped to 0..10).
int32_t VolumeOfLevel(int32_t nLevel);
