// The Ogg player library: loading by name, players made on demand, playing a real Ogg Vorbis file
// through the mixer with loop counts, stopping and unloading.
#include <gtest/gtest.h>

#include "platform/sound/Vox.h"
#include "tests/platform_sound/OggFixture.h"
#include "tests/platform_sound/SoundTestUtil.h"

using namespace soundtest;

namespace {

class VoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        m_Dir = TempFolder("vox");
        ASSERT_TRUE(WriteOggTone(m_Dir / "tone.ogg", 1, 22050, 0.3, 440.0, 0.5f));
        m_hModule = LoadLibraryA("vox.DLL");
        ASSERT_NE(m_hModule, nullptr);
        auto create = reinterpret_cast<CREATEVOX>(GetProcAddress(m_hModule, "CreateVox"));
        ASSERT_NE(create, nullptr);
        m_lpPlayer = create();
        ASSERT_NE(m_lpPlayer, nullptr);
    }
    void TearDown() override
    {
        if (m_lpPlayer) m_lpPlayer->Destroy();
        FreeLibrary(m_hModule);
    }

    // Last frame that still sounds, in milliseconds; -1 when all is silent.
    static double LastSoundMs(const cRecording& rec)
    {
        for (size_t f = rec.Frames(); f-- > 0;)
            if (std::abs(rec.Left(f)) > 200) return f * 1000.0 / SoundMixRate;
        return -1;
    }

    std::filesystem::path m_Dir;
    HMODULE m_hModule = nullptr;
    cVoxPlayer* m_lpPlayer = nullptr;
};

TEST_F(VoxTest, PlaysTheFileOnceOrAsManyMoreTimesAsTheLoopCountSays)
{
    const std::string path = ProjectPath(m_Dir / "tone.ogg");
    for (int32_t loops : {0, 2}) {
        SCOPED_TRACE(loops);
        ASSERT_TRUE(m_lpPlayer->Load(path.c_str()));
        m_lpPlayer->SetLoop(loops);
        cRecording rec;
        rec.Start(m_Dir / "o.wav");
        ASSERT_TRUE(m_lpPlayer->Play());
        Advance(1300);
        ASSERT_TRUE(rec.Stop());
        // A 440 Hz tone of amplitude 0.5: its peak is near 16384.
        EXPECT_NEAR(rec.Peak(MsToFrames(50), MsToFrames(250)), 16384, 2000);
        EXPECT_NEAR(LastSoundMs(rec), 300.0 * (loops + 1), 15.0);
        m_lpPlayer->Unload();
    }
}

TEST_F(VoxTest, ForeverLoopsUntilStopped)
{
    ASSERT_TRUE(m_lpPlayer->Load(ProjectPath(m_Dir / "tone.ogg").c_str()));
    m_lpPlayer->SetLoop(0x7FFFFFFF);
    cRecording rec;
    rec.Start(m_Dir / "f.wav");
    m_lpPlayer->Play();
    Advance(2000);
    m_lpPlayer->Stop();
    Advance(200);
    ASSERT_TRUE(rec.Stop());
    EXPECT_GT(rec.Peak(MsToFrames(1800), MsToFrames(1990)), 8000);
    EXPECT_EQ(rec.Peak(MsToFrames(2005), rec.Frames()), 0);
}

TEST_F(VoxTest, FilesThatAreNotOggDoNotLoad)
{
    WriteFile(m_Dir / "bad.ogg", Bytes{'O', 'g', 'g', 'S', 0, 2, 0, 0});
    WriteFile(m_Dir / "empty.ogg", Bytes{});
    for (const char* name : {"bad.ogg", "empty.ogg", "missing.ogg"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(m_lpPlayer->Load(ProjectPath(m_Dir / name).c_str()));
        EXPECT_FALSE(m_lpPlayer->Play());
    }
}

TEST_F(VoxTest, LibraryAndPlayersFailOnDemand)
{
    EXPECT_EQ(LoadLibraryA("Other.dll"), nullptr);
    EXPECT_EQ(GetProcAddress(m_hModule, "Missing"), nullptr);
    SoundArmFault(SoundFault::VoxLibrary);
    EXPECT_EQ(LoadLibraryA("Vox.dll"), nullptr);
    SoundArmFault(SoundFault::VoxPlayer);
    auto create = reinterpret_cast<CREATEVOX>(GetProcAddress(m_hModule, "CreateVox"));
    EXPECT_EQ(create(), nullptr);
    cVoxPlayer* next = create();
    ASSERT_NE(next, nullptr);
    next->Destroy();
}

}  // namespace
