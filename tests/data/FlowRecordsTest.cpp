#include <gtest/gtest.h>

#include <climits>

#include "data/CommandTables.h"
#include "data/EdCommand.h"
#include "data/EdFlow.h"
#include "data/RecordReferences.h"
#include "tests/data/RecordTestUtil.h"

namespace {

struct CommandBody {
    int8_t nFamily = 0;
    int8_t nKind = 0;
    int16_t nTime = 0;
    int16_t nSound = 0;
    int16_t nAnime = 0;
    std::string strText;
    Bytes move;    // empty: no move record
    Bytes shot;    // empty: no shot record
    std::vector<Bytes> flows;
    std::vector<int32_t> params;
};

// A command body as a file stores it.
Bytes CommandBytes(const CommandBody& c)
{
    Bytes b;
    AppendU32(b, 8);
    AppendU8(b, static_cast<uint8_t>(c.nFamily));
    AppendU8(b, static_cast<uint8_t>(c.nKind));
    AppendU16(b, static_cast<uint16_t>(c.nTime));
    AppendU16(b, 0);   // time per formation index
    AppendU8(b, 0);    // same frame
    AppendU16(b, static_cast<uint16_t>(c.nSound));
    AppendU8(b, 1);    // option
    AppendU16(b, static_cast<uint16_t>(c.nAnime));
    AppendU32(b, 1);
    AppendString(b, c.strText);
    AppendU32(b, c.move.empty() ? 0 : 1);
    b.insert(b.end(), c.move.begin(), c.move.end());
    AppendU32(b, c.shot.empty() ? 0 : 1);
    b.insert(b.end(), c.shot.begin(), c.shot.end());
    AppendU32(b, static_cast<uint32_t>(c.flows.size()));
    for (const Bytes& flow : c.flows) b.insert(b.end(), flow.begin(), flow.end());
    AppendU32(b, static_cast<uint32_t>(c.params.size()));
    for (int32_t p : c.params) AppendU32(b, static_cast<uint32_t>(p));
    return b;
}

// A flow body of a file at version 676 or later (with the name), or before it.
Bytes FlowBytes(uint32_t nVersion, int8_t nTrigger, int8_t nFlowId, int8_t bDelete, const std::string& name,
                const std::vector<Bytes>& commands = {})
{
    Bytes b;
    AppendU32(b, 8);
    for (uint8_t v : {uint8_t(1), static_cast<uint8_t>(nFlowId), static_cast<uint8_t>(bDelete), uint8_t(0),
                      uint8_t(0), static_cast<uint8_t>(nTrigger), uint8_t(2), uint8_t(1)})
        AppendU8(b, v);
    if (nVersion >= 676) {
        AppendU32(b, 1);
        AppendString(b, name);
    } else {
        AppendU32(b, 0);
    }
    AppendU32(b, 0);   // conditions
    AppendU32(b, 0);   // key steps
    AppendU32(b, static_cast<uint32_t>(commands.size()));
    for (const Bytes& c : commands) b.insert(b.end(), c.begin(), c.end());
    return b;
}

class FlowRecordsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        g_RecordReferences = RecordReferenceHooks();
        g_nDataVersion = 751;
    }
};

}  // namespace

TEST_F(FlowRecordsTest, CommandIsStoredByteForByte)
{
    cEdCommand command = cEdCommand::Default();
    command.m_nKind = 9;   // "向き変更": one parameter
    command.m_nTime = 5;
    command.m_strText = "go";
    command.NewMove();
    command.m_vParam = {1};
    cEdFlow nested = cEdFlow::Default();
    command.m_vFlow.push_back(nested);

    CommandBody expected;
    expected.nKind = 9;
    expected.nTime = 5;
    expected.strText = "go";
    cEdMove move;
    expected.move = SaveBody(move);
    expected.flows = {FlowBytes(751, 0, 0, 0, "")};
    expected.flows[0][4 + 6] = 3;   // the default flow's key tolerance
    expected.flows[0][4 + 7] = 0;
    expected.flows[0][4 + 0] = 0;
    expected.params = {1};
    EXPECT_EQ(SaveBody(command), CommandBytes(expected));

    cEdCommand loaded;
    ASSERT_TRUE(LoadBody(loaded, CommandBytes(expected)));
    ASSERT_TRUE(loaded.m_lpMove);
    EXPECT_FALSE(loaded.m_lpShot);
    EXPECT_EQ(loaded.m_strText, "go");
    ASSERT_EQ(loaded.m_vFlow.size(), 1u);
    EXPECT_EQ(loaded.m_vFlow[0].m_nKeyTolerance, 3);
    EXPECT_EQ(SaveBody(loaded), CommandBytes(expected));
}

