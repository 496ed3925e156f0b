#include "frontend/OptionData.h"

#include <algorithm>

namespace {

constexpr int32_t kVolumeTable[kMaxVolumeLevel + 1] = {-10000, -3000, -2000, -1300, -800, -500,
                                                       -300,   -150,  -80,   -30,   0};

}  // namespace

cOptionData::cOptionData()
{
    RegisterFields(g_nDataVersion);
    ResetFields();
    SetDefaults();
}

void cOptionData::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&nPalettePattern);
    AddInt32Field(&bBgm);
    AddInt32Field(&nVolume);
    AddInt32Field(&nRankingEntryMode);
    AddStringField(&strPlayerName);
}

void cOptionData::SetDefaults()
{
    nPalettePattern = 0;
    bBgm = 1;
    nVolume = 7;
    nRankingEntryMode = 0;
    strPlayerName = "aaa";
}

bool cOptionData::Load(FILE* fp)
{
    if (!LoadThenNoOp(fp)) return false;
    Validate();
    return true;
}

void cOptionData::Validate()
{
    nPalettePattern = std::clamp(nPalettePattern, 0, kMaxPalettePattern);
    bBgm = std::clamp(bBgm, 0, 1);
    nVolume = std::clamp(nVolume, 0, kMaxVolumeLevel);
    nRankingEntryMode = std::clamp(nRankingEntryMode, 0, kMaxRankingEntryMode);
}

int32_t VolumeOfLevel(int32_t nLevel)
{
    return kVolumeTable[std::clamp(nLevel, 0, kMaxVolumeLevel)];
}
