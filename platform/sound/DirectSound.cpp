// The sound-effect device over the mixer. A secondary buffer is a voice of the mixer while it
// plays: its frames are resampled to the mixer's rate by linear interpolation and scaled by the
// gain of its volume, 10^(volume / 2000), with the minimum volume silent.
#include "platform/sound/DirectSound.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/sound/SoundHost.h"
#include "platform/sound/SoundMixer.h"

namespace {

using snd::cMixer;

float VolumeGain(LONG volume)
{
    if (volume <= DSBVOLUME_MIN) return 0.0f;
    return static_cast<float>(std::pow(10.0, static_cast<double>(volume) / 2000.0));
}

bool IsPlayableFormat(const WAVEFORMATEX& f)
{
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) && f.nSamplesPerSec >= 100 &&
           f.nSamplesPerSec <= 192000 && f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

class cPrimaryBuffer final : public IDirectSoundBuffer {
public:
    cPrimaryBuffer()
    {
        m_Format = {WAVE_FORMAT_PCM, 1, 22050, 22050, 1, 8, 0};
    }
    ULONG AddRef() override { return ++m_nRefs; }
    ULONG Release() override
    {
        ULONG left = --m_nRefs;
        if (left == 0) delete this;
        return left;
    }
    // The mixer keeps its own output rate; the format asked for is kept and reported.
    HRESULT SetFormat(const WAVEFORMATEX* format) override
    {
        if (!format || !IsPlayableFormat(*format)) return DSERR_BADFORMAT;
        std::lock_guard<std::mutex> lock(cMixer::Instance().m_mutex);
        m_Format = *format;
        m_Format.cbSize = 0;
        return DS_OK;
    }
    HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) override
    {
        std::lock_guard<std::mutex> lock(cMixer::Instance().m_mutex);
        if (!format) {
            if (!written) return DSERR_INVALIDPARAM;
            *written = sizeof(WAVEFORMATEX);
            return DS_OK;
        }
        const DWORD n = size < sizeof(WAVEFORMATEX) ? size : sizeof(WAVEFORMATEX);
        std::memcpy(format, &m_Format, n);
        if (written) *written = n;
        return DS_OK;
    }
    HRESULT Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*, DWORD) override
    {
        return DSERR_INVALIDCALL;
    }
    HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Play(DWORD, DWORD, DWORD) override { return DS_OK; }
    HRESULT Stop() override { return DS_OK; }
    HRESULT SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT GetCurrentPosition(DWORD*, DWORD*) override { return DSERR_INVALIDCALL; }
    HRESULT GetStatus(DWORD* status) override
    {
        if (!status) return DSERR_INVALIDPARAM;
        *status = DSBSTATUS_PLAYING;
        return DS_OK;
    }
    HRESULT SetVolume(LONG volume) override
    {
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
        return DS_OK;
    }
    HRESULT GetVolume(LONG* volume) override
    {
        if (!volume) return DSERR_INVALIDPARAM;
        *volume = 0;
        return DS_OK;
    }

private:
    std::atomic<ULONG> m_nRefs{1};
    WAVEFORMATEX m_Format;
};

class cSecondaryBuffer final : public IDirectSoundBuffer, public snd::cSource {
public:
    cSecondaryBuffer(std::shared_ptr<std::vector<uint8_t>> data, const WAVEFORMATEX& format,
                     LONG volume)
        : m_lpData(std::move(data)), m_Format(format)
    {
        m_Format.cbSize = 0;
        m_nFrames = static_cast<uint32_t>(m_lpData->size() / m_Format.nBlockAlign);
        m_nStep = (static_cast<uint64_t>(m_Format.nSamplesPerSec) << 32) / SoundMixRate;
        SetVolumeLocked(volume);
    }

    std::shared_ptr<std::vector<uint8_t>> Data() const { return m_lpData; }
    const WAVEFORMATEX& Format() const { return m_Format; }
    LONG VolumeLocked() const { return m_nVolume; }

