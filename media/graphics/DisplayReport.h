#pragma once
// The display part of the system report and the probes that read graphics state.
#include <cstdint>

bool WriteDisplayReport(int32_t bDetail);
// Free and total video memory in whole megabytes under DirectDraw; both 0 under Direct3D.
void GetVideoMemory(int32_t* lpFreeMB, int32_t* lpTotalMB);
// The leading number of the first display device's DDI version; 99999 when unknown.
int32_t GetDdiVersion();