TEST_F(FlowRecordsTest, ConditionLayoutsBeforeAndAfter110And43)
{
    // Version 751: all 17 fields.
    Bytes current;
    AppendU32(current, 17);
    AppendU8(current, 1);
    AppendU32(current, 100);
    AppendU32(current, 2);
    AppendU32(current, 3);
    for (uint8_t v : {4, 5, 6, 7}) AppendU8(current, v);
    AppendU16(current, 8);
    for (uint8_t v : {9, 10, 11, 12}) AppendU8(current, v);
    AppendU16(current, 13);
    for (uint8_t v : {6, 1, 15}) AppendU8(current, v);
    AppendU32(current, 0);
    cEdCondition condition;
    ASSERT_TRUE(LoadBody(condition, current));
    EXPECT_EQ(condition.m_nRightVarIndex, 13);
    EXPECT_EQ(condition.m_nCompare, 6);
    EXPECT_EQ(condition.m_nExtra, 15);
    EXPECT_EQ(SaveBody(condition), current);

    // Before 110: kind, constant, two discarded 16-bit values, comparison, percent (from 43), extra.
    for (uint32_t nVersion : {42u, 43u, 109u}) {
        Bytes old;
        AppendU32(old, nVersion >= 43 ? 6 : 5);
        AppendU8(old, 2);
        AppendU32(old, 77);
        AppendU16(old, 0xAAAA);
        AppendU16(old, 0xBBBB);
        AppendU8(old, 3);
        if (nVersion >= 43) AppendU8(old, 1);
        AppendU8(old, 9);
        AppendU32(old, 0);
        cEdCondition loaded = cEdCondition::Default();
        ASSERT_TRUE(LoadBody(loaded, old, nVersion)) << nVersion;
        EXPECT_EQ(loaded.m_nKind, 2);
        EXPECT_EQ(loaded.m_nValue, 77);
        EXPECT_EQ(loaded.m_nRandMin, 0);
        EXPECT_EQ(loaded.m_nVarIndex, 0);
        EXPECT_EQ(loaded.m_nCompare, 3);
        EXPECT_EQ(loaded.m_bPercent, nVersion >= 43 ? 1 : 0);
        EXPECT_EQ(loaded.m_nExtra, 9);
    }
}

TEST_F(FlowRecordsTest, ConditionMigrationsAtEachBoundary)
{
    // Fields by their use: kind, left owner, left status, left kind, right kind, right owner,
    // right status, comparison.
    struct Fields {
        int8_t kind, lOwner, lStatus, lKind, rKind, rOwner, rStatus, compare;
    };
    struct Case {
        uint32_t nVersion;
        Fields in, out;
    };
    const std::vector<Case> cases = {
        {159, {5, 0, 0, 0, 0, 0, 0, 0}, {7, 0, 0, 0, 1, 1, 0, 0}},       // kind 5 -> 7, then 657..746 steps
        {160, {5, 0, 0, 0, 0, 0, 0, 0}, {5, 0, 0, 0, 0, 0, 0, 0}},
        {159, {4, 0, 2, 0, 0, 0, 0, 5}, {4, 0, 2, 0, 0, 0, 0, 5}},       // kinds below 5 keep their number
        {160, {6, 0, 2, 0, 0, 0, 0, 5}, {6, 0, 2, 0, 0, 0, 0, 4}},
        {161, {6, 0, 2, 0, 0, 0, 0, 5}, {6, 0, 2, 0, 0, 0, 0, 5}},
        {167, {4, 0, 10, 0, 2, 0, 10, 0}, {4, 0, 12, 0, 2, 0, 12, 0}},  // both status insertions
        {167, {4, 2, 10, 0, 2, 2, 10, 0}, {4, 2, 10, 0, 2, 2, 10, 0}},  // system statuses stay
        {168, {4, 0, 10, 0, 2, 0, 10, 0}, {4, 0, 11, 0, 2, 0, 11, 0}},
        {202, {4, 0, 5, 1, 2, 0, 4, 0}, {4, 0, 5, 1, 2, 0, 4, 0}},      // a variable on the left stays
        {203, {4, 0, 10, 0, 2, 0, 10, 0}, {4, 0, 10, 0, 2, 0, 10, 0}},
        {209, {5, 0, 6, 0, 0, 0, 0, 0}, {5, 0, 7, 0, 0, 0, 0, 0}},
        {210, {5, 0, 6, 0, 0, 0, 0, 0}, {5, 0, 6, 0, 0, 0, 0, 0}},
        {656, {7, 3, 0, 4, 5, 6, 0, 0}, {7, 0, 0, 0, 1, 1, 0, 0}},
        {657, {7, 3, 0, 4, 5, 6, 0, 0}, {7, 3, 0, 0, 1, 1, 0, 0}},
        {745, {7, 3, 0, 4, 5, 6, 0, 0}, {7, 3, 0, 4, 1, 1, 0, 0}},
        {746, {7, 3, 0, 4, 5, 6, 0, 0}, {7, 3, 0, 4, 5, 6, 0, 0}},
    };
    for (const Case& c : cases) {
        cEdCondition source;
        source.m_nKind = c.in.kind;
        source.m_nLeftOwner = c.in.lOwner;
        source.m_nLeftStatus = c.in.lStatus;
        source.m_nLeftKind = c.in.lKind;
        source.m_nRightKind = c.in.rKind;
        source.m_nRightOwner = c.in.rOwner;
        source.m_nRightStatus = c.in.rStatus;
        source.m_nCompare = c.in.compare;
        const Bytes body = SaveBody(source);   // every version here from 110 on has this layout
        cEdCondition loaded;
        ASSERT_TRUE(LoadBody(loaded, body, c.nVersion)) << c.nVersion;
        const Fields got = {loaded.m_nKind,      loaded.m_nLeftOwner,  loaded.m_nLeftStatus,
                            loaded.m_nLeftKind,  loaded.m_nRightKind,  loaded.m_nRightOwner,
                            loaded.m_nRightStatus, loaded.m_nCompare};
        EXPECT_EQ(std::memcmp(&got, &c.out, sizeof got), 0)
            << "version " << c.nVersion << " kind " << int(c.in.kind) << " -> " << int(got.kind) << ","
            << int(got.lOwner) << "," << int(got.lStatus) << "," << int(got.lKind) << "," << int(got.rKind)
            << "," << int(got.rOwner) << "," << int(got.rStatus) << "," << int(got.compare);
    }
}

