// Every command kind run by a real flow on a set-up stage: a computer character standing on the
// ground carries a flow of the command under test, whole frames of play step it, and the test
// looks at what the command left behind: positions, statuses, lists, the stage, the sounds the
// mixer played, and for the picture, screen colour and background commands the frame itself.
#include <array>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>
#include <string>
#include <vector>

#include "data/CommandParamTable.h"
#include "data/EdDatabase.h"
#include "data/EdAnime.h"
#include "data/EdEffect.h"
#include "data/EdMediaEntry.h"
#include "data/EdSwordType.h"
#include "data/EdPalette.h"
#include "data/EdStageRecords.h"
#include "data/EdSystem.h"
#include "data/AnimePattern.h"
#include "flows/CharaEffect.h"
#include "flows/EffectObject.h"
#include "flows/FlowInstance.h"
#include "flows/PictureObject.h"
#include "flows/ScreenEffect.h"
#include "frontend/SaveData.h"
#include "media/sound/SoundEffect.h"
#include "media/input/KeyInput.h"
#include "objects/Shot.h"
#include "core/MainWindow.h"
#include "platform/win/WinMessage.h"
#include "shell/MainWindowProc.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "media/graphics/DDFill.h"
#include "stage/CharaList.h"
#include "stage/ItemList.h"
#include "stage/StageResources.h"
#include "stage/ScreenTone.h"
#include "stage/Player.h"
#include "tests/media_graphics/GraphicsTestSupport.h"
#include "tests/platform_graphics/BmpFixture.h"
#include "tests/platform_sound/SoundTestUtil.h"
#include "tests/play/PlayTestSupport.h"
#include "tests/platform/TestWindow.h"

namespace {

constexpr int16_t kActorColumn = 10;
constexpr int16_t kGroundRow = 13;
constexpr int32_t kActorCid = 7;

cEdCommand Cmd(int32_t nKind, int32_t nTime, std::vector<int32_t> vParams = {}, int32_t bSameFrame = 0)
{
    cEdCommand cmd = cEdCommand::Default();
    cmd.m_nFamily = 0;
    cmd.m_nKind = static_cast<int8_t>(nKind);
    cmd.m_nTime = static_cast<int16_t>(nTime);
    cmd.m_bSameFrame = static_cast<int8_t>(bSameFrame);
    cmd.m_vParam = std::move(vParams);
    return cmd;
}

cEdCommand MoveCmd(int32_t nKind, int32_t nTime, int8_t nDirection, int16_t nSpeed, int32_t bSameFrame = 0)
{
    cEdCommand cmd = Cmd(nKind, nTime, {}, bSameFrame);
    cmd.NewMove();
    cmd.m_lpMove->m_nDirection = nDirection;
    cmd.m_lpMove->m_nSpeed = nSpeed;
    cmd.m_lpMove->m_bNoWalkAnime = 1;
    return cmd;
}

[[maybe_unused]] cEdCommand ShotCmd(int32_t nKind, int32_t nTime)
{
    cEdCommand cmd = Cmd(nKind, nTime);
    cmd.NewShot();
    return cmd;
}

// "ステータスの操作" on a stage variable: S[n] := value.
cEdCommand SetStageVar(int32_t n, int32_t nValue)
{
    std::vector<int32_t> p(18, 0);
    p[0] = 1;   // a variable
    p[1] = 1;   // of the stage
    p[2] = n;
    p[5] = 0;   // assign
    p[6] = 0;   // a constant
    p[7] = nValue;
    return Cmd(22, 0, p);
}

cEdCommand CodeCmd(const std::string& text, int32_t nTime = 0)
{
    cEdCommand cmd = Cmd(37, nTime);
    cmd.m_strText = text;
    return cmd;
}

// A long wait that keeps the flow from firing again while the test looks.
cEdCommand Hold() { return Cmd(1, 200); }

cEdFlow Flow(std::vector<cEdCommand> vCommands, int32_t nTrigger = 0)
{
    cEdFlow flow = cEdFlow::Default();
    flow.m_nTrigger = static_cast<int8_t>(nTrigger);
    flow.m_vCommand = std::move(vCommands);
    return flow;
}

// The globals a stage run reads and the cases change, saved and put back.
class cSavedGlobals {
public:
    cSavedGlobals()
        : m_Database(g_Database), m_Palette(g_CommonPalette), m_System(g_System), m_Patterns(g_AnimePatternTable),
          m_EffectPatterns(g_EffectPatternTable), m_CharaEffects(g_CharaEffectTable),
          m_CharaEffectsReversed(g_CharaEffectTableReversed), m_ScreenEffects(g_ScreenEffectTable),
          m_ScreenEffectsReversed(g_ScreenEffectTableReversed), m_bActive(bAppActive.load())
    {
    }
    ~cSavedGlobals()
    {
        g_Stage = cEdStage();
        g_StageStart = cEdStage();
        InputStates.clear();
        g_Database = m_Database;
        g_CommonPalette = m_Palette;
        g_System = m_System;
        g_AnimePatternTable = m_Patterns;
        g_EffectPatternTable = m_EffectPatterns;
        g_CharaEffectTable = m_CharaEffects;
        g_CharaEffectTableReversed = m_CharaEffectsReversed;
        g_ScreenEffectTable = m_ScreenEffects;
        g_ScreenEffectTableReversed = m_ScreenEffectsReversed;
        bAppActive = m_bActive;
        g_SaveData.Reset();
    }

private:
    cEdDatabase m_Database;
    cEdPalette m_Palette;
    cEdSystem m_System;
    std::vector<AnimePattern> m_Patterns;
    std::vector<AnimePattern> m_EffectPatterns;
    std::vector<cCharaEffect> m_CharaEffects;
    std::vector<cCharaEffect> m_CharaEffectsReversed;
    std::vector<cScreenEffect> m_ScreenEffects;
    std::vector<cScreenEffect> m_ScreenEffectsReversed;
    int32_t m_bActive = 0;
};

// A computer character of faction nFaction standing on the ground at column c.
cEdChara Character(int16_t c, int8_t nFaction)
{
    cEdChara chara;
    chara.SetDefaults();
    chara.m_nController = 1;
    chara.m_nHitGroup = nFaction;
    chara.m_nGraphicIndex = 2;
    chara.m_nCarriedItem = -1;
    chara.m_nMaxHP = 10;
    chara.m_nX = c;
    chara.m_nY = kGroundRow - 1;
    return chara;
}

// A stage of 40 x 15 blocks at two sub-steps a frame: ground on row 13, the hero at column 3
// and the actor at column 10, both standing on it, the hero facing the actor. The actor's
// definition is returned for the case to finish.
cEdChara NewKindStage()
{
    bAppActive = 1;
    BuildCommandParamTable();
    g_AnimePatternTable.assign(4, AnimePattern{{0, 1, 0}, {AnimeStay, 0, 1}});
    g_AnimePatternTable[3] = AnimePattern{{5, 2, 0}, {6, 2, 0}, {AnimeStay, 0, 1}};
    PrepareGroundStage(40, kGroundRow, 1);
    cEdChara hero;
    hero.SetDefaults();
    hero.m_nController = 0;
    hero.m_nHitGroup = 0;
    hero.m_nGraphicIndex = 1;
    hero.m_nX = 3;
    hero.m_nY = kGroundRow - 1;
    hero.m_nStartDir = 1;
    g_Stage.m_vChara.push_back(hero);
    cEdChara actor = Character(kActorColumn, 1);
    actor.m_nCid = kActorCid;
    return actor;
}

// The actor joins the stage with these flows; the stage is set up and play begins.
void StartKindStage(cPlayState& state, cEdChara& actor, std::vector<cEdFlow> vFlows)
{
    actor.m_vFlow = std::move(vFlows);
    g_Stage.m_vChara.push_back(actor);
    g_StageStart = g_Stage;
    state.SetStage(0, 0);
    state.m_nPhase = 2;
}

// Whole frames of play with no key held, until the stage ends.
void PlayFrames(cPlayState& state, int32_t n)
{
    for (int32_t i = 0; i < n && state.m_nPhase == 2; ++i) {
        InputStates[0].m_wDirection = 0;
        InputStates[0].m_wButton = 0;
        state.PlayStep();
    }
}

cChara* FindCid(int32_t nCid)
{
    for (cChara& chara : CharaList)
        if (chara.m_Def.m_nCid == nCid) return &chara;
    return nullptr;
}

class CommandKindsRunTest : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        m_lpSaved = std::make_unique<cSavedGlobals>();
        NewStage();
    }
    void TearDown() override
    {
        cPlayFixture::TearDown();
        m_lpSaved.reset();
    }

    void NewStage() { m_Actor = NewKindStage(); }
    static cEdChara Character(int16_t c, int8_t nFaction) { return ::Character(c, nFaction); }

    // The actor carries these flows; the stage is set up and play begins.
    void Start(std::vector<cEdFlow> vFlows)
    {
        StartKindStage(m_State, m_Actor, std::move(vFlows));
        if (cChara* lpActor = Actor()) {
            m_dX0 = lpActor->m_dX;
            m_dY0 = lpActor->m_dY;
        }
    }
    void Frames(int32_t n) { PlayFrames(m_State, n); }
    cChara* Actor() { return FindCid(kActorCid); }
    cChara& A()
    {
        cChara* lpActor = Actor();
        EXPECT_NE(lpActor, nullptr);
        return lpActor != nullptr ? *lpActor : m_Missing;
    }
    // Where set-up placed the actor.
    double m_dX0 = 0.0, m_dY0 = 0.0;
    // Between the cases of a table: the stage objects go, the play state stays current.
    void TearDownStageOnly()
    {
        ClearStageObjects(m_State);
        g_Stage = cEdStage();
        g_StageStart = cEdStage();
    }
    int32_t StageVar(int32_t n) { return m_State.m_vStageVar[static_cast<size_t>(n)]; }

    cEdChara m_Actor;
    cChara m_Missing;

    std::unique_ptr<cSavedGlobals> m_lpSaved;
};

