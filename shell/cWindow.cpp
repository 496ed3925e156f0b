#include "shell/cWindow.h"

#include <algorithm>
#include <iterator>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "platform/graphics/Gdi.h"
#include "platform/win/WinKeyboard.h"
#include "platform/win/WinMessage.h"
#include "shell/WindowList.h"

namespace {

constexpr int kVkLButton = 0x01;
constexpr int kVkRButton = 0x02;
constexpr int32_t kToolBarHeight = 28;
constexpr int32_t kStatusBarHeight = 20;
// Window sizes travel in 16-bit halves of message parameters; nothing larger is a size.
constexpr int32_t kMaxWindowExtent = 32767;

// Mouse-button edges are game-wide: one latch per button, whoever asks.
int32_t g_bLeftLatch = 0, g_bRightLatch = 0;
int32_t g_bLeftWasDown = 0, g_bRightWasDown = 0;

struct MessageName {
    UINT nMessage;
    const char* lpName;
};

// The messages this program's windows meet; others are logged by number.
constexpr MessageName kMessageNames[] = {
    {0x0000, "WM_NULL"},          {0x0001, "WM_CREATE"},        {0x0002, "WM_DESTROY"},
    {0x0003, "WM_MOVE"},          {0x0005, "WM_SIZE"},          {0x0006, "WM_ACTIVATE"},
    {0x0007, "WM_SETFOCUS"},      {0x0008, "WM_KILLFOCUS"},     {0x000A, "WM_ENABLE"},
    {0x000B, "WM_SETREDRAW"},     {0x000C, "WM_SETTEXT"},       {0x000D, "WM_GETTEXT"},
    {0x000E, "WM_GETTEXTLENGTH"}, {0x000F, "WM_PAINT"},         {0x0010, "WM_CLOSE"},
    {0x0012, "WM_QUIT"},          {0x0014, "WM_ERASEBKGND"},    {0x0018, "WM_SHOWWINDOW"},
    {0x001C, "WM_ACTIVATEAPP"},   {0x0020, "WM_SETCURSOR"},     {0x0021, "WM_MOUSEACTIVATE"},
    {0x0024, "WM_GETMINMAXINFO"}, {0x004A, "WM_COPYDATA"},      {0x004E, "WM_NOTIFY"},
    {0x0081, "WM_NCCREATE"},      {0x0082, "WM_NCDESTROY"},     {0x0083, "WM_NCCALCSIZE"},
    {0x0084, "WM_NCHITTEST"},     {0x0085, "WM_NCPAINT"},       {0x0086, "WM_NCACTIVATE"},
    {0x0100, "WM_KEYDOWN"},       {0x0101, "WM_KEYUP"},         {0x0102, "WM_CHAR"},
    {0x0104, "WM_SYSKEYDOWN"},    {0x0105, "WM_SYSKEYUP"},      {0x0110, "WM_INITDIALOG"},
    {0x0111, "WM_COMMAND"},       {0x0112, "WM_SYSCOMMAND"},    {0x0113, "WM_TIMER"},
    {0x0114, "WM_HSCROLL"},       {0x0115, "WM_VSCROLL"},       {0x0200, "WM_MOUSEMOVE"},
    {0x0201, "WM_LBUTTONDOWN"},   {0x0202, "WM_LBUTTONUP"},     {0x0203, "WM_LBUTTONDBLCLK"},
    {0x0204, "WM_RBUTTONDOWN"},   {0x0205, "WM_RBUTTONUP"},     {0x0206, "WM_RBUTTONDBLCLK"},
    {0x010D, "WM_IME_STARTCOMPOSITION"}, {0x010E, "WM_IME_ENDCOMPOSITION"},
    {0x010F, "WM_IME_COMPOSITION"},      {0x0400, "WM_USER"},   {0x8000, "WM_APP"},
};

}  // namespace

std::string GetMsgName(UINT message)
{
    for (const MessageName& entry : kMessageNames)
        if (entry.nMessage == message) return entry.lpName;
    return std::to_string(message);
}

cWindow::cWindow() = default;

cWindow::~cWindow()
{
    if (m_lpWindowList) m_lpWindowList->RemoveWindow(this);
}

void cWindow::SetUpWindow(uint16_t nResourceId, HWND hOwner, cWindowList* lpList)
{
    m_nResourceId = nResourceId;
    m_hOwner = hOwner;
    m_hInstance = reinterpret_cast<HINSTANCE>(hMainWnd.load());
    if (lpList && lpList != m_lpWindowList) {
        m_lpWindowList = lpList;
        lpList->AddWindow(this);
    }
}

