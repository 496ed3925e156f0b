#pragma once
// The project settings "data\System.dat": the game's title, the rules of the game modes, the texts
// of the built-in screens, the system sounds and music, the graphics format, the font, the option
// list that gives "System.ini" its keys and defaults, and the switches that keep the behaviour of
// projects saved by older versions.
#include <cstdint>
#include <string>
#include <vector>

#include "data/EdSystemLists.h"
#include "data/FieldListRecord.h"

// Sizes the rest of the program indexes the lists by.
constexpr int32_t SystemStatusGroups = 25;      // m_vCarryOver, m_vCarryReset
constexpr int32_t SystemGameModes = 4;          // per-mode lists
constexpr int32_t SystemStatusEntries = 5;
constexpr int32_t SystemTextCount = 28;
constexpr int32_t SystemSoundCount = 17;
constexpr int32_t SystemBgmSlots = 4;
constexpr int32_t SystemOptionCount = 10;
constexpr int32_t SystemTitleMenuItems = 7;
constexpr int32_t SystemMapMenuItems = 4;
constexpr int32_t SystemOptionMenuItems = 6;
constexpr int32_t SystemRankingModes = 4;

class cEdSystem : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdSystem)
    cEdSystem();
    // The settings of a new project.
    void SetDefaults();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    // Every system music number that names no music of the database becomes 0 (none).
    void ClampSystemBgm();

    // 0 when mode m records no rankings, else the number of ranking kinds it records.
    int CountRankingKinds(int32_t nMode);
    // 1 when value is at or below status entry i's low mark (a percentage of maximum when the
    // entry says so), else 0.
    int IsWithinThreshold(int32_t nStatus, int32_t nValue, int32_t nMaximum);
    // The left edge that centres a column of texts first .. first + count - 1 on x, 16 pixels a
    // character, one more character of room when flag is set.
    int CenterTextColumn(int32_t nX, int32_t nFirst, int32_t nCount, int32_t bFlag);

    // Behaviour switches under the names the game code asks for them by. Each is the member of
    // the version that introduced the behaviour, read as stored: non-zero (every project saved
    // before that version) selects the older behaviour, 0 (new projects) the current one.
    //   name                    member              read by
    //   ScrollCarry             m_bLegacy214        flows of hero and characters, shot motion
    //   RescaleKeepsBox         m_bLegacy261        a change of a character's size
    //   KeepDefeatedCharas      m_bSwitch272        play step and contact rules
    //   BlinkColourSwitch       m_bSwitch287        character drawing
    //   FlowsEverySubStep       m_bLegacy525        flow trigger firing
    //   LightningSpacing        m_bLegacy555        the lightning shot formation
    //   StrictBlockProtection   m_bLegacy637        blocks placed at run time
    //   KeyStepOverlap          m_bLegacy669        key-sequence matching
    //   FloorsCatchRising       m_bLegacy677        block collision of rising objects
    //   KeepNegativeMoveTime    m_bLegacy695        time, speed and distance solving
    //   StartTriggerOnAll       m_bLegacy697        stage set-up, the stage-start trigger
    //   WarpDirection           m_bLegacy721        the warp command
    //   ChargeAngle             m_bLegacy728        the charge movement
    //   AimFollowsScroll        m_bLegacy733        aimed movement under automatic scroll
    //   FlowCheckOnTrigger      m_bLegacy744        flow trigger firing
    //   JumpRepeat              m_bLegacy749        the computer characters' jump
    // The other settings keep their own names: m_bKeepDeletedFlows (deleted flows), m_bFullColour
    // with m_byTrans* (colour key as RGB), m_nDepthFullColour and m_nDepthPalette (display depth),
    // m_bLetterPictures (letter pictures), m_bCentreGlyphs, m_nPaletteCycleStep (colour pulse),
    // m_bPaletteCycle (palette animation), m_b*PauseRetry (pause-menu retry), m_b*RetryRestore.
    int32_t ScrollCarry() const { return m_bLegacy214; }            // objects not carried by the scroll
    int32_t RescaleKeepsBox() const { return m_bLegacy261; }        // resizing keeps the hit box's bottom
    int32_t KeepDefeatedCharas() const { return m_bSwitch272; }     // defeated characters stay for their effect
    int32_t BlinkColourSwitch() const { return m_bSwitch287; }      // invincible blink colours under Direct3D
    int32_t FlowsEverySubStep() const { return m_bLegacy525; }
    int32_t LightningSpacing() const { return m_bLegacy555; }       // lightning lines laid edge to edge
    int32_t StrictBlockProtection() const { return m_bLegacy637; }
    int32_t KeyStepOverlap() const { return m_bLegacy669; }
    int32_t FloorsCatchRising() const { return m_bLegacy677; }
    int32_t KeepNegativeMoveTime() const { return m_bLegacy695; }
    int32_t StartTriggerOnAll() const { return m_bLegacy697; }
    int32_t WarpDirection() const { return m_bLegacy721; }
    int32_t ChargeAngle() const { return m_bLegacy728; }
    int32_t AimFollowsScroll() const { return m_bLegacy733; }
    int32_t FlowCheckOnTrigger() const { return m_bLegacy744; }
    int32_t JumpRepeat() const { return m_bLegacy749; }

    // Scalars, in file order.
    int32_t m_bExtraLifeByScore = 0;
    int32_t m_nExtraLifeScore = 0;
    int32_t m_bDrawFrontBackgrounds = 0;
    int32_t m_bLetterPictures = 0;
    int32_t m_nFontFace = 0;
    int32_t m_bCentreGlyphs = 0;
    int32_t m_bKeepDeletedFlows = 0;
    int32_t m_bReplay = 0;
    int32_t m_bTitleMenuPicture = 0;
    int32_t m_bStoryCarryLives = 0;
    int32_t m_bStoryRetryPrompt = 0;
    int32_t m_bMapShowLives = 0;
    int32_t m_nChallengeStages = 0;
    int32_t m_bChallengeAllOpen = 0;
    int32_t m_bStoryShowHighScore = 0;
    int32_t m_bStoryShowTotalScore = 0;
    int32_t m_bStoryRetryRestore = 0;
    int32_t m_bStoryPauseRetry = 0;
    int32_t m_bChallengeShowHighScore = 0;
    int32_t m_bChallengeShowTotalScore = 0;
    int32_t m_bChallengeRetryRestore = 0;
    int32_t m_bChallengePauseRetry = 0;
    int32_t m_bFreeRetryRestore = 0;
    int32_t m_bDirectStageRetryRestore = 0;
    int32_t m_bFullColour = 0;
    uint8_t m_byTransRed = 0;
    uint8_t m_byTransGreen = 0;
    uint8_t m_byTransBlue = 0;
    int32_t m_bLegacy214 = 0;
    int32_t m_bLegacy261 = 0;
    int32_t m_bSwitch272 = 0;
    int32_t m_bSwitch287 = 0;
    int32_t m_nPaletteCycleStep = 0;
    int32_t m_bPaletteCycle = 0;
    int32_t m_bLegacy525 = 0;
    int32_t m_bLegacy555 = 0;
    int32_t m_bLegacy637 = 0;
    int32_t m_bLegacy669 = 0;
    int32_t m_bLegacy677 = 0;
    int32_t m_bLegacy695 = 0;
    int32_t m_bLegacy696 = 0;
    int32_t m_bLegacy697 = 0;
    int32_t m_bLegacy721 = 0;
    int32_t m_bLegacy728 = 0;
    int32_t m_bLegacy733 = 0;
    int32_t m_bLegacy744 = 0;
    int32_t m_bLegacy749 = 0;
    int32_t m_nDepthFullColour = 0;   // 0 32 bit, 1 16 bit
    int32_t m_nDepthPalette = 0;      // 0 32 bit, 1 16 bit, 2 8 bit

    std::string m_strGameTitle;

    std::vector<int8_t> m_vCarryOver;
    std::vector<int8_t> m_vCarryReset;
    std::vector<cEdSystemStatus> m_vStatus;
    std::vector<int32_t> m_vStartLives;
    std::vector<int32_t> m_vInfiniteLives;
    std::vector<cEdRankingSetting> m_vRanking;
    std::vector<std::string> m_vText;
    std::vector<std::string> m_vSoundFile;
    std::vector<int32_t> m_vSystemBgm;
    std::vector<int8_t> m_vSystemBgmLoop;
    std::vector<cEdSystemText> m_vTitleMenu;
    std::vector<cEdSystemText> m_vMapMenu;
    std::vector<cEdSystemText> m_vOptionMenu;
    std::vector<std::string> m_vRankingModeName;
    std::vector<cEdSystemOption> m_vOption;

private:
    void Migrate(uint32_t nVersion);
    void EnsureListSizes();
    void InsertByteAt(std::vector<int8_t>& v, int32_t nIndex, int8_t nValue);
    void InsertTextAt(std::vector<std::string>& v, int32_t nIndex, const std::string& text);
    void InsertNumberOptionAt(int32_t nIndex, const std::string& name, int32_t nValue);

    // Files of versions 221 to 259 hold one more int32 here; nothing reads it.
    int32_t m_nDroppedMember = 0;
};

extern cEdSystem g_System;

// String-vector elements keep their CR bytes, unlike record strings.
bool LoadText(FILE* fp, std::string& text);
bool SaveText(FILE* fp, std::string& text);
bool LoadTextVector(FILE* fp, std::vector<std::string>& v);
bool SaveTextVector(FILE* fp, std::vector<std::string>& v);
