// The mixer. On the headless host frames are mixed as the virtual clock advances: by the mixer's
// thread, by SoundPump, and before every change a sound object makes (CatchUp), so that a change
// lands on the frame of the moment it was made. On the SDL host the mixer's thread keeps a short
// queue of mixed frames ahead of the device, and the device's callback only copies from it.
//
// Either way a mix that reaches a MIDI callback waits there until the stream's owner has answered
// (a refill, or at a song's end a stop and a restart): the output goes on exactly where the stream
// said, whatever the threads' timing. On the SDL host the queue gives the owner time to answer
// before the device runs dry; the device callback itself never waits for the owner.
#include "platform/sound/SoundMixer.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <system_error>

#include "platform/host/Host.h"
#include "platform/sound/SoundHost.h"

namespace snd {

namespace {

constexpr uint32_t kChunkFrames = 1024;
// SDL: frames per device callback, and frames mixed ahead of the device. Together about 35 ms:
// what a change waits at most before it is heard, and the time the owner of a MIDI stream has to
// answer a callback before the device would run dry.
constexpr uint32_t kDeviceFrames = 512;
constexpr uint32_t kQueueFrames = 1536;
constexpr auto kOwnerWait = std::chrono::seconds(2);

std::mutex g_faultMutex;
int g_faultCounts[static_cast<int>(SoundFault::Count)] = {};

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
    // Never destroyed by the run-time: the mixer's thread and the device are stopped at exit by
    // ShutDownAtExit, and the objects that sources belong to may outlive static destruction.
    static cMixer* mixer = new cMixer();
    return *mixer;
}

void cMixer::Shutdown()
{
    std::unique_ptr<std::thread> pump;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
        pump = std::move(m_lpPump);
    }
    m_cvOwner.notify_all();
    m_cvDevice.notify_all();
    if (pump) pump->join();
    if (m_nDevice != 0) {
        SDL_CloseAudioDevice(m_nDevice);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_nDevice = 0;
    }
    StopRecording();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bOpen = false;
    m_bQuit = false;
}

bool cMixer::Open()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bOpen) return true;
    m_bHeadless = IsHeadless();
    m_vMix.assign(kChunkFrames * 2, 0.0f);
    m_vOut.assign(kChunkFrames * 2, 0);
    {
        std::lock_guard<std::mutex> queueLock(m_queueMutex);
        m_vQueue.assign(kQueueFrames * 2, 0);
        m_nQueueRead = m_nQueueFrames = 0;
    }
    if (m_bHeadless) {
        m_nLastVirtualMs = HostVirtualTime();
        m_nElapsedMs = 0;
        m_nBaseFrames = m_nTargetFrames = m_nFramePos;
    } else if (!OpenDevice()) {
        return false;
    }
    if (!StartThread()) {
        if (m_nDevice != 0) {
            SDL_CloseAudioDevice(m_nDevice);
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            m_nDevice = 0;
        }
        return false;
    }
    if (m_nDevice != 0) SDL_PauseAudioDevice(m_nDevice, 0);
    m_bOpen = true;
    static std::once_flag atExit;
    std::call_once(atExit, [] { std::atexit(ShutDownAtExit); });
    return true;
}

