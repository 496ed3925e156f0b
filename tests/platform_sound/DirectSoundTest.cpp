// Sound-effect buffers through the mixer: formats, gain from volume, duplicates, positions,
// device failure and many threads at once. Expected samples are computed here from the inputs.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "platform/sound/DirectSound.h"
#include "tests/platform_sound/SoundTestUtil.h"

using namespace soundtest;

namespace {

class DirectSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        m_Dir = TempFolder("ds");
        ASSERT_EQ(DirectSoundCreate(nullptr, &m_lpDS, nullptr), DS_OK);
        ASSERT_EQ(m_lpDS->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    }
    void TearDown() override
    {
        if (m_lpDS) m_lpDS->Release();
    }

    IDirectSoundBuffer* Make(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples)
    {
        WAVEFORMATEX format{1, channels, rate, rate * channels * bits / 8,
                            static_cast<WORD>(channels * bits / 8), bits, 0};
        DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME,
                          static_cast<DWORD>(samples.size()), 0, &format};
        IDirectSoundBuffer* buffer = nullptr;
        if (m_lpDS->CreateSoundBuffer(&desc, &buffer, nullptr) != DS_OK) return nullptr;
        void* p1;
        DWORD n1;
        EXPECT_EQ(buffer->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
        EXPECT_EQ(n1, samples.size());
        std::memcpy(p1, samples.data(), n1);
        buffer->Unlock(p1, n1, nullptr, 0);
        return buffer;
    }

    IDirectSound* m_lpDS = nullptr;
    std::filesystem::path m_Dir;
};

int Expected(double value)
{
    return static_cast<int>(std::lrint(std::clamp(value, -1.0, 1.0) * 32767.0));
}

