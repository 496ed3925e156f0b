// The SDL host's main window: one real window whose events become messages of the program's
// main window (keys, close, focus) on the user-interface thread, and in which the presented
// frames are shown, 640 x 480 scaled with 4:3 kept.
#include <SDL.h>

#include <string>

#include "platform/graphics/GraphicsControl.h"
#include "platform/host/Host.h"
#include "platform/win/HostDialog.h"
#include "platform/win/HostInput.h"
#include "platform/win/WinKernel.h"
#include "platform/win/WinMessage.h"

namespace {

SDL_Window* HostWindow = nullptr;
std::string ShownCaption;

void PumpHostEvents()
{
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (HostHandleSdlJoystickEvent(event)) continue;
        // While a dialog is open it takes the keys, text input and clicks.
        if (HostHandleSdlDialogEvent(event)) continue;
        HWND target = HostKeyMessageWindow();
        switch (event.type) {
        case SDL_QUIT:
            if (target != nullptr) PostMessage(target, WM_CLOSE, 0, 0);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const bool down = event.type == SDL_KEYDOWN;
            const BYTE key = HostKeyEvent(event.key.keysym.scancode, down);
            if (key != 0 && target != nullptr) PostMessage(target, down ? WM_KEYDOWN : WM_KEYUP, key, 0);
            break;
        }
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && target != nullptr)
                PostMessage(target, WM_ACTIVATEAPP, 1, 0);
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                HostReleaseAllKeys();
                if (target != nullptr) PostMessage(target, WM_ACTIVATEAPP, 0, 0);
            }
            break;
        default:
            break;
        }
    }
    // The caption follows the main window's text.
    if (HWND target = HostKeyMessageWindow()) {
        char caption[512] = {};
        GetWindowText(target, caption, sizeof(caption));
        if (ShownCaption != caption) {
            ShownCaption = caption;
            SDL_SetWindowTitle(HostWindow, Cp932ToUtf8(caption).c_str());
        }
    }
    ShowPendingFrame();
}

}  // namespace

bool HostOpenSdlWindow()
{
    if (IsHeadless() || HostWindow != nullptr) return HostWindow != nullptr;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) != 0) return false;
    HostWindow = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, SDL_WINDOW_RESIZABLE);
    if (HostWindow == nullptr) return false;
    SetPresentationWindow(HostWindow);
    KernelSetEventPump(PumpHostEvents);
    return true;
}

void HostCloseSdlWindow()
{
    if (HostWindow == nullptr) return;
    KernelSetEventPump(nullptr);
    SetPresentationWindow(nullptr);
    SDL_DestroyWindow(HostWindow);
    HostWindow = nullptr;
}
