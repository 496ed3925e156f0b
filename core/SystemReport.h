#pragma once
// The machine's description in the report log, and the probes behind it.
#include <cstdint>

struct CPUNAME {
    char szVendor[256];
    char szBrand[256];
    double dClock;
};

bool WriteSystemReport();
void GetOsName(char* text, int32_t* major, int32_t* minor);
bool IsOsAtLeast(int32_t major, int32_t minor);
void GetCpuName(CPUNAME* record);
double GetCpuClock();
int32_t GetDiskFree(const char* directory);

// The OS text and version pair of one version record (GetOsName asks the running system).
struct OSVERSIONINFO;
void FormatOsName(const OSVERSIONINFO& info, char* text, int32_t* major, int32_t* minor);