    ULONG AddRef() override { return ++m_nRefs; }
    ULONG Release() override
    {
        ULONG left = --m_nRefs;
        if (left == 0) {
            {
                std::lock_guard<std::mutex> lock(cMixer::Instance().m_mutex);
                cMixer::Instance().RemoveSource(this);
            }
            delete this;
        }
        return left;
    }
    HRESULT SetFormat(const WAVEFORMATEX*) override { return DSERR_INVALIDCALL; }
    HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) override
    {
        if (!format) {
            if (!written) return DSERR_INVALIDPARAM;
            *written = sizeof(WAVEFORMATEX);
            return DS_OK;
        }
        const DWORD n = size < sizeof(WAVEFORMATEX) ? size : sizeof(WAVEFORMATEX);
        std::memcpy(format, &m_Format, n);
        if (written) *written = n;
        return DS_OK;
    }
    HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2,
                 DWORD* bytes2, DWORD flags) override
    {
        if (!part1 || !bytes1) return DSERR_INVALIDPARAM;
        const DWORD size = static_cast<DWORD>(m_lpData->size());
        if (flags & DSBLOCK_ENTIREBUFFER) {
            offset = 0;
            bytes = size;
        }
        if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
        uint8_t* base = m_lpData->data();
        const DWORD first = bytes <= size - offset ? bytes : size - offset;
        *part1 = base + offset;
        *bytes1 = first;
        if (part2) *part2 = first < bytes ? base : nullptr;
        if (bytes2) *bytes2 = bytes - first;
        if (first < bytes && (!part2 || !bytes2)) return DSERR_INVALIDPARAM;
        return DS_OK;
    }
    HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DS_OK; }
    HRESULT Play(DWORD, DWORD, DWORD flags) override
    {
        cMixer& mixer = cMixer::Instance();
        std::lock_guard<std::mutex> lock(mixer.m_mutex);
        mixer.CatchUp();
        m_bLooping = (flags & DSBPLAY_LOOPING) != 0;
        if (m_nPos >= (static_cast<uint64_t>(m_nFrames) << 32)) m_nPos = 0;
        m_bPlaying = true;
        mixer.AddSource(this);
        return DS_OK;
    }
    HRESULT Stop() override
    {
        cMixer& mixer = cMixer::Instance();
        std::lock_guard<std::mutex> lock(mixer.m_mutex);
        mixer.CatchUp();
        m_bPlaying = false;
        mixer.RemoveSource(this);
        return DS_OK;
    }
    HRESULT SetCurrentPosition(DWORD position) override
    {
        if (position >= m_lpData->size()) return DSERR_INVALIDPARAM;
        cMixer& mixer = cMixer::Instance();
        std::lock_guard<std::mutex> lock(mixer.m_mutex);
        mixer.CatchUp();
        m_nPos = static_cast<uint64_t>(position / m_Format.nBlockAlign) << 32;
        return DS_OK;
    }
    HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override
    {
        cMixer& mixer = cMixer::Instance();
        std::lock_guard<std::mutex> lock(mixer.m_mutex);
        mixer.CatchUp();
        uint64_t frame = m_nPos >> 32;
        if (frame >= m_nFrames) frame = m_nFrames == 0 ? 0 : m_nFrames - 1;
        const DWORD bytes = static_cast<DWORD>(frame * m_Format.nBlockAlign);
        if (play) *play = bytes;
        if (write) *write = bytes;
        return DS_OK;
    }
    HRESULT GetStatus(DWORD* status) override
    {
        if (!status) return DSERR_INVALIDPARAM;
        cMixer& mixer = cMixer::Instance();
        std::lock_guard<std::mutex> lock(mixer.m_mutex);
        mixer.CatchUp();
        *status = m_bPlaying ? (DSBSTATUS_PLAYING | (m_bLooping ? DSBSTATUS_LOOPING : 0)) : 0;
        return DS_OK;
    }
    HRESULT SetVolume(LONG volume) override
    {
        if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
        cMixer& mixer = cMixer::Instance();
        std::lock_guard<std::mutex> lock(mixer.m_mutex);
        mixer.CatchUp();
        SetVolumeLocked(volume);
        return DS_OK;
    }
    HRESULT GetVolume(LONG* volume) override
    {
        if (!volume) return DSERR_INVALIDPARAM;
        std::lock_guard<std::mutex> lock(cMixer::Instance().m_mutex);
        *volume = m_nVolume;
        return DS_OK;
    }

    void Mix(float* out, uint32_t frames) override
    {
        if (!m_bPlaying) return;
        const uint64_t end = static_cast<uint64_t>(m_nFrames) << 32;
        for (uint32_t i = 0; i < frames; ++i) {
            if (m_nPos >= end) {
                if (!m_bLooping || m_nFrames == 0) {
                    m_bPlaying = false;
                    m_nPos = end;
                    return;
                }
                m_nPos -= end;
            }
            const uint32_t index = static_cast<uint32_t>(m_nPos >> 32);
            const float frac = static_cast<float>(m_nPos & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
            uint32_t next = index + 1;
            if (next >= m_nFrames) next = m_bLooping ? 0 : index;
            float l0, r0, l1, r1;
            Sample(index, l0, r0);
            Sample(next, l1, r1);
            out[i * 2] += (l0 + (l1 - l0) * frac) * m_fGain;
            out[i * 2 + 1] += (r0 + (r1 - r0) * frac) * m_fGain;
            m_nPos += m_nStep;
        }
    }
    bool Finished() const override { return !m_bPlaying; }

private:
    ~cSecondaryBuffer() override = default;

    void SetVolumeLocked(LONG volume)
    {
        m_nVolume = volume;
        m_fGain = VolumeGain(volume);
    }

    void Sample(uint32_t frame, float& left, float& right) const
    {
        const uint8_t* p = m_lpData->data() + static_cast<size_t>(frame) * m_Format.nBlockAlign;
        if (m_Format.wBitsPerSample == 8) {
            left = (static_cast<float>(p[0]) - 128.0f) / 128.0f;
            right = m_Format.nChannels == 2 ? (static_cast<float>(p[1]) - 128.0f) / 128.0f : left;
        } else {
            auto s16 = [](const uint8_t* q) {
                return static_cast<float>(static_cast<int16_t>(q[0] | (q[1] << 8))) / 32768.0f;
            };
            left = s16(p);
            right = m_Format.nChannels == 2 ? s16(p + 2) : left;
        }
    }

    std::atomic<ULONG> m_nRefs{1};
    std::shared_ptr<std::vector<uint8_t>> m_lpData;
    WAVEFORMATEX m_Format;
    uint32_t m_nFrames = 0;
    uint64_t m_nStep = 0;
    uint64_t m_nPos = 0;   // frames, 32.32 fixed point
    LONG m_nVolume = 0;
    float m_fGain = 1.0f;
    bool m_bPlaying = false;
    bool m_bLooping = false;
};