TEST_F(FlowRecordsTest, KeyListStoresItsStatesAndAlwaysHasNineteen)
{
    cEdKeyList keyList = cEdKeyList::Default();
    keyList.m_nMinHold = 2;
    keyList.m_nMaxHold = -1;
    keyList.m_vKeyState[18] = 2;
    Bytes expected;
    AppendU32(expected, 5);
    AppendU8(expected, 0);
    AppendU16(expected, 2);
    AppendU16(expected, 0xFFFF);
    AppendU8(expected, 0);
    AppendU8(expected, 0);
    AppendU32(expected, 0);
    AppendU32(expected, 19);
    for (int i = 0; i < 19; ++i) AppendU8(expected, i == 18 ? 2 : 0);
    EXPECT_EQ(SaveBody(keyList), expected);

    for (uint32_t nStored : {0u, 3u, 25u}) {
        Bytes body(expected.begin(), expected.begin() + 4 + 7 + 4);
        AppendU32(body, nStored);
        for (uint32_t i = 0; i < nStored; ++i) AppendU8(body, 1);
        cEdKeyList loaded;
        ASSERT_TRUE(LoadBody(loaded, body)) << nStored;
        ASSERT_EQ(loaded.m_vKeyState.size(), 19u) << nStored;
        EXPECT_EQ(loaded.m_vKeyState[0], nStored > 0 ? 1 : 0);
        EXPECT_EQ(loaded.m_vKeyState[18], nStored > 18 ? 1 : 0);
    }
}

TEST_F(FlowRecordsTest, FlowNameNeverSurvivesLoadingAndTriggersMigrate)
{
    struct Case {
        uint32_t nVersion;
        int8_t nTrigger, nFlowId;
        int8_t nTriggerAfter, nFlowIdAfter;
    };
    for (const Case& c : {Case{131, 11, 4, 14, 0}, Case{132, 11, 4, 13, 0}, Case{131, 10, 4, 12, 0},
                          Case{162, 5, 4, 7, 0}, Case{162, 0, 4, 0, 4}, Case{163, 5, 4, 7, 4},
                          Case{163, 4, 4, 4, 4}, Case{164, 5, 4, 5, 4}, Case{750, 19, 4, 19, 4}}) {
        cEdFlow flow;
        ASSERT_TRUE(LoadBody(flow, FlowBytes(c.nVersion, c.nTrigger, c.nFlowId, 0, ""), c.nVersion)) << c.nVersion;
        EXPECT_EQ(flow.m_nTrigger, c.nTriggerAfter) << c.nVersion << " " << int(c.nTrigger);
        EXPECT_EQ(flow.m_nFlowId, c.nFlowIdAfter) << c.nVersion << " " << int(c.nTrigger);
    }
    for (uint32_t nVersion : {675u, 676u, 751u}) {
        cEdFlow flow;
        flow.m_strName = "kept?";
        ASSERT_TRUE(LoadBody(flow, FlowBytes(nVersion, 0, 0, 0, "named"), nVersion)) << nVersion;
        EXPECT_EQ(flow.m_strName, "") << nVersion;
    }
}

