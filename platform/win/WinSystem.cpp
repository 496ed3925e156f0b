// Facts about the machine for the report log, from the host's own sources.
#include "platform/win/WinSystem.h"

#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#endif

#include "platform/host/Host.h"
#include "platform/win/WinFile.h"

namespace {

DWORD Saturate(uint64_t value)
{
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(value);
}

std::string UnameText()
{
    utsname names;
    if (uname(&names) != 0) return "Linux";
    return std::string(names.sysname) + " " + names.release;
}

// PRETTY_NAME="Debian GNU/Linux 12 (bookworm)" -> Debian GNU/Linux 12 (bookworm)
std::string OsReleaseName()
{
    std::ifstream in("/etc/os-release");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
        std::string value = line.substr(12);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return std::string();
}

}  // namespace

BOOL GetVersionEx(OSVERSIONINFO* info)
{
    if (!info) return 0;
    info->dwMajorVersion = 10;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 0;
    info->dwPlatformId = 2;
    std::string text = Utf8ToCp932(UnameText());
    size_t n = std::min(text.size(), sizeof info->szCSDVersion - 1);
    std::memcpy(info->szCSDVersion, text.data(), n);
    info->szCSDVersion[n] = '\0';
    return 1;
}

const char* GetHostSystemName()
{
    static std::string name;
    static std::once_flag once;
    std::call_once(once, [] {
        std::string utf8 = OsReleaseName();
        name = Utf8ToCp932(utf8.empty() ? UnameText() : utf8);
    });
    return name.c_str();
}

void GlobalMemoryStatus(MEMORYSTATUS* status)
{
    if (!status) return;
    struct sysinfo si;
    if (sysinfo(&si) != 0) std::memset(&si, 0, sizeof si);
    uint64_t unit = si.mem_unit ? si.mem_unit : 1;
    uint64_t totalPhys = si.totalram * unit;
    uint64_t availPhys = (si.freeram + si.bufferram) * unit;
    uint64_t totalPage = totalPhys + si.totalswap * unit;
    uint64_t availPage = availPhys + si.freeswap * unit;
    status->dwLength = sizeof(MEMORYSTATUS);
    status->dwMemoryLoad =
        totalPhys ? static_cast<DWORD>(100 - std::min<uint64_t>(100, availPhys * 100 / totalPhys)) : 0;
    status->dwTotalPhys = Saturate(totalPhys);
    status->dwAvailPhys = Saturate(availPhys);
    status->dwTotalPageFile = Saturate(totalPage);
    status->dwAvailPageFile = Saturate(availPage);
    // A 64-bit process's address space is beyond what 32 bits can say.
    status->dwTotalVirtual = 0xFFFFFFFFu;
    status->dwAvailVirtual = 0xFFFFFFFFu;
}

BOOL GetDiskFreeSpaceEx(const char* directory, uint64_t* freeToCaller, uint64_t* total,
                        uint64_t* totalFree)
{
    std::string host = directory ? HostPath(directory) : std::string(".");
    struct statvfs fs;
    if (statvfs(host.empty() ? "." : host.c_str(), &fs) != 0) return 0;
    uint64_t unit = fs.f_frsize ? fs.f_frsize : fs.f_bsize;
    if (freeToCaller) *freeToCaller = static_cast<uint64_t>(fs.f_bavail) * unit;
    if (total) *total = static_cast<uint64_t>(fs.f_blocks) * unit;
    if (totalFree) *totalFree = static_cast<uint64_t>(fs.f_bfree) * unit;
    return 1;
}

BOOL IsCpuidAvailable()
{
#if defined(__x86_64__)
    return 1;
#elif defined(__i386__)
    return __get_cpuid_max(0, nullptr) != 0;
#else
    return 0;
#endif
}

void Cpuid(uint32_t leaf, uint32_t regs[4])
{
    regs[0] = regs[1] = regs[2] = regs[3] = 0;
#if defined(__x86_64__) || defined(__i386__)
    if (!IsCpuidAvailable()) return;
    __cpuid_count(leaf, 0, regs[0], regs[1], regs[2], regs[3]);
#else
    (void)leaf;
#endif
}

uint64_t ReadTimeStampCounter()
{
#if defined(__x86_64__) || defined(__i386__)
    return __rdtsc();
#else
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
#endif
}
