// The expression evaluator of "コードの実行".
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "core/Random.h"
#include "flows/Evaluator.h"
#include "frontend/SaveData.h"
#include "objects/Chara.h"
#include "platform/host/Host.h"
#include "stage/Player.h"
#include "tests/play/PlayTestSupport.h"

namespace {

class EvalFixture : public cPlayFixture {
public:
    void SetUp() override
    {
        cPlayFixture::SetUp();
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
        m_SavedVars = g_SaveData.CommonVars;
        m_nSavedLives = g_SaveData.nLives;
        g_SaveData.CommonVars.assign(kCommonVarCount, 0);
        m_Self.m_vVar.assign(9, 0);
        m_Other.m_vVar.assign(9, 0);
        m_Self.m_Def.m_nMaxHP = 500;
        m_Self.m_nHP = 100;
        m_Other.m_Def.m_nMaxHP = 50;
        m_Other.m_nHP = 50;
    }
    void TearDown() override
    {
        if (m_Self.m_lpTarget != nullptr) m_Self.SetTarget(nullptr);
        g_SaveData.CommonVars = m_SavedVars;
        g_SaveData.nLives = m_nSavedLives;
        HostClearRecordedMessageBoxes();
        cPlayFixture::TearDown();
    }

    int32_t C(int32_t n) const { return g_SaveData.CommonVars[static_cast<size_t>(n)]; }

    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> v;
        for (const RecordedMessageBox& box : HostRecordedMessageBoxes()) v.push_back(box.text);
        return v;
    }

    cChara m_Self;
    cChara m_Other;
    std::vector<int32_t> m_SavedVars;
    int32_t m_nSavedLives = 0;
};

