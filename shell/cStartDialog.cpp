#include "shell/cStartDialog.h"

#include "data/FieldListRecord.h"
#include "platform/win/WinMessage.h"
#include "shell/DialogResources.h"

cStartDialog* cStartDialog::s_lpTarget = nullptr;

cStartDialog::cStartDialog(uint16_t nResourceId, cWindow* lpOwner, int32_t bModal, cWindowList* lpList,
                           const STARTDIALOGBINDING& binding, const std::string& strGameTitle, int32_t bEnglish)
    : cDialog(nResourceId, lpOwner, bModal, lpList), m_Binding(binding), m_strGameTitle(strGameTitle), m_bEnglish(bEnglish)
{
    RegisterProgramDialogs();
    s_lpTarget = this;
    m_lpDlgProc = &cStartDialog::StaticProc;
    SetWindowGeometry(0, 0, 100, 100, 640, 480, 0, 0, 0, 0, 0, 0);
    // Over the middle of the owner's 640 x 480 area, measured from its top-left corner.
    const int32_t ownerX = lpOwner ? lpOwner->m_nCurX : 0;
    const int32_t ownerY = lpOwner ? lpOwner->m_nCurY : 0;
    SetRequestedPosition(ownerX + 320 - 187, ownerY + 240 - 136);
    SetCursorPos(static_cast<int>(m_nRequestedX + 181.9), static_cast<int>(m_nRequestedY + 198.9));
    m_vRadioButtons.push_back(std::make_unique<cRadioButton>(1002, binding.lpDrawingMode, 1));
    m_vRadioButtons.push_back(std::make_unique<cRadioButton>(1003, binding.lpDrawingMode, 0));
    m_vCheckBoxes.push_back(std::make_unique<cCheckBox>(1004, binding.lpNoAskAgain));
    m_vStaticTexts.push_back(std::make_unique<cStaticText>(1005));
}

cStartDialog::~cStartDialog()
{
    if (m_hWnd && IsWindow(m_hWnd)) EndDlg(0);
    if (s_lpTarget == this) s_lpTarget = nullptr;
}

INT_PTR cStartDialog::StaticProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return s_lpTarget ? s_lpTarget->WindowProc(hWnd, message, wParam, lParam) : 0;
}

LRESULT cStartDialog::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SharedDialogProc(hWnd, message, wParam, lParam);
}

void cStartDialog::OnInitDialog()
{
    cDialog::OnInitDialog();
    SetWindowText(m_hWnd, m_strGameTitle.c_str());
    for (auto& c : m_vRadioButtons)
        if (c->Attach(this)) AddControl(c.get());
    for (auto& c : m_vCheckBoxes)
        if (c->Attach(this)) AddControl(c.get());
    for (auto& c : m_vStaticTexts)
        if (c->Attach(this)) AddControl(c.get());
    DataToControls();
    if (m_bEnglish) {
        SetDlgItemText(m_hWnd, 1006, "Drawing mode");
        SetDlgItemText(m_hWnd, 1000, "Start");
        SetDlgItemText(m_hWnd, 1001, "Cancel");
        // Each control is looked up among the objects of its own kind.
        if (cStaticText* text = FindDlgControl(m_vStaticTexts, 1005))
            SetWindowText(text->m_hWnd, "Configure the detail settings at \"System.ini\".");
        if (cCheckBox* box = FindDlgControl(m_vCheckBoxes, 1004)) SetWindowText(box->m_hWnd, "Do not ask this dialog again");
    }
    m_bCreated = 1;
}

void cStartDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    cDialog::OnCommand(wParam, lParam);
    switch (LOWORD(wParam)) {
    case 1000:
        DataFromControls();
        // A failed write is not reported: the choice still applies to this run.
        if (m_Binding.lpRecord) m_Binding.lpRecord->SaveToFile(kBootFile);
        EndDlg(1);
        break;
    case 1001:
        EndDlg(0);
        break;
    default:
        break;
    }
}
