#include "data/EdStage.h"

#include <algorithm>
#include <limits>

#include "data/EdDatabase.h"
#include "data/EdPalette.h"
#include "data/PaletteInheritance.h"
#include "data/RecordStream.h"

cEdStage g_Stage;
cEdStage g_StageStart;

namespace {

int32_t ClampToInt32(int64_t n)
{
    return static_cast<int32_t>(std::clamp<int64_t>(n, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// value := at most nLimit (signed); the limit is computed wide so that no width overflows it.
void LimitTo(int32_t& nValue, int64_t nLimit)
{
    if (nValue > nLimit) nValue = ClampToInt32(nLimit);
}

// A placement in a file: the leading u32 and at least the smallest body of its definition.
// Placements are added as they load, each after a look at the stop request: a list of many
// placements is the longest part of a stage load, and building it ahead would not look.
template <class T>
bool LoadPlacements(FILE* fp, std::vector<T>& v, uint32_t nMinBodyBytes)
{
    uint32_t nCount = 0;
    if (!ReadU32(fp, nCount) || !RecordCountFits(fp, nCount, 4 + nMinBodyBytes)) {
        ReportRecordReadError(fp, "placement count");
        return false;
    }
    v.clear();
    v.reserve(nCount);
    for (uint32_t i = 0; i < nCount; ++i) {
        if (RecordLoadStopped()) return false;
        uint32_t nIgnored = 0;
        if (!ReadU32(fp, nIgnored)) {
            ReportRecordReadError(fp, "placement");
            return false;
        }
        v.emplace_back();
        if (!v.back().Load(fp)) return false;
    }
    return true;
}

template <class T>
bool SavePlacements(FILE* fp, std::vector<T>& v)
{
    if (!WriteU32(fp, static_cast<uint32_t>(v.size()))) return false;
    for (T& element : v) {
        if (!WriteU32(fp, 0) || !element.Save(fp)) return false;
    }
    return true;
}

}  // namespace

cEdStage::cEdStage()
{
    for (cEdStageSetting& setting : m_Setting) setting.ResetFields();
    RegisterFields(kCurrentDataVersion);
    SetDefaults();
}

cEdStage::cEdStage(const cEdStage& source) : cFieldListRecord(source)
{
    *this = source;
}

cEdStage& cEdStage::operator=(const cEdStage& source)
{
    if (this == &source) return *this;
    cFieldListRecord::operator=(source);
    // Every listed member, then the rest member by member.
    CopyFields(const_cast<cEdStage&>(source));
    m_vBlock = source.m_vBlock;
    m_vChara = source.m_vChara;
    m_vItem = source.m_vItem;
    m_vPaletteBlock = source.m_vPaletteBlock;
    m_vPaletteChara = source.m_vPaletteChara;
    m_vPaletteItem = source.m_vPaletteItem;
    CopyStageBackgrounds(m_vBackground, source.m_vBackground);
    CopyStageTexts(m_vText, source.m_vText);
    m_vResultKind = source.m_vResultKind;
    for (int i = 0; i < 5; ++i) m_Setting[i] = source.m_Setting[i];
    // The derived values are listed as well; 6 b is not.
    m_nSubSteps6 = source.m_nSubSteps6;
    m_strFilePath = source.m_strFilePath;
    m_bUseLatest = source.m_bUseLatest;
    m_bLoaded = source.m_bLoaded.load();
    return *this;
}

cEdStage& cEdStage::operator=(cEdStage&& source)
{
    if (this == &source) return *this;
    cFieldListRecord::operator=(source);
    CopyFields(source);
    m_vBlock = std::move(source.m_vBlock);
    m_vChara = std::move(source.m_vChara);
    m_vItem = std::move(source.m_vItem);
    m_vPaletteBlock = std::move(source.m_vPaletteBlock);
    m_vPaletteChara = std::move(source.m_vPaletteChara);
    m_vPaletteItem = std::move(source.m_vPaletteItem);
    m_vBackground = std::move(source.m_vBackground);
    m_vText = std::move(source.m_vText);
    m_vResultKind = std::move(source.m_vResultKind);
    for (int i = 0; i < 5; ++i) m_Setting[i] = source.m_Setting[i];
    m_nSubSteps6 = source.m_nSubSteps6;
    m_strFilePath = std::move(source.m_strFilePath);
    m_bUseLatest = source.m_bUseLatest;
    m_bLoaded = source.m_bLoaded.load();
    return *this;
}

void cEdStage::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddStringField(&m_strName);
    AddInt32Field(&m_nWidth);
    AddInt32Field(&m_nStageValue1);
    AddInt32Field(&m_nStageValue2);
    AddInt32Field(&m_nHeight);
    AddInt32Field(&m_bScrollLimitLeft);
    AddInt32Field(&m_bScrollLimitRight);
    AddInt32Field(&m_bScrollLimitTop);
    AddInt32Field(&m_bScrollLimitBottom);
    AddInt32Field(&m_nScrollLimitLeft);
    AddInt32Field(&m_nScrollLimitRight);
    AddInt32Field(&m_nScrollLimitTop);
    AddInt32Field(&m_nScrollLimitBottom);
    AddInt32Field(&m_nFrameRate);
    AddInt32Field(&m_bTimeLimit);
    AddInt32Field(&m_nTimeLimit);
    AddInt32Field(&m_nTimeWarning);
    AddInt32Field(&m_bAutoScrollX);
    AddInt32Field(&m_bAutoScrollY);
    AddInt32Field(&m_nAutoScrollSpeedX);
    AddInt32Field(&m_nAutoScrollSpeedY);
    AddDoubleField(&m_dGravity);
    AddInt32Field(&m_nSpeedLevel);
    AddInt32Field(&m_nCollisionLevel);
    AddInt32Field(&m_nBgm);
    if (nVersion >= 166) AddInt32Field(&m_bBgmLoop);
    if (nVersion >= 199) AddInt32Field(&m_bBgmKeepOnRestart);
    AddInt32Field(&m_bDrawByZ);
    AddInt32Field(&m_bStatusCarryOver);
    AddInt32Field(&m_bCarryOverPlayers);
    if (nVersion >= 183) AddInt32Field(&m_bPlayOption29);
    if (nVersion >= 184) AddInt32Field(&m_bSkipResults);
    AddInt32Field(&m_bStageNoBanner);
    if (nVersion >= 225) AddInt32Field(&m_bStartBanner);
    AddInt32Field(&m_bClearBanner);
    AddInt32Field(&m_bWaitBanner);
    if (nVersion >= 200) {
        AddInt32Field(&m_nHeroWidth);
        AddInt32Field(&m_nHeroHeight);
        AddInt32Field(&m_nHeroWidthAlt);
        AddInt32Field(&m_nHeroHeightAlt);
    }
    AddInt32Field(&m_nHeroHitWidth0);
    AddInt32Field(&m_nHeroHitHeight0);
    if (nVersion >= 155) {
        AddInt32Field(&m_nHeroHitWidth0Alt);
        AddInt32Field(&m_nHeroHitHeight0Alt);
    }
    AddInt32Field(&m_nHeroHitWidth1);
    AddInt32Field(&m_nHeroHitHeight1);
    AddInt32Field(&m_nHeroBoxWidth);
    AddInt32Field(&m_nHeroBoxHeight);
    if (nVersion >= 200) {
        AddInt32Field(&m_bHeroSizeBottom);
        AddInt32Field(&m_bHeroSizeBottomAlt);
    }
    if (nVersion >= 155) {
        AddInt32Field(&m_bHeroHitBottom);
        AddInt32Field(&m_bHeroHitBottomAlt);
    }
    if (nVersion >= 200) AddInt32Field(&m_nHeroBoxValue[0]);
    AddInt32Field(&m_nHeroBoxValue[1]);
    AddInt32Field(&m_nHeroBoxValue[2]);
    AddInt32Field(&m_nHeroBoxValue[3]);
    if (nVersion >= 200) AddInt32Field(&m_nHeroBoxIndex[0]);
    AddInt32Field(&m_nHeroBoxIndex[1]);
    AddInt32Field(&m_nHeroBoxIndex[2]);
    AddInt32Field(&m_nHeroBoxIndex[3]);
    if (nVersion >= 200) {
        AddInt32Field(&m_nCharaWidth);
        AddInt32Field(&m_nCharaHeight);
        AddInt32Field(&m_nCharaWidthAlt);
        AddInt32Field(&m_nCharaHeightAlt);
    }
    AddInt32Field(&m_nCharaHitWidth0);
    AddInt32Field(&m_nCharaHitHeight0);
    if (nVersion >= 155) {
        AddInt32Field(&m_nCharaHitWidth0Alt);
        AddInt32Field(&m_nCharaHitHeight0Alt);
    }
    AddInt32Field(&m_nCharaHitWidth1);
    AddInt32Field(&m_nCharaHitHeight1);
    if (nVersion >= 200) {
        AddInt32Field(&m_bCharaSizeBottom);
        AddInt32Field(&m_bCharaSizeBottomAlt);
    }
    if (nVersion >= 155) {
        AddInt32Field(&m_bCharaHitBottom);
        AddInt32Field(&m_bCharaHitBottomAlt);
    }
    AddInt32Field(&m_nItemBoxWidth);
    AddInt32Field(&m_nItemBoxHeight);
    AddInt32Field(&m_nHeroHitWidth2);
    AddInt32Field(&m_nHeroHitHeight2);
    AddInt32Field(&m_nBoxValue77);
    AddInt32Field(&m_nBoxValue78);
    AddInt32Field(&m_nCharaHitWidth2);
    AddInt32Field(&m_nCharaHitHeight2);
    AddInt32Field(&m_nBoxValue81);
    AddInt32Field(&m_nBoxValue82);
    AddInt32Field(&m_nStageValue83);
    AddInt32Field(&m_nScrollExtX);
    AddInt32Field(&m_nScrollExtY);
    AddInt32Field(&m_nSubSteps);
    AddDoubleField(&m_dSubSteps);
    AddDoubleField(&m_dSpeedDivisor);
    AddDoubleField(&m_dSpeedLimit);
    AddDoubleField(&m_dGravityStep);
    AddDoubleField(&m_dSpeedLimitStep);
    AddInt32Field(&m_nAirThreshold);
    AddInt32Field(&m_bPlayOption93);
    AddInt32Field(&m_nHitRepeat1);
    AddInt32Field(&m_nInvincible1);
    AddInt32Field(&m_nHitRepeat2);
    AddInt32Field(&m_nInvincible2);
}

void cEdStage::SetDefaults()
{
    ResetFields();
    m_vBlock.clear();
    m_vChara.clear();
    m_vItem.clear();
    m_vPaletteBlock.assign(1, cEdBlock());
    m_vPaletteChara.assign(1, cEdChara());
    m_vPaletteItem.assign(1, cEdItem());
    m_vBackground.assign(1, cEdStageBackground());
    m_vBackground[0].m_bColorFill = 1;
    m_vText.clear();
    m_vResultKind.assign(5, 1);
    for (int i = 0; i < 3; ++i) m_Setting[i].Set(0, 0, 0, 0, 0, 0, 0, 0);
    m_Setting[3].Set(1, 1, 1, 1, 0, 0, 0, 0);
    m_Setting[4].Set(1, 1, 1, 1, 10, 10, 10, 10);

    m_nFrameRate = 60;
    m_nTimeLimit = 200;
    m_nTimeWarning = 20;
    m_dGravity = 0.4;
    m_nSpeedLevel = 10;
    m_bDrawByZ = 1;
    m_bPlayOption29 = 1;
    m_bStartBanner = 1;
    m_bClearBanner = 1;
    m_bWaitBanner = 1;
    m_nHeroWidth = 16;
    m_nHeroHeight = 24;
    m_nHeroWidthAlt = 16;
    m_nHeroHeightAlt = 16;
    m_nHeroHitWidth0 = 16;
    m_nHeroHitHeight0 = 24;
    m_nHeroHitWidth0Alt = 16;
    m_nHeroHitHeight0Alt = 16;
    m_nHeroHitWidth1 = 12;
    m_nHeroHitHeight1 = 8;
    m_nHeroBoxWidth = 16;
    m_nHeroBoxHeight = 16;
    m_bHeroSizeBottom = 1;
    m_bHeroHitBottom = 1;
    m_nCharaWidth = 16;
    m_nCharaHeight = 24;
    m_nCharaWidthAlt = 16;
    m_nCharaHeightAlt = 16;
    m_nCharaHitWidth0 = 12;
    m_nCharaHitHeight0 = 24;
    m_nCharaHitWidth0Alt = 12;
    m_nCharaHitHeight0Alt = 16;
    m_nCharaHitWidth1 = 30;
    m_nCharaHitHeight1 = 30;
    m_bCharaSizeBottom = 1;
    m_bCharaHitBottom = 1;
    m_nItemBoxWidth = 28;
    m_nItemBoxHeight = 28;
    m_nHeroHitWidth2 = 16;
    m_nHeroHitHeight2 = 16;
    m_nBoxValue77 = 16;
    m_nBoxValue78 = 16;
    m_nCharaHitWidth2 = 16;
    m_nCharaHitHeight2 = 16;
    m_nBoxValue81 = 16;
    m_nBoxValue82 = 16;
    m_nStageValue83 = 1;
    m_bPlayOption93 = 1;
    m_nHitRepeat1 = 30;
    m_nHitRepeat2 = 30;
}

bool cEdStage::Load(FILE* fp)
{
    // The placed definitions of this file inherit from the stage palette read before them.
    cPaletteScope scope(kPaletteStage, &m_vPaletteBlock, &m_vPaletteChara, &m_vPaletteItem);
    if (!LoadRecordFields(fp)) return false;
    if (!LoadIntVector(fp, m_vResultKind)) return false;
    for (cEdStageSetting& setting : m_Setting) {
        if (!setting.Load(fp)) return false;
    }
    if (!LoadBlockList(m_vPaletteBlock, fp) || !LoadCharaList(m_vPaletteChara, fp) ||
        !LoadItemList(m_vPaletteItem, fp))
        return false;
    if (!m_vPaletteBlock.empty()) m_vPaletteBlock[0].SetDefaults();
    if (!m_vPaletteChara.empty()) m_vPaletteChara[0].SetDefaults();
    if (!m_vPaletteItem.empty()) m_vPaletteItem[0].SetDefaults();
    if (!LoadPlacements(fp, m_vBlock, kMinBlockBodyBytes) || !LoadPlacements(fp, m_vChara, kMinCharaBodyBytes) ||
        !LoadPlacements(fp, m_vItem, kMinItemBodyBytes))
        return false;
    if (!LoadRecordVector(fp, m_vBackground, cEdStageBackground())) return false;
    if (!LoadRecordVector(fp, m_vText, cEdStageText())) return false;
    if (g_nFileVersion >= 173) {
        uint32_t nTrailer = 0;
        if (!ReadU32(fp, nTrailer)) {
            ReportRecordReadError(fp, "stage trailer");
            return false;
        }
    }
    if (g_nFileVersion < 751) {
        const uint32_t v = g_nFileVersion;
        if (v < 155) {
            m_nHeroHitWidth0Alt = m_nHeroHitWidth0;
            m_nHeroHitHeight0Alt = m_nHeroHitHeight0;
            m_nCharaHitWidth0Alt = m_nCharaHitWidth0;
            m_nCharaHitHeight0Alt = m_nCharaHitHeight0;
            m_bHeroHitBottom = 0;
            m_bHeroHitBottomAlt = 0;
            m_bCharaHitBottom = 0;
            m_bCharaHitBottomAlt = 0;
        }
        if (v < 166) m_bBgmLoop = 1;
        if (v < 181) {
            m_vResultKind.resize(5, 0);
            m_vResultKind[3] = 0;
            m_vResultKind[4] = 0;
        }
        if (v < 183) m_bPlayOption29 = 1;
        if (v < 184) m_bSkipResults = 0;
        if (v < 199) m_bBgmKeepOnRestart = 0;
        if (v < 200) {
            m_nHeroWidth = 16;
            m_nHeroHeight = 24;
            m_nHeroWidthAlt = 16;
            m_nHeroHeightAlt = 16;
            m_bHeroSizeBottom = 1;
            m_bHeroSizeBottomAlt = 0;
            m_nHeroBoxValue[0] = 0;
            m_nHeroBoxIndex[0] = 5;
            m_nCharaWidth = 16;
            m_nCharaHeight = 30;
            m_nCharaWidthAlt = 16;
            m_nCharaHeightAlt = 30;
            m_bCharaSizeBottom = 1;
            m_bCharaSizeBottomAlt = 1;
        }
        if (v < 225) m_bStartBanner = 0;
    }
    Validate();
    return true;
}

bool cEdStage::Save(FILE* fp)
{
    return SaveForReplay(fp, *this);
}

bool cEdStage::SaveForReplay(FILE* fp, cEdStage& start)
{
    Validate();
    if (!start.SaveRecordFields(fp) || !SaveIntVector(fp, start.m_vResultKind)) return false;
    for (cEdStageSetting& setting : start.m_Setting) {
        if (!setting.Save(fp)) return false;
    }
    if (!SaveRecordVector(fp, m_vPaletteBlock) || !SaveRecordVector(fp, m_vPaletteChara) ||
        !SaveRecordVector(fp, m_vPaletteItem))
        return false;
    if (!SavePlacements(fp, m_vBlock) || !SavePlacements(fp, m_vChara) || !SavePlacements(fp, m_vItem))
        return false;
    return SaveRecordVector(fp, start.m_vBackground) && SaveRecordVector(fp, start.m_vText) &&
           WriteU32(fp, kStageTrailer);
}

void cEdStage::Validate()
{
    cPaletteScope scope(kPaletteStage, &m_vPaletteBlock, &m_vPaletteChara, &m_vPaletteItem);
    LimitTo(m_nScrollLimitLeft, int64_t{m_nWidth} - 20);
    LimitTo(m_nScrollLimitRight, int64_t{m_nWidth} - 1);
    LimitTo(m_nScrollLimitTop, int64_t{m_nHeight} - 15);
    LimitTo(m_nScrollLimitBottom, int64_t{m_nHeight} - 1);
    SetSpeedLevel(m_nSpeedLevel);
    if (static_cast<uint64_t>(static_cast<uint32_t>(m_nBgm)) >= g_Database.m_vBgm.size()) m_nBgm = 0;
    while (m_vPaletteBlock.size() < 2) m_vPaletteBlock.emplace_back();
    while (m_vPaletteChara.size() < 2) m_vPaletteChara.emplace_back();
    while (m_vPaletteItem.size() < 2) m_vPaletteItem.emplace_back();
    ValidatePaletteEntries(m_vPaletteBlock, m_vPaletteChara, m_vPaletteItem);
    ValidatePaletteEntries(m_vBlock, m_vChara, m_vItem);
}

void cEdStage::SetSpeedLevel(int32_t nLevel)
{
    m_nSpeedLevel = nLevel;
    const int32_t nValid = std::clamp(nLevel, 1, 19);
    const bool bFast = nValid >= 11;
    const int32_t b = bFast ? nValid - 10 : nValid;
    m_nSubSteps = b;
    m_dSubSteps = b;
    m_nSubSteps6 = 6 * b;
    m_dSpeedDivisor = static_cast<double>(b) * b;
    m_dSpeedLimit = bFast ? 60.0 : 6.0 * b;
    m_dSpeedLimitStep = m_dSpeedLimit / b;
    m_nAirThreshold = 8 * b;
    m_dGravityStep = m_dGravity / m_dSpeedDivisor;
}

int32_t cEdStage::FindHero() const
{
    for (size_t i = 0; i < m_vChara.size(); ++i) {
        if (m_vChara[i].m_nGraphicIndex != 0 && m_vChara[i].m_nController == 0) return static_cast<int32_t>(i);
    }
    return -1;
}
