// The window class's geometry and command guard, and the file choosers' care of the 8-bit
// display palette.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "DialogTestSupport.h"
#include "media/graphics/ColorPalette.h"
#include "media/graphics/GraphicsState.h"
#include "platform/win/WinMessage.h"
#include "shell/FileDialogs.h"
#include "shell/cWindow.h"
#include "tests/media_graphics/GraphicsFixture.h"

namespace {

// Counts the commands it serves; a command can send further messages to the window while it
// is being served.
class cCountingWindow : public cWindow {
public:
    void OnCommand(WPARAM wParam, LPARAM) override
    {
        m_vServed.push_back(static_cast<int>(LOWORD(wParam)));
        if (LOWORD(wParam) == 1) {
            OnMessage(nullptr, WM_PAINT, 0, 0);
            OnMessage(nullptr, WM_COMMAND, 2, 0);   // nested: refused
        }
    }
    std::vector<int> m_vServed;
};

TEST(WindowGeometry, ClientSizeFromAnyNumberKeepsTheOuterSizeComputable)
{
    // A client size read from a file may be anything; the frame is added to it.
    struct Case {
        int32_t nWidth, nHeight;
        int32_t nWantW, nWantH;
    };
    const Case cases[] = {
        {640, 480, 640, 480},
        {INT32_MAX, INT32_MAX - 1, 32767, 32767},
        {INT32_MIN, -5, 0, 0},
    };
    for (const Case& c : cases) {
        cWindow window;
        window.SetWindowGeometry(640, 480, 100, 100, 640, 480, WS_CAPTION | WS_THICKFRAME, 0, 0, 0, 0, 0);
        const int32_t frameW = window.m_nOuterW - window.m_nClientW, frameH = window.m_nOuterH - window.m_nClientH;
        window.SetClientSize(c.nWidth, c.nHeight);
        EXPECT_EQ(window.m_nClientW, c.nWantW) << c.nWidth;
        EXPECT_EQ(window.m_nClientH, c.nWantH) << c.nHeight;
        EXPECT_EQ(window.m_nOuterW, c.nWantW + frameW);
        EXPECT_EQ(window.m_nOuterH, c.nWantH + frameH);
    }
}

TEST(WindowCommandGuard, OnlyACommandInsideACommandIsRefused)
{
    ResetDialogHost();
    cCountingWindow window;
    // Messages other than commands, before and between commands, never block the next command.
    window.OnMessage(nullptr, WM_PAINT, 0, 0);
    window.OnMessage(nullptr, WM_COMMAND, 1, 0);
    window.OnMessage(nullptr, WM_MOVE, 0, 0);
    window.OnMessage(nullptr, WM_COMMAND, 3, 0);
    EXPECT_EQ(window.m_vServed, (std::vector<int>{1, 3}));
    EXPECT_EQ(window.m_bInCommand, 0);
}

class ChooserPalette : public GraphicsFixture {
protected:
    void SetUp() override
    {
        GraphicsFixture::SetUp();
        ResetDialogHost();
        m_Folder.MakeFolder("user_data/rpl4");
        m_Folder.WriteFile("user_data/rpl4/old.rpl4_000", "old");
    }
    // An 8-bit full-screen DirectDraw display whose working palette has a coloured entry 0.
    void StartPaletteDisplay()
    {
        ASSERT_TRUE(StartDD(8, 0));
        ASSERT_NE(lpDDPalette, nullptr);
        for (int i = 0; i < 256; ++i)
            ColorPaletteWork[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, 0};
        ColorPaletteWork[0] = PALETTEENTRY{10, 20, 30, 0};
        lpDDPalette->SetEntries(0, 0, 256, ColorPaletteWork);
    }
    PALETTEENTRY DisplayEntry0() const
    {
        PALETTEENTRY entry{};
        lpDDPalette->GetEntries(0, 0, 1, &entry);
        return entry;
    }
    cScratchFolder m_Folder;
};

const char kReplayFilter[] = "ReplayFile ( *.rpl4_* )\0*.rpl4_*\0\0";

TEST_F(ChooserPalette, TheWorkingPaletteComesBackWhenAChooserEndsHoweverItEnds)
{
    StartPaletteDisplay();
    struct Case {
        const char* name;
        bool bSave;
        bool bChoose;
    };
    const Case cases[] = {
        {"open, cancelled", false, false},
        {"open, chosen", false, true},
        {"save, cancelled", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.bChoose) Queue(DialogActionKind::ChooseFile, 0, "user_data\\rpl4\\old.rpl4_000");
        else Queue(DialogActionKind::Cancel);
        char szPath[260];
        const bool chosen = c.bSave ? SaveFileDialog(nullptr, szPath, "user_data\\rpl4", "t", kReplayFilter, "rpl4_*")
                                    : OpenFileDialog(nullptr, szPath, sizeof szPath, "user_data\\rpl4", "t",
                                                     kReplayFilter, "rpl4_*", 0, nullptr);
        EXPECT_EQ(chosen, c.bChoose);
        const PALETTEENTRY entry = DisplayEntry0();
        EXPECT_EQ(entry.peRed, 10);
        EXPECT_EQ(entry.peGreen, 20);
        EXPECT_EQ(entry.peBlue, 30);
    }
}

}  // namespace
