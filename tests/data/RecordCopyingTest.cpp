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