TEST_F(FlowRecordsTest, CommandMigrationsAtEachBoundary)
{
    struct Case {
        uint32_t nVersion;
        int8_t nFamily, nKind;
        std::vector<int32_t> in;
        int8_t nKindAfter;
        std::vector<int32_t> out;
    };
    auto seq = [](int n) {
        std::vector<int32_t> v;
        for (int i = 1; i <= n; ++i) v.push_back(i);
        return v;
    };
    std::vector<int32_t> status(18, 0);
    status[4] = 10;
    status[6] = 2;
    status[13] = 10;
    auto statusWith = [&](int32_t a, int32_t b) {
        std::vector<int32_t> v = status;
        v[4] = a;
        v[13] = b;
        return v;
    };
    std::vector<int32_t> message(18, 5);
    auto messageWith = [&](std::initializer_list<std::pair<int, int32_t>> changes) {
        std::vector<int32_t> v = message;
        for (auto [i, x] : changes) v[static_cast<size_t>(i)] = x;
        return v;
    };
    auto pictureWith = [&](std::initializer_list<std::pair<int, int32_t>> changes) {
        std::vector<int32_t> v = seq(15);
        for (auto [i, x] : changes) v[static_cast<size_t>(i)] = x;
        return v;
    };
    const std::vector<Case> cases = {
        {165, 0, 35, {7}, 36, {7, 1}},
        {166, 0, 35, {7}, 36, {7, 0}},
        {167, 0, 22, status, 22, statusWith(12, 12)},
        {168, 0, 22, status, 22, statusWith(11, 11)},
        {203, 0, 22, status, 22, status},
        {167, 7, 7, status, 7, statusWith(12, 12)},   // item "ステータスの操作"
        {188, 0, 21, seq(15), 21, {1, 2, 0, 3, 4, 5, 6, 7, 8, 9, 0, 1, 12, 13, 0}},
        {189, 0, 21, seq(15), 21, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 1, 13, 14, 0}},
        {747, 0, 21, seq(15), 21, seq(15)},
        {193, 0, 31, seq(15), 32, {1, 2, 3, 4, 5, 6, 1, 7, 8, 9, 10, 0, 0, 0, 0}},
        {194, 0, 31, seq(15), 32, pictureWith({{11, 0}, {12, 0}, {13, 0}, {14, 0}})},
        {194, 0, 29, {5, 6, 7}, 30, {5, 0, 6}},
        {195, 0, 29, {5, 6, 7}, 30, {5, 6, 7}},
        {209, 0, 23, {0, 6, 0}, 23, {0, 7, 0}},
        {209, 0, 23, {2, 6, 0}, 23, {2, 6, 0}},
        {210, 0, 23, {0, 6, 0}, 23, {0, 6, 0}},
        {218, 0, 25, {3, 5, 0}, 26, {3, 6, 0}},
        {218, 0, 25, {3, 119, 0}, 26, {3, 119, 0}},
        {219, 0, 25, {3, 5, 0}, 26, {3, 5, 0}},
        {544, 0, 31, seq(15), 32, pictureWith({{11, 0}, {12, 0}, {13, 0}, {14, 0}})},
        {545, 0, 31, seq(15), 32, pictureWith({{12, 0}, {13, 0}, {14, 0}})},
        {545, 0, 19, messageWith({{0, 7}}), 19, messageWith({{0, 7}, {10, 1}, {11, 0}, {12, 0}, {13, 0}, {14, 1}, {15, 0}, {16, 1}, {17, 0}})},
        {545, 0, 19, messageWith({{0, 3}}), 19, messageWith({{0, 3}, {10, 0}, {11, 0}, {12, 0}, {13, 0}, {14, 1}, {15, 0}, {16, 1}, {17, 0}})},
        {546, 0, 19, message, 19, messageWith({{11, 0}, {12, 0}, {13, 0}, {14, 1}, {15, 0}, {16, 1}, {17, 0}})},
        {547, 0, 19, message, 19, messageWith({{16, 1}, {17, 0}})},
        {556, 0, 19, message, 19, messageWith({{17, 0}})},
        {723, 0, 19, message, 19, message},
        {546, 4, 4, message, 4, messageWith({{11, 0}, {12, 0}, {13, 0}, {14, 1}, {15, 0}, {16, 1}, {17, 0}})},
        {721, 0, 17, {2, 0, 0, 0, 0, 0, 0, 0, 0}, 17, {3, 0, 0, 0, 0, 0, 0, 0, 0}},
        {721, 0, 17, {1, 0, 0, 0, 0, 0, 0, 0, 0}, 17, {1, 0, 0, 0, 0, 0, 0, 0, 0}},
        {722, 0, 17, {2, 0, 0, 0, 0, 0, 0, 0, 0}, 17, {2, 0, 0, 0, 0, 0, 0, 0, 0}},
        {722, 0, 31, seq(15), 32, pictureWith({{14, 0}})},
        {723, 0, 31, seq(15), 32, seq(15)},
        {725, 0, 37, {5, 2}, 38, {11, 5, 0, 0, 0}},
        {726, 0, 37, {5, 2, 0, 0, 0}, 38, {5, 2, 0, 0, 0}},
        {726, 0, 37, {11, 0, 0, 0, 0}, 38, {11, 0, 0, 0, 0}},
        {726, 0, 37, {11, 1, 0, 0, 0}, 38, {11, 1, 0, 0, 0}},
        {726, 0, 37, {11, 2, 0, 0, 0}, 38, {11, 5, 0, 0, 0}},
        {726, 0, 37, {11, 10, 0, 0, 0}, 38, {11, 13, 0, 0, 0}},
        {726, 0, 37, {11, 11, 0, 0, 0}, 38, {11, 18, 0, 0, 0}},
        {727, 0, 37, {11, 2, 0, 0, 0}, 38, {11, 2, 0, 0, 0}},
        {733, 0, 30, {1, 2, 3}, 31, {1, 2, 3}},
        {733, 0, 23, {1, 2, 3}, 23, {1, 2, 3}},
        {733, 0, 37, {24, 0, 0, 0, 0}, 38, {25, 0, 0, 0, 0}},
        {733, 1, 9, {1, 2}, 10, {1, 2}},
        {733, 1, 22, {24, 0, 0, 0, 0}, 23, {25, 0, 0, 0, 0}},
        {733, 1, 8, {1, 2, 3}, 8, {1, 2, 3}},
        {734, 0, 30, {1, 2, 3}, 30, {1, 2, 3}},
        {700, 0, 30, {1, 2, 3}, 31, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        CommandBody body;
        body.nFamily = c.nFamily;
        body.nKind = c.nKind;
        body.params = c.in;
        cEdCommand command;
        ASSERT_TRUE(LoadBody(command, CommandBytes(body), c.nVersion)) << c.nVersion << " kind " << int(c.nKind);
        EXPECT_EQ(command.m_nKind, c.nKindAfter) << c.nVersion << " kind " << int(c.nKind);
        EXPECT_EQ(command.m_vParam, c.out) << c.nVersion << " kind " << int(c.nKind);
    }
}

