#include <list>
#include <vector>

#include "CoreTestSupport.h"
#include "core/CheckedAccess.h"
#include "core/Log.h"

namespace {

struct Record136 {
    char bytes[136];
};

class CheckedAccessTest : public CoreTest {};

TEST_F(CheckedAccessTest, GoodIndexReturnsTheElementAndReportsNothing)
{
    StartReportLog();
    std::vector<int32_t> values{10, 20, 30};
    EXPECT_EQ(CheckedAt(values, 2), 30);
    CheckedAt(values, 1) = 25;
    EXPECT_EQ(values[1], 25);
    std::list<int32_t> items{7, 8, 9};
    EXPECT_EQ(CheckedListAt(items, 2), 9);
    EXPECT_EQ(ReadBytes("Report_Game.txt"), "");
    EXPECT_EQ(TakeCloseRequests(), 0);
}

TEST_F(CheckedAccessTest, BadVectorIndexIsLoggedClosesAndFallsBackToElementZero)
{
    StartReportLog();
    struct Case {
        int32_t index;
        size_t size;
        const char* line;
    };
    const Case cases[] = {
        {5, 3, "err V[5] ( 3 , 136 )\r\n"},
        {3, 3, "err V[3] ( 3 , 136 )\r\n"},   // the count itself is out of range
        {-1, 3, "err V[-1] ( 3 , 136 )\r\n"},
    };
    std::string expected;
    for (const Case& c : cases) {
        std::vector<Record136> records(c.size);
        records[0].bytes[0] = 'z';
        Record136& element = CheckedAt(records, c.index);
        EXPECT_EQ(&element, &records[0]) << c.index;
        expected += c.line;
        EXPECT_EQ(ReadBytes("Report_Game.txt"), expected);
        EXPECT_EQ(TakeCloseRequests(), 1) << "one close request per bad access";
    }
}

TEST_F(CheckedAccessTest, VectorWithoutStorageReportsCountZero)
{
    StartReportLog();
    std::vector<int32_t> empty;
    int32_t& element = CheckedAt(empty, 0);
    element = 4;   // must be writable storage, not a crash
    EXPECT_EQ(ReadBytes("Report_Game.txt"), "err V[0] ( 0 , 4 )\r\n");
    EXPECT_EQ(TakeCloseRequests(), 1);
}

TEST_F(CheckedAccessTest, TwoBadAccessesWriteTwoLinesAndPostTwoCloses)
{
    StartReportLog();
    SetTraceLog(1, "EC_Game.txt");
    std::vector<int16_t> values(2);
    CheckedAt(values, 2);
    CheckedAt(values, 9);
    EXPECT_EQ(ReadBytes("Report_Game.txt"), "err V[2] ( 2 , 2 )\r\nerr V[9] ( 2 , 2 )\r\n");
    EXPECT_EQ(ReadBytes("EC_Game.txt"), "err V[2] ( 2 , 2 )\r\nerr V[9] ( 2 , 2 )\r\n");
    EXPECT_EQ(TakeCloseRequests(), 2);
}

TEST_F(CheckedAccessTest, BadListIndexYieldsOneSharedDefaultElement)
{
    StartReportLog();
    std::list<double> items{1.5, 2.5};
    double& first = CheckedListAt(items, 2);
    EXPECT_EQ(first, 0.0);
    first = 42.0;
    double& second = CheckedListAt(items, -3);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second, 42.0) << "the default element keeps what was written to it";
    EXPECT_EQ(ReadBytes("Report_Game.txt"), "err L[2] ( 2 , 8 )\r\nerr L[-3] ( 2 , 8 )\r\n");
    EXPECT_EQ(TakeCloseRequests(), 2);
}

TEST_F(CheckedAccessTest, RemoveIntValueAndFillVector)
{
    struct Case {
        std::vector<int32_t> before;
        int32_t value;
        std::vector<int32_t> after;
        bool removed;
    };
    const Case cases[] = {
        {{3, 5, 5, 7}, 5, {3, 7}, true},
        {{3, 5, 5, 7}, 9, {3, 5, 5, 7}, false},
        {{5, 5, 5}, 5, {}, true},
        {{}, 1, {}, false},
    };
    for (const Case& c : cases) {
        std::vector<int32_t> v = c.before;
        EXPECT_EQ(RemoveIntValue(v, c.value), c.removed);
        EXPECT_EQ(v, c.after);
    }
    std::vector<int32_t> ints(3, 1);
    FillVector(ints, -2);
    EXPECT_EQ(ints, (std::vector<int32_t>{-2, -2, -2}));
    std::vector<char> bytes;
    FillVector(bytes, 'x');
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(TakeCloseRequests(), 0);
}

}  // namespace