TEST_F(CommandKindsRunTest, StageSetUpPlacesTheActorOnTheGround)
{
    Start({});
    ASSERT_NE(Actor(), nullptr);
    EXPECT_EQ(A().m_nLeft, kActorColumn * 32);
    Frames(5);
    EXPECT_DOUBLE_EQ(A().m_dX, m_dX0);
    const double y = A().m_dY;
    Frames(20);
    EXPECT_DOUBLE_EQ(A().m_dY, y);
}

// One case: the actor's commands, how it is set up, frames to run and what must hold then.
struct KindCase {
    int32_t nKind;
    std::function<void(CommandKindsRunTest&)> arrange;
    std::vector<cEdCommand> vCommands;
    int32_t nFrames;
    std::function<void(CommandKindsRunTest&, cChara&)> check;
    // Run once the stage is set up, before the frames.
    std::function<void(CommandKindsRunTest&, cChara&)> afterStart = nullptr;
};

void RunCases(CommandKindsRunTest& test, const std::vector<KindCase>& cases)
{
    for (const KindCase& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.nKind));
        test.TearDownStageOnly();
        test.NewStage();
        if (c.arrange) c.arrange(test);
        std::vector<cEdCommand> vCommands = c.vCommands;
        vCommands.push_back(Hold());
        test.Start({Flow(vCommands)});
        if (c.afterStart) {
            cChara* lpActor = test.Actor();
            ASSERT_NE(lpActor, nullptr);
            c.afterStart(test, *lpActor);
        }
        test.Frames(c.nFrames);
        cChara* lpActor = test.Actor();
        ASSERT_NE(lpActor, nullptr);
        c.check(test, *lpActor);
    }
}

// Kinds 0 and 1 do nothing but hold their time: the next command starts in the sub-step after
// their last one (one tenth of a second is 6 frames of 2 sub-steps).
TEST_F(CommandKindsRunTest, EmptyKindAndWaitOnlyHoldTheirTime)
{
    for (int32_t nKind : {0, 1}) {
        SCOPED_TRACE(nKind);
        TearDownStageOnly();
        NewStage();
        Start({Flow({Cmd(nKind, 1), SetStageVar(1, 5), Hold()})});
        Frames(6);
        EXPECT_EQ(StageVar(1), 0);
        EXPECT_DOUBLE_EQ(A().m_dX, m_dX0);
        Frames(1);
        EXPECT_EQ(StageVar(1), 5);
        EXPECT_DOUBLE_EQ(A().m_dX, m_dX0);
    }
}