class cDirectSound final : public IDirectSound {
public:
    ULONG AddRef() override { return ++m_nRefs; }
    ULONG Release() override
    {
        ULONG left = --m_nRefs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT SetCooperativeLevel(HWND, DWORD level) override
    {
        return level >= DSSCL_NORMAL && level <= 4 ? DS_OK : DSERR_INVALIDPARAM;
    }
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer,
                              void* outer) override
    {
        if (!buffer) return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        if (!desc || desc->dwSize < sizeof(DSBUFFERDESC) || outer) return DSERR_INVALIDPARAM;
        if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
            if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
            *buffer = new (std::nothrow) cPrimaryBuffer();
            return *buffer ? DS_OK : DSERR_OUTOFMEMORY;
        }
        if (!desc->lpwfxFormat) return DSERR_INVALIDPARAM;
        if (!IsPlayableFormat(*desc->lpwfxFormat)) return DSERR_BADFORMAT;
        if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX ||
            desc->dwBufferBytes < desc->lpwfxFormat->nBlockAlign)
            return DSERR_INVALIDPARAM;
        try {
            auto data = std::make_shared<std::vector<uint8_t>>(desc->dwBufferBytes, 0);
            // Silence of 8-bit samples is 128.
            if (desc->lpwfxFormat->wBitsPerSample == 8) std::fill(data->begin(), data->end(), 128);
            *buffer = new cSecondaryBuffer(std::move(data), *desc->lpwfxFormat, 0);
        } catch (const std::bad_alloc&) {
            return DSERR_OUTOFMEMORY;
        }
        return DS_OK;
    }
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original,
                                 IDirectSoundBuffer** duplicate) override
    {
        if (!duplicate) return DSERR_INVALIDPARAM;
        *duplicate = nullptr;
        auto* source = dynamic_cast<cSecondaryBuffer*>(original);
        if (!source) return DSERR_INVALIDCALL;
        LONG volume;
        {
            std::lock_guard<std::mutex> lock(cMixer::Instance().m_mutex);
            volume = source->VolumeLocked();
        }
        auto* copy = new (std::nothrow) cSecondaryBuffer(source->Data(), source->Format(), volume);
        if (!copy) return DSERR_OUTOFMEMORY;
        *duplicate = copy;
        return DS_OK;
    }

private:
    std::atomic<ULONG> m_nRefs{1};
};

}  // namespace

HRESULT DirectSoundCreate(const void* device, IDirectSound** directSound, void* outer)
{
    if (!directSound) return DSERR_INVALIDPARAM;
    *directSound = nullptr;
    if (device || outer) return DSERR_INVALIDPARAM;
    if (SoundTakeFault(SoundFault::AudioDevice) || !cMixer::Instance().Open())
        return DSERR_NODRIVER;
    *directSound = new (std::nothrow) cDirectSound();
    return *directSound ? DS_OK : DSERR_OUTOFMEMORY;
}