TEST_F(EvalFixture, PrecedenceGroupingAndParentheses)
{
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"C1 = 2 + 3 * 4", 14}, {"C1 = (2 + 3) * 4", 20}, {"C1 = 10 - 3 - 2", 5},
        {"C1 = 7 / 2", 3},      {"C1 = -7 % 3", -1},      {"C1 = 8 / 2 * 3", 12},
        {"C1 = ((1 + 2) * (3 + 4)) - 1", 20},              {"C1 = 2 + abs(5)", 2},
        {"C1 = 5000000", 999999}, {"C1 = 0 - 5000000", -999999},
    };
    for (const auto& c : cases) {
        g_SaveData.CommonVars[1] = 0;
        EXPECT_EQ(EvaluateCode(c.text, &m_Self), 1) << c.text;
        EXPECT_EQ(C(1), c.expected) << c.text;
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(EvalFixture, TokensNeedSpaces)
{
    g_SaveData.CommonVars[1] = 3;
    EXPECT_EQ(EvaluateCode("C1=5", &m_Self), 1);   // one token: reads C1
    EXPECT_EQ(C(1), 3);
    EXPECT_EQ(EvaluateTokens("C1=5", &m_Self), 3);
    m_State.m_vStageVar[12] = 7;
    EXPECT_EQ(EvaluateCode("C2 = S12 * 2", &m_Self), 1);
    EXPECT_EQ(C(2), 14);
}

TEST_F(EvalFixture, StatusesClampToTheirRanges)
{
    EXPECT_EQ(EvaluateCode("my.hp = 999999", &m_Self), 1);
    EXPECT_EQ(m_Self.m_nHP, 500);
    EXPECT_EQ(EvaluateCode("my.cid = 300", &m_Self), 1);
    EXPECT_EQ(m_Self.m_Def.m_nCid, 99);
    EXPECT_EQ(EvaluateCode("imp = -300", &m_Self), 1);
    EXPECT_EQ(m_Self.m_Def.m_nImp, -20);
    EXPECT_EQ(EvaluateCode("mark = 70000", &m_Self), 1);
    EXPECT_EQ(m_Self.m_Def.m_nBadge, 119);
    EXPECT_EQ(EvaluateCode("v8 = v8 + 12", &m_Self), 1);
    EXPECT_EQ(m_Self.m_vVar[8], 12);
    // A lower maximum pulls HP down with it.
    EXPECT_EQ(EvaluateCode("mhp = 30", &m_Self), 1);
    EXPECT_EQ(m_Self.m_nHP, 30);
    EXPECT_EQ(EvaluateCode("mhp = 0", &m_Self), 1);
    EXPECT_EQ(m_Self.m_Def.m_nMaxHP, 1);
    EXPECT_EQ(m_Self.m_nHP, 1);
}

TEST_F(EvalFixture, OwnHpChangeShowsTheGauge)
{
    EXPECT_EQ(EvaluateCode("hp = hp - 40", &m_Self), 1);
    EXPECT_EQ(m_Self.m_nHP, 60);
    EXPECT_GT(m_Self.m_HPGauge.m_nFramesLeft, 0);
}

TEST_F(EvalFixture, TargetAndHeroPrefixes)
{
    EXPECT_EQ(EvaluateCode("tg.hp = 0", &m_Self), 0);   // no target: fails without a box
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(m_State.m_bDeathPending, 0);

    m_Self.SetTarget(&m_Other);
    EXPECT_EQ(EvaluateCode("tg.hp = 0", &m_Self), 1);
    EXPECT_EQ(m_Other.m_nHP, 0);
    EXPECT_EQ(m_State.m_bDeathPending, 1);
    EXPECT_EQ(m_Other.m_HPGauge.m_nFramesLeft, 0);   // another object's HP shows no gauge

    m_State.m_bDeathPending = 0;
    EXPECT_EQ(EvaluateCode("my.hp = 0", &m_Self), 1);
    EXPECT_EQ(m_State.m_bDeathPending, 0);

    Player[0].m_vVar.assign(9, 0);
    EXPECT_EQ(EvaluateCode("pl.v1 = 9", &m_Self), 1);
    EXPECT_EQ(Player[0].m_vVar[1], 9);
    // "sys." names no character: its statuses fail; system values ignore the prefix.
    EXPECT_EQ(EvaluateCode("sys.hp = 5", &m_Self), 0);
    EXPECT_EQ(EvaluateCode("C3 = sys.score + 1", &m_Self), 1);
    EXPECT_EQ(C(3), g_SaveData.nScore + 1);
}

TEST_F(EvalFixture, InfiniteLivesStayInfinite)
{
    g_SaveData.nLives = kInfiniteLives;
    EXPECT_EQ(EvaluateCode("life = 5", &m_Self), 1);
    EXPECT_EQ(g_SaveData.nLives, kInfiniteLives);
    EXPECT_EQ(EvaluateCode("C1 = life + 1", &m_Self), 1);
    EXPECT_EQ(C(1), 1);
    g_SaveData.nLives = 3;
    EXPECT_EQ(EvaluateCode("life = life + 200", &m_Self), 1);
    EXPECT_EQ(g_SaveData.nLives, 99);
}

TEST_F(EvalFixture, RandDrawsBetweenItsBoundsInEitherOrder)
{
    GameSrand(11);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(EvaluateCode("C1 = rand(6, 1)", &m_Self), 1);
        EXPECT_GE(C(1), 1);
        EXPECT_LE(C(1), 6);
        ASSERT_EQ(EvaluateCode("C2 = rand(1,,6) + rand((1), 1)", &m_Self), 1);
        EXPECT_GE(C(2), 2);
        EXPECT_LE(C(2), 7);
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(EvalFixture, ErrorsShowTheirBoxesAndStop)
{
    const struct {
        const char* text;
        const char* box;
    } cases[] = {
        {"C1 = (1 + 2", "\")\"が見つかりません！"},
        {"C1 = rand(1, 2", "関数 rand で\")\"が見つかりません！"},
        {"C1 = rand(1)", "関数 rand の引数が不正です！"},
        {"C1 = foo.hp", "オブジェクト \"foo.\" が認識できません！"},
        {"C1 = 5 / 0", "0除算が行われました！(C1 = 5 / 0)"},
        {"C1 = 5 % (2 - 2)", "0除算が行われました！(C1 = 5 % 0)"},
    };
    for (const auto& c : cases) {
        HostClearRecordedMessageBoxes();
        g_SaveData.CommonVars[1] = 42;
        EXPECT_EQ(EvaluateCode(c.text, &m_Self), 0) << c.text;
        EXPECT_EQ(C(1), 42) << c.text;
        EXPECT_EQ(Boxes(), std::vector<std::string>{c.box}) << c.text;
    }
}

TEST_F(EvalFixture, ArithmeticWrapsWithoutTraps)
{
    EXPECT_EQ(EvaluateTokens("2147483647 + 1", &m_Self), INT32_MIN);
    EXPECT_EQ(EvaluateTokens("-2147483648 - 1", &m_Self), INT32_MAX);
    EXPECT_EQ(EvaluateTokens("65536 * 65536", &m_Self), 0);
    EXPECT_EQ(EvaluateTokens("-2147483648 / -1", &m_Self), INT32_MIN);
    EXPECT_EQ(EvaluateTokens("-2147483648 % -1", &m_Self), 0);
    EXPECT_EQ(EvaluateTokens("99999999999999999999", &m_Self), INT32_MAX);
    EXPECT_EQ(EvaluateTokens("", &m_Self), 0);
}

TEST_F(EvalFixture, AssignmentWithoutATargetWritesNothing)
{
    g_SaveData.CommonVars[2] = 4;
    EXPECT_EQ(EvaluateCode("C1 = C2 = 5", &m_Self), 1);
    EXPECT_EQ(C(1), 4);
    EXPECT_EQ(C(2), 4);
    EXPECT_EQ(EvaluateCode("3 = 4", &m_Self), 1);
}

TEST_F(EvalFixture, DeepParenthesesFailInsteadOfExhaustingTheStack)
{
    const std::string deep = std::string(2559, '(') + "1" + std::string(2559, ')');
    EXPECT_EQ(EvaluateCode("C1 = " + deep, &m_Self), 0);
    const std::string fine = std::string(100, '(') + "7" + std::string(100, ')');
    EXPECT_EQ(EvaluateCode("C1 = " + fine, &m_Self), 1);
    EXPECT_EQ(C(1), 7);
}

TEST(EvalText, TruncateAtNulAndSafeSubstr)
{
    std::string s("abc\0def", 7);
    EXPECT_EQ(TruncateAtNul(s), 3);
    EXPECT_EQ(s, "abc");
    std::string longText(6000, 'x');
    EXPECT_EQ(TruncateAtNul(longText), 5119);
    const struct {
        int32_t start, length;
        const char* expected;
    } cases[] = {{0, 3, "hel"}, {-2, 4, "he"}, {3, 10, "lo"}, {9, 2, ""}, {-9, 3, ""}, {2, -1, ""}};
    for (const auto& c : cases) EXPECT_EQ(SafeSubstr("hello", c.start, c.length), c.expected);
}

}  // namespace
