// The message object and the message command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/EdCommand.h"
#include "flows/MessageCommand.h"
#include "flows/MessageObject.h"
#include "frontend/SaveData.h"
#include "objects/Chara.h"
#include "objects/ObjectLinks.h"
#include "platform/host/Host.h"
#include "shell/ShellGlobals.h"
#include "stage/CharaList.h"
#include "stage/Player.h"
#include "tests/play/PlayTestSupport.h"

namespace {

class MessageFixture : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        m_SavedVars = g_SaveData.CommonVars;
        g_SaveData.CommonVars.assign(kCommonVarCount, 0);
        m_bSavedActive = bAppActive.load();
        bAppActive = 1;
    }
    void TearDown() override
    {
        ClearStageObjects(m_State);
        m_State.m_MessageList.Clear();
        g_SaveData.CommonVars = m_SavedVars;
        bAppActive = m_bSavedActive;
        cPlayFixture::TearDown();
    }

    // "メッセージ" with 18 parameters: the given ones set, the rest 0.
    static cEdCommand MessageCmd(const std::string& text, std::initializer_list<std::pair<int32_t, int32_t>> params)
    {
        cEdCommand cmd = cEdCommand::Default();
        cmd.m_nKind = 19;
        cmd.m_strText = text;
        cmd.m_vParam.assign(18, 0);
        for (const auto& [i, v] : params) cmd.m_vParam[static_cast<size_t>(i)] = v;
        return cmd;
    }

    std::vector<int32_t> IdsInOrder()
    {
        std::vector<int32_t> v;
        for (cMessageObject& message : m_State.m_MessageList) v.push_back(message.m_Setup.nId);
        return v;
    }

    std::vector<int32_t> m_SavedVars;
    int32_t m_bSavedActive = 0;
    cChara m_Self;
};

TEST_F(MessageFixture, VariableCodesExpand)
{
    g_SaveData.CommonVars[1] = 7;
    g_SaveData.CommonVars[12] = 34;
    g_SaveData.CommonVars[255] = 9;
    m_State.m_vStageVar[2] = 5;
    const struct {
        const char* source;
        const char* expected;
    } cases[] = {
        {"#C1.", "7"},           {"#C1_3", "  7"},        {"#C1_3Z", "007"},         {"#S2_P", "+5"},
        {"a#c1b", "a7b"},        {"#", "#"},              {"x#", "x#"},              {"#X1", "#X1"},
        {"#C0", "#C0"},          {"#C256", "#C256"},      {"#C255", "9"},            {"#C12_4Z.abc", "0034abc"},
        {"#CS1", "7"},           {"#S1_Z", "0"},          {"#C1_0", "7"},            {"##C1", "#7"},
        {"#C99999999999999999999", "#C99999999999999999999"},
        {"表#C1", "表7"},       {"#C1.#S2.", "75"},      {"#C1_12", " 7"},
    };
    cMessageObject message;
    for (const auto& c : cases) {
        std::string text = c.source;
        message.ExpandMessageCodes(text);
        EXPECT_EQ(text, c.expected) << c.source;
    }
    g_SaveData.CommonVars[1] = -7;
    std::string negative = "#C1_3";
    message.ExpandMessageCodes(negative);
    EXPECT_EQ(negative, "-  7");
}

TEST_F(MessageFixture, CodesAreExpandedWhenTheMessageIsSetUp)
{
    g_SaveData.CommonVars[3] = 42;
    cEdCommand cmd = MessageCmd("HP #C3.", {{9, 1}, {6, 2}, {7, 1}});
    WorkMessage(&m_Self, &cmd, 0);
    ASSERT_EQ(m_State.m_MessageList.Count(), 1);
    cMessageObject& message = *m_State.m_MessageList.begin();
    EXPECT_EQ(message.m_Setup.strText, "HP 42");
    EXPECT_EQ(message.m_strSource, "HP #C3.");
    EXPECT_EQ(message.m_nFramesLeft, 6);
    EXPECT_EQ(message.m_bOpening, 0);   // by time: no opening animation
}

