#pragma once
// The layer's one mixer (inside platform/sound only). Every object that makes sound registers a
// source; the mixer adds all sources into one stereo float stream. Its own thread mixes: on the
// headless host as the virtual clock advances, on the SDL host a little ahead of the device, which
// takes the mixed frames from a short queue. One mutex guards the mixer and every source's state:
// each call of the sound objects takes it.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace snd {

class cSource {
public:
    virtual ~cSource() = default;
    // Adds frames stereo frames into out (interleaved left, right). Lock held.
    virtual void Mix(float* out, uint32_t frames) = 0;
    // True once the source has nothing more to play; the mixer then drops it.
    virtual bool Finished() const = 0;
};

// The MIDI synthesiser's side: it may stop part-way when its stream waits for the owner.
class cTimedSource {
public:
    virtual ~cTimedSource() = default;
    // Adds up to frames frames into out; returns the frames rendered, fewer only when
    // stopWhenWaiting is set and the stream waits for its owner to answer a callback.
    virtual uint32_t Render(float* out, uint32_t frames, bool stopWhenWaiting) = 0;
    // True while the stream has stalled after a callback (nothing queued, or stopped) and its
    // owner may still be answering it.
    virtual bool Waiting() const = 0;
    // True once the owner has answered and then made no call for a short while: whatever it was
    // going to do about the callback is done.
    virtual bool OwnerQuiet() const = 0;
    virtual void StopWaiting() = 0;
};

class cMixer {
public:
    static cMixer& Instance();

    std::mutex m_mutex;

    // Opens the output on the host selected now, on the first call after start or Shutdown;
    // false (with a line on the standard error stream) when the device or the mixer's thread
    // cannot be started.
    bool Open();
    bool IsOpen() const { return m_bOpen; }

    // With the lock held.
    void AddSource(cSource* source);
    void RemoveSource(cSource* source);
    void SetTimedSource(cTimedSource* source);
    // Headless: mixes up to the virtual clock's present without waiting, so that a change made
    // now takes effect at this moment of the output.
    void CatchUp();
    // Wakes a mix that waits for a MIDI owner.
    void OwnerAnswered() { m_cvOwner.notify_all(); }

    // Without the lock.
    void Pump();
    uint64_t MixedFrames();
    bool StartRecording(const char* hostPath);
    bool StopRecording();

    // The SDL device's callback: 16-bit stereo frames from the queue of mixed frames.
    void FillDevice(int16_t* out, uint32_t frames);

    // Stops the mixer's thread, the device and the recording. At exit, and for tests that
    // change hosts: the next Open starts the output again.
    void Shutdown();

private:
    cMixer() = default;
    bool OpenDevice();
    bool StartThread();
    uint32_t MixLocked(uint32_t frames, bool stopWhenWaiting);
    void Advance(std::unique_lock<std::mutex>& lock, bool wait);
    void FillAhead(std::unique_lock<std::mutex>& lock);
    void WaitForOwner(std::unique_lock<std::mutex>& lock);
    void UpdateTarget();
    void Emit(const float* mixed, uint32_t frames, int16_t* out);
    void PumpThread();

    bool m_bOpen = false;
    bool m_bHeadless = true;
    bool m_bQuit = false;
    std::vector<cSource*> m_vSources;
    cTimedSource* m_lpTimed = nullptr;
    std::vector<float> m_vMix;
    std::vector<int16_t> m_vOut;
    uint64_t m_nFramePos = 0;
    uint64_t m_nBaseFrames = 0;      // headless: frames mixed when the output was opened
    uint64_t m_nTargetFrames = 0;
    uint64_t m_nElapsedMs = 0;
    uint32_t m_nLastVirtualMs = 0;
    std::condition_variable m_cvOwner;
    std::condition_variable m_cvDevice;   // the device took frames from the queue
    std::unique_ptr<std::thread> m_lpPump;
    uint32_t m_nDevice = 0;          // SDL audio device id
    void* m_lpRecord = nullptr;      // FILE*
    uint64_t m_nRecordedFrames = 0;

    // SDL: frames mixed ahead of the device, a ring of interleaved samples. Its own lock, so
    // that the device never waits for a mix.
    std::mutex m_queueMutex;
    std::vector<int16_t> m_vQueue;
    size_t m_nQueueRead = 0;
    size_t m_nQueueFrames = 0;
};

}  // namespace snd
