#pragma once
// Types shared by the sound calls: result codes and the PCM wave format record.
#include <cstdint>

#include "platform/win/WinTypes.h"

// The result type of the object calls. Other platform folders may declare the same names; the
// guard keeps one definition when both are included.
#ifndef PLATFORM_HRESULT_DEFINED
#define PLATFORM_HRESULT_DEFINED
using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }
#endif

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
