#include <gtest/gtest.h>

#include "data/FieldListRecord.h"
#include "data/RecordStream.h"

namespace {

class cNamedRecord : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cNamedRecord)
    cNamedRecord() { RegisterFields(751); }
    void RegisterFields(uint32_t) override
    {
        ClearFields();
        AddInt32Field(&m_nValue);
        AddStringField(&m_strName);
    }
    int32_t m_nValue = 0;
    std::string m_strName;
    std::vector<int32_t> m_vValues;
};

std::vector<cNamedRecord> MakeRecords(int n, int base)
{
    std::vector<cNamedRecord> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        v[static_cast<size_t>(i)].m_nValue = base + i;
        v[static_cast<size_t>(i)].m_strName = std::to_string(base + i);
        v[static_cast<size_t>(i)].m_vValues.assign(static_cast<size_t>(i + 1), base);
    }
    return v;
}

}  // namespace

TEST(RecordCopyingTest, VectorAssignmentMatchesTheSourceLength)
{
    const std::vector<cNamedRecord> source = MakeRecords(3, 10);
    for (int nTarget : {0, 3, 5}) {
        std::vector<cNamedRecord> target = MakeRecords(nTarget, 50);
        CopyRecordVector(target, source, cNamedRecord());
        ASSERT_EQ(target.size(), 3u) << nTarget;
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(target[i].m_nValue, source[i].m_nValue);
            EXPECT_EQ(target[i].m_strName, source[i].m_strName);
            EXPECT_EQ(target[i].m_vValues, source[i].m_vValues);
            // Each element's lists belong to the element itself.
            ASSERT_FALSE(target[i].Strings().empty());
            EXPECT_EQ(target[i].Strings()[0].m_lpString, &target[i].m_strName);
        }
    }
}

TEST(RecordCopyingTest, SelfAssignmentKeepsEverything)
{
    std::vector<cNamedRecord> v = MakeRecords(2, 1);
    CopyRecordVector(v, v, cNamedRecord());
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[1].m_strName, "2");
    cNamedRecord& r = v[0];
    r = r;
    EXPECT_EQ(r.m_nValue, 1);
    EXPECT_EQ(r.m_strName, "1");
}

#include <boost/weak_ptr.hpp>

#include "data/EdCommand.h"
#include "data/EdFlow.h"

namespace {

cEdCommand CommandWithRecords(int16_t nSpeed, int16_t nPower)
{
    cEdCommand command = cEdCommand::Default();
    command.m_nKind = 11;
    command.m_strText = "text";
    command.NewMove();
    command.m_lpMove->m_nSpeed = nSpeed;
    command.NewShot();
    command.m_lpShot->m_nPower = nPower;
    return command;
}

// A command holding one flow that holds one command with its own move and shot.
cEdCommand NestedCommand()
{
    cEdCommand outer = cEdCommand::Default();
    outer.m_nFamily = 1;
    outer.m_nKind = 1;
    cEdFlow flow = cEdFlow::Default();
    flow.m_nTrigger = 7;
    flow.m_vCommand.push_back(CommandWithRecords(3, 4));
    outer.m_vFlow.push_back(flow);
    return outer;
}

}  // namespace

TEST(RecordCopyingTest, EmptySourcePointerEmptiesTheTargetAndFreesItsRecord)
{
    cEdCommand target = CommandWithRecords(1, 2);
    boost::weak_ptr<cEdMove> lpOldMove = target.m_lpMove;
    cEdCommand source = cEdCommand::Default();
    source.NewShot();
    target = source;
    EXPECT_FALSE(target.m_lpMove);
    EXPECT_TRUE(lpOldMove.expired());
    ASSERT_TRUE(target.m_lpShot);
    EXPECT_NE(target.m_lpShot, source.m_lpShot);
}

TEST(RecordCopyingTest, CopiedCommandsOwnTheirOwnMoveAndShot)
{
    const cEdCommand source = CommandWithRecords(5, 900);
    cEdCommand assigned = cEdCommand::Default();
    assigned = source;
    cEdCommand constructed(source);
    for (cEdCommand* lpCopy : {&assigned, &constructed}) {
        ASSERT_TRUE(lpCopy->m_lpMove && lpCopy->m_lpShot);
        EXPECT_NE(lpCopy->m_lpMove, source.m_lpMove);
        EXPECT_NE(lpCopy->m_lpShot, source.m_lpShot);
        EXPECT_EQ(lpCopy->m_lpMove.use_count(), 1);
        EXPECT_EQ(lpCopy->m_lpShot->m_nPower, 900);
        EXPECT_EQ(lpCopy->m_strText, "text");
        lpCopy->m_lpShot->m_nPower = 1;
        lpCopy->m_lpMove->m_nSpeed = 1;
    }
    EXPECT_EQ(source.m_lpShot->m_nPower, 900);
    EXPECT_EQ(source.m_lpMove->m_nSpeed, 5);
}