TEST_F(MessageFixture, ReplacementByIdKeepsItsPlaceAndCloseRemovesOnlyThatId)
{
    for (int32_t nId : {4, 5, 6}) {
        cEdCommand cmd = MessageCmd("first", {{12, 1}, {13, nId}});
        WorkMessage(&m_Self, &cmd, 0);
    }
    ASSERT_EQ(IdsInOrder(), (std::vector<int32_t>{4, 5, 6}));
    cMessageObject* lpFive = nullptr;
    for (cMessageObject& message : m_State.m_MessageList)
        if (message.m_Setup.nId == 5) lpFive = &message;
    ASSERT_NE(lpFive, nullptr);

    // Same size: set up again where it stands.
    cEdCommand same = MessageCmd("again", {{12, 1}, {13, 5}});
    WorkMessage(&m_Self, &same, 0);
    EXPECT_EQ(IdsInOrder(), (std::vector<int32_t>{4, 5, 6}));
    EXPECT_EQ(lpFive->m_Setup.strText, "again");

    // Another size: a new surface, still at the same place.
    lpFive->m_nWidth += 100;
    cEdCommand longer = MessageCmd("a much longer text", {{12, 1}, {13, 5}});
    WorkMessage(&m_Self, &longer, 0);
    EXPECT_EQ(IdsInOrder(), (std::vector<int32_t>{4, 5, 6}));
    EXPECT_EQ(lpFive->m_Setup.strText, "a much longer text");
    EXPECT_EQ(m_State.m_MessageList.Count(), 3);

    cEdCommand close = MessageCmd("", {{12, 1}, {13, 5}, {15, 1}});
    WorkMessage(&m_Self, &close, 0);
    EXPECT_EQ(IdsInOrder(), (std::vector<int32_t>{4, 6}));
    // Closing an ID nobody has, or closing without IDs, changes nothing.
    cEdCommand none = MessageCmd("", {{12, 1}, {13, 9}, {15, 1}});
    WorkMessage(&m_Self, &none, 0);
    cEdCommand noId = MessageCmd("", {{15, 1}});
    WorkMessage(&m_Self, &noId, 0);
    EXPECT_EQ(IdsInOrder(), (std::vector<int32_t>{4, 6}));
}

TEST_F(MessageFixture, NothingWhileClosing)
{
    m_State.m_bClosing = 1;
    cEdCommand cmd = MessageCmd("text", {});
    WorkMessage(&m_Self, &cmd, 0);
    EXPECT_EQ(m_State.m_MessageList.Count(), 0);
}

TEST_F(MessageFixture, MessageOfARemovedObjectEnds)
{
    cChara temp;
    temp.m_nKey = 31;
    cChara& stored = CharaList.Append(temp);
    for (int32_t nKind : {1, 2}) {
        MessageSetup setup;
        setup.nKind = nKind;
        setup.strText = "hi";
        setup.nPositionMode = 1;
        setup.nFollowKey = 31;
        setup.nTimeMode = 1;
        cMessageObject& message = m_State.m_MessageList.AppendNew();
        message.Setup(setup, 0);
    }
    for (cMessageObject& message : m_State.m_MessageList) EXPECT_EQ(message.Update(nullptr, 0), 0);
    RemoveEnemy(stored);
    for (cMessageObject& message : m_State.m_MessageList) EXPECT_EQ(message.Update(nullptr, 0), 1);
}

TEST_F(MessageFixture, TimedMessagesCountOnlyWhenTheyMay)
{
    const struct {
        int32_t bStopsGame, bPaused, nUpdatesToFinish;
    } cases[] = {{0, 0, 4}, {1, 0, 4}, {1, 1, 4}, {0, 1, 0}};
    for (const auto& c : cases) {
        cMessageObject message;
        MessageSetup setup;
        setup.nKind = 0;
        setup.nTimeMode = 2;
        setup.nFrames = 3;
        setup.bStopsGame = c.bStopsGame;
        message.Setup(setup, 0);
        int32_t nUpdates = 0;
        while (nUpdates < 20 && message.Update(nullptr, c.bPaused) == 0) ++nUpdates;
        if (c.nUpdatesToFinish == 0) {
            EXPECT_EQ(nUpdates, 20) << "a message that does not stop the game waits while it is stopped";
        } else {
            EXPECT_EQ(nUpdates + 1, c.nUpdatesToFinish) << c.bStopsGame << c.bPaused;
        }
    }
    // Until the advance key or the stage end: never finished by time.
    cMessageObject keyed;
    MessageSetup setup;
    setup.nKind = 0;
    setup.nTimeMode = 0;
    keyed.Setup(setup, 0);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(keyed.Update(nullptr, 0), 0);
}

TEST_F(MessageFixture, IconsAreSixteenPixelsAndOpeningOnlyForKeyWaits)
{
    cMessageObject icon;
    MessageSetup setup;
    setup.nKind = 2;
    setup.nTimeMode = 2;
    setup.nFrames = 30;
    icon.Setup(setup, 0);
    EXPECT_EQ(icon.m_nWidth, 16);
    EXPECT_EQ(icon.m_nHeight, 16);

    cMessageObject text;
    MessageSetup keyed;
    keyed.nKind = 1;
    keyed.strText = "wait";
    keyed.nTimeMode = 0;
    text.Setup(keyed, 0);
    EXPECT_EQ(text.m_bOpening, 1);
    keyed.bFlowWait = 1;   // follows a message that waited: opens at once
    text.Setup(keyed, 0);
    EXPECT_EQ(text.m_bOpening, 0);
}