bool cMixer::OpenDevice()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "sound: the audio device cannot be used (%s)\n", SDL_GetError());
        return false;
    }
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = static_cast<int>(SoundMixRate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = SdlCallback;
    want.userdata = this;
    m_nDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (m_nDevice == 0) {
        std::fprintf(stderr, "sound: the audio device cannot be opened (%s)\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

// A thread that cannot be started is the same as a device that will not open: the callers report
// it as such, and nothing plays.
bool cMixer::StartThread()
{
    try {
        if (SoundTakeFault(SoundFault::MixerThread))
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        m_lpPump = std::make_unique<std::thread>([this] { PumpThread(); });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sound: the mixer's thread cannot be started (%s)\n", e.what());
        return false;
    }
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
    uint32_t taken = 0;
    {
        std::lock_guard<std::mutex> lock(m_queueMutex);
        const size_t capacity = m_vQueue.size() / 2;
        while (taken < frames && m_nQueueFrames > 0) {
            const size_t run = std::min<size_t>(
                {frames - taken, m_nQueueFrames, capacity - m_nQueueRead});
            std::memcpy(out + taken * 2, m_vQueue.data() + m_nQueueRead * 2, run * 4);
            taken += static_cast<uint32_t>(run);
            m_nQueueRead = (m_nQueueRead + run) % capacity;
            m_nQueueFrames -= run;
        }
    }
    // A queue that ran dry (at the start, or a mix held up too long) leaves a gap of silence;
    // what is mixed is not moved by it.
    std::fill(out + taken * 2, out + frames * 2, int16_t{0});
    m_cvDevice.notify_all();
}

void cMixer::FillAhead(std::unique_lock<std::mutex>& lock)
{
    while (!m_bQuit) {
        size_t queued;
        {
            std::lock_guard<std::mutex> queueLock(m_queueMutex);
            queued = m_nQueueFrames;
        }
        const size_t capacity = m_vQueue.size() / 2;
        if (queued >= capacity) return;
        const uint32_t n =
            static_cast<uint32_t>(std::min<size_t>(capacity - queued, kChunkFrames));
        const uint32_t done = MixLocked(n, true);
        Emit(m_vMix.data(), done, m_vOut.data());
        {
            std::lock_guard<std::mutex> queueLock(m_queueMutex);
            size_t write = (m_nQueueRead + m_nQueueFrames) % capacity;
            for (uint32_t i = 0; i < done;) {
                const size_t run = std::min<size_t>(done - i, capacity - write);
                std::memcpy(m_vQueue.data() + write * 2, m_vOut.data() + i * 2, run * 4);
                i += static_cast<uint32_t>(run);
                write = (write + run) % capacity;
            }
            m_nQueueFrames += done;
        }
        if (done < n) WaitForOwner(lock);
    }
}

void cMixer::UpdateTarget()
{
    const uint32_t now = HostVirtualTime();
    const uint32_t step = now - m_nLastVirtualMs;
    m_nLastVirtualMs = now;
    if (step < 0x80000000u) m_nElapsedMs += step;   // a clock set back is not time played
    m_nTargetFrames = m_nBaseFrames + m_nElapsedMs * SoundMixRate / 1000;
}

// The MIDI stream has played all it was given and its owner has not answered the last callback
// yet: give the owner its chance before the stream time goes on. The lock is let go meanwhile.
void cMixer::WaitForOwner(std::unique_lock<std::mutex>& lock)
{
    const auto deadline = std::chrono::steady_clock::now() + kOwnerWait;
    for (;;) {
        if (m_bQuit || !m_lpTimed || !m_lpTimed->Waiting() || m_lpTimed->OwnerQuiet()) return;
        if (std::chrono::steady_clock::now() >= deadline) {
            m_lpTimed->StopWaiting();
            return;
        }
        m_cvOwner.wait_for(lock, std::chrono::milliseconds(2));
    }
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
            WaitForOwner(lock);
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
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_bQuit) {
        if (m_bHeadless) {
            Advance(lock, true);
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            lock.lock();
        } else {
            FillAhead(lock);
            m_cvDevice.wait_for(lock, std::chrono::milliseconds(2));
        }
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

namespace {

int* FaultCount(SoundFault fault)
{
    const int index = static_cast<int>(fault);
    if (index < 0 || index >= static_cast<int>(SoundFault::Count)) return nullptr;
    return &snd::g_faultCounts[index];
}

}  // namespace

void SoundArmFault(SoundFault fault, int count)
{
    std::lock_guard<std::mutex> lock(snd::g_faultMutex);
    if (int* c = FaultCount(fault)) *c = count;
}

void SoundDisarmAllFaults()
{
    std::lock_guard<std::mutex> lock(snd::g_faultMutex);
    for (int& c : snd::g_faultCounts) c = 0;
}

bool SoundTakeFault(SoundFault fault)
{
    std::lock_guard<std::mutex> lock(snd::g_faultMutex);
    int* c = FaultCount(fault);
    if (!c || *c <= 0) return false;
    --*c;
    return true;
}

void SoundCloseOutput()
{
    snd::cMixer::Instance().Shutdown();
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