TEST_F(CommandKindsRunTest, MovementKindsMoveAndTurnTheActor)
{
    auto flying = [](CommandKindsRunTest& t) { t.m_Actor.m_nFlying = 1; };
    cEdCommand circle = MoveCmd(4, 40, 0, 20);
    circle.m_lpMove->m_nRadius = 2;
    circle.m_lpMove->m_nDistance = 360;
    cEdCommand jump = Cmd(10, 0, {0, 0, 4, 0, 0});
    const std::vector<KindCase> cases = {
        // Straight to the right along the ground, turning the actor that way.
        {2, [](CommandKindsRunTest& t) { t.m_Actor.m_bFixedDir = 0; }, {MoveCmd(2, 10, 3, 30)}, 30,
         [](CommandKindsRunTest& t, cChara& a) {
             EXPECT_GT(a.m_dX, t.m_dX0 + 20.0);
             EXPECT_EQ(a.m_nDir, 1);
         }},
        // Walks the way it faces (left) and turns back at the edge of the gap three blocks away,
        // never falling into it.
        {3, [](CommandKindsRunTest&) { g_Stage.m_vBlock.erase(g_Stage.m_vBlock.begin() + (kActorColumn - 3)); },
         {MoveCmd(3, 40, 0, 30)}, 60,
         [](CommandKindsRunTest& t, cChara& a) {
             EXPECT_EQ(a.m_nDir, 1);
             EXPECT_GE(a.m_dX, t.m_dX0 - 96.0);
             EXPECT_EQ(a.m_nTop, (kGroundRow - 1) * 32);
         }},
        // A full turn of the circle brings a flying actor back where it started.
        {4, flying, {circle}, 20,
         [](CommandKindsRunTest& t, cChara& a) { EXPECT_GT(std::abs(a.m_dX - t.m_dX0) + std::abs(a.m_dY - t.m_dY0), 8.0); }},
        // Charges and homes at its target, the hero on the left.
        {5, nullptr, {MoveCmd(5, 10, 0, 30)}, 30,
         [](CommandKindsRunTest& t, cChara& a) {
             EXPECT_LT(a.m_dX, t.m_dX0 - 20.0);
             EXPECT_EQ(a.m_nDir, 0);
         }},
        {6, nullptr, {MoveCmd(6, 10, 0, 30)}, 30,
         [](CommandKindsRunTest& t, cChara& a) { EXPECT_LT(a.m_dX, t.m_dX0 - 20.0); }},
        // Half off the right edge of the view: comes back inside it.
        {7, [](CommandKindsRunTest& t) {
             t.m_Actor.m_nFlying = 1;
             t.m_Actor.m_nX = 19;
         },
         {MoveCmd(7, 20, 2, 30)}, 20,
         [](CommandKindsRunTest&, cChara& a) { EXPECT_LE(a.m_nLeft + a.m_nWidth, 640); },
         [](CommandKindsRunTest&, cChara& a) {
             a.m_dX += 16.0;
             a.OnMovedX();
             a.GetScreenRect();
             EXPECT_GT(a.m_nLeft + a.m_nWidth, 640);
         }},
        // Moving right beside a wait, then held still by the cancel.
        {8, nullptr, {MoveCmd(2, 100, 3, 30, 1), Cmd(1, 1), Cmd(8, 100)}, 8,
         [](CommandKindsRunTest& t, cChara& a) {
             EXPECT_GT(a.m_dX, t.m_dX0);
             const double x = a.m_dX;
             t.Frames(20);
             EXPECT_DOUBLE_EQ(t.A().m_dX, x);
         }},
        // Fixed facing: the turn command faces it right.
        {9, [](CommandKindsRunTest& t) { t.m_Actor.m_bFixedDir = 1; }, {Cmd(9, 0, {1})}, 3,
         [](CommandKindsRunTest&, cChara& a) { EXPECT_EQ(a.m_nDir, 1); }},
        // Two blocks high: up off the ground, then back on it.
        {10, nullptr, {jump}, 8,
         [](CommandKindsRunTest& t, cChara& a) {
             const double y0 = t.m_dY0;
             EXPECT_LT(a.m_dY, y0 - 16.0);
             t.Frames(120);
             EXPECT_EQ(t.A().m_nTop, (kGroundRow - 1) * 32);
         }},
    };
    RunCases(*this, cases);
}

// A second computer character, of faction 2, four blocks right of the actor.
void AddBystander(CommandKindsRunTest&)
{
    cEdChara other = CommandKindsRunTest::Character(kActorColumn + 4, 2);
    other.m_nCid = 9;
    g_Stage.m_vChara.push_back(other);
}

std::vector<int32_t> StatusOp(std::initializer_list<std::pair<size_t, int32_t>> values)
{
    std::vector<int32_t> p(18, 0);
    for (const auto& [i, v] : values) p[i] = v;
    return p;
}

