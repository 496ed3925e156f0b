#include "platform/graphics/DialogGraphics.h"

#include <cstring>
#include <mutex>

#include "platform/graphics/GraphicsControl.h"
#include "platform/graphics/WinFont.h"
#include "platform/host/Host.h"
#include "platform/win/HostDialog.h"

namespace {

std::mutex g_Lock;
std::vector<uint32_t> g_GameFrame;   // the game's own last picture, without dialogs
int32_t g_nGameWidth = 0, g_nGameHeight = 0;
uint64_t g_nDialogFrameCount = 0;    // the presented-frame count right after our own present

bool RenderDialogText(const char* text, int32_t count, int32_t pixelHeight, DIALOGTEXTMASK* out)
{
    cTextRasterizer* rasterizer = GetTextRasterizer();
    if (!rasterizer || !out) return false;
    TEXTFONTSPEC spec{};
    // The dialogs' face, "ＭＳ Ｐゴシック", in code page 932; the face table maps it to the
    // proportional Japanese gothic.
    const std::string face = Utf8ToCp932("ＭＳ Ｐゴシック");
    std::strncpy(spec.szFace, face.c_str(), sizeof spec.szFace - 1);
    spec.nHeight = -pixelHeight;
    spec.nWeight = 400;
    spec.nCharSet = 128;
    TEXTMASK mask;
    if (!rasterizer->RenderLine(spec, text, count, &mask)) return false;
    out->nWidth = mask.nWidth;
    out->nHeight = mask.nHeight;
    out->vInk = std::move(mask.vCoverage);
    return true;
}

bool DialogBackground(std::vector<uint32_t>* pixels, int32_t* width, int32_t* height)
{
    std::lock_guard<std::mutex> lock(g_Lock);
    // A frame the game presented after our own last one is the new picture under the dialogs.
    if (PresentedFrameCount() != g_nDialogFrameCount) {
        PresentedFrame frame = LastPresentedFrame();
        g_GameFrame = std::move(frame.vPixels);
        g_nGameWidth = frame.nWidth;
        g_nGameHeight = frame.nHeight;
        g_nDialogFrameCount = PresentedFrameCount();
    }
    if (g_GameFrame.empty()) return false;
    *pixels = g_GameFrame;
    *width = g_nGameWidth;
    *height = g_nGameHeight;
    return true;
}

void PresentDialogScreen(const uint32_t* pixels, int32_t width, int32_t height)
{
    {
        std::lock_guard<std::mutex> lock(g_Lock);
        if (PresentedFrameCount() != g_nDialogFrameCount) {
            PresentedFrame frame = LastPresentedFrame();
            g_GameFrame = std::move(frame.vPixels);
            g_nGameWidth = frame.nWidth;
            g_nGameHeight = frame.nHeight;
        }
    }
    PresentFrameToHost(pixels, width, height, width);
    std::lock_guard<std::mutex> lock(g_Lock);
    g_nDialogFrameCount = PresentedFrameCount();
}

}  // namespace

bool WriteDialogScreenPng(const std::vector<uint32_t>& pixels, const std::string& hostPath)
{
    if (pixels.size() != static_cast<size_t>(kDialogScreenWidth) * kDialogScreenHeight) return false;
    PresentedFrame frame;
    frame.nWidth = kDialogScreenWidth;
    frame.nHeight = kDialogScreenHeight;
    frame.vPixels = pixels;
    return WriteFramePng(frame, hostPath);
}

bool InstallDialogGraphics()
{
    const bool fonts = InstallFontRasterizer();
    DIALOGHOSTHOOKS hooks;
    hooks.renderText = RenderDialogText;
    hooks.background = DialogBackground;
    hooks.present = PresentDialogScreen;
    SetDialogHostHooks(hooks);
    SetDialogSnapshotWriter(WriteDialogScreenPng);
    return fonts;
}
