#pragma once
// Facts about the machine for the report log.
#include "platform/win/WinTypes.h"

struct OSVERSIONINFO {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];   // the service-pack text; here the host's system name and release
};
// The host reports platform id 2 and a version above every named one (10.0), so that version
// tests of the form "at least 6.0" hold; the name comes from the host (see GetHostSystemName).
BOOL GetVersionEx(OSVERSIONINFO* info);
// The host's own description, e.g. "Debian GNU/Linux 12 (bookworm)" (code page 932).
const char* GetHostSystemName();

// 32-bit memory status: values saturate at 4 GB - 1 like the original's.
struct MEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORD dwTotalPhys;
    DWORD dwAvailPhys;
    DWORD dwTotalPageFile;
    DWORD dwAvailPageFile;
    DWORD dwTotalVirtual;
    DWORD dwAvailVirtual;
};
void GlobalMemoryStatus(MEMORYSTATUS* status);

// Free bytes available to the caller, total and free bytes on the disk of a project-path folder
// (null: the current directory).
BOOL GetDiskFreeSpaceEx(const char* directory, uint64_t* freeToCaller, uint64_t* total,
                        uint64_t* totalFree);

// Processor identification: whether the instruction is there, one leaf into regs {a, b, c, d}.
BOOL IsCpuidAvailable();
void Cpuid(uint32_t leaf, uint32_t regs[4]);
uint64_t ReadTimeStampCounter();