TEST_F(CommandKindsRunTest, ShotSwordAndSummonKindsPutObjectsOnTheStage)
{
    cEdCommand shot = ShotCmd(11, 0);
    shot.m_lpShot->m_nCount = 1;
    shot.m_lpShot->m_nGraphic = 1;
    shot.m_lpShot->m_nSpeed = 80;
    shot.m_lpShot->m_nPower = 1;
    cEdCommand sword = ShotCmd(12, 0);
    sword.m_lpShot->m_nMoveKind = 1;
    sword.m_lpShot->m_nGraphic = 1;
    auto summon = [](int32_t nKind) {
        cEdCommand cmd = ShotCmd(nKind, 0);
        cmd.m_lpShot->m_nCount = 1;
        cmd.m_lpShot->m_nSummonPalette = 0;
        cmd.m_lpShot->m_nSummonIndex = 1;
        cmd.m_lpShot->m_nRange = 100;   // the summoned object's life time
        return cmd;
    };
    const std::vector<KindCase> cases = {
        // One shot, flying the way the actor faces (left).
        {11, nullptr, {shot}, 4,
         [](CommandKindsRunTest& t, cChara& a) {
             ASSERT_EQ(t.m_State.m_ShotList.Count(), 1);
             const cShot& s = *t.m_State.m_ShotList.begin();
             EXPECT_EQ(s.m_bIsShot, 1);
             EXPECT_EQ(s.m_nOwnerKey, a.m_nKey);
             EXPECT_LT(s.m_dX, a.m_dX);
         }},
        // One sword of type 1, following its owner.
        {12, [](CommandKindsRunTest&) {
             g_Database.m_vSwordType.assign(2, cEdSwordType());
             cEdSwordTypeEntry entry;
             entry.m_nWidth = 32;
             entry.m_nHeight = 32;
             entry.m_nTime = 1;
             g_Database.m_vSwordType[1].m_vSteps.assign(3, entry);
         },
         {sword}, 2,
         [](CommandKindsRunTest& t, cChara& a) {
             ASSERT_EQ(t.m_State.m_ShotList.Count(), 1);
             const cShot& s = *t.m_State.m_ShotList.begin();
             EXPECT_EQ(s.m_bIsShot, 0);
             EXPECT_EQ(s.m_nOwnerKey, a.m_nKey);
             // Three steps of a tenth each, then it is gone.
             t.Frames(20);
             EXPECT_EQ(t.m_State.m_ShotList.Count(), 0);
         }},
        // A solid block of the common palette appears in the map.
        {13, [](CommandKindsRunTest&) {
             g_CommonPalette.m_vBlock.assign(2, cEdBlock());
             g_CommonPalette.m_vBlock[1].SetDefaults();
             g_CommonPalette.m_vBlock[1].m_nHit = 1;
             g_CommonPalette.m_vBlock[1].m_nGraphicIndex = 9;
         },
         {summon(13)}, 2,
         [](CommandKindsRunTest&, cChara&) {
             int32_t nFound = 0;
             for (const BLOCKCELL& cell : BlockMap.m_vCells)
                 if (cell.m_Block.m_nGraphicIndex == 9) ++nFound;
             EXPECT_EQ(nFound, 1);
         }},
        // A character of the common palette joins the stage.
        {14, [](CommandKindsRunTest&) {
             g_CommonPalette.m_vChara.assign(2, cEdChara());
             g_CommonPalette.m_vChara[1] = CommandKindsRunTest::Character(0, 3);
             g_CommonPalette.m_vChara[1].m_nCid = 11;
         },
         {summon(14)}, 2,
         [](CommandKindsRunTest&, cChara&) {
             EXPECT_EQ(CharaList.Count(), 2);
             EXPECT_NE(FindCid(11), nullptr);
         }},
        // An item of the common palette joins the stage.
        {15, [](CommandKindsRunTest&) {
             g_CommonPalette.m_vItem.assign(2, cEdItem());
             g_CommonPalette.m_vItem[1].SetDefaults();
             g_CommonPalette.m_vItem[1].m_nGraphicIndex = 1;
         },
         {summon(15)}, 2,
         [](CommandKindsRunTest&, cChara&) { EXPECT_EQ(ItemList.Count(), 1); }},
    };
    RunCases(*this, cases);
}

// A flow that nothing fires (trigger 19) runs only when the operation names its group.
TEST_F(CommandKindsRunTest, FlowOperationStartsAFlowOfItsGroup)
{
    for (int32_t nGroup : {1, 2}) {
        SCOPED_TRACE(nGroup);
        TearDownStageOnly();
        NewStage();
        cEdFlow started = Flow({SetStageVar(3, 9), Hold()}, 19);
        started.m_nGroup = 1;
        Start({Flow({Cmd(16, 0, {0, 2, nGroup}), Hold()}), started});
        Frames(2);
        EXPECT_EQ(StageVar(3), nGroup == 1 ? 9 : 0);
        EXPECT_EQ(A().m_vFlow[1].m_bRunning, nGroup == 1 ? 1 : 0);
    }
}

TEST_F(CommandKindsRunTest, StageClearEndsThePlayStep)
{
    g_SaveData.nPart = 4;
    Start({Flow({Cmd(17, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0}), Hold()})});
    Frames(3);
    EXPECT_EQ(m_State.m_nResult, 1);
    EXPECT_EQ(m_State.m_nPhase, 4);
    EXPECT_EQ(m_State.m_nNextStage, 5);
}

TEST_F(CommandKindsRunTest, GameWaitHoldsTheGameOnThePauseThreadThenTheFlowGoesOn)
{
    Start({Flow({Cmd(18, 0, {1}), SetStageVar(4, 1), Hold()})});
    Frames(1);
    EXPECT_EQ(m_State.m_PauseWait.m_nFrames, -1);   // counted down to its end
    EXPECT_EQ(m_State.m_MessageList.Count(), 0);     // its placeholder is gone
    EXPECT_EQ(StageVar(4), 1);
}

TEST_F(CommandKindsRunTest, MessageIsShownForItsTimeThenEnds)
{
    cEdCommand message = Cmd(19, 0, StatusOp({{6, 2}, {7, 2}}));
    message.m_strText = "Hello";
    Start({Flow({message, Hold()})});
    Frames(2);
    ASSERT_EQ(m_State.m_MessageList.Count(), 1);
    EXPECT_EQ(m_State.m_MessageList.begin()->m_Setup.strText, "Hello");
    Frames(30);
    EXPECT_EQ(m_State.m_MessageList.Count(), 0);
}

