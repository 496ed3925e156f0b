// The MIDI file reader: variable-length numbers, format 0 and 1 files merged into the exact
// image, and malformed files refused or read as far as they go, each with its log line.
#include "media/sound/MidiFile.h"
#include "tests/media_sound/MediaSoundTest.h"

using namespace soundtest;

namespace {

class MidiFileTest : public MediaSoundTest {
protected:
    Bytes Read(const Bytes& file)
    {
        WriteFile(m_Dir / "song.mid", file);
        cMidiFile midi(P("song.mid").c_str());
        if (!midi.GetImage()) return {};
        return Bytes(midi.GetImage(), midi.GetImage() + midi.GetImageSize());
    }
};

TEST(MidiVarLen, WritesAndReadsTheStandardForms)
{
    struct Case {
        uint32_t value;
        Bytes bytes;
    };
    const Case cases[] = {
        {0x00, {0x00}},
        {0x7F, {0x7F}},
        {0x80, {0x81, 0x00}},
        {0x2000, {0xC0, 0x00}},
        {0x3FFF, {0xFF, 0x7F}},
        {0x4000, {0x81, 0x80, 0x00}},
        {0x1FFFFF, {0xFF, 0xFF, 0x7F}},
        {0x200000, {0x81, 0x80, 0x80, 0x00}},
        {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
    };
    for (const Case& c : cases) {
        uint8_t out[4] = {};
        ASSERT_EQ(cMidiFile::WriteVarLen(out, c.value), static_cast<int>(c.bytes.size()));
        EXPECT_EQ(Bytes(out, out + c.bytes.size()), c.bytes);
        uint32_t read = 0xDEAD;
        EXPECT_EQ(cMidiFile::ReadVarLen(c.bytes.data(), c.bytes.size(), &read),
                  static_cast<int>(c.bytes.size()));
        EXPECT_EQ(read, c.value);
    }
    uint8_t out[4];
    EXPECT_EQ(cMidiFile::WriteVarLen(out, 0x10000000), 0);
    const uint8_t five[] = {0x81, 0x81, 0x81, 0x81, 0x00};
    uint32_t v;
    EXPECT_EQ(cMidiFile::ReadVarLen(five, sizeof five, &v), 0);
    EXPECT_EQ(cMidiFile::ReadVarLen(five, 2, &v), 0);   // runs out of bytes
}

TEST_F(MidiFileTest, Format0RunningStatusIsExpandedAndMetaEventsKept)
{
    const Bytes track = {0x00, 0x90, 0x3C, 0x64,        // note on
                         0x60, 0x3E, 0x64,              // running status
                         0x00, 0xC0, 0x05,              // program change
                         0x05, 0x44,                    // running status, one data byte
                         0x10, 0xFF, 0x01, 0x03, 'a', 'b', 'c',
                         0x20, 0x80, 0x3C, 0x00,
                         0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7,
                         0x81, 0x00, 0xFF, 0x2F, 0x00};
    const Bytes expected = Image(480, {0x00, 0x90, 0x3C, 0x64, 0x60, 0x90, 0x3E, 0x64,
                                       0x00, 0xC0, 0x05, 0x05, 0xC0, 0x44,
                                       0x10, 0xFF, 0x01, 0x03, 'a', 'b', 'c',
                                       0x20, 0x80, 0x3C, 0x00, 0x00, 0xF0, 0x03, 0x7E, 0x09, 0xF7,
                                       0x81, 0x00, 0xFF, 0x2F, 0x00});
    EXPECT_EQ(Read(Smf(0, 1, 480, {track})), expected);
    EXPECT_EQ(Report(), "");
}

TEST_F(MidiFileTest, Format1TracksMergeByTimeWithTheLowerTrackFirstOnTies)
{
    const Bytes tempo = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x30, 0xFF, 0x2F, 0x00};
    const Bytes first = {0x00, 0x90, 0x3C, 0x64, 0x40, 0x80, 0x3C, 0x00,
                         0x10, 0xFF, 0x2F, 0x00};              // ends at 0x50
    const Bytes second = {0x00, 0x91, 0x40, 0x64, 0x40, 0x91, 0x43, 0x64,
                          0x05, 0x81, 0x40, 0x00, 0x00, 0xFF, 0x2F, 0x00};   // ends at 0x45
    const Bytes expected = Image(96, {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,
                                      0x00, 0x90, 0x3C, 0x64,
                                      0x00, 0x91, 0x40, 0x64,
                                      0x40, 0x80, 0x3C, 0x00,   // tick 0x40: track 1 first
                                      0x00, 0x91, 0x43, 0x64,
                                      0x05, 0x81, 0x40, 0x00,
                                      0x0B, 0xFF, 0x2F, 0x00});   // the latest end, 0x50
    EXPECT_EQ(Read(Smf(1, 3, 96, {tempo, first, second})), expected);
}

TEST_F(MidiFileTest, UnusableFilesAreRefusedWithTheirReason)
{
    struct Case {
        const char* name;
        Bytes file;
        const char* reason;
    };
    const Bytes end = {0x00, 0xFF, 0x2F, 0x00};
    Bytes riff = {'R', 'I', 'F', 'F', 0, 0, 0, 4, 'R', 'M', 'I', 'D'};
    Bytes header7 = Smf(0, 1, 96, {end});
    header7[7] = 7;
    Bytes noTrack = Smf(0, 1, 96, {});
    Append(noTrack, Bytes{'X', 'Y', 'Z', 'W', 0, 0, 0, 0});
    Bytes cut = Smf(0, 1, 96, {Bytes{0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00}});
    cut.resize(cut.size() - 3);   // the chunk claims bytes the file does not have
    const Case cases[] = {
        {"not a standard MIDI file", riff, "Init 標準MIDIでない(4)"},
        {"header length 7", header7, "Init 標準MIDIでない(6)"},
        {"format 2", Smf(2, 1, 96, {end}), "Init 対応フォーマットが2でない"},
        {"format 3", Smf(3, 1, 96, {end}), "Init 対応フォーマットが0または1でない"},
        {"no track after the header", noTrack, "Init 標準MIDIでない(4)"},
        {"track count 0", Smf(1, 0, 96, {end}), "Init トラックがありません"},
        {"division 0", Smf(0, 1, 0, {end}), "Init 時間単位が0です"},
        {"truncated track", cut, "Init トラック0が途中で切れています"},
        {"system exclusive longer than its track",
         Smf(0, 1, 96, {Bytes{0x00, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 0x01, 0x00, 0xFF, 0x2F, 0x00}}),
         "Init トラック0のイベントが途中で切れています"},
        {"meta event longer than its track",
         Smf(0, 1, 96, {Bytes{0x00, 0xFF, 0x01, 0x40, 'x', 0x00, 0xFF, 0x2F, 0x00}}),
         "Init トラック0のイベントが途中で切れています"},
        {"note cut by the track's end", Smf(0, 1, 96, {Bytes{0x00, 0x90, 0x3C}}),
         "Init トラック0のイベントが途中で切れています"},
        {"delta of five bytes",
         Smf(0, 1, 96, {Bytes{0x81, 0x81, 0x81, 0x81, 0x00, 0x90, 0x3C, 0x64}}),
         "Init トラック0の時間が不正です"},
        {"data before any status", Smf(0, 1, 96, {Bytes{0x00, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00}}),
         "Init トラック0にステータスのないイベントがあります"},
        {"empty file", Bytes{}, "Init 標準MIDIでない(4)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TraceLogStarted = 0;
        ASSERT_TRUE(CreateReportLog(P("report.txt").c_str()));
        EXPECT_TRUE(Read(c.file).empty());
        const std::string line = "Midi " + P("song.mid") + " " + c.reason + "\r\n";
        EXPECT_EQ(Report(), line);
        EXPECT_EQ(Trace(), line);
    }
    cMidiFile missing(P("none.mid").c_str());
    EXPECT_EQ(missing.GetImage(), nullptr);
    EXPECT_NE(Report().find("Midi " + P("none.mid") + " Create ファイルが開けません"),
              std::string::npos);
}

TEST_F(MidiFileTest, DamagedButReadableFilesPlayWhatTheyHoldWithALogLine)
{
    struct Case {
        const char* name;
        Bytes file;
        Bytes image;
        const char* reason;
    };
    Bytes extraChunk = Smf(1, 2, 96, {Bytes{0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00}});
    Append(extraChunk, Bytes{'X', 'F', 'I', 'H', 0, 0, 0, 2, 1, 2});
    Append(extraChunk, Bytes{'M', 'T', 'r', 'k', 0, 0, 0, 8, 0x10, 0x91, 0x40, 0x64, 0x00, 0xFF,
                             0x2F, 0x00});
    const Case cases[] = {
        {"track without an end", Smf(0, 1, 96, {Bytes{0x00, 0x90, 0x3C, 0x64, 0x20, 0x80, 0x3C, 0x00}}),
         Image(96, {0x00, 0x90, 0x3C, 0x64, 0x20, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}),
         "Init トラック0に終端がありません"},
        {"60000 tracks declared, one there",
         Smf(1, 60000, 96, {Bytes{0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00}}),
         Image(96, {0x00, 0x90, 0x3C, 0x64, 0x00, 0xFF, 0x2F, 0x00}),
         "Init トラック数が足りません(1/60000)"},
        {"unknown chunk between tracks", extraChunk,
         Image(96, {0x00, 0x90, 0x3C, 0x64, 0x10, 0x91, 0x40, 0x64, 0x00, 0xFF, 0x2F, 0x00}),
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(CreateReportLog(P("report.txt").c_str()));
        EXPECT_EQ(Read(c.file), c.image);
        EXPECT_EQ(Report(), c.reason ? "Midi " + P("song.mid") + " " + c.reason + "\r\n" : "");
    }
}

}  // namespace