void cWindow::SetWindowGeometry(int32_t nClientW, int32_t nClientH, int32_t nMinW, int32_t nMinH, int32_t nMaxW,
                                int32_t nMaxH, DWORD dwStyle, int32_t bMenu, int32_t nToolBarRows,
                                int32_t nStatusBar, int32_t, int32_t nScrollOptions)
{
    m_dwStyle = dwStyle;
    m_bMenu = bMenu;
    m_nToolBarRows = nToolBarRows;
    m_nStatusBar = nStatusBar;
    m_nScrollOptions = nScrollOptions;
    int32_t extraW = 0, extraH = 0;
    if (nScrollOptions & 2) extraW += GetSystemMetrics(SM_CXVSCROLL);
    if (nScrollOptions & 1) extraH += GetSystemMetrics(SM_CYHSCROLL);
    extraH += nToolBarRows * kToolBarHeight;
    if (nStatusBar == 1 || nStatusBar == 2) extraH += kStatusBarHeight;
    m_nClientW = nClientW + extraW;
    m_nClientH = nClientH + extraH;
    m_nMinClientW = nMinW + extraW;
    m_nMinClientH = nMinH + extraH;
    m_nMaxClientW = nMaxW + extraW;
    m_nMaxClientH = nMaxH + extraH;
    CalcFrameMetrics();
}

void cWindow::CalcFrameMetrics()
{
    m_nFrameLeft = m_nFrameRight = m_nFrameTop = m_nFrameBottom = 0;
    if ((m_dwStyle & WS_CAPTION) == WS_CAPTION) m_nFrameTop += GetSystemMetrics(SM_CYCAPTION);
    if (m_dwStyle & WS_THICKFRAME) {
        m_nFrameLeft += GetSystemMetrics(SM_CXFRAME);
        m_nFrameRight += GetSystemMetrics(SM_CXFRAME);
        m_nFrameTop += GetSystemMetrics(SM_CYFRAME);
        m_nFrameBottom += GetSystemMetrics(SM_CYFRAME);
    } else if (m_dwStyle & WS_DLGFRAME) {
        m_nFrameLeft += GetSystemMetrics(SM_CXDLGFRAME);
        m_nFrameRight += GetSystemMetrics(SM_CXDLGFRAME);
        m_nFrameTop += GetSystemMetrics(SM_CYDLGFRAME);
        m_nFrameBottom += GetSystemMetrics(SM_CYDLGFRAME);
    }
    if (m_bMenu) m_nFrameTop += GetSystemMetrics(SM_CYMENU);
    m_nOuterW = m_nClientW + m_nFrameLeft + m_nFrameRight;
    m_nOuterH = m_nClientH + m_nFrameTop + m_nFrameBottom;
    m_nUsableW = m_nClientW - ((m_nScrollOptions & 2) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    m_nUsableH = m_nClientH - m_nToolBarRows * kToolBarHeight - ((m_nScrollOptions & 1) ? GetSystemMetrics(SM_CYHSCROLL) : 0) -
                 (m_nStatusBar == 1 ? kStatusBarHeight : 0);
}

void cWindow::MoveWindowTo(int32_t x, int32_t y)
{
    m_nCurX = x;
    m_nCurY = y;
    if (!m_hWnd) return;
    RECT rc{};
    GetWindowRect(m_hWnd, &rc);
    const int32_t w = rc.right > rc.left ? rc.right - rc.left : m_nOuterW;
    const int32_t h = rc.bottom > rc.top ? rc.bottom - rc.top : m_nOuterH;
    MoveWindow(m_hWnd, x, y, w, h, 1);
    // The dispatcher's WM_MOVE stores the outer top-left; the position asked for stays current.
    m_nCurX = x;
    m_nCurY = y;
}

void cWindow::SetClientSize(int32_t nWidth, int32_t nHeight)
{
    m_nClientW = std::clamp(nWidth, 0, kMaxWindowExtent);
    m_nClientH = std::clamp(nHeight, 0, kMaxWindowExtent);
    CalcFrameMetrics();
    if (m_hWnd) MoveWindow(m_hWnd, m_nCurX, m_nCurY, m_nOuterW, m_nOuterH, 1);
}

void cWindow::AddWindowStyle(DWORD dwBits)
{
    m_dwStyle |= dwBits;
    SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(m_dwStyle));
    CalcFrameMetrics();
}

void cWindow::RemoveWindowStyle(DWORD dwBits)
{
    m_dwStyle &= ~dwBits;
    SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(m_dwStyle));
    CalcFrameMetrics();
}

void cWindow::CenterOnDesktop()
{
    MoveWindowTo((GetSystemMetrics(SM_CXSCREEN) - m_nOuterW) / 2, (GetSystemMetrics(SM_CYSCREEN) - m_nOuterH) / 2);
}