TEST_F(FlowRecordsTest, MigrationStepsStopAtTheTopOfTheStoredType)
{
    // Old files may hold any number where a migration moves one up: it stays at the top of its
    // type instead of overflowing (int32 parameters) or wrapping round (int8 fields).
    constexpr int32_t kTop = INT32_MAX;
    struct CommandCase {
        uint32_t nVersion;
        int8_t nKind;
        std::vector<int32_t> in;
        int8_t nKindAfter;
        std::vector<int32_t> out;
    };
    std::vector<int32_t> status(18, 0);
    status[6] = 2;
    status[4] = status[13] = kTop;
    const std::vector<CommandCase> commands = {
        {167, 22, status, 22, status},                                     // both status insertions
        {209, 23, {0, kTop, 0}, 23, {0, kTop, 0}},
        {218, 25, {3, kTop, 0}, 26, {3, 119, 0}},                          // moved up, at most 119
        {218, 25, {3, kTop - 1, 0}, 26, {3, 119, 0}},
        {721, 17, {kTop, 0, 0, 0, 0, 0, 0, 0, 0}, 17, {kTop, 0, 0, 0, 0, 0, 0, 0, 0}},
        {726, 37, {11, kTop, 0, 0, 0}, 38, {11, kTop, 0, 0, 0}},             // seven insertions
        {733, 37, {kTop, 0, 0, 0, 0}, 38, {kTop, 0, 0, 0, 0}},
    };
    for (const CommandCase& c : commands) {
        CommandBody body;
        body.nKind = c.nKind;
        body.params = c.in;
        cEdCommand command;
        ASSERT_TRUE(LoadBody(command, CommandBytes(body), c.nVersion)) << c.nVersion << " kind " << int(c.nKind);
        EXPECT_EQ(command.m_nKind, c.nKindAfter) << c.nVersion << " kind " << int(c.nKind);
        EXPECT_EQ(command.m_vParam, c.out) << c.nVersion << " kind " << int(c.nKind);
    }

    struct ConditionCase {
        uint32_t nVersion;
        int8_t nKind, nLeftStatus, nRightStatus;
        int8_t nKindAfter, nLeftAfter, nRightAfter;
    };
    for (const ConditionCase& c : {ConditionCase{167, 4, 127, 127, 4, 127, 127}, ConditionCase{209, 5, 127, 0, 5, 127, 0},
                                   ConditionCase{159, 126, 0, 0, 127, 0, 0}, ConditionCase{159, 127, 0, 0, 127, 0, 0}}) {
        cEdCondition source;
        source.m_nKind = c.nKind;
        source.m_nLeftStatus = c.nLeftStatus;
        source.m_nRightKind = 2;
        source.m_nRightStatus = c.nRightStatus;
        cEdCondition loaded;
        ASSERT_TRUE(LoadBody(loaded, SaveBody(source), c.nVersion)) << c.nVersion;
        EXPECT_EQ(loaded.m_nKind, c.nKindAfter) << c.nVersion << " kind " << int(c.nKind);
        EXPECT_EQ(loaded.m_nLeftStatus, c.nLeftAfter) << c.nVersion << " kind " << int(c.nKind);
        EXPECT_EQ(loaded.m_nRightStatus, c.nRightAfter) << c.nVersion << " kind " << int(c.nKind);
    }

    // Triggers: moved up by one before 132 and by two before 164.
    for (int8_t nTrigger : {int8_t(126), int8_t(127)}) {
        cEdFlow flow;
        ASSERT_TRUE(LoadBody(flow, FlowBytes(131, nTrigger, 0, 0, ""), 131));
        EXPECT_EQ(flow.m_nTrigger, 127) << int(nTrigger);
    }
}

