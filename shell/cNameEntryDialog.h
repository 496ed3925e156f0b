#pragma once
// The ranking-name entry dialog: a name of at most three characters (a double-byte character
// counting one), written straight into the text the dialog is bound to when OK is pressed.
#include <memory>
#include <string>
#include <vector>

#include "shell/cDialog.h"

class cNameEntryDialog : public cDialog {
public:
    // lpBound: the text edited (null: nothing is edited). In window mode the dialog sits at the
    // owner's current position + (240, 220), in full screen at (240, 220).
    cNameEntryDialog(uint16_t nResourceId, cWindow* lpOwner, int32_t bModal, cWindowList* lpList,
                     std::string* lpBound, int32_t bEnglish, int32_t bWindowMode);
    ~cNameEntryDialog() override;

    void OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog() override;

    static INT_PTR StaticProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<std::unique_ptr<cEditBox>> m_vEditBoxes;
    int32_t m_bEnglish = 0;

private:
    static cNameEntryDialog* s_lpTarget;
};

// Which text the dialog edits: the option player name while the options are open (title
// choice 5), else the ranking name of the stage-play scene when one exists, else none.
std::string* NameEntryTarget(int32_t nTitleChoice, std::string* lpOptionName, std::string* lpStageRankingName);
