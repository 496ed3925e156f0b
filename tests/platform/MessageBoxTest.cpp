#include <gtest/gtest.h>

#include <iterator>

#include "platform/host/Host.h"
#include "platform/win/WinMessageBox.h"

namespace {

class HeadlessBoxes : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostSelect(HostKind::Headless);
        HostClearRecordedMessageBoxes();
    }
};

TEST_F(HeadlessBoxes, UnansweredBoxGetsItsDefaultButton)
{
    struct Case {
        UINT type;
        int answer;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_YESNO | MB_ICONQUESTION, IDYES},
        {MB_YESNOCANCEL, IDYES},
        // A box that names its default button is answered with it.
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_OKCANCEL | MB_DEFBUTTON2 | MB_ICONWARNING, IDCANCEL},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        // A default beyond the style's buttons falls back to the first.
        {MB_YESNO | MB_DEFBUTTON3, IDYES},
        {MB_OK | MB_DEFBUTTON2, IDOK},
    };
    for (const auto& c : cases) EXPECT_EQ(MessageBoxA(nullptr, "t", "c", c.type), c.answer) << std::hex << c.type;
    EXPECT_EQ(HostRecordedMessageBoxes().size(), std::size(cases));
}

TEST_F(HeadlessBoxes, QueuedAnswersAreUsedInOrderAndTextsAreRecordedBothWays)
{
    HostQueueMessageBoxAnswer(IDNO);
    HostQueueMessageBoxAnswer(IDCANCEL);
    // "エラー" and "表示" in code page 932.
    const char caption[] = "\x83\x47\x83\x89\x81\x5B";
    const char text[] = "\x95\x5C\x8E\xA6?";
    EXPECT_EQ(MessageBoxA(nullptr, text, caption, MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "b", "c", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "c", "c", MB_OKCANCEL), IDOK);
    auto boxes = HostRecordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].caption, caption);
    EXPECT_EQ(boxes[0].textUtf8, "表示?");
    EXPECT_EQ(boxes[0].captionUtf8, "エラー");
    EXPECT_EQ(boxes[0].type, MB_YESNO);
    EXPECT_EQ(boxes[0].answer, IDNO);
    EXPECT_EQ(boxes[2].answer, IDOK);
    HostClearRecordedMessageBoxes();
    EXPECT_TRUE(HostRecordedMessageBoxes().empty());
}

}  // namespace