TEST_F(FlowRecordsTest, CommandMigrationsOfMoveAndShotRecords)
{
    cEdShot shot;
    for (auto [nVersion, nGraphic, nAfter] : {std::tuple{219u, 5, 6}, {219u, 119, 119}, {220u, 5, 5}}) {
        shot.m_nGraphic = static_cast<int16_t>(nGraphic);
        CommandBody body;
        body.nKind = 11;
        g_nDataVersion = nVersion;   // the shot record as a file of that version stores it
        body.shot = SaveBody(shot);
        g_nDataVersion = 751;
        cEdCommand command;
        ASSERT_TRUE(LoadBody(command, CommandBytes(body), nVersion));
        ASSERT_TRUE(command.m_lpShot);
        EXPECT_EQ(command.m_lpShot->m_nGraphic, nAfter) << nVersion;
    }
    cEdMove move;
    move.m_nAngle = 30;
    move.m_nAngleStep = 5;
    move.m_bMirrorAngle = 0;
    for (auto [nVersion, bReset] : {std::pair{513u, true}, {514u, false}}) {
        CommandBody body;
        body.nKind = 5;
        body.move = SaveBody(move);
        cEdCommand command;
        ASSERT_TRUE(LoadBody(command, CommandBytes(body), nVersion));
        ASSERT_TRUE(command.m_lpMove);
        EXPECT_EQ(command.m_lpMove->m_nAngle, bReset ? 0 : 30) << nVersion;
        EXPECT_EQ(command.m_lpMove->m_nAngleStep, bReset ? 0 : 5) << nVersion;
        EXPECT_EQ(command.m_lpMove->m_bMirrorAngle, bReset ? 1 : 0) << nVersion;
    }
}

