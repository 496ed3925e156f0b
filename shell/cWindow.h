#pragma once
// The program's window class: geometry from client sizes and frame metrics, the message
// dispatcher that hands messages to virtual handlers, an optional message log, and the cursor
// state. The main window and the dialogs derive from it.
#include <cstdint>
#include <string>

#include "platform/win/WinDialog.h"

class cWindowList;

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

struct CURSORSTATE {
    int32_t nX = 0, nY = 0;
    int32_t bLeftDown = 0, bRightDown = 0;
    int32_t bLeftPressed = 0, bRightPressed = 0;
    int32_t bLeftReleased = 0, bRightReleased = 0;
};

// "No requested position" for CenterWindow.
constexpr int32_t kNoRequestedPosition = -1000;

class cWindow {
public:
    cWindow();
    virtual ~cWindow();
    cWindow(const cWindow&) = delete;
    cWindow& operator=(const cWindow&) = delete;

    // The set-up every window runs: resource id, owner and the list it belongs to; the instance
    // handle comes from the main window. The window registers itself in the list.
    void SetUpWindow(uint16_t nResourceId, HWND hOwner, cWindowList* lpList);

    // Virtual operations in the order of their slots.
    virtual void OnEmptyHook() {}
    virtual void OnCommand(WPARAM, LPARAM) {}
    virtual void OnMouseMove() {}
    virtual void OnLButtonDown() {}
    virtual void OnRButtonDown() {}
    virtual void OnLButtonDblClk() {}
    virtual void OnRButtonDblClk() {}
    virtual void OnLButtonUp() {}
    virtual void OnRButtonUp() {}
    virtual LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
    virtual LRESULT OnMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnRefresh() {}
    virtual void OnPaint() {}

    // Geometry.
    void SetWindowGeometry(int32_t nClientW, int32_t nClientH, int32_t nMinW, int32_t nMinH, int32_t nMaxW,
                           int32_t nMaxH, DWORD dwStyle, int32_t bMenu, int32_t nToolBarRows, int32_t nStatusBar,
                           int32_t nFurther, int32_t nScrollOptions);
    void CalcFrameMetrics();
    void MoveWindowTo(int32_t x, int32_t y);
    void SetClientSize(int32_t nWidth, int32_t nHeight);
    void AddWindowStyle(DWORD dwBits);
    void RemoveWindowStyle(DWORD dwBits);
    void CenterOnDesktop();
    void CenterWindow();
    void SetRequestedPosition(int32_t x, int32_t y)
    {
        m_nRequestedX = x;
        m_nRequestedY = y;
    }
    void FillMinMaxInfo(MINMAXINFO* lpInfo) const;

    int32_t GetCursorClientPos(int32_t bAlways, int32_t nFlags);
    void GetMouseButtons(int32_t nFlags);

    void SetMessageLog(int32_t bOn, const std::string& strName)
    {
        m_bMessageLog = bOn;
        m_strName = strName;
    }

    HWND m_hWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    uint16_t m_nResourceId = 0;
    HWND m_hOwner = nullptr;
    WNDPROC m_lpWndProc = nullptr;
    cWindowList* m_lpWindowList = nullptr;
    RECT m_rcClient{};
    int32_t m_nFrameLeft = 0, m_nFrameRight = 0, m_nFrameTop = 0, m_nFrameBottom = 0;
    int32_t m_nOuterW = 0, m_nOuterH = 0;
    DWORD m_dwStyle = 0;
    int32_t m_nClientW = 0, m_nClientH = 0;
    int32_t m_nMinClientW = 0, m_nMinClientH = 0;
    int32_t m_nMaxClientW = 0, m_nMaxClientH = 0;
    int32_t m_nUsableW = 0, m_nUsableH = 0;
    int32_t m_bMenu = 0, m_nToolBarRows = 0, m_nStatusBar = 0, m_nScrollOptions = 0;
    int32_t m_nCurX = 0, m_nCurY = 0;
    int32_t m_nRequestedX = kNoRequestedPosition, m_nRequestedY = kNoRequestedPosition;
    int32_t m_bInCommand = 0;
    int32_t m_bMessageLog = 0;
    std::string m_strName;
    int32_t m_bCreated = 0;   // dialogs: the modeless flag lives beside it
    CURSORSTATE m_Cursor;
    HWND m_hSizeChild = nullptr;
    HWND m_hStatusBar = nullptr;
};

// Deletes a window object through its virtual destructor and clears the pointer.
template <class T>
void DeleteWindowObject(T** lpObject)
{
    delete *lpObject;
    *lpObject = nullptr;
}

// The name of a window message for the message log; a number the table lacks in decimal.
std::string GetMsgName(UINT message);
