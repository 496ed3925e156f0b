#include "shell/cDialog.h"

#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "platform/win/WinKeyboard.h"
#include "platform/win/WinMessage.h"
#include "shell/WindowList.h"

cDialog::cDialog(uint16_t nResourceId, cWindow* lpOwner, int32_t bModal, cWindowList* lpList)
{
    m_bModal = bModal;
    SetUpWindow(nResourceId, lpOwner ? lpOwner->m_hWnd : nullptr, lpList);
}

cDialog::~cDialog()
{
    if (m_hWnd && IsWindow(m_hWnd)) EndDlg(0);
    if (m_lpWindowList && !m_lpWindowList->RemoveWindow(this)) ErrorBoxF("ウインドウの破棄に失敗！");
    m_lpWindowList = nullptr;   // the entry is gone; the cWindow part has nothing left to remove
}

void cDialog::ReportMissingControl(uint16_t nId)
{
    DebugErrorBoxF("コントロールID 【%u】 が見つかりません！", static_cast<unsigned>(nId));
    PostCloseRequest();
}

INT_PTR cDialog::DoModal(int32_t nOptions)
{
    if (m_hWnd && IsWindow(m_hWnd)) return 0;
    EndDlg(0);
    m_bModeless = 0;
    m_nModalOptions = nOptions;
    if (m_lpWindowList && (nOptions & 2)) m_lpWindowList->ShowControls(0);
    if (m_lpWindowList && (nOptions & 4)) m_lpWindowList->EnableControls(0);
    const INT_PTR code = DialogBoxParamA(m_hInstance, m_nResourceId, m_hOwner, m_lpDlgProc,
                                         reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    m_bSubclassed = 0;
    if (m_lpWindowList && (nOptions & 2)) m_lpWindowList->ShowControls(1);
    if (m_lpWindowList && (nOptions & 4)) m_lpWindowList->EnableControls(1);
    return code;
}

void cDialog::EndDlg(INT_PTR nCode)
{
    m_nEndCode = nCode;
    m_vControls.clear();
    if (!m_hWnd || !IsWindow(m_hWnd)) return;
    if (m_bModeless) DestroyWindow(m_hWnd);
    else EndDialog(m_hWnd, nCode);
}

void cDialog::DataToControls()
{
    for (cControl* c : m_vControls) c->ToControl();
}

void cDialog::DataFromControls()
{
    for (cControl* c : m_vControls) c->FromControl();
}

LRESULT cDialog::StaticDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* dialog = static_cast<cDialog*>(GetPropA(hWnd, "DLG_CLASS"));
    if (!dialog || !dialog->m_lpPrevProc) return 0;
    WNDPROC previous = dialog->m_lpPrevProc;
    if (message == WM_DESTROY) {
        // The window goes: its procedure and properties are put back as they were.
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(hWnd, "DLG_CLASS");
        RemovePropA(hWnd, "cHook");
    }
    return CallWindowProcA(previous, hWnd, message, wParam, lParam);
}

void cDialog::OnInitDialog()
{
    m_vControls.clear();
    if (m_bModeless && m_lpWindowList) m_lpWindowList->AddWindow(this);
    if (!m_bSubclassed) {
        SetPropA(m_hWnd, "DLG_CLASS", this);
        m_lpPrevProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&cDialog::StaticDlgProc)));
        m_bSubclassed = 1;
    }
    RECT rc{};
    if (GetWindowRect(m_hWnd, &rc)) {
        m_nCurX = rc.left;
        m_nCurY = rc.top;
        if (m_nClientW <= 0 || m_nClientH <= 0 || m_bClientFromResource) {
            // The resource decides the size: the metrics follow the window as created.
            m_dwStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, -16));
            m_nOuterW = rc.right - rc.left;
            m_nOuterH = rc.bottom - rc.top;
            m_nFrameLeft = m_nFrameRight = GetSystemMetrics(SM_CXDLGFRAME);
            m_nFrameTop = GetSystemMetrics(SM_CYDLGFRAME) + ((m_dwStyle & WS_CAPTION) == WS_CAPTION ? GetSystemMetrics(SM_CYCAPTION) : 0);
            m_nFrameBottom = GetSystemMetrics(SM_CYDLGFRAME);
            m_nClientW = m_nOuterW - m_nFrameLeft - m_nFrameRight;
            m_nClientH = m_nOuterH - m_nFrameTop - m_nFrameBottom;
            m_nClientW = m_nClientW > 0 ? m_nClientW : 0;
            m_nClientH = m_nClientH > 0 ? m_nClientH : 0;
            m_bClientFromResource = 1;
        } else if (!m_bClientFromResource) {
            SetClientSize(m_nClientW, m_nClientH);
        }
    }
    CenterWindow();
    if (!m_Hook.KeyboardHook(m_hWnd, m_bModeless)) ErrorBoxF("KeyboardHookに失敗!");
    GetCursorClientPos(0, 7);
    m_StartCursor = m_Cursor;
}

void cDialog::OnCommand(WPARAM wParam, LPARAM)
{
    const uint16_t id = LOWORD(wParam);
    const uint16_t code = HIWORD(wParam);
    for (cControl* c : m_vControls) {
        if (c->m_nId != id) continue;
        const int32_t kind = c->m_nKind;
        if (kind == kControlAttachedEdit || kind == kControlEdit) {
            if (code == EN_UPDATE) c->OnChange();
            else if (code == EN_KILLFOCUS) c->OnKillFocus();
            else continue;
        } else if (kind == kControlListA) {
            if (code == 1) c->OnChange();
            else continue;
        } else if (kind == kControlListB) {
            if (code == 1) c->OnChange();
            else if (code == 5) c->OnKillFocus();
            else continue;
        } else {
            continue;
        }
        break;   // only the first control that takes the notification
    }
    for (cControl* c : m_vControls) {
        if (c->m_nKind != kControlListB) continue;
        if (c->m_hWnd) SendMessage(c->m_hWnd, WM_SETREDRAW, 0, 0);
        c->OnRedraw();
    }
}

void cDialog::OnRefresh()
{
    for (cControl* c : m_vControls)
        if (c->m_nKind == kControlListA || c->m_nKind == kControlListB) c->OnListRefresh();
}

LRESULT cDialog::OnMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) m_hWnd = hWnd;
    const LRESULT handled = cWindow::OnMessage(hWnd, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        if (m_lpWindowList && (m_nModalOptions & 2)) m_lpWindowList->ShowControls(1);
        if (m_lpWindowList && (m_nModalOptions & 4)) m_lpWindowList->EnableControls(1);
        break;
    case WM_NOTIFY:
        for (cControl* c : m_vControls)
            if (c->OnNotify(static_cast<int32_t>(wParam), reinterpret_cast<void*>(lParam))) break;
        break;
    case WM_KEYDOWN:
        if (!m_bModeless) {
            const int32_t ctrl = (GetAsyncKeyState(VK_CONTROL) & 0x8000) ? 1 : 0;
            for (cControl* c : m_vControls) c->OnKey(static_cast<int32_t>(wParam), lParam, ctrl);
        }
        break;
    case WM_INITDIALOG:
        OnInitDialog();
        break;
    case kHookedKeyMessage:
        SendMessage(hWnd, WM_KEYDOWN, wParam, lParam);
        break;
    default:
        break;
    }
    return handled;
}

LRESULT cDialog::SharedDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT handled = OnMessage(hWnd, message, wParam, lParam);
    if (message == WM_DESTROY) return 1;
    if (message == WM_CLOSE) {
        EndDlg(0);
        return 1;
    }
    return handled ? 1 : 0;
}
