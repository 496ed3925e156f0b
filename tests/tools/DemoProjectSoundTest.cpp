// The generated demo project's sounds and music: the WAVE files, the MIDI file and the Ogg file
// read back through the player's own readers.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "data/EdDatabase.h"
#include "data/EdSystem.h"
#include "media/sound/MidiFile.h"
#include "media/sound/SoundEffect.h"
#include "platform/sound/Vox.h"
#include "tests/tools/DemoProjectFixture.h"

namespace {

using namespace demotest;

TEST_F(DemoProjectTest, SoundEffectsAreShortMonoEightBitWavesAtTheDeviceRate)
{
    cEdSystem system;
    ASSERT_EQ(system.LoadFromFile("data\\System.dat"), 1);
    g_Database.SetDefaults();
    ASSERT_EQ(g_Database.LoadDatabase(), 1);
    std::vector<std::string> files(system.m_vSoundFile.begin(), system.m_vSoundFile.end());
    for (size_t i = 1; i < g_Database.m_vSound.size(); ++i) files.push_back(g_Database.m_vSound[i].m_strFile);
    g_Database.SetDefaults();
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        DSWAVEDATA wave;
        ASSERT_TRUE(DS_LoadWave(file.c_str(), &wave));
        const uint8_t* f = wave.m_abyFormat;
        EXPECT_EQ(f[0] | f[1] << 8, 1);                                        // PCM
        EXPECT_EQ(f[2] | f[3] << 8, 1);                                        // mono
        EXPECT_EQ(f[4] | f[5] << 8 | f[6] << 16 | f[7] << 24, 22050);          // samples per second
        EXPECT_EQ(f[14] | f[15] << 8, 8);                                      // bits per sample
        EXPECT_GT(wave.m_nSize, 22050 / 50);
        EXPECT_LT(wave.m_nSize, 22050 * 2);
        // Audible: the samples swing well away from the 8-bit silence level 128.
        int32_t peak = 0;
        for (int32_t i = 0; i < wave.m_nSize; ++i) peak = std::max(peak, std::abs(wave.m_lpData[i] - 128));
        EXPECT_GT(peak, 40);
        DS_FreeWave(&wave);
    }
}

// The title music as MIDI: format 1 with a conductor track and three instrument tracks, which the
// player's reader merges; the merged image plays notes on the lead, bass and drum channels.
TEST_F(DemoProjectTest, TitleMidiIsAFormatOneFileThePlayerMerges)
{
    const Bytes file = ReadProjectFile("bgm\\Title.mid");
    ASSERT_GE(file.size(), 14u);
    EXPECT_EQ(std::memcmp(file.data(), "MThd\0\0\0\6\0\1\0\4", 12), 0);
    cMidiFile midi("bgm\\Title.mid");
    ASSERT_NE(midi.GetImage(), nullptr);
    const uint8_t* image = midi.GetImage();
    const uint32_t size = midi.GetImageSize();
    std::map<int32_t, int32_t> notesOn;
    uint32_t pos = cMidiFile::kImageHeaderSize;
    while (pos < size) {
        uint32_t delta = 0;
        const int n = cMidiFile::ReadVarLen(image + pos, size - pos, &delta);
        ASSERT_GT(n, 0);
        pos += static_cast<uint32_t>(n);
        ASSERT_LT(pos, size);
        const uint8_t status = image[pos++];
        if (status == 0xFF) {
            ASSERT_LT(pos + 1, size);
            const uint8_t type = image[pos++];
            uint32_t length = 0;
            const int m = cMidiFile::ReadVarLen(image + pos, size - pos, &length);
            ASSERT_GT(m, 0);
            pos += static_cast<uint32_t>(m) + length;
            if (type == 0x2F) break;
        } else if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) {
            pos += 1;
        } else {
            if ((status & 0xF0) == 0x90 && image[pos + 1] > 0) notesOn[status & 0x0F] += 1;
            pos += 2;
        }
    }
    EXPECT_GT(notesOn[0], 20);   // lead
    EXPECT_GT(notesOn[1], 20);   // bass
    EXPECT_GT(notesOn[9], 50);   // drums
}

// The title music as Ogg: a chain of pages that ends with the end-of-stream page, which the
// player's Ogg library opens.
TEST_F(DemoProjectTest, TitleOggIsACompleteStreamThePlayerLibraryOpens)
{
    const Bytes file = ReadProjectFile("bgm\\Title.ogg");
    size_t pos = 0;
    bool bEnd = false;
    int32_t pages = 0;
    while (pos < file.size()) {
        ASSERT_GE(file.size() - pos, 27u);
        ASSERT_EQ(std::memcmp(file.data() + pos, "OggS", 4), 0) << pos;
        const uint8_t segments = file[pos + 26];
        ASSERT_GE(file.size() - pos, 27u + segments);
        size_t body = 0;
        for (uint8_t s = 0; s < segments; ++s) body += file[pos + 27 + s];
        bEnd = (file[pos + 5] & 4) != 0;
        pos += 27 + segments + body;
        ++pages;
    }
    EXPECT_EQ(pos, file.size());
    EXPECT_TRUE(bEnd);
    EXPECT_GT(pages, 3);

    HMODULE module = LoadLibraryA("Vox.dll");
    ASSERT_NE(module, nullptr);
    auto create = reinterpret_cast<CREATEVOX>(GetProcAddress(module, "CreateVox"));
    ASSERT_NE(create, nullptr);
    cVoxPlayer* player = create();
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(player->Load("bgm\\Title.ogg"));
    player->Unload();
    player->Destroy();
    FreeLibrary(module);
}

}   // namespace
