#include "shell/cNameEntryDialog.h"

#include "platform/win/WinMessage.h"
#include "shell/DialogResources.h"

cNameEntryDialog* cNameEntryDialog::s_lpTarget = nullptr;

std::string* NameEntryTarget(int32_t nTitleChoice, std::string* lpOptionName, std::string* lpStageRankingName)
{
    if (nTitleChoice == 5) return lpOptionName;
    return lpStageRankingName;
}

cNameEntryDialog::cNameEntryDialog(uint16_t nResourceId, cWindow* lpOwner, int32_t bModal, cWindowList* lpList,
                                   std::string* lpBound, int32_t bEnglish, int32_t bWindowMode)
    : cDialog(nResourceId, lpOwner, bModal, lpList), m_bEnglish(bEnglish)
{
    RegisterProgramDialogs();
    s_lpTarget = this;
    m_lpDlgProc = &cNameEntryDialog::StaticProc;
    SetWindowGeometry(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
    if (bWindowMode && lpOwner) SetRequestedPosition(lpOwner->m_nCurX + 240, lpOwner->m_nCurY + 220);
    else SetRequestedPosition(240, 220);
    SetCursorPos(m_nRequestedX + 80, m_nRequestedY + 65);
    if (lpBound) m_vEditBoxes.push_back(std::make_unique<cEditBox>(MakeEditBoxSetup(1003, lpBound, 3, 1)));
}

cNameEntryDialog::~cNameEntryDialog()
{
    if (m_hWnd && IsWindow(m_hWnd)) EndDlg(0);
    if (s_lpTarget == this) s_lpTarget = nullptr;
}

INT_PTR cNameEntryDialog::StaticProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return s_lpTarget ? s_lpTarget->WindowProc(hWnd, message, wParam, lParam) : 0;
}

LRESULT cNameEntryDialog::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SharedDialogProc(hWnd, message, wParam, lParam);
}

void cNameEntryDialog::OnInitDialog()
{
    cDialog::OnInitDialog();
    for (auto& box : m_vEditBoxes)
        if (box->Attach(this)) AddControl(box.get());
    DataToControls();
    if (!m_vEditBoxes.empty() && m_vEditBoxes.front()->m_hWnd) {
        // Typing replaces the name shown.
        SetFocus(m_vEditBoxes.front()->m_hWnd);
        SendMessage(m_vEditBoxes.front()->m_hWnd, EM_SETSEL, 0, -1);
    }
    if (m_bEnglish) SetDlgItemText(m_hWnd, 1007, "     Name");
    m_bCreated = 1;
}

void cNameEntryDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    cDialog::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
    case 1000:
        DataFromControls();
        EndDlg(1);
        break;
    case 1001:
        EndDlg(0);
        break;
    default:
        break;
    }
}
