#pragma once
// The start dialog: the player picks the drawing back end (Direct3D or DirectDraw), may tick the
// box that skips the dialog from then on, and starts (end code 1) or stops (0) the game.
#include <memory>
#include <string>
#include <vector>

#include "shell/cDialog.h"

class cFieldListRecord;

// What the dialog edits and stores: the two ints of the start-dialog record (drawing mode 1
// Direct3D / 0 DirectDraw, do-not-show-again flag) and the record written to "user_data\Boot.dat".
struct STARTDIALOGBINDING {
    int32_t* lpDrawingMode = nullptr;
    int32_t* lpNoAskAgain = nullptr;
    cFieldListRecord* lpRecord = nullptr;
};

class cStartDialog : public cDialog {
public:
    // The owner's current position places the dialog over the middle of its 640 x 480 area.
    // gameTitle becomes the caption; bEnglish replaces the Japanese texts.
    cStartDialog(uint16_t nResourceId, cWindow* lpOwner, int32_t bModal, cWindowList* lpList,
                 const STARTDIALOGBINDING& binding, const std::string& strGameTitle, int32_t bEnglish);
    ~cStartDialog() override;

    void OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog() override;

    static INT_PTR StaticProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<std::unique_ptr<cCheckBox>> m_vCheckBoxes;
    std::vector<std::unique_ptr<cRadioButton>> m_vRadioButtons;
    std::vector<std::unique_ptr<cStaticText>> m_vStaticTexts;
    STARTDIALOGBINDING m_Binding;
    std::string m_strGameTitle;
    int32_t m_bEnglish = 0;

private:
    static cStartDialog* s_lpTarget;
};

// Where the start dialog keeps its choice.
constexpr const char* kBootFile = "user_data\\Boot.dat";
