// RIFF chunk reading: finding chunks by id and form, padding, and sizes that lie.
#include <gtest/gtest.h>

#include "platform/sound/Mmio.h"
#include "tests/platform_sound/SoundTestUtil.h"

using namespace soundtest;

namespace {

class MmioTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSharedState();
        m_Dir = TempFolder("mmio");
    }
    std::string Write(const Bytes& bytes)
    {
        WriteFile(m_Dir / "f.wav", bytes);
        return ProjectPath(m_Dir / "f.wav");
    }
    std::filesystem::path m_Dir;
};

TEST_F(MmioTest, FindsChunksInsideTheFormSkippingOddSizedOnes)
{
    Bytes chunks = Chunk("junk", Bytes{1, 2, 3});   // odd size: one pad byte follows
    Append(chunks, Chunk("fmt ", Bytes{9, 8, 7, 6}));
    Append(chunks, Chunk("data", Bytes{0x11, 0x22}));
    HMMIO h = mmioOpenA(Write(RiffWave(chunks)).c_str(), nullptr, MMIO_READ);
    ASSERT_NE(h, nullptr);

    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF), 0u);
    EXPECT_EQ(riff.dwDataOffset, 8u);
    MMCKINFO fmt{};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    ASSERT_EQ(mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK), 0u);
    EXPECT_EQ(fmt.cksize, 4u);
    char four[4];
    ASSERT_EQ(mmioRead(h, four, 4), 4);
    EXPECT_EQ(four[0], 9);
    ASSERT_EQ(mmioAscend(h, &fmt, 0), 0u);
    MMCKINFO data{};
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    ASSERT_EQ(mmioDescend(h, &data, &riff, MMIO_FINDCHUNK), 0u);
    EXPECT_EQ(data.cksize, 2u);
    char two[8];
    // A read asks for more than there is: it gets what the file holds.
    EXPECT_EQ(mmioRead(h, two, 8), 2);
    EXPECT_EQ(static_cast<uint8_t>(two[1]), 0x22);
    mmioClose(h, 0);
}

TEST_F(MmioTest, RefusesWhatIsNotThereOrDoesNotFit)
{
    struct Case {
        const char* name;
        Bytes file;
        FOURCC form;
        FOURCC chunk;
        MMRESULT riffResult;
        MMRESULT chunkResult;
    };
    Bytes longData = Chunk("data", Bytes{1, 2, 3, 4});
    longData[4] = 200;   // claims 200 bytes, holds 4
    Bytes longRiff = RiffWave(Chunk("data", Bytes{1, 2}));
    longRiff[4] = 0xF0;  // the form claims more than the file
    const Case cases[] = {
        {"other form", RiffWave(Chunk("data", Bytes{1, 2})), mmioFOURCC('A', 'V', 'I', ' '),
         0, MMIOERR_CHUNKNOTFOUND, 0},
        {"no such chunk", RiffWave(Chunk("data", Bytes{1, 2})), mmioFOURCC('W', 'A', 'V', 'E'),
         mmioFOURCC('f', 'm', 't', ' '), 0, MMIOERR_CHUNKNOTFOUND},
        {"chunk longer than the file", RiffWave(longData), mmioFOURCC('W', 'A', 'V', 'E'),
         mmioFOURCC('d', 'a', 't', 'a'), 0, MMIOERR_CANNOTREAD},
        {"form longer than the file", longRiff, mmioFOURCC('W', 'A', 'V', 'E'), 0,
         MMIOERR_CANNOTREAD, 0},
        {"empty file", Bytes{}, mmioFOURCC('W', 'A', 'V', 'E'), 0, MMIOERR_CHUNKNOTFOUND, 0},
        {"header cut short", Bytes{'R', 'I', 'F', 'F', 4}, mmioFOURCC('W', 'A', 'V', 'E'), 0,
         MMIOERR_CHUNKNOTFOUND, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HMMIO h = mmioOpenA(Write(c.file).c_str(), nullptr, MMIO_READ);
        ASSERT_NE(h, nullptr);
        MMCKINFO riff{};
        riff.fccType = c.form;
        EXPECT_EQ(mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF), c.riffResult);
        if (c.riffResult == 0 && c.chunk != 0) {
            MMCKINFO chunk{};
            chunk.ckid = c.chunk;
            EXPECT_EQ(mmioDescend(h, &chunk, &riff, MMIO_FINDCHUNK), c.chunkResult);
        }
        mmioClose(h, 0);
    }
}

TEST_F(MmioTest, MissingFileDoesNotOpen)
{
    EXPECT_EQ(mmioOpenA(ProjectPath(m_Dir / "none.wav").c_str(), nullptr, MMIO_READ), nullptr);
}

}  // namespace
