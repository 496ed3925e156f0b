#pragma once
// The registry of the program's windows and controls: dialogs can hide or disable every entry
// while they run.
#include <list>

class cWindow;
class cControl;

class cWindowList {
public:
    void AddWindow(cWindow* lpWindow);
    // False when the window is not registered.
    bool RemoveWindow(cWindow* lpWindow);
    bool HasWindow(const cWindow* lpWindow) const;
    void AddControl(cControl* lpControl);
    void RemoveControl(cControl* lpControl);
    void ShowControls(int bShow);
    void EnableControls(int bEnable);

    std::list<cWindow*> m_lWindows;
    std::list<cControl*> m_lControls;
};

extern cWindowList WindowList;
