#pragma once
// Modal and modeless dialogs from the program's dialog resources. The object sees every message
// of its window (it subclasses it), keeps the list of its control objects, routes control
// notifications to them and moves data between them and the program's variables.
#include <cstdint>
#include <memory>
#include <vector>

#include "shell/cControl.h"
#include "shell/cHook.h"
#include "shell/cWindow.h"

class cDialog : public cWindow {
public:
    cDialog(uint16_t nResourceId, cWindow* lpOwner, int32_t bModal, cWindowList* lpList);
    ~cDialog() override;

    // Runs the dialog modally; 0 at once when its window already exists.
    INT_PTR DoModal(int32_t nOptions);
    void EndDlg(INT_PTR nCode);
    void DataToControls();
    void DataFromControls();
    void AddControl(cControl* lpControl) { m_vControls.push_back(lpControl); }

    // The subclass procedure of every dialog window: serves the object found through the window
    // property "DLG_CLASS".
    static LRESULT StaticDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    void OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    LRESULT OnMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnRefresh() override;
    virtual void OnInitDialog();

    // The ids and windows of the dialog's own controls are found through these.
    template <class T>
    T* FindDlgControl(std::vector<std::unique_ptr<T>>& vControls, uint16_t nId);

    cHook m_Hook;
    std::vector<cControl*> m_vControls;   // in attach order; not owned
    int32_t m_nModalOptions = 0;
    INT_PTR m_nEndCode = 0;
    WNDPROC m_lpPrevProc = nullptr;
    int32_t m_bModal = 1;
    int32_t m_bModeless = 0;
    DLGPROC m_lpDlgProc = nullptr;   // the static procedure of the dialog's class
    int32_t m_bSubclassed = 0;
    int32_t m_bClientFromResource = 0;   // the client size was taken from the resource
    CURSORSTATE m_StartCursor;

protected:
    // The procedure the start and name dialogs share: the dialog handling, then WM_CLOSE ends
    // the dialog with 0.
    LRESULT SharedDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // A missing control reported as the program reports it: a box while the trace log is on,
    // and a close request.
    static void ReportMissingControl(uint16_t nId);
};

template <class T>
T* cDialog::FindDlgControl(std::vector<std::unique_ptr<T>>& vControls, uint16_t nId)
{
    for (auto& control : vControls)
        if (control && control->m_nId == nId) return control.get();
    ReportMissingControl(nId);
    return nullptr;
}

// The message the keyboard hook posts for the keys the dialog manager would keep to itself.
constexpr UINT kHookedKeyMessage = 2024;
