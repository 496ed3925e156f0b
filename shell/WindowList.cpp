#include "shell/WindowList.h"

#include <algorithm>

#include "platform/graphics/Gdi.h"
#include "platform/win/WinMessage.h"
#include "shell/cControl.h"
#include "shell/cWindow.h"

cWindowList WindowList;

namespace {
constexpr int kShowHide = 0;
constexpr int kShowShow = 5;
}  // namespace

void cWindowList::AddWindow(cWindow* lpWindow)
{
    if (lpWindow && !HasWindow(lpWindow)) m_lWindows.push_back(lpWindow);
}

bool cWindowList::RemoveWindow(cWindow* lpWindow)
{
    auto it = std::find(m_lWindows.begin(), m_lWindows.end(), lpWindow);
    if (it == m_lWindows.end()) return false;
    m_lWindows.erase(it);
    return true;
}

bool cWindowList::HasWindow(const cWindow* lpWindow) const
{
    return std::find(m_lWindows.begin(), m_lWindows.end(), lpWindow) != m_lWindows.end();
}

void cWindowList::AddControl(cControl* lpControl)
{
    if (lpControl && std::find(m_lControls.begin(), m_lControls.end(), lpControl) == m_lControls.end())
        m_lControls.push_back(lpControl);
}

void cWindowList::RemoveControl(cControl* lpControl) { m_lControls.remove(lpControl); }

void cWindowList::ShowControls(int bShow)
{
    for (cWindow* w : m_lWindows)
        if (w->m_hWnd && IsWindow(w->m_hWnd)) ShowWindow(w->m_hWnd, bShow ? kShowShow : kShowHide);
    for (cControl* c : m_lControls)
        if (c->m_hWnd && IsWindow(c->m_hWnd)) ShowWindow(c->m_hWnd, bShow ? kShowShow : kShowHide);
}

void cWindowList::EnableControls(int bEnable)
{
    for (cWindow* w : m_lWindows)
        if (w->m_hWnd && IsWindow(w->m_hWnd)) EnableWindow(w->m_hWnd, bEnable);
    for (cControl* c : m_lControls)
        if (c->m_hWnd && IsWindow(c->m_hWnd)) EnableWindow(c->m_hWnd, bEnable);
}
