// The headless host's input script: actions keyed by frame number, applied to the key and
// joystick tables as the frames go by.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#include "platform/win/HostInput.h"
#include "platform/win/WinJoystick.h"
#include "platform/win/WinKeyboard.h"

namespace {

enum class ActionKind { KeyDown, KeyUp, JoyAttach, JoyDetach, JoyPosition, JoyButtons };

struct ScriptAction {
    uint32_t frame;
    ActionKind kind;
    uint32_t a;   // key code or joystick number
    uint32_t b;   // x or buttons
    uint32_t c;   // y
};

std::mutex ScriptLock;
std::vector<ScriptAction> Actions;   // sorted by frame, script order kept within a frame
size_t NextAction = 0;
uint32_t CurrentFrame = 0;

bool ParseNumber(const std::string& token, uint32_t* value)
{
    if (token.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(token.c_str(), &end, 0);
    if (errno != 0 || end == token.c_str() || *end != '\0' || v > 0xFFFFFFFFull) return false;
    if (token[0] == '-') return false;
    *value = static_cast<uint32_t>(v);
    return true;
}

bool ParseKey(std::string token, uint32_t* key)
{
    for (auto& ch : token) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    struct Named {
        const char* name;
        int vk;
    };
    static const Named names[] = {
        {"LEFT", VK_LEFT},     {"RIGHT", VK_RIGHT},   {"UP", VK_UP},
        {"DOWN", VK_DOWN},     {"RETURN", VK_RETURN}, {"ENTER", VK_RETURN},
        {"ESCAPE", VK_ESCAPE}, {"ESC", VK_ESCAPE},    {"SPACE", VK_SPACE},
        {"SHIFT", VK_SHIFT},   {"CONTROL", VK_CONTROL}, {"CTRL", VK_CONTROL},
        {"TAB", VK_TAB},       {"BACK", VK_BACK},     {"PAUSE", VK_PAUSE},
    };
    for (const auto& n : names) {
        if (token == n.name) {
            *key = static_cast<uint32_t>(n.vk);
            return true;
        }
    }
    if (token.size() == 1 && std::isalnum(static_cast<unsigned char>(token[0]))) {
        *key = static_cast<unsigned char>(token[0]);
        return true;
    }
    if (token.size() >= 2 && token[0] == 'F' && std::isdigit(static_cast<unsigned char>(token[1]))) {
        uint32_t n = 0;
        if (ParseNumber(token.substr(1), &n) && n >= 1 && n <= 12) {
            *key = static_cast<uint32_t>(VK_F1) + n - 1;
            return true;
        }
        return false;
    }
    uint32_t n = 0;
    if (!ParseNumber(token, &n) || n == 0 || n > 255) return false;
    *key = n;
    return true;
}

bool ParseLine(const std::string& line, ScriptAction* action)
{
    std::istringstream in(line);
    std::string frame, verb;
    if (!(in >> frame >> verb)) return false;
    if (!ParseNumber(frame, &action->frame)) return false;
    std::vector<std::string> rest;
    for (std::string t; in >> t;) rest.push_back(t);
    action->b = action->c = 0;
    if (verb == "down" || verb == "up") {
        action->kind = verb == "down" ? ActionKind::KeyDown : ActionKind::KeyUp;
        return rest.size() == 1 && ParseKey(rest[0], &action->a);
    }
    if (verb != "joy" || rest.size() < 2) return false;
    if (!ParseNumber(rest[0], &action->a) || action->a >= JOYSTICK_MAX_DEVICES) return false;
    if (rest[1] == "attach" && rest.size() == 2) {
        action->kind = ActionKind::JoyAttach;
        return true;
    }
    if (rest[1] == "detach" && rest.size() == 2) {
        action->kind = ActionKind::JoyDetach;
        return true;
    }
    if (rest[1] == "pos" && rest.size() == 4) {
        action->kind = ActionKind::JoyPosition;
        return ParseNumber(rest[2], &action->b) && ParseNumber(rest[3], &action->c) &&
               action->b <= 65535 && action->c <= 65535;
    }
    if (rest[1] == "buttons" && rest.size() == 3) {
        action->kind = ActionKind::JoyButtons;
        return ParseNumber(rest[2], &action->b);
    }
    return false;
}

void Apply(const ScriptAction& action)
{
    switch (action.kind) {
    case ActionKind::KeyDown:
        HostSetKeyDown(static_cast<int>(action.a), true);
        HostPostKeyMessage(static_cast<int>(action.a), true);
        break;
    case ActionKind::KeyUp:
        HostSetKeyDown(static_cast<int>(action.a), false);
        HostPostKeyMessage(static_cast<int>(action.a), false);
        break;
    case ActionKind::JoyAttach: HostJoystickAttach(action.a); break;
    case ActionKind::JoyDetach: HostJoystickDetach(action.a); break;
    case ActionKind::JoyPosition: HostJoystickSetPosition(action.a, action.b, action.c); break;
    case ActionKind::JoyButtons: HostJoystickSetButtons(action.a, action.b); break;
    }
}

// Called with ScriptLock held.
void ApplyCurrentFrame()
{
    while (NextAction < Actions.size() && Actions[NextAction].frame <= CurrentFrame)
        Apply(Actions[NextAction++]);
}

}  // namespace

bool HostLoadInputScript(const std::string& text, std::string* error)
{
    std::vector<ScriptAction> parsed;
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        ScriptAction action{};
        if (!ParseLine(line, &action)) {
            if (error != nullptr)
                *error = "input script line " + std::to_string(lineNumber) + ": " + line;
            return false;
        }
        parsed.push_back(action);
    }
    std::stable_sort(parsed.begin(), parsed.end(),
                     [](const ScriptAction& l, const ScriptAction& r) { return l.frame < r.frame; });
    std::lock_guard<std::mutex> lock(ScriptLock);
    Actions = std::move(parsed);
    NextAction = 0;
    CurrentFrame = 0;
    ApplyCurrentFrame();
    return true;
}

bool HostLoadInputScriptFile(const std::string& hostPath, std::string* error)
{
    std::ifstream file(hostPath, std::ios::binary);
    if (!file) {
        if (error != nullptr) *error = "cannot open input script " + hostPath;
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return HostLoadInputScript(text.str(), error);
}

void HostAdvanceInputFrame()
{
    std::lock_guard<std::mutex> lock(ScriptLock);
    ++CurrentFrame;
    ApplyCurrentFrame();
}

uint32_t HostInputFrame()
{
    std::lock_guard<std::mutex> lock(ScriptLock);
    return CurrentFrame;
}

void HostClearInputScript()
{
    std::lock_guard<std::mutex> lock(ScriptLock);
    Actions.clear();
    NextAction = 0;
    CurrentFrame = 0;
}