TEST_F(FlowRecordsTest, ValidationResetsDatabaseReferencesBeyondTheirLists)
{
    g_RecordReferences.lpfnDatabaseCount = [](DatabaseList list) {
        switch (list) {
        case DatabaseList::Anime: return 10;
        case DatabaseList::Sound: return 20;
        case DatabaseList::AnimeSet: return 4;
        case DatabaseList::SwordType: return 3;
        default: return 50;
        }
    };
    g_RecordReferences.lpfnSwordTypeTime = [](int32_t nType) { return nType == 0 ? 12 : 20000; };
    struct Case {
        int8_t nFamily, nKind;
        int16_t nAnime, nSound;
        int32_t p0;
        int16_t nAnimeAfter, nSoundAfter;
        int32_t p0After;
    };
    for (const Case& c : {Case{0, 35, 0, 0, 20, 0, 0, 1}, Case{0, 35, 9, 19, 19, 9, 19, 19},
                          Case{0, 35, 10, 20, -1, 0, 0, 1}, Case{0, 27, 0, 0, 4, 0, 0, 0},
                          Case{0, 27, 0, 0, 3, 0, 0, 3}, Case{1, 12, 0, 0, 4, 0, 0, 0},
                          Case{0, 28, -1, 0, 10, 0, 0, 1}, Case{1, 20, 0, 0, 20, 0, 0, 1},
                          Case{0, 9, 0, 0, 500, 0, 0, 500}}) {
        CommandBody body;
        body.nFamily = c.nFamily;
        body.nKind = c.nKind;
        body.nAnime = c.nAnime;
        body.nSound = c.nSound;
        body.params = {c.p0, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
        cEdCommand command;
        ASSERT_TRUE(LoadBody(command, CommandBytes(body)));
        EXPECT_EQ(command.m_nAnime, c.nAnimeAfter) << int(c.nKind);
        EXPECT_EQ(command.m_nSound, c.nSoundAfter) << int(c.nKind);
        EXPECT_EQ(command.m_vParam.size(), size_t(CommandParamCount(c.nFamily, c.nKind))) << int(c.nKind);
        EXPECT_EQ(command.m_vParam[0], c.p0After) << int(c.nKind);
    }

    // A sword's type lies in its shot record; its time becomes the type's total, at most 9999.
    for (auto [nType, nTypeAfter, nTimeAfter] : {std::tuple{0, 0, 12}, {2, 2, 9999}, {3, 0, 12}}) {
        cEdShot shot;
        shot.m_nMoveKind = static_cast<int8_t>(nType);
        CommandBody body;
        body.nKind = 12;
        body.nTime = 1;
        body.shot = SaveBody(shot);
        cEdCommand command;
        ASSERT_TRUE(LoadBody(command, CommandBytes(body)));
        EXPECT_EQ(command.m_lpShot->m_nMoveKind, nTypeAfter) << nType;
        EXPECT_EQ(command.m_nTime, nTimeAfter) << nType;
    }
}

TEST_F(FlowRecordsTest, KindOutsideItsTableKeepsItsParameters)
{
    for (auto [nFamily, nKind] : {std::pair<int8_t, int8_t>{0, 40}, {0, -1}, {1, 25}}) {
        CommandBody body;
        body.nFamily = nFamily;
        body.nKind = nKind;
        body.params = {1, 2, 3};
        cEdCommand command;
        ASSERT_TRUE(LoadBody(command, CommandBytes(body)));
        EXPECT_EQ(command.m_vParam, (std::vector<int32_t>{1, 2, 3}));
    }
}

TEST_F(FlowRecordsTest, ShotValidationResetsPaletteReferences)
{
    g_RecordReferences.lpfnPaletteCount = [](int32_t nPalette, PaletteList list) {
        const int32_t common[] = {5, 6, 7};
        const int32_t stage[] = {2, 3, 4};
        return (nPalette == 1 ? common : stage)[static_cast<int>(list)];
    };
    struct Case {
        int8_t nKind, nPalette;
        int16_t nIndex;
        int8_t nPaletteAfter;
        int16_t nIndexAfter;
    };
    for (const Case& c : {Case{11, 1, 6, 1, 6}, Case{11, 1, 7, 0, 0}, Case{12, 2, 4, 0, 0},
                          Case{12, 2, 3, 2, 3}, Case{11, 3, 99, 3, 99}, Case{13, 0, 5, 0, 1},
                          Case{13, 1, 1, 1, 1}, Case{14, 1, 3, 1, 1}, Case{14, 0, 5, 0, 5},
                          Case{15, 0, 7, 0, 1}, Case{15, 2, 9, 2, 9}}) {
        cEdCommand command = cEdCommand::Default();
        command.m_nKind = c.nKind;
        command.NewShot();
        if (c.nKind <= 12) {
            command.m_lpShot->m_nItemPalette = c.nPalette;
            command.m_lpShot->m_nItemIndex = c.nIndex;
        } else {
            command.m_lpShot->m_nSummonPalette = c.nPalette;
            command.m_lpShot->m_nSummonIndex = c.nIndex;
        }
        cEdFlow flow = cEdFlow::Default();
        flow.m_vCommand.push_back(command);
        flow.ValidateShots();
        const cEdShot& shot = *flow.m_vCommand[0].m_lpShot;
        EXPECT_EQ(c.nKind <= 12 ? shot.m_nItemPalette : shot.m_nSummonPalette, c.nPaletteAfter) << int(c.nKind);
        EXPECT_EQ(c.nKind <= 12 ? shot.m_nItemIndex : shot.m_nSummonIndex, c.nIndexAfter) << int(c.nKind);
    }
    for (auto [nFamily, nKind, p0, p1, p1After] :
         {std::tuple<int8_t, int8_t, int32_t, int32_t, int32_t>{0, 25, 0, 7, 1}, {0, 25, 1, 3, 3},
          {1, 10, 1, 4, 1}, {1, 10, 2, 40, 40}}) {
        cEdCommand command = cEdCommand::Default();
        command.m_nFamily = nFamily;
        command.m_nKind = nKind;
        command.m_vParam = {p0, p1};
        command.ValidateShot();
        EXPECT_EQ(command.m_vParam[1], p1After) << int(nFamily) << " " << p0 << " " << p1;
    }
}

TEST_F(FlowRecordsTest, DeletedNestedFlowsAreRemovedUnlessKept)
{
    CommandBody body;
    body.nFamily = 1;
    body.nKind = 1;
    body.params = {0, 1};
    body.flows = {FlowBytes(751, 1, 0, 1, ""), FlowBytes(751, 2, 0, 0, ""), FlowBytes(751, 3, 0, 1, "")};
    cEdCommand command;
    ASSERT_TRUE(LoadBody(command, CommandBytes(body)));
    ASSERT_EQ(command.m_vFlow.size(), 1u);
    EXPECT_EQ(command.m_vFlow[0].m_nTrigger, 2);

    g_RecordReferences.lpfnKeepDeletedFlows = [] { return true; };
    ASSERT_TRUE(LoadBody(command, CommandBytes(body)));
    EXPECT_EQ(command.m_vFlow.size(), 3u);
}

TEST_F(FlowRecordsTest, DeepNestingFailsInsteadOfExhaustingTheStack)
{
    for (auto [nDepth, bLoads] : {std::pair{30, true}, {40, false}}) {
        // Built from the inside out: a command holding one flow holding the next command.
        CommandBody innermost;
        Bytes command = CommandBytes(innermost);
        for (int i = 0; i < nDepth; ++i) {
            CommandBody outer;
            outer.nFamily = 1;
            outer.nKind = 1;
            outer.params = {0, 0};
            outer.flows = {FlowBytes(751, 0, 0, 0, "", {command})};
            command = CommandBytes(outer);
        }
        cEdCommand loaded;
        EXPECT_EQ(LoadBody(loaded, command), bLoads) << nDepth;
    }
}

namespace {

class FlowFileTest : public ScratchFolderTest {};

cEdFlow FullFlow()
{
    cEdFlow flow = cEdFlow::Default();
    flow.m_nTrigger = 4;
    flow.m_nFlowId = 2;
    cEdCondition condition = cEdCondition::Default();
    condition.m_nKind = 4;
    condition.m_nRandMax = -5;
    flow.m_vCondition = {condition, cEdCondition::Default()};
    cEdKeyList keyList = cEdKeyList::Default();
    keyList.m_vKeyState[3] = 1;
    flow.m_vKeyList = {keyList};
    cEdCommand shot = cEdCommand::Default();
    shot.m_nKind = 11;
    shot.NewShot();
    shot.m_lpShot->m_nFormationValue[1] = 9;
    cEdCommand move = cEdCommand::Default();
    move.m_nKind = 2;
    move.NewMove();
    move.m_lpMove->m_dInertiaFactor = 0.25;
    cEdCommand change = cEdCommand::Default();
    change.m_nFamily = 1;
    change.m_nKind = 1;
    change.m_vParam = {0, 3};
    change.m_vFlow = {cEdFlow::Default()};
    change.m_vFlow[0].m_vCommand = {shot};
    cEdCommand message = cEdCommand::Default();
    message.m_nKind = 19;
    message.m_strText = "こんにちは";
    message.m_vParam.assign(18, -1);
    flow.m_vCommand = {shot, move, change, message};
    return flow;
}

}  // namespace

TEST_F(FlowFileTest, FlowWithEveryKindOfContentRoundTripsThroughAFile)
{
    cEdFlow flow = FullFlow();
    const Bytes body = SaveBody(flow);
    ASSERT_EQ(flow.SaveToFile("flow.dat"), 1);
    cEdFlow loaded;
    ASSERT_EQ(loaded.LoadFromFile("flow.dat"), 1);
    EXPECT_EQ(SaveBody(loaded), body);
    ASSERT_EQ(loaded.m_vCommand.size(), 4u);
    EXPECT_EQ(loaded.m_vCommand[0].m_lpShot->m_nFormationValue[1], 9);
    EXPECT_EQ(loaded.m_vCommand[1].m_lpMove->m_dInertiaFactor, 0.25);
    EXPECT_EQ(loaded.m_vCommand[2].m_vFlow[0].m_vCommand[0].m_nKind, 11);
    EXPECT_EQ(loaded.m_vCommand[3].m_strText, "こんにちは");
    EXPECT_EQ(loaded.m_vCondition[0].m_nRandMax, -5);
    EXPECT_EQ(loaded.m_vKeyList[0].m_vKeyState[3], 1);

    // A damaged copy of it leaves a loaded flow exactly as it was.
    Bytes file = ReadWholeFile("flow.dat");
    file.erase(file.end() - 3, file.end());
    WriteWholeFile("cut.dat", file);
    EXPECT_EQ(loaded.LoadFromFile("cut.dat"), 0);
    EXPECT_EQ(SaveBody(loaded), body);
}
