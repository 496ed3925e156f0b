// The mixer. On the SDL host the device's callback pulls frames; on the headless host frames are
// mixed as the virtual clock advances: by the pump thread, by SoundPump, and before every change
// a sound object makes (CatchUp), so that a change lands on the frame of the moment it was made.
#include "platform/sound/SoundMixer.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/host/Host.h"
#include "platform/sound/SoundHost.h"

namespace snd {

namespace {

constexpr uint32_t kChunkFrames = 1024;
constexpr auto kOwnerWait = std::chrono::seconds(2);

std::mutex g_faultMutex;
int g_faultCounts[4] = {};

void SdlCallback(void* user, Uint8* stream, int length)
{
    auto* mixer = static_cast<cMixer*>(user);
    mixer->FillDevice(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(length) / 4);
}

void PutLe16(unsigned char* p, uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void PutLe32(unsigned char* p, uint32_t v)
{
    PutLe16(p, v & 0xFFFF);
    PutLe16(p + 2, v >> 16);
}

void WriteWaveHeader(FILE* file, uint64_t frames)
{
    const uint64_t bytes64 = frames * 4;
    const uint32_t bytes = bytes64 > 0xFFFFFFD0u ? 0xFFFFFFD0u : static_cast<uint32_t>(bytes64);
    unsigned char h[44];
    std::memcpy(h, "RIFF", 4);
    PutLe32(h + 4, 36 + bytes);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    PutLe32(h + 16, 16);
    PutLe16(h + 20, 1);
    PutLe16(h + 22, 2);
    PutLe32(h + 24, SoundMixRate);
    PutLe32(h + 28, SoundMixRate * 4);
    PutLe16(h + 32, 4);
    PutLe16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    PutLe32(h + 40, bytes);
    std::fseek(file, 0, SEEK_SET);
    std::fwrite(h, 1, sizeof h, file);
    std::fseek(file, 0, SEEK_END);
}

void ShutDownAtExit()
{
    cMixer::Instance().Shutdown();
}

}  // namespace

cMixer& cMixer::Instance()
{
    // Never destroyed by the run-time: the pump thread and the device are stopped at exit by
    // ShutDownAtExit, and the objects that sources belong to may outlive static destruction.
    static cMixer* mixer = new cMixer();
    return *mixer;
}

void cMixer::Shutdown()
{
    std::thread* pump = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
        pump = static_cast<std::thread*>(m_lpPump);
        m_lpPump = nullptr;
    }
    m_cvOwner.notify_all();
    if (pump) {
        pump->join();
        delete pump;
    }
    if (m_nDevice != 0) {
        SDL_CloseAudioDevice(m_nDevice);
        m_nDevice = 0;
    }
    StopRecording();
}

bool cMixer::Open()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bOpen) return true;
    m_bHeadless = IsHeadless();
    m_vMix.assign(kChunkFrames * 2, 0.0f);
    m_vOut.assign(kChunkFrames * 2, 0);
    if (m_bHeadless) {
        m_nLastVirtualMs = HostVirtualTime();
        m_lpPump = new std::thread([this] { PumpThread(); });
    } else {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want{};
        SDL_AudioSpec have{};
        want.freq = static_cast<int>(SoundMixRate);
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = SdlCallback;
        want.userdata = this;
        m_nDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (m_nDevice == 0) return false;
        SDL_PauseAudioDevice(m_nDevice, 0);
    }
    m_bOpen = true;
    std::atexit(ShutDownAtExit);
    return true;
}

void cMixer::AddSource(cSource* source)
{
    if (std::find(m_vSources.begin(), m_vSources.end(), source) == m_vSources.end())
        m_vSources.push_back(source);
}

void cMixer::RemoveSource(cSource* source)
{
    m_vSources.erase(std::remove(m_vSources.begin(), m_vSources.end(), source), m_vSources.end());
}

void cMixer::SetTimedSource(cTimedSource* source)
{
    m_lpTimed = source;
    m_cvOwner.notify_all();
}

uint32_t cMixer::MixLocked(uint32_t frames, bool stopWhenWaiting)
{
    float* out = m_vMix.data();
    std::fill(out, out + frames * 2, 0.0f);
    uint32_t n = frames;
    if (m_lpTimed) n = m_lpTimed->Render(out, frames, stopWhenWaiting);
    if (n == 0) return 0;
    for (size_t i = 0; i < m_vSources.size(); ++i) m_vSources[i]->Mix(out, n);
    m_vSources.erase(std::remove_if(m_vSources.begin(), m_vSources.end(),
                                    [](cSource* s) { return s->Finished(); }),
                     m_vSources.end());
    return n;
}

