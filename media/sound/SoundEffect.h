#pragma once
// Sound effects: every sound is one static buffer holding a whole PCM WAVE file plus duplicates
// of it, so that several copies can sound at once; each play takes the next copy in turn.
// Every function does nothing (and reports success where it returns a result) while no sound
// device exists. Safe to call from several threads at once.
#include <cstdint>
#include <vector>

#include "platform/sound/DirectSound.h"

struct DSSOUNDDATA {
    char m_szName[260];                  // the WAVE file's path
    IDirectSoundBuffer** m_lplpBuffer;   // malloc'd; element 0 loaded, the others duplicates
    int32_t m_nCount;                    // buffers made; set only when all of them were made
    int32_t m_nNext;                     // the buffer the next play uses
};

struct DSSOUNDDESC {
    char m_szFile[260];
    int32_t m_nBufferCount;
    int32_t m_nVolume;   // hundredths of a decibel, -10000 to 0; 0 leaves the buffers as loaded
    int32_t m_nUnused;
};

// A loaded WAVE file: the "fmt " chunk's first bytes (PCM format record) and the samples.
struct DSWAVEDATA {
    uint8_t m_abyFormat[20];
    uint8_t* m_lpData;   // malloc'd
    int32_t m_nSize;
};

bool DS_Init(HWND window, int32_t samplesPerSec, int32_t bitsPerSample, int32_t channels);
void DS_UnInit();
int DS_CreateSounds(std::vector<DSSOUNDDATA>* sounds, std::vector<DSSOUNDDESC>* descs,
                    int32_t volume);
bool DS_CreateSound(DSSOUNDDATA& sound, const char* file, int32_t count, int32_t volume);
void DS_ReleaseSound(DSSOUNDDATA& sound);
bool DS_CreateBuffer(IDirectSoundBuffer** buffer, const char* file);
bool DS_DuplicateBuffer(IDirectSoundBuffer** buffer, IDirectSoundBuffer* source);
bool DS_LoadWave(const char* file, DSWAVEDATA* wave);
void DS_FreeWave(DSWAVEDATA* wave);
void DS_Play(DSSOUNDDATA& sound, DWORD flags);
// relative 1 adds the volume to the buffer's current one; the result is clamped to -10000 .. 0
// and returned. 0 without change when the buffer does not exist.
int32_t DS_SetVolume(DSSOUNDDATA& sound, int32_t index, int32_t volume, int32_t relative);
int32_t DS_GetVolume(DSSOUNDDATA& sound, int32_t index);
