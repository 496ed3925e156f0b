#include <string>

#include "CoreTestSupport.h"
#include "core/Log.h"
#include "core/ProgramLogs.h"
#include "platform/host/Host.h"
#include "platform/win/WinMessageBox.h"

namespace {

class LogTest : public CoreTest {};

TEST_F(LogTest, ReportWritesFailBeforeTheLogIsCreated)
{
    EXPECT_FALSE(WriteReportLog("x %d", 1));
    EXPECT_FALSE(WriteReportTrace("y"));
    EXPECT_FALSE(Exists("Report_Game.txt"));
}

TEST_F(LogTest, ProgramLogsStartWithTheVersionLineAndTheSystemReport)
{
    WriteBytes("Report_Game.txt", "left by an earlier run\r\n");
    ASSERT_TRUE(OpenProgramLogs());
    std::string report = ReadBytes("Report_Game.txt");
    const char* lines[] = {"App : ver 751\r\nOS : ", "\r\nCPU : ", "\r\nMem Total : ",
                           "MB\r\nMem Free : ", "MB\r\nVir Total : ", "MB\r\nVir Free : ",
                           "MB\r\nHD Free : "};
    size_t at = 0;
    for (const char* line : lines) {
        size_t found = report.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " in " << report;
        at = found;
    }
    EXPECT_EQ(report.find("App : ver 751\r\n"), 0u) << "the version line comes first";
    EXPECT_EQ(report.substr(report.size() - 4), "MB\r\n");
    EXPECT_EQ(report.find("earlier run"), std::string::npos) << "created afresh";
    // The report path was made absolute; the trace path stays as given and the trace is off.
    EXPECT_EQ(ReportLogPath[0], '\\');
    EXPECT_STREQ(TraceLogPath, "EC_Game.txt");
    EXPECT_EQ(TraceLogEnabled, 0);
}

TEST_F(LogTest, ReportLinesAreAppendedWithCrLfAndTextIsNeverReformatted)
{
    StartReportLog();
    EXPECT_TRUE(WriteReportLog("a %d", 7));
    SetTraceLog(1, "EC_Game.txt");
    EXPECT_TRUE(WriteReportTrace("%s", "100%d"));
    EXPECT_EQ(WriteTraceLog("50%d done"), 0);
    EXPECT_EQ(ReadBytes("Report_Game.txt"), "a 7\r\n100%d\r\n");
    EXPECT_EQ(ReadBytes("EC_Game.txt"), "100%d\r\n50%d done\r\n");
}

TEST_F(LogTest, LongTextsAreWrittenWhole)
{
    StartReportLog();
    std::string longText(6000, 'q');
    EXPECT_TRUE(WriteReportTrace("%s!", longText.c_str()));
    EXPECT_EQ(ReadBytes("Report_Game.txt"), longText + "!\r\n");
}

TEST_F(LogTest, TraceIsOffByDefaultButTraceAndCloseStillCloses)
{
    EXPECT_EQ(WriteTraceLog("never"), 0);
    WriteTraceLogF("never %d", 2);
    TraceAndClose(m_hWindow, "closing %d", 3);
    EXPECT_FALSE(Exists("EC_Game.txt"));
    EXPECT_EQ(TakeCloseRequests(), 1);
}

TEST_F(LogTest, FirstTraceLineOfARunTruncatesLaterLinesAppend)
{
    WriteBytes("EC_Game.txt", "old run\r\n");
    SetTraceLog(1, "EC_Game.txt");
    WriteTraceLogF("one %d", 1);
    EXPECT_EQ(ReadBytes("EC_Game.txt"), "one 1\r\n");
    TraceAndClose(m_hWindow, "two");
    EXPECT_EQ(ReadBytes("EC_Game.txt"), "one 1\r\ntwo\r\n");
    EXPECT_EQ(TakeCloseRequests(), 1);
}

TEST_F(LogTest, FailedFirstTraceOpenStillMarksTheRunStarted)
{
    SetTraceLog(1, "no_such_folder\\EC_Game.txt");
    WriteTraceLog("lost");
    EXPECT_EQ(TraceLogStarted, 1);
    // Later writes only append and never create the file.
    SetTraceLog(1, "EC_Game.txt");
    WriteTraceLog("also lost");
    EXPECT_FALSE(Exists("EC_Game.txt"));
}

TEST_F(LogTest, DeletedReportLogIsNotRecreated)
{
    StartReportLog();
    std::remove("Report_Game.txt");
    EXPECT_FALSE(WriteReportLog("gone"));
    EXPECT_FALSE(WriteReportTrace("gone"));
    EXPECT_FALSE(Exists("Report_Game.txt"));
}

TEST_F(LogTest, FatalBoxIsShownEvenWithoutAReportLog)
{
    StartReportLog();
    EXPECT_TRUE(WriteReportTraceBox("%s の読み込みに失敗…", "data\\System.dat"));
    std::remove("Report_Game.txt");
    EXPECT_FALSE(WriteReportTraceBox("second"));
    auto boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "data\\System.dat の読み込みに失敗…");
    EXPECT_EQ(boxes[0].caption, "エラー");
    EXPECT_EQ(boxes[0].captionUtf8, "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC");
    EXPECT_EQ(boxes[1].text, "second");
    EXPECT_FALSE(Exists("Report_Game.txt"));
}

}  // namespace