TEST_F(CommandKindsRunTest, ObjectKindsChangeTheActorTheOthersAndTheGame)
{
    cEdCommand warp = Cmd(20, 0);
    warp.NewMove();
    warp.m_lpMove->m_nMode = 2;
    warp.m_lpMove->m_nCoordMode = 0;
    warp.m_lpMove->m_nTargetXBlocks = 3;
    const std::vector<KindCase> cases = {
        // Three blocks to the right.
        {20, nullptr, {warp}, 2,
         [](CommandKindsRunTest& t, cChara& a) {
             EXPECT_DOUBLE_EQ(a.m_dX, t.m_dX0 + 96.0);
             EXPECT_EQ(a.m_nTop, (kGroundRow - 1) * 32);
         }},
        // The nearest character of faction 2 becomes the target.
        {21, AddBystander, {Cmd(21, 0, {2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})}, 2,
         [](CommandKindsRunTest&, cChara& a) {
             ASSERT_NE(a.m_lpTarget, nullptr);
             EXPECT_EQ(a.m_lpTarget, FindCid(9));
             EXPECT_TRUE(FindCid(9)->m_vTargetedBy.Contains(&a));
         }},
        // Its own HP less 3.
        {22, nullptr, {Cmd(22, 0, StatusOp({{4, 1}, {5, 2}, {7, 3}}))}, 2,
         [](CommandKindsRunTest&, cChara& a) { EXPECT_EQ(a.m_nHP, 7); }},
        // Invincible.
        {23, nullptr, {Cmd(23, 0, {0, 4, 1})}, 2,
         [](CommandKindsRunTest&, cChara& a) { EXPECT_EQ(a.m_Def.m_nInvincible, 1); }},
        // Every character of faction 2 on the screen vanishes.
        {24, AddBystander, {Cmd(24, 0, {0, 2, 0})}, 3,
         [](CommandKindsRunTest&, cChara&) {
             EXPECT_EQ(FindCid(9), nullptr);
             EXPECT_EQ(CharaList.Count(), 1);
         }},
        // The hero takes item 1 of the common palette, whose command adds 50 to the score.
        {25, [](CommandKindsRunTest&) {
             g_CommonPalette.m_vItem.assign(2, cEdItem());
             g_CommonPalette.m_vItem[1].SetDefaults();
             cEdCommand score = Cmd(7, 0, StatusOp({{3, 2}, {4, 3}, {5, 1}, {7, 50}}));
             score.m_nFamily = 1;
             g_CommonPalette.m_vItem[1].m_vCommand.push_back(score);
         },
         {Cmd(25, 0, {0, 1})}, 2,
         [](CommandKindsRunTest& t, cChara&) {
             EXPECT_EQ(g_SaveData.nScore, 50);
             EXPECT_EQ(t.m_State.m_nResult, 0);
         }},
    };
    RunCases(*this, cases);
}

TEST_F(CommandKindsRunTest, GraphicAndAnimationKindsChangeHowTheActorIsDrawn)
{
    const std::vector<KindCase> cases = {
        // Graphic kind 0, sheet 5, offset 3.
        {26, nullptr, {Cmd(26, 0, {0, 5, 3})}, 2,
         [](CommandKindsRunTest&, cChara& a) {
             EXPECT_EQ(a.m_nGraphic, 5);
             EXPECT_EQ(a.m_Def.m_nGraphicIndex, 5);
             EXPECT_EQ(a.m_Def.m_nGraphicSub, 3);
         }},
        // Basic animation set 1, of three animations.
        {27, [](CommandKindsRunTest&) {
             g_Database.m_vAnimeSet.assign(2, cEdAnimeSet());
             g_Database.m_vAnimeSet[0].m_vAnimes.assign(1, cEdAnime());
             g_Database.m_vAnimeSet[1].m_vAnimes.assign(3, cEdAnime());
             for (cEdAnime& anime : g_Database.m_vAnimeSet[1].m_vAnimes) anime.m_vFrames.assign(1, cEdAnimeFrame());
         },
         {Cmd(27, 0, {1})}, 2,
         [](CommandKindsRunTest&, cChara& a) {
             EXPECT_EQ(a.m_Def.m_nAnimeSet, 1);
             EXPECT_EQ(a.m_Anime.m_vPatterns.size(), 3u);
         }},
        // Animation pattern 3 in front of the actor's requests, keyed by its flow.
        {28, nullptr, {Cmd(28, 0, {3})}, 1,
         [](CommandKindsRunTest&, cChara& a) {
             ASSERT_FALSE(a.m_lAnimeRequests.empty());
             const cAnimeRequest& request = a.m_lAnimeRequests.front();
             EXPECT_EQ(request.m_nKey, a.m_vFlow[0].m_nSerial);
             ASSERT_EQ(request.m_Player.m_vPatterns.size(), 1u);
             EXPECT_EQ(request.m_Player.m_vPatterns[0], g_AnimePatternTable[3]);
         }},
        // Character effect 1 starts on the actor.
        {30, [](CommandKindsRunTest&) {
             g_Database.m_vCharaEffect.assign(2, cEdCharaEffect());
             BuildCharaEffectTables(g_CharaEffectTable, g_CharaEffectTableReversed);
         },
         {Cmd(30, 0, {1, 0, 1})}, 2,
         [](CommandKindsRunTest&, cChara& a) {
             EXPECT_EQ(a.m_CharaEffect.m_nCharaEffect, 1);
             EXPECT_EQ(a.m_CharaEffect.m_bRepeat, 1);
         }},
    };
    RunCases(*this, cases);
}

