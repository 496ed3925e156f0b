#include <cstring>
#include <string>

#include "CoreTestSupport.h"
#include "core/SystemReport.h"
#include "platform/win/WinSystem.h"

namespace {

class SystemReportTest : public CoreTest {};

TEST_F(SystemReportTest, OsNamesAndVersionPairs)
{
    struct Case {
        DWORD platform, major, minor, build;
        const char* servicePack;
        const char* text;   // null: a name the table lacks, described by the host
        int32_t pairMajor, pairMinor;
        bool atLeastVista;
    };
    const Case cases[] = {
        {2, 5, 1, 2600, "Service Pack 3", "Windows XP Service Pack 3 PID 2 Build 2600", 5, 1, false},
        {2, 6, 0, 6002, "Service Pack 2", "Windows Vista Service Pack 2 PID 2 Build 6002", 6, 0, true},
        {2, 6, 1, 7601, "", "Windows 7  PID 2 Build 7601", 6, 1, true},
        {1, 4, 10, 67766446, "", "Windows 98  PID 1 Build 67766446", 1, 10, false},
        {1, 4, 90, 3000, "", "Windows Me  PID 1 Build 3000", 1, 90, false},
        {0, 3, 10, 0, "", "Windows 3.1  PID 0 Build 0", 1, 0, false},
        {2, 10, 0, 0, "Linux", nullptr, 10, 0, true},
        {7, 9, 9, 0, "", nullptr, 5, 1, false},
    };
    for (const Case& c : cases) {
        OSVERSIONINFO info{};
        info.dwPlatformId = c.platform;
        info.dwMajorVersion = c.major;
        info.dwMinorVersion = c.minor;
        info.dwBuildNumber = c.build;
        std::strcpy(info.szCSDVersion, c.servicePack);
        char text[256];
        int32_t major = 0, minor = 0;
        FormatOsName(info, text, &major, &minor);
        if (c.text != nullptr) {
            EXPECT_STREQ(text, c.text);
        } else {
            EXPECT_EQ(std::string(text).find(GetHostSystemName()), 0u) << text;
        }
        EXPECT_EQ(major, c.pairMajor);
        EXPECT_EQ(minor, c.pairMinor);
        bool atLeast = major != 6 ? major > 6 : minor >= 0;
        EXPECT_EQ(atLeast, c.atLeastVista) << text;
    }
    EXPECT_TRUE(IsOsAtLeast(6, 0));
    EXPECT_FALSE(IsOsAtLeast(99, 0));
}

TEST_F(SystemReportTest, ReportNeedsTheReportLog)
{
    EXPECT_FALSE(WriteSystemReport());
    EXPECT_FALSE(Exists("Report_Game.txt"));
}

TEST_F(SystemReportTest, DiskFreeIsCappedAndCpuTextsAreFilled)
{
    int32_t free = GetDiskFree(nullptr);
    EXPECT_GT(free, 0);
    EXPECT_LE(free, 0x7FFFFFFF);
    EXPECT_EQ(GetDiskFree("no_such_folder\\deeper"), 0);

    CPUNAME cpu;
    GetCpuName(&cpu);
    if (IsCpuidAvailable()) {
        EXPECT_EQ(std::strlen(cpu.szVendor), 12u);
    }
    EXPECT_GT(cpu.dClock, 0.0);
}

}  // namespace
