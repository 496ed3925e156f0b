#include "core/SystemReport.h"

#include <cstdio>
#include <cstring>

#include "core/Log.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinSystem.h"
#include "platform/win/WinTime.h"

namespace {

constexpr double BytesPerMegabyte = 1048576.0;

// The name of a version record, or null for a version without a name.
const char* VersionName(const OSVERSIONINFO& info, int32_t* major, int32_t* minor)
{
    switch (info.dwPlatformId) {
    case 0:
        *major = 1;
        *minor = 0;
        return "Windows 3.1";
    case 1:
        *major = 1;
        *minor = static_cast<int32_t>(info.dwMinorVersion);
        if (info.dwMinorVersion == 0) return "Windows 95";
        if (info.dwMinorVersion == 10) return "Windows 98";
        if (info.dwMinorVersion == 90) return "Windows Me";
        return nullptr;
    case 2:
        *major = static_cast<int32_t>(info.dwMajorVersion);
        *minor = static_cast<int32_t>(info.dwMinorVersion);
        switch (info.dwMajorVersion) {
        case 3: return "Windows NT 3.51";
        case 4: return "Windows NT 4.0";
        case 5:
            if (info.dwMinorVersion == 0) return "Windows 2000";
            if (info.dwMinorVersion == 1) return "Windows XP";
            if (info.dwMinorVersion == 2) return "Windows XP Professional x64 Edition ?";
            return nullptr;
        case 6:
            if (info.dwMinorVersion == 0) return "Windows Vista";
            if (info.dwMinorVersion == 1) return "Windows 7";
            return nullptr;
        default: return nullptr;
        }
    default:
        *major = 5;
        *minor = 1;
        return nullptr;
    }
}

}  // namespace

void FormatOsName(const OSVERSIONINFO& info, char* text, int32_t* major, int32_t* minor)
{
    int32_t versionMajor = 5;
    int32_t versionMinor = 1;
    const char* name = VersionName(info, &versionMajor, &versionMinor);
    // A version the table does not name is described by the host system itself.
    if (name == nullptr) name = GetHostSystemName();
    if (text != nullptr) {
        std::snprintf(text, 256, "%s %s PID %d Build %d", name, info.szCSDVersion,
                      static_cast<int>(info.dwPlatformId), static_cast<int>(info.dwBuildNumber));
    }
    if (major != nullptr) *major = versionMajor;
    if (minor != nullptr) *minor = versionMinor;
}

void GetOsName(char* text, int32_t* major, int32_t* minor)
{
    OSVERSIONINFO info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionEx(&info)) {
        // Unknown system: no name from the table, version pair (5, 1).
        info = OSVERSIONINFO{};
        info.dwPlatformId = 0xFFFFFFFFu;
    }
    FormatOsName(info, text, major, minor);
}

bool IsOsAtLeast(int32_t major, int32_t minor)
{
    int32_t osMajor = 0;
    int32_t osMinor = 0;
    GetOsName(nullptr, &osMajor, &osMinor);
    if (osMajor != major) return osMajor > major;
    return osMinor >= minor;
}

double GetCpuClock()
{
    LARGE_INTEGER c0, c1, c2, frequency;
    QueryPerformanceCounter(&c0);
    QueryPerformanceCounter(&c1);
    uint64_t t0 = ReadTimeStampCounter();
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 1000) {
    }
    QueryPerformanceCounter(&c2);
    uint64_t t1 = ReadTimeStampCounter();
    QueryPerformanceFrequency(&frequency);
    // The ticks of the wait, less the cost of one counter read.
    double seconds = static_cast<double>((c2.QuadPart - c1.QuadPart) - (c1.QuadPart - c0.QuadPart)) /
                     static_cast<double>(frequency.QuadPart);
    if (seconds <= 0.0) return 0.0;
    return static_cast<double>(t1 - t0) / seconds;
}

void GetCpuName(CPUNAME* record)
{
    std::memset(record->szVendor, 0, sizeof record->szVendor);
    std::memset(record->szBrand, 0, sizeof record->szBrand);
    if (IsCpuidAvailable()) {
        uint32_t regs[4];
        Cpuid(0, regs);
        if (regs[0] != 0) {
            std::memcpy(record->szVendor, &regs[1], 4);
            std::memcpy(record->szVendor + 4, &regs[3], 4);
            std::memcpy(record->szVendor + 8, &regs[2], 4);
            Cpuid(0x80000000u, regs);
            if (regs[0] >= 0x80000004u) {
                for (uint32_t leaf = 0; leaf < 3; ++leaf) {
                    Cpuid(0x80000002u + leaf, regs);
                    std::memcpy(record->szBrand + leaf * 16, regs, 16);
                }
            }
        }
    }
    record->dClock = GetCpuClock();
}

int32_t GetDiskFree(const char* directory)
{
    uint64_t available = 0, total = 0, free = 0;
    if (!GetDiskFreeSpaceEx(directory, &available, &total, &free)) return 0;
    if (available >= 0x80000000ull) return 0x7FFFFFFF;
    return static_cast<int32_t>(available);
}

bool WriteSystemReport()
{
    if (ReportLogPath[0] == '\0') return false;
    FILE* file = PlatformFopen(ReportLogPath, "rt+");
    if (file == nullptr) return false;
    std::fseek(file, 0, SEEK_END);

    char osName[256];
    GetOsName(osName, nullptr, nullptr);
    std::fprintf(file, "OS : %s\n", osName);

    CPUNAME cpu;
    GetCpuName(&cpu);
    std::fprintf(file, "CPU : %s %s %d\n", cpu.szVendor, cpu.szBrand,
                 static_cast<int>(cpu.dClock * 0.000001));

    MEMORYSTATUS memory{};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatus(&memory);
    std::fprintf(file, "Mem Total : %.3fMB\n", memory.dwTotalPhys / BytesPerMegabyte);
    std::fprintf(file, "Mem Free : %3.fMB\n", memory.dwAvailPhys / BytesPerMegabyte);
    std::fprintf(file, "Vir Total : %.3fMB\n", memory.dwTotalVirtual / BytesPerMegabyte);
    std::fprintf(file, "Vir Free : %3.fMB\n", memory.dwAvailVirtual / BytesPerMegabyte);
    std::fprintf(file, "HD Free : %3.fMB\n", GetDiskFree(nullptr) / BytesPerMegabyte);
    std::fclose(file);
    return true;
}
