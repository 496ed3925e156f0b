#pragma once
// Types shared by the sound calls: result codes and the PCM wave format record.
#include <cstdint>

#include "platform/win/WinTypes.h"

// The result type of the object calls. Other platform folders declare the same alias, which is
// allowed; the generic result names are theirs, the sound calls use their own (DS_OK, DSERR_...).
using HRESULT = int32_t;
using ULONG = uint32_t;

using DWORD_PTR = uintptr_t;

constexpr WORD WAVE_FORMAT_PCM = 1;

#pragma pack(push, 2)
// The wave format as stored in a WAVE file's "fmt " chunk (16 bytes for PCM, 18 with cbSize).
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is stored byte for byte");
