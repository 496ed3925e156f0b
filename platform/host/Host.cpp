// Choosing the host and taking the layer's own options out of the command line.
#include "platform/host/Host.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

std::atomic<int> g_host{-1};   // -1: not chosen yet
std::once_flag g_envOnce;

int HostFromName(const std::string& name)
{
    if (name == "sdl") return static_cast<int>(HostKind::Sdl);
    if (name == "headless") return static_cast<int>(HostKind::Headless);
    std::fprintf(stderr, "unknown host \"%s\"; using the SDL host\n", name.c_str());
    return static_cast<int>(HostKind::Sdl);
}

// Programs that never call HostStart (test executables) still follow PLAYER_HOST.
void ChooseFromEnvironment()
{
    std::call_once(g_envOnce, [] {
        int unset = -1;
        const char* env = std::getenv("PLAYER_HOST");
        int kind = (env && *env) ? HostFromName(env) : static_cast<int>(HostKind::Sdl);
        g_host.compare_exchange_strong(unset, kind);
    });
}

}  // namespace

std::string HostTakeOption(int* argc, char** argv, const char* name)
{
    std::string prefix = std::strncmp(name, "--", 2) == 0 ? name : std::string("--") + name;
    prefix += '=';
    for (int i = 1; i < *argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) != 0) continue;
        std::string value = argv[i] + prefix.size();
        for (int j = i; j < *argc; ++j) argv[j] = argv[j + 1];   // argv[argc] is null
        --*argc;
        return value;
    }
    return std::string();
}

void HostStart(int* argc, char** argv)
{
    std::string option = HostTakeOption(argc, argv, "host");
    if (!option.empty()) {
        g_host = HostFromName(option);
        return;
    }
    ChooseFromEnvironment();
}

void HostSelect(HostKind kind)
{
    g_host = static_cast<int>(kind);
}

HostKind CurrentHost()
{
    if (g_host.load() < 0) ChooseFromEnvironment();
    return static_cast<HostKind>(g_host.load());
}

bool IsHeadless()
{
    return CurrentHost() == HostKind::Headless;
}
