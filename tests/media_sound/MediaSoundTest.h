#pragma once
// Fixture of the sound-layer tests: the headless host, a fresh folder, the report and trace logs
// written into it, and builders of standard MIDI files.
#include <gtest/gtest.h>

#include <string>

#include "core/Log.h"
#include "platform/host/Host.h"
#include "tests/platform_sound/SoundTestUtil.h"

class MediaSoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        soundtest::ResetSharedState();
        HostClearRecordedMessageBoxes();
        m_Dir = soundtest::TempFolder(
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        TraceLogStarted = 0;
        SetTraceLog(1, P("trace.txt").c_str());
        ASSERT_TRUE(CreateReportLog(P("report.txt").c_str()));
    }

    std::string P(const std::string& name) const { return soundtest::ProjectPath(m_Dir / name); }
    std::string Trace() const { return Text("trace.txt"); }
    std::string Report() const { return Text("report.txt"); }
    std::string Text(const std::string& name) const
    {
        const soundtest::Bytes b = soundtest::ReadFile(m_Dir / name);
        return std::string(b.begin(), b.end());
    }

    std::filesystem::path m_Dir;
};

namespace soundtest {

inline Bytes Smf(uint16_t format, uint16_t declaredTracks, uint16_t division,
                 const std::vector<Bytes>& tracks)
{
    Bytes b;
    PutText(b, "MThd");
    PutBe32(b, 6);
    PutBe16(b, format);
    PutBe16(b, declaredTracks);
    PutBe16(b, division);
    for (const Bytes& t : tracks) {
        PutText(b, "MTrk");
        PutBe32(b, static_cast<uint32_t>(t.size()));
        Append(b, t);
    }
    return b;
}

// The image the reader makes: header with the division, then the events.
inline Bytes Image(uint16_t division, const Bytes& events)
{
    Bytes b;
    PutText(b, "MThd");
    PutBe32(b, 6);
    PutBe16(b, 0);
    PutBe16(b, 1);
    PutBe16(b, division);
    PutText(b, "MTrk");
    PutBe32(b, static_cast<uint32_t>(events.size()));
    Append(b, events);
    return b;
}

}  // namespace soundtest
