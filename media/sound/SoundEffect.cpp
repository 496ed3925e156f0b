#include "media/sound/SoundEffect.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Log.h"
#include "platform/sound/Mmio.h"

namespace {

std::atomic<IDirectSound*> lpDS{nullptr};
IDirectSoundBuffer* lpPrimary = nullptr;
HWND hSoundWnd = nullptr;
std::vector<DSSOUNDDATA>* lpSoundObjects = nullptr;
std::vector<DSSOUNDDESC>* lpSoundDescs = nullptr;

// Size of the "fmt " chunk part a PCM format needs: tag, channels, rate, bytes per second,
// block align and bits.
constexpr DWORD kPcmFormatBytes = 16;

// Negative results are failures; success codes other than DS_OK count as success.
bool Failed(HRESULT result)
{
    return result < 0;
}

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// The buffer at index, or null. A sound whose duplicates were not all made keeps its count at 0
// and still owns its first buffer.
IDirectSoundBuffer* BufferAt(const DSSOUNDDATA& sound, int32_t index)
{
    if (!sound.m_lplpBuffer || index < 0) return nullptr;
    const int32_t usable = sound.m_nCount > 0 ? sound.m_nCount : 1;
    if (index >= usable) return nullptr;
    return sound.m_lplpBuffer[index];
}

}  // namespace

bool DS_Init(HWND window, int32_t samplesPerSec, int32_t bitsPerSample, int32_t channels)
{
    if (lpDS.load()) DS_UnInit();
    IDirectSound* ds = nullptr;
    if (Failed(DirectSoundCreate(nullptr, &ds, nullptr))) {
        WriteTraceLog("DIRECTSOUNDCREATE_ERR!");
        return false;
    }
    if (Failed(ds->SetCooperativeLevel(window, DSSCL_PRIORITY))) {
        WriteTraceLog("SETCOOPERATIVELEVEL_ERR!");
        ds->Release();
        return false;
    }
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
    IDirectSoundBuffer* primary = nullptr;
    if (Failed(ds->CreateSoundBuffer(&desc, &primary, nullptr))) {
        WriteTraceLog("CREATESOUNDBUFFER_ERR!");
        ds->Release();
        return false;
    }
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = static_cast<DWORD>(samplesPerSec);
    format.wBitsPerSample = static_cast<WORD>(bitsPerSample);
    format.nBlockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    primary->SetFormat(&format);   // the device mixes at its own rate whatever this says
    lpPrimary = primary;
    hSoundWnd = window;
    lpSoundObjects = nullptr;
    lpSoundDescs = nullptr;
    lpDS.store(ds);
    return true;
}

void DS_UnInit()
{
    IDirectSound* ds = lpDS.exchange(nullptr);
    if (lpSoundObjects) {
        for (DSSOUNDDATA& sound : *lpSoundObjects) DS_ReleaseSound(sound);
    }
    lpSoundObjects = nullptr;
    lpSoundDescs = nullptr;
    if (lpPrimary) {
        lpPrimary->Release();
        lpPrimary = nullptr;
    }
    if (ds) ds->Release();
    hSoundWnd = nullptr;
}

int DS_CreateSounds(std::vector<DSSOUNDDATA>* sounds, std::vector<DSSOUNDDESC>* descs,
                    int32_t volume)
{
    if (!lpDS.load() || !sounds || !descs) return 1;
    lpSoundObjects = sounds;
    lpSoundDescs = descs;
    const size_t n = std::min(sounds->size(), descs->size());
    for (size_t i = 0; i < n; ++i) {
        DSSOUNDDATA& sound = (*sounds)[i];
        if (sound.m_lplpBuffer) continue;
        const DSSOUNDDESC& desc = (*descs)[i];
        // A descriptor's name comes from project data: make sure it ends inside its slot.
        char file[sizeof desc.m_szFile];
        std::memcpy(file, desc.m_szFile, sizeof file);
        file[sizeof file - 1] = '\0';
        DS_CreateSound(sound, file, desc.m_nBufferCount, volume != 0 ? volume : desc.m_nVolume);
    }
    return 1;
}

bool DS_CreateSound(DSSOUNDDATA& sound, const char* file, int32_t count, int32_t volume)
{
    if (!lpDS.load()) return true;
    DS_ReleaseSound(sound);
    std::memset(&sound, 0, sizeof sound);
    if (count < 1) count = 1;
    sound.m_lplpBuffer =
        static_cast<IDirectSoundBuffer**>(std::calloc(static_cast<size_t>(count), sizeof(void*)));
    if (!sound.m_lplpBuffer) {
        WriteTraceLogF("%sのメモリ確保失敗！", file);
        return false;
    }
    if (!DS_CreateBuffer(&sound.m_lplpBuffer[0], file)) return false;
    for (int32_t i = 1; i < count; ++i) {
        if (!DS_DuplicateBuffer(&sound.m_lplpBuffer[i], sound.m_lplpBuffer[0])) {
            WriteTraceLogF("%sのメモリ共用バッファの生成失敗！", file);
            // The duplicates made so far go; the first buffer stays and plays every time.
            for (int32_t j = 1; j < i; ++j) {
                sound.m_lplpBuffer[j]->Release();
                sound.m_lplpBuffer[j] = nullptr;
            }
            return false;
        }
    }
    sound.m_nCount = count;
    std::snprintf(sound.m_szName, sizeof sound.m_szName, "%s", file);
    if (volume != 0) {
        for (int32_t j = 0; j < count; ++j) DS_SetVolume(sound, j, volume, 0);
    }
    return true;
}

