#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/host/Host.h"
#include "platform/win/WinTime.h"

namespace {

// A mutable argv as main receives it, with its terminating null.
struct Args {
    std::vector<std::string> storage;
    std::vector<char*> argv;
    int argc = 0;
    explicit Args(std::vector<std::string> words) : storage(std::move(words))
    {
        for (auto& s : storage) argv.push_back(s.data());
        argv.push_back(nullptr);
        argc = static_cast<int>(storage.size());
    }
    std::vector<std::string> Left() const
    {
        std::vector<std::string> left;
        for (int i = 0; i < argc; ++i) left.push_back(argv[i]);
        EXPECT_EQ(argv[argc], nullptr);
        return left;
    }
};

class HostSelection : public ::testing::Test {
protected:
    void TearDown() override { HostSelect(HostKind::Headless); }
};

TEST_F(HostSelection, OptionChoosesHostAndIsRemovedFromArgv)
{
    struct Case {
        std::vector<std::string> args;
        HostKind expected;
        std::vector<std::string> left;
    };
    const Case cases[] = {
        {{"player", "--host=sdl", "stage.stg4"}, HostKind::Sdl, {"player", "stage.stg4"}},
        {{"player", "x", "--host=headless"}, HostKind::Headless, {"player", "x"}},
    };
    for (const auto& c : cases) {
        HostSelect(c.expected == HostKind::Sdl ? HostKind::Headless : HostKind::Sdl);
        Args args(c.args);
        HostStart(&args.argc, args.argv.data());
        EXPECT_EQ(CurrentHost(), c.expected);
        EXPECT_EQ(args.Left(), c.left);
    }
}

TEST_F(HostSelection, EnvironmentChoosesWhenNoOptionGiven)
{
    // The test runner sets PLAYER_HOST=headless; without the option that choice stands.
    ASSERT_STREQ(std::getenv("PLAYER_HOST"), "headless");
    Args args({"player"});
    HostStart(&args.argc, args.argv.data());
    EXPECT_TRUE(IsHeadless());
}

TEST(HostOptions, TakeOptionReturnsValueOnceAndLeavesOtherArguments)
{
    Args args({"player", "--frames=120", "--framesx=1", "file"});
    EXPECT_EQ(HostTakeOption(&args.argc, args.argv.data(), "frames"), "120");
    EXPECT_EQ(args.Left(), (std::vector<std::string>{"player", "--framesx=1", "file"}));
    EXPECT_EQ(HostTakeOption(&args.argc, args.argv.data(), "frames"), "");
    EXPECT_EQ(args.argc, 3);
}

TEST(HostClock, MillisecondTimerFollowsVirtualClockAndWraps)
{
    HostSelect(HostKind::Headless);
    HostSetVirtualTime(0xFFFFFFF0u);
    EXPECT_EQ(timeGetTime(), 0xFFFFFFF0u);
    HostAdvanceVirtualTime(0x20);
    EXPECT_EQ(timeGetTime(), 0x10u);
    EXPECT_EQ(HostVirtualTime(), 0x10u);
}

TEST(HostClock, PerformanceCounterIsRealAndMonotonic)
{
    LARGE_INTEGER frequency, a, b;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_GT(frequency.QuadPart, 0);
    HostSetVirtualTime(0);
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    ASSERT_TRUE(QueryPerformanceCounter(&b));
    EXPECT_GT(a.QuadPart, 0);   // real time, not the stopped virtual clock
    EXPECT_LE(a.QuadPart, b.QuadPart);
}

TEST(HostFaults, ArmedFaultFiresCountTimesThenDisarms)
{
    HostArmFault(HostFault::FileOpen, 2);
    EXPECT_FALSE(HostTakeFault(HostFault::ThreadCreate));
    EXPECT_TRUE(HostTakeFault(HostFault::FileOpen));
    EXPECT_TRUE(HostTakeFault(HostFault::FileOpen));
    EXPECT_FALSE(HostTakeFault(HostFault::FileOpen));
    HostArmFault(HostFault::ThreadCreate);
    HostDisarmAllFaults();
    EXPECT_FALSE(HostTakeFault(HostFault::ThreadCreate));
}

TEST(HostText, Cp932AndUtf8ConvertBothWays)
{
    struct Case {
        const char* cp932;
        const char* utf8;
    };
    const Case cases[] = {
        {"abc\\~", "abc\\~"},
        {"\x83\x5C", "ソ"},
        {"\x95\x5C\x8E\xA6", "表示"},
        {"\x83\x47\x83\x89\x81\x5B", "エラー"},
        {"\xB1", "ｱ"},   // half-width katakana
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8) << c.utf8;
        EXPECT_EQ(Utf8ToCp932(c.utf8), c.cp932) << c.utf8;
    }
}

TEST(HostText, UnconvertibleBytesBecomeQuestionMarks)
{
    EXPECT_EQ(Cp932ToUtf8("a\x82"), "a?");            // lead byte cut off at the end
    EXPECT_EQ(Cp932ToUtf8("\xA0" "b"), "?b");          // not a character of the code page
    EXPECT_EQ(Utf8ToCp932("x\xE2\x82\xAC" "y"), "x?y");  // the euro sign has no code here
    EXPECT_EQ(Utf8ToCp932("\xC3"), "?");              // broken UTF-8
}

}  // namespace