TEST_F(CommandKindsRunTest, ScreenKindsChangeTheStagesPresentation)
{
    const std::vector<KindCase> cases = {
        // Effect 1 at the actor's centre.
        {29, [](CommandKindsRunTest&) {
             g_Database.m_vEffect.assign(2, cEdEffect());
             g_Database.m_vEffect[1].m_nCellWidth = 32;
             g_Database.m_vEffect[1].m_nCellHeight = 16;
             g_Database.m_vEffect[1].m_vFrames.assign(1, cEdEffectEntry());
             g_EffectPatternTable.assign(2, AnimePattern{{0, 6, 0}, {AnimeStay, 0, 1}});
         },
         {Cmd(29, 0, {1, 1, 0, 0, 0, 0, 100, 0})}, 1,
         [](CommandKindsRunTest& t, cChara& a) {
             ASSERT_EQ(t.m_State.m_EffectList.Count(), 1);
             const cEffectObject& effect = *t.m_State.m_EffectList.begin();
             EXPECT_EQ(effect.m_nEffect, 1);
             EXPECT_DOUBLE_EQ(effect.m_dX, a.m_nLeft + a.m_nWidth / 2 + t.m_State.m_ScrollX.m_dPosition - 16);
             EXPECT_DOUBLE_EQ(effect.m_dY, a.m_nTop + a.m_nHeight / 2 + t.m_State.m_ScrollY.m_dPosition - 8);
         }},
        // Screen effect 1.
        {31, [](CommandKindsRunTest&) {
             g_Database.m_vScrEffect.assign(2, g_Database.m_vScrEffect.empty() ? decltype(g_Database.m_vScrEffect)::value_type() : g_Database.m_vScrEffect[0]);
             BuildScreenEffectTables(g_ScreenEffectTable, g_ScreenEffectTableReversed);
         },
         {Cmd(31, 0, {1, 0, 0})}, 1,
         [](CommandKindsRunTest& t, cChara&) { EXPECT_EQ(t.m_State.m_ScreenEffect.m_nScrEffect, 1); }},
        // A red tone at half strength, reached over two tenths. (Without a graphics layer that
        // tints, the frame drawing drops it again; the tint itself is looked at in pixels below.)
        {33, nullptr, {Cmd(33, 0, {255, 128, 0, 50, 0, 2, 0, 0})}, 1,
         [](CommandKindsRunTest& t, cChara&) {
             const ScreenTone& tone = t.m_State.m_Tone;
             EXPECT_EQ(static_cast<uint8_t>(tone.m_nRed), 255);
             EXPECT_EQ(static_cast<uint8_t>(tone.m_nGreen), 128);
             EXPECT_EQ(tone.m_nBlue, 0);
             EXPECT_EQ(tone.m_nStrength, 50);
             EXPECT_EQ(tone.m_nTime, 12);
         }},
        // Background 2 shown, background 1 left hidden.
        {34, [](CommandKindsRunTest&) {
             g_Stage.m_vBackground.assign(2, cEdStageBackground());
             for (cEdStageBackground& b : g_Stage.m_vBackground) b.m_bShown = 0;
         },
         {Cmd(34, 0, {2, 0})}, 1,
         [](CommandKindsRunTest&, cChara&) {
             EXPECT_EQ(g_Stage.m_vBackground[0].m_bShown, 0);
             EXPECT_EQ(g_Stage.m_vBackground[1].m_bShown, 1);
         }},
    };
    RunCases(*this, cases);
}

TEST_F(CommandKindsRunTest, CodeArrangeAndLoopKindsWorkOnTheFlowItself)
{
    const std::vector<KindCase> cases = {
        // Code sets a variable of the actor and a stage variable from its HP.
        {37, nullptr, {CodeCmd("v1 = 7"), CodeCmd("S6 = my.hp - 1")}, 2,
         [](CommandKindsRunTest& t, cChara& a) {
             EXPECT_EQ(a.m_vVar[1], 7);
             EXPECT_EQ(t.StageVar(6), 9);
         }},
        // The background number of the next command comes from common variable 1.
        {38, [](CommandKindsRunTest&) {
             g_Stage.m_vBackground.assign(2, cEdStageBackground());
             for (cEdStageBackground& b : g_Stage.m_vBackground) b.m_bShown = 0;
             g_SaveData.CommonVars[1] = 2;
         },
         {Cmd(38, 0, {34, 0, 0, 0, 1}), Cmd(34, 0, {1, 0})}, 2,
         [](CommandKindsRunTest&, cChara&) {
             EXPECT_EQ(g_Stage.m_vBackground[0].m_bShown, 0);
             EXPECT_EQ(g_Stage.m_vBackground[1].m_bShown, 1);
         }},
        // The command after the loop runs three times.
        {39, nullptr, {Cmd(39, 0, {3, 1}), CodeCmd("S5 = S5 + 1")}, 4,
         [](CommandKindsRunTest& t, cChara&) { EXPECT_EQ(t.StageVar(5), 3); }},
    };
    RunCases(*this, cases);
}

// Whole frames of two sub-steps: the second flow makes stage variable 1 true in the first
// sub-step; the first flow, whose condition is that variable, had its chance before. Checked once
// a frame, it starts only in the next frame; checked every sub-step, in the second sub-step of
// the same frame. A flow that has started never starts again in that frame either way.
TEST_F(CommandKindsRunTest, FlowsEverySubStepRetestsConditionsWithinTheFrame)
{
    for (int32_t bEverySubStep : {0, 1}) {
        SCOPED_TRACE(bEverySubStep);
        TearDownStageOnly();
        NewStage();
        g_System.m_bLegacy525 = bEverySubStep;
        g_System.m_bLegacy744 = 0;
        cEdFlow waiting = Flow({CodeCmd("S2 = S2 + 1")});
        cEdCondition condition = cEdCondition::Default();
        condition.m_nKind = 2;   // stage variable 1 equals 1
        condition.m_nVarIndex = 1;
        condition.m_nValue = 1;
        condition.m_nCompare = 0;
        waiting.m_vCondition.push_back(condition);
        Start({waiting, Flow({SetStageVar(1, 1), Hold()})});
        Frames(1);
        EXPECT_EQ(StageVar(2), bEverySubStep);
        Frames(1);
        // Each later frame starts it once more (it ends in one step).
        EXPECT_EQ(StageVar(2), bEverySubStep + 1);
    }
}

// The sound kinds heard through the mixer: the main window's own procedure answers the game
// thread's sound and music requests, and project sound 1 is a square wave.
class CommandKindsSoundTest : public CommandKindsRunTest {
public:
    void SetUp() override
    {
        CommandKindsRunTest::SetUp();
        soundtest::ResetSharedState();
        m_Dir = soundtest::TempFolder("command_kinds");
        ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
        soundtest::Bytes samples;
        for (int32_t i = 0; i < 22050 / 10; ++i) samples.push_back((i / 25) % 2 != 0 ? 0x30 : 0xD0);
        soundtest::WriteFile(m_Dir / "one.wav", soundtest::Wave(1, 22050, 8, samples));
        SoundTable.clear();
        SoundTable.resize(18);
        ASSERT_TRUE(DS_CreateSound(SoundTable[17], soundtest::ProjectPath(m_Dir / "one.wav").c_str(), 2, 0));
        // Only the game thread's requests go to the main window's procedure: its answer to
        // the window's end would end the whole test run.
        m_hWindow = CreateTestWindow("CommandKindsSoundWindow", [](HWND hwnd, UINT message, WPARAM wParam,
                                                                   LPARAM lParam) -> LRESULT {
            if (message == UM_PLAYSE || message == UM_PLAYBGM) return MainWindow.WindowProc(hwnd, message, wParam, lParam);
            return DefWindowProc(hwnd, message, wParam, lParam);
        });
        m_hSavedMain = hMainWnd.load();
        hMainWnd = m_hWindow;
    }
    void TearDown() override
    {
        hMainWnd = m_hSavedMain;
        DestroyWindow(m_hWindow);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        for (DSSOUNDDATA& sound : SoundTable) DS_ReleaseSound(sound);
        SoundTable.clear();
        DS_UnInit();
        std::error_code ignored;
        std::filesystem::remove_all(m_Dir, ignored);
        CommandKindsRunTest::TearDown();
    }

