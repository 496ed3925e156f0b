// Message boxes: a real box on the SDL host, a recorded and scripted one on the headless host.
#include "platform/win/WinMessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <vector>

#include "platform/host/Host.h"

namespace {

struct Button {
    int id;
    const char* label;
};

// The buttons of a style, in their order on the box.
std::vector<Button> ButtonsOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "キャンセル"}};
    case MB_YESNOCANCEL: return {{IDYES, "はい"}, {IDNO, "いいえ"}, {IDCANCEL, "キャンセル"}};
    case MB_YESNO: return {{IDYES, "はい"}, {IDNO, "いいえ"}};
    default: return {{IDOK, "OK"}};
    }
}

// The button Enter presses and an unattended box is answered with: the first unless the box
// names another (a default button beyond the style's buttons falls back to the first).
size_t DefaultButton(UINT type, size_t count)
{
    const size_t index = (type & MB_DEFMASK) >> 8;
    return index < count ? index : 0;
}

int ShowSdlBox(const std::string& text, const std::string& caption, UINT type)
{
    std::vector<Button> buttons = ButtonsOf(type);
    std::vector<SDL_MessageBoxButtonData> data;
    const size_t defaultButton = DefaultButton(type, buttons.size());
    // SDL lays buttons out in reverse order on some systems; the ids carry the answer either way.
    for (size_t i = 0; i < buttons.size(); ++i) {
        Uint32 flags = 0;
        if (i == defaultButton) flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        if (buttons[i].id == IDCANCEL || (buttons.size() == 1) ||
            (buttons[i].id == IDNO && (type & MB_TYPEMASK) == MB_YESNO))
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        data.push_back({flags, buttons[i].id, buttons[i].label});
    }
    Uint32 boxFlags = SDL_MESSAGEBOX_INFORMATION;
    UINT icon = type & 0xF0;
    if (icon == MB_ICONERROR) boxFlags = SDL_MESSAGEBOX_ERROR;
    else if (icon == MB_ICONWARNING) boxFlags = SDL_MESSAGEBOX_WARNING;
    SDL_MessageBoxData box = {boxFlags, nullptr, caption.c_str(), text.c_str(),
                              static_cast<int>(data.size()), data.data(), nullptr};
    int pressed = 0;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) {
        std::fprintf(stderr, "message box could not be shown (%s): %s\n", SDL_GetError(),
                     text.c_str());
        return 0;
    }
    return pressed < 0 ? buttons.back().id : pressed;   // closed without a button
}

}  // namespace

int MessageBoxA(HWND, const char* text, const char* caption, UINT type)
{
    std::string textCp932 = text ? text : "";
    std::string captionCp932 = caption ? caption : "";
    std::string textUtf8 = Cp932ToUtf8(textCp932);
    std::string captionUtf8 = Cp932ToUtf8(captionCp932);
    if (!IsHeadless()) return ShowSdlBox(textUtf8, captionUtf8, type);

    const std::vector<Button> buttons = ButtonsOf(type);
    int answer = buttons[DefaultButton(type, buttons.size())].id;
    HostTakeMessageBoxAnswer(&answer);
    HostRecordMessageBox({textCp932, captionCp932, textUtf8, captionUtf8, type, answer});
    return answer;
}