TEST_F(DirectSoundTest, VolumeInHundredthsOfADecibelScalesByTenToTheVolumeOver2000)
{
    IDirectSoundBuffer* buffer = Make(1, 22050, 8, Bytes(2205, 192));   // +0.5, 100 ms
    ASSERT_NE(buffer, nullptr);
    for (LONG volume : {0, -600, -2000, -4500, -9999, -10000}) {
        SCOPED_TRACE(volume);
        ASSERT_EQ(buffer->SetVolume(volume), DS_OK);
        LONG read = 1;
        buffer->GetVolume(&read);
        EXPECT_EQ(read, volume);
        cRecording rec;
        rec.Start(m_Dir / "v.wav");
        buffer->SetCurrentPosition(0);
        buffer->Play(0, 0, DSBPLAY_LOOPING);
        Advance(40);
        buffer->Stop();
        ASSERT_TRUE(rec.Stop());
        ASSERT_GE(rec.Frames(), MsToFrames(39));
        const double gain = volume <= -10000 ? 0.0 : std::pow(10.0, volume / 2000.0);
        for (size_t f : {size_t{10}, size_t{800}, size_t{1700}}) {
            EXPECT_NEAR(rec.Left(f), Expected(0.5 * gain), 1);
            EXPECT_NEAR(rec.Right(f), Expected(0.5 * gain), 1);
        }
    }
    EXPECT_EQ(buffer->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(buffer->SetVolume(-10001), DSERR_INVALIDPARAM);
    buffer->Release();
}

TEST_F(DirectSoundTest, EveryPcmFormatPlaysItsOwnChannels)
{
    struct Case {
        uint16_t channels;
        uint32_t rate;
        uint16_t bits;
        Bytes frame;    // one frame, repeated
        double left, right;
    };
    const Case cases[] = {
        {1, 22050, 8, {64}, -0.5, -0.5},
        {2, 11025, 8, {255, 0}, 127.0 / 128, -1.0},
        {1, 44100, 16, {0x00, 0x20}, 8192.0 / 32768, 8192.0 / 32768},
        {2, 48000, 16, {0x40, 0x1F, 0x60, 0xF0}, 8000.0 / 32768, -4000.0 / 32768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        Bytes samples;
        for (uint32_t i = 0; i < c.rate / 10; ++i) Append(samples, c.frame);
        IDirectSoundBuffer* buffer = Make(c.channels, c.rate, c.bits, samples);
        ASSERT_NE(buffer, nullptr);
        cRecording rec;
        rec.Start(m_Dir / "f.wav");
        buffer->Play(0, 0, 0);
        Advance(150);
        ASSERT_TRUE(rec.Stop());
        EXPECT_NEAR(rec.Left(100), Expected(c.left), 1);
        EXPECT_NEAR(rec.Right(100), Expected(c.right), 1);
        // A one-shot sound ends after its 100 ms and leaves silence.
        EXPECT_EQ(rec.Peak(MsToFrames(102), rec.Frames()), 0);
        EXPECT_NE(rec.Left(MsToFrames(98)), 0);
        DWORD status = 1;
        buffer->GetStatus(&status);
        EXPECT_EQ(status, 0u);
        buffer->Release();
    }
}

TEST_F(DirectSoundTest, DuplicatesShareSamplesAndPlayOnTheirOwn)
{
    IDirectSoundBuffer* original = Make(1, 22050, 8, Bytes(22050, 128));
    ASSERT_NE(original, nullptr);
    IDirectSoundBuffer* copy = nullptr;
    ASSERT_EQ(m_lpDS->DuplicateSoundBuffer(original, &copy), DS_OK);
    // Writing the original's samples after duplicating changes what the copy plays.
    void* p1;
    DWORD n1;
    ASSERT_EQ(original->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    std::memset(p1, 192, n1);
    original->Unlock(p1, n1, nullptr, 0);
    copy->SetVolume(-2000);

    cRecording rec;
    rec.Start(m_Dir / "d.wav");
    copy->Play(0, 0, 0);
    Advance(50);
    original->Play(0, 0, 0);
    Advance(50);
    copy->Stop();
    Advance(50);
    ASSERT_TRUE(rec.Stop());
    EXPECT_NEAR(rec.Left(MsToFrames(25)), Expected(0.05), 1);
    EXPECT_NEAR(rec.Left(MsToFrames(75)), Expected(0.55), 2);
    EXPECT_NEAR(rec.Left(MsToFrames(125)), Expected(0.5), 1);
    LONG volume = 1;
    original->GetVolume(&volume);
    EXPECT_EQ(volume, 0);

    // Positions are each buffer's own: the copy stopped at 100 ms, the original plays on.
    DWORD copyPos = 0, originalPos = 0;
    copy->GetCurrentPosition(&copyPos, nullptr);
    original->GetCurrentPosition(&originalPos, nullptr);
    EXPECT_NEAR(copyPos, 2205.0, 2.0);
    EXPECT_NEAR(originalPos, 2205.0, 2.0);
    ASSERT_EQ(copy->SetCurrentPosition(0), DS_OK);
    copy->GetCurrentPosition(&copyPos, nullptr);
    EXPECT_EQ(copyPos, 0u);
    EXPECT_EQ(copy->SetCurrentPosition(22050), DSERR_INVALIDPARAM);
    original->Stop();
    copy->Release();   // the samples live on with the original
    original->Play(0, 0, 0);
    Advance(10);
    original->Release();
}

TEST_F(DirectSoundTest, RefusesFormatsItCannotPlay)
{
    struct Case {
        WAVEFORMATEX format;
        DWORD bytes;
        HRESULT result;
    };
    const Case cases[] = {
        {{3, 1, 22050, 88200, 4, 32, 0}, 400, DSERR_BADFORMAT},    // floating point
        {{1, 3, 22050, 66150, 3, 8, 0}, 300, DSERR_BADFORMAT},     // three channels
        {{1, 1, 22050, 66150, 3, 24, 0}, 300, DSERR_BADFORMAT},    // 24 bits
        {{1, 2, 22050, 44100, 1, 8, 0}, 300, DSERR_BADFORMAT},     // wrong block align
        {{1, 1, 0, 0, 1, 8, 0}, 300, DSERR_BADFORMAT},             // no rate
        {{1, 2, 22050, 88200, 4, 16, 0}, 2, DSERR_INVALIDPARAM},   // smaller than a frame
    };
    for (const Case& c : cases) {
        WAVEFORMATEX format = c.format;
        DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_STATIC, c.bytes, 0, &format};
        IDirectSoundBuffer* buffer = reinterpret_cast<IDirectSoundBuffer*>(1);
        EXPECT_EQ(m_lpDS->CreateSoundBuffer(&desc, &buffer, nullptr), c.result);
        EXPECT_EQ(buffer, nullptr);
    }
}

TEST_F(DirectSoundTest, PrimaryBufferKeepsTheFormatAskedFor)
{
    DSBUFFERDESC desc{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME, 0, 0,
                      nullptr};
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(m_lpDS->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    WAVEFORMATEX format{1, 1, 22050, 22050, 1, 8, 0};
    EXPECT_EQ(primary->SetFormat(&format), DS_OK);
    WAVEFORMATEX read{};
    DWORD written = 0;
    ASSERT_EQ(primary->GetFormat(&read, sizeof read, &written), DS_OK);
    EXPECT_EQ(read.nSamplesPerSec, 22050u);
    EXPECT_EQ(read.wBitsPerSample, 8);
    EXPECT_EQ(read.nBlockAlign, 1);
    primary->Release();
}

// A device that will not open and a mixer whose thread cannot be started fail alike: the device is
// refused (the mixer's failure with a line of its own), nothing is left half open, and the next
// try opens the output and plays.
TEST_F(DirectSoundTest, DeviceThatWillNotOpenFailsOnDemand)
{
    struct Case {
        const char* name;
        SoundFault fault;
        const char* line;   // on the standard error stream
    };
    const Case cases[] = {
        {"audio device", SoundFault::AudioDevice, ""},
        {"mixer thread", SoundFault::MixerThread, "sound: the mixer's thread cannot be started"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_lpDS->Release();
        m_lpDS = nullptr;
        SoundCloseOutput();
        SoundArmFault(c.fault);
        IDirectSound* ds = reinterpret_cast<IDirectSound*>(1);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DSERR_NODRIVER);
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(ds, nullptr);
        EXPECT_NE(errors.find(c.line), std::string::npos) << errors;

        ASSERT_EQ(DirectSoundCreate(nullptr, &m_lpDS, nullptr), DS_OK);
        IDirectSoundBuffer* buffer = Make(1, 44100, 16, Bytes(882 * 2, 0x20));
        ASSERT_NE(buffer, nullptr);
        cRecording rec;
        rec.Start(m_Dir / "after.wav");
        buffer->Play(0, 0, 0);
        Advance(30);
        ASSERT_TRUE(rec.Stop());
        EXPECT_NEAR(rec.Peak(0, rec.Frames()), Expected(0x2020 / 32768.0), 1);
        buffer->Release();
    }
}

TEST_F(DirectSoundTest, ManyThreadsPlayStopAndDuplicateAtOnce)
{
    IDirectSoundBuffer* source = Make(1, 22050, 16, Bytes(4410, 0x10));
    ASSERT_NE(source, nullptr);
    std::atomic<bool> stop{false};
    std::thread clock([&] {
        while (!stop) {
            HostAdvanceVirtualTime(1);
            SoundPump();
        }
    });
    std::vector<std::thread> workers;
    std::atomic<int> failures{0};
    for (int t = 0; t < 6; ++t) {
        workers.emplace_back([&, t] {
            IDirectSoundBuffer* mine = nullptr;
            if (m_lpDS->DuplicateSoundBuffer(source, &mine) != DS_OK) {
                ++failures;
                return;
            }
            for (int i = 0; i < 300; ++i) {
                IDirectSoundBuffer* target = (i + t) % 3 == 0 ? source : mine;
                if (target->Stop() != DS_OK) ++failures;
                if (target->SetCurrentPosition(static_cast<DWORD>((i * 2) % 4410)) != DS_OK)
                    ++failures;
                if (target->Play(0, 0, i % 5 == 0 ? DSBPLAY_LOOPING : 0) != DS_OK) ++failures;
                if (target->SetVolume(-(i * 37 % 10000)) != DS_OK) ++failures;
                if (i % 50 == 0) {
                    IDirectSoundBuffer* extra = nullptr;
                    if (m_lpDS->DuplicateSoundBuffer(mine, &extra) != DS_OK) ++failures;
                    else {
                        extra->Play(0, 0, 0);
                        extra->Release();
                    }
                }
            }
            mine->Release();
        });
    }
    for (auto& w : workers) w.join();
    stop = true;
    clock.join();
    EXPECT_EQ(failures.load(), 0);
    source->Stop();
    source->Release();
}

}  // namespace
