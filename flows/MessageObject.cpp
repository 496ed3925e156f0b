// The message object: a text in its own surface of Off_Msg, an item icon or an extra-life icon
// rising from where it was taken, or the invisible placeholder of a game wait. It is updated and
// drawn by the stage frame, on the game thread and, while the game is stopped, on the pause
// thread.
#include "flows/MessageObject.h"

#include <cstdlib>
#include <vector>

#include "core/CheckedAccess.h"
#include "core/MainWindow.h"
#include "frontend/NumberFormat.h"
#include "frontend/SaveData.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/DisplayReport.h"
#include "media/graphics/Surface.h"
#include "media/text/Font.h"
#include "objects/CharaBase.h"
#include "objects/GraphicSource.h"
#include "objects/ObjectLinks.h"
#include "platform/graphics/Gdi.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"

namespace {

constexpr int32_t kExtraLifeSurface = 49;   // "bmp\Accessory.bmp"

cFont& MessageFont()
{
    return FontTable[1];
}

bool IsShiftJisTrail(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

bool IsShiftJisLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Surfaces go to system memory while less than a fifth of the video memory is free.
int32_t MemoryTypeForNewSurface()
{
    int32_t nFree = 0, nTotal = 0;
    GetVideoMemory(&nFree, &nTotal);
    return nTotal > 0 && static_cast<int64_t>(nFree) * 5 < nTotal ? 1 : 0;
}

}  // namespace

cMessageObject::~cMessageObject()
{
    ReleaseSurface();
}

// A copy shows the same message but owns no surface: the surface stays with the original.
cMessageObject::cMessageObject(const cMessageObject& other)
    : m_Setup(other.m_Setup), m_strSource(other.m_strSource), m_nWidth(other.m_nWidth),
      m_nHeight(other.m_nHeight), m_bRemembered(other.m_bRemembered),
      m_nRememberedX(other.m_nRememberedX), m_nRememberedY(other.m_nRememberedY),
      m_nFramesLeft(other.m_nFramesLeft), m_nRefreshCount(other.m_nRefreshCount),
      m_bOpening(other.m_bOpening), m_dOpening(other.m_dOpening), m_lpSurface(nullptr),
      m_bGone(other.m_bGone)
{
}

cMessageObject& cMessageObject::operator=(const cMessageObject& other)
{
    if (this == &other) return *this;
    DDSURFACEDATA* lpOwn = m_lpSurface;
    m_Setup = other.m_Setup;
    m_strSource = other.m_strSource;
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_bRemembered = other.m_bRemembered;
    m_nRememberedX = other.m_nRememberedX;
    m_nRememberedY = other.m_nRememberedY;
    m_nFramesLeft = other.m_nFramesLeft;
    m_nRefreshCount = other.m_nRefreshCount;
    m_bOpening = other.m_bOpening;
    m_dOpening = other.m_dOpening;
    m_bGone = other.m_bGone;
    m_lpSurface = lpOwn;
    return *this;
}

void cMessageObject::ReleaseSurface()
{
    if (m_lpSurface == nullptr) return;
    DDRemoveSurfaceFromList(Off_Msg, MessageSurfaceDescs, m_lpSurface);
    m_lpSurface = nullptr;
}

void cMessageObject::Setup(const MessageSetup& setup, int32_t bNoNewSurface)
{
    m_Setup = setup;
    m_strSource = setup.strText;
    if (m_Setup.bExpandCodes != 0) ExpandMessageCodes(m_Setup.strText);
    if (m_Setup.nKind == 1) {
        MeasureText(m_Setup.strText, m_nWidth, m_nHeight);
    } else if (m_Setup.nKind == 2 || m_Setup.nKind == 3) {
        m_nWidth = 16;
        m_nHeight = 16;
    } else {
        m_nWidth = 0;
        m_nHeight = 0;
    }
    m_nFramesLeft = m_Setup.nFrames;
    m_bRemembered = 0;
    m_dOpening = 0.0;
    m_bOpening = m_Setup.nTimeMode == 0 && m_Setup.bFlowWait == 0 ? 1 : 0;
    if (m_Setup.nKind != 1) return;
    if (bNoNewSurface == 0) CreateSurface();
    Draw();
}

void cMessageObject::ExpandMessageCodes(std::string& strText)
{
    std::string out;
    out.reserve(strText.size());
    const size_t nLength = strText.size();
    size_t i = 0;
    while (i < nLength) {
        const unsigned char c = static_cast<unsigned char>(strText[i]);
        if (IsShiftJisLead(c) && i + 1 < nLength && IsShiftJisTrail(static_cast<unsigned char>(strText[i + 1]))) {
            out += strText[i];
            out += strText[i + 1];
            i += 2;
            continue;
        }
        if (c != '#') {
            out += strText[i++];
            continue;
        }
        // A code: "#", then digits and C or S, then "_" and width digit, P and Z.
        size_t j = i + 1;
        int64_t nNumber = 0;
        bool bDigits = false, bCommon = false, bStage = false, bFormat = false;
        bool bPlus = false, bZero = false;
        int32_t nWidth = 0;
        while (j < nLength) {
            const char ch = strText[j];
            if (!bFormat) {
                if (ch >= '0' && ch <= '9') {
                    bDigits = true;
                    // Only 1..255 are variables; a longer number stays above that however long.
                    if (nNumber < 1000) nNumber = nNumber * 10 + (ch - '0');
                } else if (ch == 'C' || ch == 'c') {
                    bCommon = true;
                } else if (ch == 'S' || ch == 's') {
                    bStage = true;
                } else if (ch == '_') {
                    bFormat = true;
                } else {
                    break;
                }
            } else {
                if (ch >= '0' && ch <= '9')
                    nWidth = ch - '0';
                else if (ch == 'P' || ch == 'p')
                    bPlus = true;
                else if (ch == 'Z' || ch == 'z')
                    bZero = true;
                else
                    break;
            }
            ++j;
        }
        cPlayState* lpState = PlayState();
        const bool bVariable = bCommon || (bStage && lpState != nullptr);
        if (!bVariable || !bDigits || nNumber < 1 || nNumber > 255) {
            out += '#';
            ++i;
            continue;
        }
        const int32_t nIndex = static_cast<int32_t>(nNumber);
        const int32_t nValue = bCommon ? CheckedAt(g_SaveData.CommonVars, nIndex) : CheckedAt(lpState->m_vStageVar, nIndex);
        std::string digits;
        FormatFixedNumber(digits, nValue, nWidth, bZero ? 1 : 0, bPlus ? 1 : 0);
        out += digits;
        // A dot that ends the code belongs to it.
        i = j < nLength && strText[j] == '.' ? j + 1 : j;
    }
    strText.swap(out);
}

void cMessageObject::MeasureText(const std::string& strText, int32_t& nWidth, int32_t& nHeight)
{
    cFont& font = MessageFont();
    SIZE size{0, 0};
    if (font.m_lpD3DXFont != nullptr) {
        size = GetTextExtent(&font, strText.c_str());
    } else {
        HWND hWnd = hMainWnd.load();
        HDC hDC = GetDC(hWnd);
        size = MeasureTextGdi(&font, hDC, strText.c_str());
        if (hDC != nullptr) ReleaseDC(hWnd, hDC);
    }
    nWidth = static_cast<int32_t>(size.cx) + 2;
    nHeight = static_cast<int32_t>(size.cy) + 2;
}

int32_t cMessageObject::CreateSurface()
{
    ReleaseSurface();
    if (!DDAddSurfaceToList(Off_Msg, MessageSurfaceDescs, m_nWidth, m_nHeight, 1, MemoryTypeForNewSurface(), 0, 0)) {
        // The failed node leaves the list again: the message stays without a surface.
        DDRemoveSurfaceFromList(Off_Msg, MessageSurfaceDescs, &Off_Msg.back());
        PostCloseRequest();
        return 0;
    }
    m_lpSurface = &Off_Msg.back();
    return 1;
}

void cMessageObject::Draw()
{
    if (m_lpSurface == nullptr) return;
    if (m_Setup.bWindow != 0) {
        FontDrawInBox(&MessageFont(), m_lpSurface, 1, 1, 0, 0, m_Setup.strText.c_str(), 0);
    } else {
        DDFillSurface(m_lpSurface, 0);
        FontDraw(&MessageFont(), m_lpSurface, 1, 1, m_Setup.strText.c_str());
    }
}

int32_t cMessageObject::Place(int32_t& x, int32_t& y)
{
    cPlayState* lpState = PlayState();
    const MessageSetup& s = m_Setup;
    // By position mode; object modes measure from the followed object's graphic rectangle.
    const double sx = lpState != nullptr ? lpState->m_ScrollX.m_dPosition : 0.0;
    const double sy = lpState != nullptr ? lpState->m_ScrollY.m_dPosition : 0.0;
    const int32_t tx = static_cast<int32_t>(sx), ty = static_cast<int32_t>(sy);
    const int32_t w = m_nWidth, h = m_nHeight;
    x = 0;
    y = 0;
    const int32_t nMode = s.nPositionMode;
    if (nMode >= 1 && nMode <= 6) {
        const cCharaBase* lpFollowed = FindCharaByKey(s.nFollowKey);
        if (lpFollowed == nullptr) return 0;
        const cCharaBase& o = *lpFollowed;
        const int32_t ox = static_cast<int32_t>(o.m_dX - tx), oy = static_cast<int32_t>(o.m_dY - ty);
        x = ox + o.m_nWidth / 2 - w / 2 - o.m_nOffsetX + s.nOffsetX;
        if (nMode == 1 || nMode == 4)
            y = oy - o.m_nOffsetY - h + s.nOffsetY;
        else if (nMode == 2 || nMode == 5)
            y = oy + o.m_nHeight - o.m_nOffsetY + 1 + s.nOffsetY;
        else
            y = oy + o.m_nHeight / 2 - h / 2 - o.m_nOffsetY + s.nOffsetY;
    } else if (nMode == 7) {
        x = s.nX * 32 + s.nOffsetX;
        y = s.nY * 32 + s.nOffsetY;
    } else if (nMode == 8) {
        const int32_t nOriginX = lpState != nullptr ? lpState->m_ScrollX.m_nBlockOrigin : 0;
        const int32_t nOriginY = lpState != nullptr ? lpState->m_ScrollY.m_nBlockOrigin : 0;
        x = static_cast<int32_t>((static_cast<double>(s.nX) + nOriginX) * 32 + s.nOffsetX - sx);
        y = static_cast<int32_t>((static_cast<double>(s.nY) + nOriginY) * 32 + s.nOffsetY - sy);
    } else {
        x = 320 - w / 2 + s.nOffsetX;
        y = 240 - h / 2 + s.nOffsetY;
    }

    // Fixed on the screen, or carried along with the stage.
    if (nMode != 0 && nMode != 7) {
        if (s.bFixedOnScreen != 0) {
            if (m_bRemembered == 0) {
                m_bRemembered = 1;
                m_nRememberedX = x;
                m_nRememberedY = y;
            }
            x = m_nRememberedX;
            y = m_nRememberedY;
        }
    } else if (s.bFixedOnScreen == 0) {
        if (m_bRemembered == 0) {
            m_bRemembered = 1;
            m_nRememberedX = static_cast<int32_t>(x + sx);
            m_nRememberedY = static_cast<int32_t>(y + sy);
        }
        x = static_cast<int32_t>(m_nRememberedX - sx);
        y = static_cast<int32_t>(m_nRememberedY - sy);
    }

    // Inside the screen, below the status bar.
    if (s.bKeepInside != 0) {
        if (x < 0)
            x = 0;
        else if (x + w > 638)
            x = 640 - w;
        if (y < 20)
            y = 20;
        else if (y + h > 478)
            y = 480 - h;
    }

    return 1;
}

int32_t cMessageObject::Update(DDSURFACEDATA* lpTarget, int32_t bPaused)
{
    cPlayState* lpState = PlayState();
    const MessageSetup& s = m_Setup;

    // Time: only game-stopping messages count down while the game is stopped.
    if (s.nTimeMode == 2 && !(s.bStopsGame == 0 && bPaused != 0)) {
        if (--m_nFramesLeft < 0) {
            ReleaseSurface();
            return 1;
        }
    }

    // Codes refreshed every interval frames.
    if (s.bRefresh != 0 && s.nRefreshInterval != 0 && s.nKind == 1 && s.bExpandCodes != 0 && lpState != nullptr &&
        static_cast<int64_t>(lpState->m_nFrameCount) % s.nRefreshInterval == 0) {
        std::string strNew = m_strSource;
        ExpandMessageCodes(strNew);
        if (strNew != m_Setup.strText) {
            m_Setup.strText = strNew;
            int32_t w = 0, h = 0;
            MeasureText(strNew, w, h);
            if (w != m_nWidth || h != m_nHeight || m_lpSurface == nullptr) {
                m_nWidth = w;
                m_nHeight = h;
                CreateSurface();
            }
            Draw();
        }
    }

    int32_t x = 0, y = 0;
    if (Place(x, y) == 0) {
        // A message that follows an object ends with the object, whatever it shows.
        ReleaseSurface();
        return 1;
    }
    const int32_t w = m_nWidth, h = m_nHeight;

    // Drawing.
    const int32_t nRise = (30 - m_nFramesLeft) >> 2;
    switch (s.nKind) {
    case 1: {
        if (m_lpSurface != nullptr && m_lpSurface->bLost != 0) {
            Draw();
            m_lpSurface->bLost = 0;
        }
        if (s.strText.empty()) break;
        if (m_bOpening != 0) {
            m_dOpening += 1.0;
            if (m_dOpening < 10.0) {
                if (s.bWindow != 0) {
                    const double v = m_dOpening * 0.1;
                    const int32_t ww = static_cast<int32_t>(v * w), wh = static_cast<int32_t>(v * h);
                    FontDrawWindow(&MessageFont(), lpTarget, x + w / 2 - ww / 2, y + h / 2 - wh / 2, ww, wh);
                }
                break;
            }
        }
        if (m_lpSurface != nullptr) DDBlt(lpTarget, x, y, w, h, m_lpSurface, 0, 0, 1);
        break;
    }
    case 2: DrawGraphicIcon(lpTarget, x, y - nRise, s.nIconKind, s.nIconGraphic, s.nIconValue); break;
    case 3: DDBlt(lpTarget, x, y - nRise, 16, 16, &SystemSurfaces[kExtraLifeSurface], 0, 48, 1); break;
    default: break;
    }
    return 0;
}