TEST_F(MessageFixture, GameStoppingMessageIsRemovedAfterTheWait)
{
    cEdCommand keep = MessageCmd("stays", {{12, 1}, {13, 1}});
    WorkMessage(&m_Self, &keep, 0);
    cEdCommand stop = MessageCmd("stops", {{6, 2}, {7, 1}, {8, 1}});
    WorkMessage(&m_Self, &stop, 0);
    EXPECT_EQ(IdsInOrder(), std::vector<int32_t>{1});
    EXPECT_EQ(m_State.m_MessageList.begin()->m_Setup.strText, "stays");

    // A replacement by ID that stops the game leaves with its wait, wherever it stood.
    cEdCommand replace = MessageCmd("replaced", {{12, 1}, {13, 1}, {6, 2}, {8, 1}});
    WorkMessage(&m_Self, &replace, 0);
    EXPECT_EQ(m_State.m_MessageList.Count(), 0);
}

TEST_F(MessageFixture, PlacesByModeFixedOrScrollingAndKeptInside)
{
    m_State.m_ScrollX.m_dPosition = 100.5;
    m_State.m_ScrollY.m_dPosition = 40.0;
    m_State.m_ScrollX.m_nBlockOrigin = 10;
    m_State.m_ScrollY.m_nBlockOrigin = 10;
    cHero& hero = Player[0];
    hero.m_nKey = 12;
    hero.m_dX = 300.0;
    hero.m_dY = 200.0;
    hero.m_nWidth = 32;
    hero.m_nHeight = 48;
    hero.m_nOffsetX = 4;
    hero.m_nOffsetY = 8;
    const struct {
        int32_t nMode, nOffsetY, bKeepInside, bFixed;
        int32_t x, y;
    } cases[] = {
        {0, 0, 0, 1, 320 - 10 + 3, 240 - 5},
        {4, 0, 0, 0, 200 + 16 - 10 - 4 + 3, 160 - 8 - 10},
        {5, 0, 0, 0, 200 + 16 - 10 - 4 + 3, 160 + 48 - 8 + 1},
        {6, 0, 0, 0, 200 + 16 - 10 - 4 + 3, 160 + 24 - 5 - 8},
        {7, 0, 0, 1, 2 * 32 + 3, 1 * 32},
        {8, 0, 0, 0, static_cast<int32_t>((2 + 10) * 32 + 3 - 100.5), (1 + 10) * 32 - 40},
        {7, -100, 1, 1, 2 * 32 + 3, 20},           // kept below the status bar
        {7, 1000, 1, 1, 2 * 32 + 3, 480 - 10},
    };
    for (const auto& c : cases) {
        cMessageObject message;
        MessageSetup setup;
        setup.nKind = 0;
        setup.nPositionMode = c.nMode;
        setup.nX = 2;
        setup.nY = 1;
        setup.nOffsetX = 3;
        setup.nOffsetY = c.nOffsetY;
        setup.nFollowKey = 12;
        setup.bKeepInside = c.bKeepInside;
        setup.bFixedOnScreen = c.bFixed;
        message.Setup(setup, 0);
        message.m_nWidth = 20;
        message.m_nHeight = 10;
        int32_t x = 0, y = 0;
        ASSERT_EQ(message.Place(x, y), 1);
        EXPECT_EQ(x, c.x) << c.nMode << " " << c.nOffsetY;
        EXPECT_EQ(y, c.y) << c.nMode << " " << c.nOffsetY;
    }

    // Screen-centre text that is not fixed stays where it was on the stage as the view moves;
    // a fixed message above the hero stays where it first stood on the screen.
    cMessageObject scrolling;
    MessageSetup setup;
    setup.nKind = 0;
    setup.nPositionMode = 0;
    scrolling.Setup(setup, 0);
    cMessageObject fixed;
    setup.nPositionMode = 4;
    setup.nFollowKey = 12;
    setup.bFixedOnScreen = 1;
    fixed.Setup(setup, 0);
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0, fx0 = 0, fy0 = 0, fx1 = 0, fy1 = 0;
    scrolling.Place(x0, y0);
    fixed.Place(fx0, fy0);
    m_State.m_ScrollX.m_dPosition += 50.0;
    m_State.m_ScrollY.m_dPosition -= 8.0;
    hero.m_dX += 70.0;
    scrolling.Place(x1, y1);
    fixed.Place(fx1, fy1);
    EXPECT_EQ(x1, x0 - 50);
    EXPECT_EQ(y1, y0 + 8);
    EXPECT_EQ(fx1, fx0);
    EXPECT_EQ(fy1, fy0);
}

TEST_F(MessageFixture, CopiesOwnNoSurface)
{
    cMessageObject message;
    MessageSetup setup;
    setup.nKind = 1;
    setup.strText = "copy";
    message.Setup(setup, 0);
    cMessageObject copy(message);
    EXPECT_EQ(copy.m_lpSurface, nullptr);
    EXPECT_EQ(copy.m_Setup.strText, "copy");
    cMessageObject assigned;
    assigned = message;
    EXPECT_EQ(assigned.m_lpSurface, nullptr);
}

}  // namespace
