#pragma once
// One stage, the content of a stage file (and of the stage body inside a replay): its scalar
// settings, result kinds, five scroll ranges, stage palette, placed definitions, backgrounds and
// texts. g_Stage is the working stage that play reads and changes; g_StageStart the start-of-stage
// copy from which every start and restart refills it.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "data/EdBlock.h"
#include "data/EdChara.h"
#include "data/EdItem.h"
#include "data/EdStageRecords.h"
#include "data/FieldListRecord.h"

// The last four bytes of every stage file from version 173 on.
constexpr uint32_t kStageTrailer = 123456789;

class cEdStage : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdStage)
    cEdStage();
    cEdStage(const cEdStage& source);
    cEdStage& operator=(const cEdStage& source);
    // Takes the source's vectors over instead of copying them; the source is left empty.
    cEdStage& operator=(cEdStage&& source);

    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;
    // A stage body for a replay: the scalars, result kinds, scroll ranges, backgrounds and texts
    // of the start-of-stage stage with the palette and placements of this stage.
    bool SaveForReplay(FILE* fp, cEdStage& start);

    void SetDefaults();
    void Validate();
    // Stores the level and the values derived from it. A level outside 1..19 derives its values
    // from the nearest valid level, so no division by zero or runaway sub-step count can follow.
    void SetSpeedLevel(int32_t nLevel);
    // Index of the hero among the placed characters (the first with a graphic that the player
    // controls), or -1.
    int32_t FindHero() const;
    int32_t HasHero() const { return FindHero() >= 0 ? 1 : 0; }

    std::string m_strName;

    std::vector<cEdBlock> m_vBlock;   // placed blocks
    std::vector<cEdChara> m_vChara;   // placed characters
    std::vector<cEdItem> m_vItem;     // placed items
    std::vector<cEdBlock> m_vPaletteBlock;   // the stage palette; entry 0 is the none entry
    std::vector<cEdChara> m_vPaletteChara;
    std::vector<cEdItem> m_vPaletteItem;
    std::vector<cEdStageBackground> m_vBackground;
    std::vector<cEdStageText> m_vText;

    // Scalar blocks in file order.
    int32_t m_nWidth = 0;                  // blocks
    int32_t m_nStageValue1 = 0;
    int32_t m_nStageValue2 = 0;
    int32_t m_nHeight = 0;                 // blocks
    int32_t m_bScrollLimitLeft = 0;
    int32_t m_bScrollLimitRight = 0;
    int32_t m_bScrollLimitTop = 0;
    int32_t m_bScrollLimitBottom = 0;
    int32_t m_nScrollLimitLeft = 0;        // block column
    int32_t m_nScrollLimitRight = 0;
    int32_t m_nScrollLimitTop = 0;         // block row
    int32_t m_nScrollLimitBottom = 0;
    int32_t m_nFrameRate = 0;
    int32_t m_bTimeLimit = 0;
    int32_t m_nTimeLimit = 0;
    int32_t m_nTimeWarning = 0;
    int32_t m_bAutoScrollX = 0;
    int32_t m_bAutoScrollY = 0;
    int32_t m_nAutoScrollSpeedX = 0;
    int32_t m_nAutoScrollSpeedY = 0;
    double m_dGravity = 0.0;               // at speed level 1, pixels per frame per frame
    int32_t m_nSpeedLevel = 0;             // 1..19
    int32_t m_nCollisionLevel = 0;         // 0..5, 0 = as the speed level
    int32_t m_nBgm = 0;                    // Bgm list index, 0 = none
    int32_t m_bBgmLoop = 0;                // from 166
    int32_t m_bBgmKeepOnRestart = 0;       // from 199
    int32_t m_bDrawByZ = 0;
    int32_t m_bStatusCarryOver = 0;
    int32_t m_bCarryOverPlayers = 0;
    int32_t m_bPlayOption29 = 0;           // from 183
    int32_t m_bSkipResults = 0;            // from 184
    int32_t m_bStageNoBanner = 0;
    int32_t m_bStartBanner = 0;            // from 225
    int32_t m_bClearBanner = 0;
    int32_t m_bWaitBanner = 0;
    int32_t m_nHeroWidth = 0;              // 35..38 from 200
    int32_t m_nHeroHeight = 0;
    int32_t m_nHeroWidthAlt = 0;
    int32_t m_nHeroHeightAlt = 0;
    int32_t m_nHeroHitWidth0 = 0;
    int32_t m_nHeroHitHeight0 = 0;
    int32_t m_nHeroHitWidth0Alt = 0;       // from 155
    int32_t m_nHeroHitHeight0Alt = 0;      // from 155
    int32_t m_nHeroHitWidth1 = 0;
    int32_t m_nHeroHitHeight1 = 0;
    int32_t m_nHeroBoxWidth = 0;
    int32_t m_nHeroBoxHeight = 0;
    int32_t m_bHeroSizeBottom = 0;         // from 200
    int32_t m_bHeroSizeBottomAlt = 0;      // from 200
    int32_t m_bHeroHitBottom = 0;          // from 155
    int32_t m_bHeroHitBottomAlt = 0;       // from 155
    int32_t m_nHeroBoxValue[4] = {};       // the first from 200
    int32_t m_nHeroBoxIndex[4] = {};       // the first from 200
    int32_t m_nCharaWidth = 0;             // 59..62 from 200
    int32_t m_nCharaHeight = 0;
    int32_t m_nCharaWidthAlt = 0;
    int32_t m_nCharaHeightAlt = 0;
    int32_t m_nCharaHitWidth0 = 0;
    int32_t m_nCharaHitHeight0 = 0;
    int32_t m_nCharaHitWidth0Alt = 0;      // from 155
    int32_t m_nCharaHitHeight0Alt = 0;     // from 155
    int32_t m_nCharaHitWidth1 = 0;
    int32_t m_nCharaHitHeight1 = 0;
    int32_t m_bCharaSizeBottom = 0;        // from 200
    int32_t m_bCharaSizeBottomAlt = 0;     // from 200
    int32_t m_bCharaHitBottom = 0;         // from 155
    int32_t m_bCharaHitBottomAlt = 0;      // from 155
    int32_t m_nItemBoxWidth = 0;
    int32_t m_nItemBoxHeight = 0;
    int32_t m_nHeroHitWidth2 = 0;
    int32_t m_nHeroHitHeight2 = 0;
    int32_t m_nBoxValue77 = 0;
    int32_t m_nBoxValue78 = 0;
    int32_t m_nCharaHitWidth2 = 0;
    int32_t m_nCharaHitHeight2 = 0;
    int32_t m_nBoxValue81 = 0;
    int32_t m_nBoxValue82 = 0;
    int32_t m_nStageValue83 = 0;
    int32_t m_nScrollExtX = 0;             // pixels
    int32_t m_nScrollExtY = 0;
    int32_t m_nSubSteps = 0;               // derived: b
    double m_dSubSteps = 0.0;              // derived: b
    double m_dSpeedDivisor = 0.0;          // derived: b squared
    double m_dSpeedLimit = 0.0;            // derived: per frame
    double m_dGravityStep = 0.0;           // derived: gravity per sub-step
    double m_dSpeedLimitStep = 0.0;        // derived: speed limit per sub-step
    int32_t m_nAirThreshold = 0;           // derived: 8 b
    int32_t m_bPlayOption93 = 0;
    int32_t m_nHitRepeat1 = 0;             // frames
    int32_t m_nInvincible1 = 0;
    int32_t m_nHitRepeat2 = 0;
    int32_t m_nInvincible2 = 0;

    std::vector<int32_t> m_vResultKind;    // five flags, one per result and ranking kind
    // Scroll ranges: computer characters (flag clear, flag set), items, shots (two kinds).
    cEdStageSetting m_Setting[5];

    // Never stored.
    std::string m_strFilePath;
    int32_t m_bUseLatest = 0;
    std::atomic<int32_t> m_bLoaded{0};
    int32_t m_nSubSteps6 = 0;              // derived: 6 b
};

extern cEdStage g_Stage;
extern cEdStage g_StageStart;