void cWindow::CenterWindow()
{
    if (m_nRequestedX == kNoRequestedPosition || m_nRequestedY == kNoRequestedPosition) return;
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT rc{};
    int32_t w = m_nOuterW, h = m_nOuterH;
    if (m_hWnd && GetWindowRect(m_hWnd, &rc)) {
        w = rc.right - rc.left;
        h = rc.bottom - rc.top;
    }
    int32_t x = m_nRequestedX, y = m_nRequestedY;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    if (x + w >= work.right) x = work.right - w;
    if (y + h >= work.bottom) y = work.bottom - h;
    m_nRequestedX = x;
    m_nRequestedY = y;
    MoveWindowTo(x, y);
}

void cWindow::FillMinMaxInfo(MINMAXINFO* lpInfo) const
{
    if (!lpInfo) return;
    const int32_t fw = m_nFrameLeft + m_nFrameRight, fh = m_nFrameTop + m_nFrameBottom;
    lpInfo->ptMinTrackSize = POINT{m_nMinClientW + fw, m_nMinClientH + fh};
    lpInfo->ptMaxTrackSize = POINT{m_nMaxClientW + fw, m_nMaxClientH + fh};
}

int32_t cWindow::GetCursorClientPos(int32_t bAlways, int32_t nFlags)
{
    POINT pt{};
    if (!GetCursorPos(&pt)) {
        WriteTraceLogF("GetCursorPos失敗！");
        return 0;
    }
    const int32_t x = pt.x - (m_nCurX + m_nFrameLeft);
    const int32_t y = pt.y - (m_nCurY + m_nFrameTop);
    const bool inside = x >= 0 && y >= 0 && x < m_nClientW && y < m_nClientH;
    if (!inside && !bAlways) return 0;
    m_Cursor.nX = x;
    m_Cursor.nY = y;
    GetMouseButtons(nFlags);
    return 1;
}

void cWindow::GetMouseButtons(int32_t nFlags)
{
    const int32_t left = (GetAsyncKeyState(kVkLButton) & 0x8000) ? 1 : 0;
    const int32_t right = (GetAsyncKeyState(kVkRButton) & 0x8000) ? 1 : 0;
    if (nFlags & 1) {
        m_Cursor.bLeftDown = left;
        m_Cursor.bRightDown = right;
    }
    if (nFlags & 2) {
        m_Cursor.bLeftPressed = left && !g_bLeftLatch;
        m_Cursor.bRightPressed = right && !g_bRightLatch;
        g_bLeftLatch = left;
        g_bRightLatch = right;
    }
    if (nFlags & 4) {
        m_Cursor.bLeftReleased = g_bLeftWasDown && !left;
        m_Cursor.bRightReleased = g_bRightWasDown && !right;
        g_bLeftWasDown = left;
        g_bRightWasDown = right;
    }
}

LRESULT cWindow::OnMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Only a command nested in a command is refused; other messages leave the guard alone, so
    // a command that follows them is served.
    if (message == WM_COMMAND) {
        if (m_bInCommand) return 0;
        m_bInCommand = 1;
    }
    if (m_bMessageLog && message != WM_GETTEXT) {
        WriteTraceLogF("%s | msg:%s | wp:%u(%u,%u) | lp:%d(%d,%d)", m_strName.c_str(), GetMsgName(message).c_str(),
                       static_cast<unsigned>(wParam), HIWORD(wParam), LOWORD(wParam), static_cast<int>(lParam),
                       static_cast<int>(static_cast<int16_t>(HIWORD(static_cast<uintptr_t>(lParam)))),
                       static_cast<int>(static_cast<int16_t>(LOWORD(static_cast<uintptr_t>(lParam)))));
    }
    GetCursorClientPos(0, 7);
    switch (message) {
    case WM_DESTROY:
        m_hWnd = nullptr;
        return 1;
    case WM_MOVE: {
        RECT rc{};
        if (GetWindowRect(hWnd, &rc)) {
            m_nCurX = rc.left;
            m_nCurY = rc.top;
        }
        return 1;
    }
    case WM_SIZE:
        CalcFrameMetrics();
        if (m_hSizeChild) SendMessage(m_hSizeChild, WM_SIZE, wParam, lParam);
        if (m_hStatusBar) SendMessage(m_hStatusBar, WM_SIZE, wParam, lParam);
        return 1;
    case WM_PAINT:
        OnPaint();
        return 1;
    case WM_GETMINMAXINFO:
        FillMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return 1;
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        m_bInCommand = 0;
        return 1;
    case WM_MOUSEMOVE: OnMouseMove(); return 1;
    case WM_LBUTTONDOWN: OnLButtonDown(); return 1;
    case 0x0204: OnRButtonDown(); return 1;
    case 0x0203: OnLButtonDblClk(); return 1;
    case 0x0206: OnRButtonDblClk(); return 1;
    case WM_LBUTTONUP: OnLButtonUp(); return 1;
    case WM_RBUTTONUP: OnRButtonUp(); return 1;
    case WM_ACTIVATEAPP: return 1;
    default: return 0;
    }
}