    // Plays the frames while the mixer records: the loudest sample heard, and how many times the
    // sound started (a rise from silence).
    int32_t Listen(int32_t nFrames, int32_t* lpStarts = nullptr)
    {
        soundtest::cRecording rec;
        rec.Start(m_Dir / "heard.wav");
        for (int32_t i = 0; i < nFrames; ++i) {
            Frames(1);
            soundtest::Advance(16);
        }
        soundtest::Advance(200);
        EXPECT_TRUE(rec.Stop());
        if (lpStarts != nullptr) {
            *lpStarts = 0;
            int64_t f = rec.FirstAbove(1000);
            while (f >= 0) {
                ++*lpStarts;
                // The wave lasts 100 ms; the next start is looked for after it.
                f = rec.FirstAbove(1000, static_cast<size_t>(f) + soundtest::MsToFrames(120));
            }
        }
        return rec.Peak(0, rec.Frames());
    }

    std::filesystem::path m_Dir;
    HWND m_hWindow = nullptr;
    HWND m_hSavedMain = nullptr;
};

TEST_F(CommandKindsSoundTest, SoundKindIsHeardOnceAndSoundZeroIsSilence)
{
    for (int32_t nSound : {1, 0}) {
        SCOPED_TRACE(nSound);
        TearDownStageOnly();
        NewStage();
        Start({Flow({Cmd(35, 0, {nSound}), Hold()})});
        int32_t nStarts = 0;
        const int32_t nPeak = Listen(10, &nStarts);
        if (nSound == 1) {
            EXPECT_GT(nPeak, 1000);
            EXPECT_EQ(nStarts, 1);
        } else {
            EXPECT_EQ(nPeak, 0);
        }
    }
}

// A command's own sound: the shot plays it with its volley.
TEST_F(CommandKindsSoundTest, ShotPlaysItsCommandsSound)
{
    cEdCommand shot = ShotCmd(11, 0);
    shot.m_lpShot->m_nCount = 1;
    shot.m_lpShot->m_nGraphic = 1;
    shot.m_lpShot->m_nSpeed = 80;
    shot.m_nSound = 1;
    Start({Flow({shot, Hold()})});
    int32_t nStarts = 0;
    EXPECT_GT(Listen(10, &nStarts), 1000);
    EXPECT_EQ(nStarts, 1);
}

// The music request reaches the main window with its number and loop setting.
TEST_F(CommandKindsSoundTest, BgmKindAsksForTheStageMusic)
{
    Start({Flow({Cmd(36, 0, {3, 1}), Hold()})});
    Frames(2);
    EXPECT_EQ(g_SaveData.nBgm, 3);
    EXPECT_EQ(g_SaveData.nBgmOption, 1);
    EXPECT_EQ(StageBgmLoop.load(), 1);
}

// The drawing kinds as they land in the frame: a running graphics layer on the headless host,
// the stage drawn into its back buffer by the play step itself.
class CommandKindsDrawTest : public GraphicsTest {
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        lpPlayState = &m_State;
        m_lpSaved = std::make_unique<cSavedGlobals>();
        m_Actor = NewKindStage();
        m_Dir = std::filesystem::temp_directory_path() / ("command_kinds_draw_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_Dir);
    }
    void TearDown() override
    {
        ClearStagePictures();
        ClearStageObjects(m_State);
        ResetPlayers(0);
        BlockMap.Clear();
        lpPlayState = nullptr;
        m_lpSaved.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_Dir, ignored);
        GraphicsTest::TearDown();
    }

    // A one-colour picture file of w x h pixels, by its project path.
    std::string WritePicture(const std::string& name, int32_t w, int32_t h, uint32_t rgb)
    {
        bmpfixture::Image image;
        image.width = w;
        image.height = h;
        image.pixels.assign(static_cast<size_t>(w * h), rgb);
        const std::string host = (m_Dir / name).string();
        EXPECT_TRUE(bmpfixture::WriteFile(host, bmpfixture::Encode(image, bmpfixture::Options{})));
        return bmpfixture::ProjectPath(host);
    }

    cPlayState m_State;
    cEdChara m_Actor;
    std::unique_ptr<cSavedGlobals> m_lpSaved;
    std::filesystem::path m_Dir;
};

// The frame is read back in the format of ordinary surfaces; the 16-bit full-screen back buffer
// of Direct3D packs a format of its own, so that mode is left to the graphics layer's tests.
bool OrdinaryBackBuffer(const ModeCase& m)
{
    return m.nDepth != 8 && !(m.nBackEnd != 0 && m.nDepth == 16 && m.nWindowMode == 0);
}

class CommandKindsPictureTest : public CommandKindsDrawTest {};