TEST(RecordCopyingTest, CommandCopiesTheWholeTreeBelowIt)
{
    const cEdCommand source = NestedCommand();
    cEdCommand copy = cEdCommand::Default();
    copy = source;
    ASSERT_EQ(copy.m_vFlow.size(), 1u);
    ASSERT_EQ(copy.m_vFlow[0].m_vCommand.size(), 1u);
    const cEdCommand& inner = copy.m_vFlow[0].m_vCommand[0];
    EXPECT_EQ(copy.m_vFlow[0].m_nTrigger, 7);
    ASSERT_TRUE(inner.m_lpShot);
    EXPECT_NE(inner.m_lpShot, source.m_vFlow[0].m_vCommand[0].m_lpShot);
    EXPECT_EQ(inner.m_lpShot->m_nPower, 4);
}

TEST(RecordCopyingTest, AssigningFromItselfOrFromInsideItselfIsSafe)
{
    cEdCommand command = CommandWithRecords(6, 7);
    cEdMove* lpMove = command.m_lpMove.get();
    const cEdCommand& self = command;
    command = self;
    EXPECT_EQ(command.m_lpMove.get(), lpMove);
    EXPECT_EQ(command.m_lpMove->m_nSpeed, 6);

    // The source lives inside the target's own flows and dies when they are replaced.
    cEdCommand outer = NestedCommand();
    outer = outer.m_vFlow[0].m_vCommand[0];
    EXPECT_EQ(outer.m_nKind, 11);
    EXPECT_TRUE(outer.m_vFlow.empty());
    ASSERT_TRUE(outer.m_lpShot);
    EXPECT_EQ(outer.m_lpShot->m_nPower, 4);

    cEdFlow flow = cEdFlow::Default();
    flow.m_vCommand.push_back(NestedCommand());
    flow = flow.m_vCommand[0].m_vFlow[0];
    EXPECT_EQ(flow.m_nTrigger, 7);
    ASSERT_EQ(flow.m_vCommand.size(), 1u);
    EXPECT_EQ(flow.m_vCommand[0].m_lpMove->m_nSpeed, 3);

    std::vector<cEdFlow> flows = NestedCommand().m_vFlow;
    flows[0].m_vCommand[0].m_vFlow = NestedCommand().m_vFlow;
    CopyFlowList(flows, flows[0].m_vCommand[0].m_vFlow);
    ASSERT_EQ(flows.size(), 1u);
    EXPECT_EQ(flows[0].m_vCommand[0].m_lpShot->m_nPower, 4);
}

TEST(RecordCopyingTest, FlowListAssignmentGrowsWithDefaultFlowsAndShrinks)
{
    std::vector<cEdFlow> source(3, cEdFlow::Default());
    for (size_t i = 0; i < 3; ++i) {
        source[i].m_nTrigger = static_cast<int8_t>(i + 1);
        source[i].m_vCommand.push_back(CommandWithRecords(static_cast<int16_t>(i), 0));
    }
    for (size_t nTarget : {0u, 5u}) {
        std::vector<cEdFlow> target(nTarget, cEdFlow::Default());
        CopyFlowList(target, source);
        ASSERT_EQ(target.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(target[i].m_nTrigger, source[i].m_nTrigger);
            ASSERT_EQ(target[i].m_vCommand.size(), 1u);
            EXPECT_NE(target[i].m_vCommand[0].m_lpMove, source[i].m_vCommand[0].m_lpMove);
            EXPECT_EQ(target[i].m_vCommand[0].m_lpMove->m_nSpeed, static_cast<int16_t>(i));
        }
    }
}

TEST(RecordCopyingTest, DefaultElementsOfTheFlowRecords)
{
    const cEdFlow flow = cEdFlow::Default();
    EXPECT_EQ(flow.m_nKeyTolerance, 3);
    EXPECT_EQ(flow.m_nTrigger, 0);
    const cEdKeyList keyList = cEdKeyList::Default();
    EXPECT_EQ(keyList.m_vKeyState, std::vector<int8_t>(19, 0));
    const cEdCommand command = cEdCommand::Default();
    EXPECT_FALSE(command.m_lpMove);
    EXPECT_FALSE(command.m_lpShot);
    EXPECT_EQ(command.m_nOption, 1);
    EXPECT_TRUE(command.m_vParam.empty());
}
