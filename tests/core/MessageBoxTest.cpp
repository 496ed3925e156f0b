#include <string>
#include <vector>

#include "CoreTestSupport.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "platform/host/Host.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinMessageBox.h"

namespace {

struct FullScreenCall {
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<FullScreenCall> FullScreenCalls;
bool FullScreenUp = false;

int RecordFullScreenBox(const char* text, const char* caption, UINT type)
{
    FullScreenCalls.push_back({text, caption, type});
    return 1;
}

bool IsUp()
{
    return FullScreenUp;
}

class MessageBoxTest : public CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        FullScreenCalls.clear();
        FullScreenUp = false;
        SetFullScreenBoxHooks({RecordFullScreenBox, IsUp});
    }
    void TearDown() override
    {
        SetFullScreenBoxHooks({});
        CoreTest::TearDown();
    }
};

TEST_F(MessageBoxTest, SystemBoxUnlessTheGraphicsRunFullScreen)
{
    EXPECT_EQ(ErrorBoxF("%s 読み込み失敗！", "bmp\\a.bmp"), IDOK);
    FullScreenUp = true;
    EXPECT_EQ(ErrorBox("full"), 1);
    FullScreenUp = false;
    HostQueueMessageBoxAnswer(IDNO);
    EXPECT_EQ(ShowMessageBox("q", "c", MB_YESNO | MB_ICONQUESTION), IDNO);

    auto boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "bmp\\a.bmp 読み込み失敗！");
    EXPECT_EQ(boxes[0].caption, "エラー");
    EXPECT_EQ(boxes[0].type, MB_OK);
    EXPECT_EQ(boxes[1].type, MB_YESNO | MB_ICONQUESTION);
    ASSERT_EQ(FullScreenCalls.size(), 1u);
    EXPECT_EQ(FullScreenCalls[0].text, "full");
    EXPECT_EQ(FullScreenCalls[0].caption, "エラー");
    EXPECT_EQ(FullScreenCalls[0].type, MB_OK);
}

TEST_F(MessageBoxTest, DebugBoxesOnlyWhileTheTraceLogIsOn)
{
    EXPECT_EQ(DebugErrorBoxF("lock %d", 1), 0);
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());
    SetTraceLog(1, "EC_Game.txt");
    EXPECT_EQ(DebugErrorBoxF("lock %d", 2), IDOK);
    ASSERT_EQ(HostRecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(HostRecordedMessageBoxes()[0].text, "lock 2");
}

TEST_F(MessageBoxTest, OutOfMemoryShowsTheBoxThenPostsOneCloseRequest)
{
    ReportOutOfMemory();
    auto boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "メモリが不足しています！");
    EXPECT_EQ(TakeCloseRequests(), 1);
}

}  // namespace