void DS_ReleaseSound(DSSOUNDDATA& sound)
{
    if (!sound.m_lplpBuffer) return;
    for (int32_t i = sound.m_nCount - 1; i >= 1; --i) {
        if (sound.m_lplpBuffer[i]) sound.m_lplpBuffer[i]->Release();
        sound.m_lplpBuffer[i] = nullptr;
    }
    if (sound.m_lplpBuffer[0]) sound.m_lplpBuffer[0]->Release();
    std::free(sound.m_lplpBuffer);
    sound.m_lplpBuffer = nullptr;
    sound.m_nCount = 0;
    sound.m_nNext = 0;
}

bool DS_CreateBuffer(IDirectSoundBuffer** buffer, const char* file)
{
    *buffer = nullptr;
    IDirectSound* ds = lpDS.load();
    if (!ds) return true;
    DSWAVEDATA wave{};
    if (!DS_LoadWave(file, &wave)) {
        WriteTraceLogF("%s読み込み失敗！", file);
        return false;
    }
    WAVEFORMATEX format{};
    std::memcpy(&format, wave.m_abyFormat, kPcmFormatBytes);
    format.cbSize = 0;
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                   DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = static_cast<DWORD>(wave.m_nSize);
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* made = nullptr;
    if (Failed(ds->CreateSoundBuffer(&desc, &made, nullptr))) {
        WriteTraceLogF("%s生成失敗！", file);
        DS_FreeWave(&wave);
        return false;
    }
    void* part = nullptr;
    DWORD bytes = 0;
    if (!Failed(made->Lock(0, 0, &part, &bytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
        std::memcpy(part, wave.m_lpData, std::min<DWORD>(bytes, static_cast<DWORD>(wave.m_nSize)));
        made->Unlock(part, bytes, nullptr, 0);
    }
    DS_FreeWave(&wave);
    *buffer = made;
    return true;
}

bool DS_DuplicateBuffer(IDirectSoundBuffer** buffer, IDirectSoundBuffer* source)
{
    *buffer = nullptr;
    IDirectSound* ds = lpDS.load();
    if (!ds) return true;
    return !Failed(ds->DuplicateSoundBuffer(source, buffer));
}

bool DS_LoadWave(const char* file, DSWAVEDATA* wave)
{
    std::memset(wave, 0, sizeof *wave);
    HMMIO h = mmioOpenA(file, nullptr, MMIO_READ);
    if (!h) return false;
    auto fail = [&] {
        DS_FreeWave(wave);
        mmioClose(h, 0);
        return false;
    };
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    if (mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF) != 0) return fail();
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(h, &chunk, &riff, MMIO_FINDCHUNK) != 0) return fail();
    // Only the first bytes of a longer format chunk are read; the rest is skipped on ascending.
    if (chunk.cksize < kPcmFormatBytes) return fail();
    const LONG take = static_cast<LONG>(std::min<DWORD>(chunk.cksize, sizeof wave->m_abyFormat));
    if (mmioRead(h, reinterpret_cast<char*>(wave->m_abyFormat), take) != take) return fail();
    if (Le16(wave->m_abyFormat) != WAVE_FORMAT_PCM) return fail();
    mmioAscend(h, &chunk, 0);
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(h, &chunk, &riff, MMIO_FINDCHUNK) != 0) return fail();
    if (chunk.cksize == 0 || chunk.cksize > 0x7FFFFFFFu) return fail();
    wave->m_lpData = static_cast<uint8_t*>(std::malloc(chunk.cksize));
    if (!wave->m_lpData) return fail();
    wave->m_nSize = static_cast<int32_t>(chunk.cksize);
    if (mmioRead(h, reinterpret_cast<char*>(wave->m_lpData), wave->m_nSize) != wave->m_nSize)
        return fail();
    mmioClose(h, 0);
    return true;
}

void DS_FreeWave(DSWAVEDATA* wave)
{
    std::free(wave->m_lpData);
    wave->m_lpData = nullptr;
    wave->m_nSize = 0;
}

void DS_Play(DSSOUNDDATA& sound, DWORD flags)
{
    if (!lpDS.load() || !sound.m_lplpBuffer) return;
    // The turn is taken atomically: the menu cursor plays from the game thread while the window
    // procedure plays on the user-interface thread.
    std::atomic_ref<int32_t> next(sound.m_nNext);
    int32_t seen = next.load();
    int32_t index;
    int32_t following;
    do {
        index = seen < 0 || seen >= sound.m_nCount ? 0 : seen;
        following = index + 1 >= sound.m_nCount ? 0 : index + 1;
    } while (!next.compare_exchange_weak(seen, following));
    IDirectSoundBuffer* buffer = BufferAt(sound, index);
    if (!buffer) return;
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    buffer->Play(0, 0, flags);
}

int32_t DS_SetVolume(DSSOUNDDATA& sound, int32_t index, int32_t volume, int32_t relative)
{
    if (!lpDS.load()) return 0;
    IDirectSoundBuffer* buffer = BufferAt(sound, index);
    if (!buffer) return 0;
    int64_t wanted = volume;
    if (relative == 1) wanted += DS_GetVolume(sound, index);
    const int32_t clamped = static_cast<int32_t>(std::clamp<int64_t>(wanted, -10000, 0));
    buffer->SetVolume(clamped);
    return clamped;
}

int32_t DS_GetVolume(DSSOUNDDATA& sound, int32_t index)
{
    if (!lpDS.load()) return 0;
    IDirectSoundBuffer* buffer = BufferAt(sound, index);
    if (!buffer) return 0;
    LONG volume = 0;
    buffer->GetVolume(&volume);
    return volume;
}
