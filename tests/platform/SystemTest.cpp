#include <gtest/gtest.h>

#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <cctype>
#include <cstring>
#include <string>

#include "platform/win/WinSystem.h"

namespace {

TEST(SystemFacts, VersionIsAboveEveryNamedOneAndCarriesTheHostName)
{
    OSVERSIONINFO info = {};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionEx(&info));
    EXPECT_EQ(info.dwPlatformId, 2u);
    EXPECT_EQ(info.dwMajorVersion, 10u);
    EXPECT_EQ(info.dwMinorVersion, 0u);
    utsname names;
    ASSERT_EQ(uname(&names), 0);
    EXPECT_EQ(std::string(info.szCSDVersion), std::string(names.sysname) + " " + names.release);

    std::string name = GetHostSystemName();
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(name.find('"'), std::string::npos);
    EXPECT_EQ(GetHostSystemName(), GetHostSystemName());   // one lasting text
}

TEST(SystemFacts, MemoryFiguresSaturateAt32Bits)
{
    MEMORYSTATUS status = {};
    GlobalMemoryStatus(&status);
    struct sysinfo si;
    ASSERT_EQ(sysinfo(&si), 0);
    uint64_t total = static_cast<uint64_t>(si.totalram) * si.mem_unit;
    EXPECT_EQ(status.dwTotalPhys, total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(total));
    EXPECT_GT(status.dwAvailPhys, 0u);
    EXPECT_LE(status.dwAvailPhys, status.dwTotalPhys);
    EXPECT_GE(status.dwTotalPageFile, status.dwTotalPhys);
    EXPECT_LE(status.dwMemoryLoad, 100u);
    EXPECT_EQ(status.dwLength, sizeof(MEMORYSTATUS));
}

TEST(SystemFacts, DiskSpaceOfAFolder)
{
    uint64_t freeToCaller = 0, total = 0, totalFree = 0;
    ASSERT_TRUE(GetDiskFreeSpaceEx(nullptr, &freeToCaller, &total, &totalFree));
    EXPECT_GT(total, 0u);
    EXPECT_LE(totalFree, total);
    EXPECT_LE(freeToCaller, totalFree);
    EXPECT_TRUE(GetDiskFreeSpaceEx("\\tmp", &freeToCaller, nullptr, nullptr));
    EXPECT_FALSE(GetDiskFreeSpaceEx("no\\such\\folder", &freeToCaller, &total, &totalFree));
}

TEST(SystemFacts, ProcessorIdentification)
{
#if defined(__x86_64__)
    ASSERT_TRUE(IsCpuidAvailable());
    uint32_t regs[4];
    Cpuid(0, regs);
    EXPECT_GE(regs[0], 1u);   // highest standard leaf
    char vendor[13] = {};
    std::memcpy(vendor, &regs[1], 4);
    std::memcpy(vendor + 4, &regs[3], 4);
    std::memcpy(vendor + 8, &regs[2], 4);
    for (int i = 0; i < 12; ++i) EXPECT_TRUE(std::isprint(static_cast<unsigned char>(vendor[i]))) << vendor;
#else
    EXPECT_FALSE(IsCpuidAvailable());
#endif
    uint64_t a = ReadTimeStampCounter();
    uint64_t b = ReadTimeStampCounter();
    EXPECT_GT(a, 0u);
    EXPECT_GE(b, a);
}

}  // namespace