void cMixer::Emit(const float* mixed, uint32_t frames, int16_t* out)
{
    for (uint32_t i = 0; i < frames * 2; ++i) {
        float v = std::clamp(mixed[i], -1.0f, 1.0f);
        out[i] = static_cast<int16_t>(std::lrint(v * 32767.0f));
    }
    if (m_lpRecord) {
        std::fwrite(out, 4, frames, static_cast<FILE*>(m_lpRecord));
        m_nRecordedFrames += frames;
    }
    m_nFramePos += frames;
}

void cMixer::FillDevice(int16_t* out, uint32_t frames)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    while (frames > 0) {
        uint32_t n = std::min(frames, kChunkFrames);
        MixLocked(n, false);
        Emit(m_vMix.data(), n, out);
        out += n * 2;
        frames -= n;
    }
}

void cMixer::UpdateTarget()
{
    const uint32_t now = HostVirtualTime();
    const uint32_t step = now - m_nLastVirtualMs;
    m_nLastVirtualMs = now;
    if (step < 0x80000000u) m_nElapsedMs += step;   // a clock set back is not time played
    m_nTargetFrames = m_nElapsedMs * SoundMixRate / 1000;
}

void cMixer::Advance(std::unique_lock<std::mutex>& lock, bool wait)
{
    if (!m_bOpen || !m_bHeadless) return;
    UpdateTarget();
    while (m_nFramePos < m_nTargetFrames && !m_bQuit) {
        const uint32_t n =
            static_cast<uint32_t>(std::min<uint64_t>(m_nTargetFrames - m_nFramePos, kChunkFrames));
        const uint32_t done = MixLocked(n, true);
        Emit(m_vMix.data(), done, m_vOut.data());
        if (done < n) {
            if (!wait) return;
            // The MIDI stream has played all it was given and its owner has not answered the
            // last callback yet: give the owner its chance before the stream time goes on.
            const auto deadline = std::chrono::steady_clock::now() + kOwnerWait;
            for (;;) {
                if (m_bQuit || !m_lpTimed || !m_lpTimed->Waiting() || m_lpTimed->OwnerQuiet())
                    break;
                if (std::chrono::steady_clock::now() >= deadline) {
                    m_lpTimed->StopWaiting();
                    break;
                }
                m_cvOwner.wait_for(lock, std::chrono::milliseconds(2));
            }
        }
    }
}

void cMixer::CatchUp()
{
    if (!m_bOpen || !m_bHeadless) return;
    // Lock is held by the caller; Advance without waiting never unlocks it.
    std::unique_lock<std::mutex> lock(m_mutex, std::adopt_lock);
    Advance(lock, false);
    lock.release();
}

void cMixer::Pump()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    Advance(lock, true);
}

void cMixer::PumpThread()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_bQuit) return;
            Advance(lock, true);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

uint64_t cMixer::MixedFrames()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nFramePos;
}

bool cMixer::StartRecording(const char* hostPath)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_lpRecord) {
        WriteWaveHeader(static_cast<FILE*>(m_lpRecord), m_nRecordedFrames);
        std::fclose(static_cast<FILE*>(m_lpRecord));
        m_lpRecord = nullptr;
    }
    FILE* file = std::fopen(hostPath, "wb");
    if (!file) return false;
    m_nRecordedFrames = 0;
    WriteWaveHeader(file, 0);
    m_lpRecord = file;
    return true;
}

bool cMixer::StopRecording()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_lpRecord) return false;
    FILE* file = static_cast<FILE*>(m_lpRecord);
    WriteWaveHeader(file, m_nRecordedFrames);
    const bool ok = std::fclose(file) == 0;
    m_lpRecord = nullptr;
    return ok;
}

}  // namespace snd

void SoundArmFault(SoundFault fault, int count)
{
    std::lock_guard<std::mutex> lock(snd::g_faultMutex);
    snd::g_faultCounts[static_cast<int>(fault)] = count;
}

void SoundDisarmAllFaults()
{
    std::lock_guard<std::mutex> lock(snd::g_faultMutex);
    for (int& c : snd::g_faultCounts) c = 0;
}

bool SoundTakeFault(SoundFault fault)
{
    std::lock_guard<std::mutex> lock(snd::g_faultMutex);
    int& c = snd::g_faultCounts[static_cast<int>(fault)];
    if (c <= 0) return false;
    --c;
    return true;
}

void SoundPump()
{
    snd::cMixer::Instance().Pump();
}

uint64_t SoundMixedFrames()
{
    return snd::cMixer::Instance().MixedFrames();
}

bool SoundStartRecording(const char* hostPath)
{
    return snd::cMixer::Instance().StartRecording(hostPath);
}

bool SoundStopRecording()
{
    return snd::cMixer::Instance().StopRecording();
}