// Picture 1 (20 x 10, one colour) in the middle of the screen, in front of the stage, for one
// second; the frame shows it and, once its time is over, no longer does.
TEST_P(CommandKindsPictureTest, PictureIsDrawnInTheFrameForItsTime)
{
    g_Database.m_vPicture.assign(2, cEdPicture());
    g_Database.m_vPicture[1].m_strFile = WritePicture("picture.bmp", 20, 10, 0x804020);
    // Screen centre, layer 1, full size, by time: ten tenths, the game going on.
    const std::vector<int32_t> p = {1, 0, 0, 0, 0, 0, 1, 100, 2, 10, 0, 0, 0, 0, 0};
    StartKindStage(m_State, m_Actor, {Flow({Cmd(32, 0, p), Hold()})});
    PlayFrames(m_State, 2);
    ASSERT_EQ(m_State.m_PictureList.Count(), 1);
    const cPictureObject& picture = *m_State.m_PictureList.begin();
    ASSERT_NE(picture.m_lpSurface, nullptr);
    auto isPicture = [this](int32_t x, int32_t y) {
        int32_t r = 0, g = 0, b = 0;
        Channels(Get(&BackBuffer, x, y), &r, &g, &b);
        // 0x80, 0x40, 0x20 in any depth's precision.
        return std::abs(r - 0x80) <= 8 && std::abs(g - 0x40) <= 8 && std::abs(b - 0x20) <= 8;
    };
    EXPECT_TRUE(isPicture(320 - 10, 240 - 5));
    EXPECT_TRUE(isPicture(320 + 9, 240 + 4));
    EXPECT_FALSE(isPicture(320 + 10, 240 + 5));
    EXPECT_FALSE(isPicture(320 - 11, 240 - 5));
    // Sixty frames in all, then it is gone from the list and from the frame.
    PlayFrames(m_State, 57);
    EXPECT_EQ(m_State.m_PictureList.Count(), 1);
    PlayFrames(m_State, 4);
    EXPECT_EQ(m_State.m_PictureList.Count(), 0);
    EXPECT_FALSE(isPicture(320, 240));
}

INSTANTIATE_TEST_SUITE_P(Modes, CommandKindsPictureTest, testing::ValuesIn(ModesWhere(OrdinaryBackBuffer)), ModeName);

class CommandKindsBackgroundTest : public CommandKindsDrawTest {};

// Background 1 is a colour fill: hidden at the start, the frame is the dark of no background;
// "背景の変更" shows it and the frame is filled with its colour; hidden again, dark again.
TEST_P(CommandKindsBackgroundTest, BackgroundChangeShowsAndHidesItInTheFrame)
{
    constexpr uint32_t kFill = 200;   // a palette entry
    LoadTestPalette();
    DDSURFACEDATA* lpExpected = NewSurface(4, 4);
    DDFillRect(lpExpected, 0, 0, 4, 4, kFill);
    std::array<int32_t, 3> fill{};
    Channels(Get(lpExpected, 1, 1), &fill[0], &fill[1], &fill[2]);
    auto filled = [this, fill](int32_t x, int32_t y) {
        std::array<int32_t, 3> rgb{};
        Channels(Get(&BackBuffer, x, y), &rgb[0], &rgb[1], &rgb[2]);
        return rgb == fill;
    };
    auto stage = [this]() {
        ClearStageObjects(m_State);
        m_Actor = NewKindStage();
        g_Stage.m_vBackground.assign(1, cEdStageBackground());
        g_Stage.m_vBackground[0].m_bShown = 0;
        g_Stage.m_vBackground[0].m_bColorFill = 1;
        g_Stage.m_vBackground[0].m_nFillColor = static_cast<int32_t>(kFill);
    };
    const struct {
        std::vector<cEdCommand> vCommands;
        bool bFilled;
    } cases[] = {
        {{Hold()}, false},
        {{Cmd(34, 0, {1, 0}), Hold()}, true},
        {{Cmd(34, 0, {1, 0}), Cmd(1, 1), Cmd(34, 0, {1, 1}), Hold()}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vCommands.size());
        stage();
        StartKindStage(m_State, m_Actor, {Flow(c.vCommands)});
        PlayFrames(m_State, 10);
        EXPECT_EQ(filled(5, 5), c.bFilled);
        EXPECT_EQ(filled(600, 100), c.bFilled);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, CommandKindsBackgroundTest, testing::ValuesIn(ModesWhere(OrdinaryBackBuffer)),
                         ModeName);

class CommandKindsToneTest : public CommandKindsDrawTest {
protected:
    // The channels of a pixel of the frame after two frames of play with this flow.
    std::array<int32_t, 3> PixelAfter(std::vector<cEdCommand> vCommands, int32_t x, int32_t y)
    {
        ClearStageObjects(m_State);
        m_State.m_Tone = ScreenTone();
        m_Actor = NewKindStage();
        StartKindStage(m_State, m_Actor, {Flow(std::move(vCommands))});
        PlayFrames(m_State, 12);
        std::array<int32_t, 3> rgb{};
        Channels(Get(&BackBuffer, x, y), &rgb[0], &rgb[1], &rgb[2]);
        return rgb;
    }
};

// A red tone tints the whole frame: each pixel is pulled toward red by the strength, so at full
// strength the frame is red and at half strength half way; a tone reached over a tenth ends
// where one of no time starts, and strength 0 leaves the frame as it was.
TEST_P(CommandKindsToneTest, ScreenColourTintsTheFrame)
{
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{320, 240}, std::pair{639, 479}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        const std::array<int32_t, 3> plain = PixelAfter({Hold()}, x, y);
        ASSERT_GT(plain[1], 8);   // the untinted frame has green to lose
        const struct {
            int32_t nStrength, nTime;
        } cases[] = {{100, 0}, {100, 1}, {50, 0}, {0, 0}};
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.nStrength << "% in " << c.nTime);
            const std::array<int32_t, 3> tinted =
                PixelAfter({Cmd(33, 0, {255, 0, 0, c.nStrength, 0, c.nTime, 0, 0}), Hold()}, x, y);
            EXPECT_NEAR(tinted[0], plain[0] + (255 - plain[0]) * c.nStrength / 100, 8);
            EXPECT_NEAR(tinted[1], plain[1] * (100 - c.nStrength) / 100, 8);
            EXPECT_NEAR(tinted[2], plain[2] * (100 - c.nStrength) / 100, 8);
        }
    }
}

// The tone tints the true-colour frame only under Direct3D.
INSTANTIATE_TEST_SUITE_P(Modes, CommandKindsToneTest, testing::ValuesIn(ModesWhere([](const ModeCase& m) {
                             return m.nBackEnd != 0 && OrdinaryBackBuffer(m);
                         })),
                         ModeName);

}   // namespace
