// Named mutexes as lock files, and other processes by their ids.
#include "platform/win/WinProcess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/win/WinKernel.h"

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

std::string LockPath(const char* name)
{
    std::string file = "player-mutex-";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st;
    std::string dir;
    if (runtime && *runtime && stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) {
        dir = runtime;
    } else {
        dir = "/tmp";
        file += std::to_string(getuid()) + "-";   // /tmp is shared by every user
    }
    // The name may hold any byte; hexadecimal keeps the file name plain.
    static const char digits[] = "0123456789abcdef";
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        file += digits[c >> 4];
        file += digits[c & 15];
    }
    return dir + "/" + file + ".lock";
}

std::vector<int> ReadIds(int fd)
{
    std::string text;
    char buffer[256];
    lseek(fd, 0, SEEK_SET);
    ssize_t n;
    while ((n = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    std::vector<int> ids;
    size_t at = 0;
    while (at < text.size() && ids.size() < 1024) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        int id = std::atoi(text.substr(at, end - at).c_str());
        if (id > 0 && !KernelProcessEnded(id)) ids.push_back(id);
        at = end + 1;
    }
    return ids;
}

// Reads the file's list of living holders under an exclusive lock and lets change() edit it.
bool UpdateIds(const std::string& path, const std::function<void(std::vector<int>&)>& change)
{
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = flock(fd, LOCK_EX) == 0;
    if (ok) {
        std::vector<int> ids = ReadIds(fd);
        change(ids);
        std::string text;
        for (int id : ids) text += std::to_string(id) + "\n";
        ok = ftruncate(fd, 0) == 0 && pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
        flock(fd, LOCK_UN);
    }
    close(fd);
    return ok;
}

std::vector<int> HoldersOf(const std::string& path)
{
    std::vector<int> ids;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ids;
    if (flock(fd, LOCK_SH) == 0) {
        ids = ReadIds(fd);
        flock(fd, LOCK_UN);
    }
    close(fd);
    return ids;
}

}  // namespace

bool KernelProcessEnded(int processId)
{
    if (processId <= 0) return true;
    int status;
    if (waitpid(processId, &status, WNOHANG) == processId) return true;   // a child of ours
    return kill(processId, 0) != 0 && errno == ESRCH;
}

void KernelCloseMutex(KernelMutex& mutex)
{
    if (mutex.path.empty()) return;
    int self = getpid();
    UpdateIds(mutex.path, [&](std::vector<int>& ids) {
        auto it = std::find(ids.begin(), ids.end(), self);
        if (it != ids.end()) ids.erase(it);
    });
    mutex.path.clear();
}

HWND KernelFindOtherCopyWindow()
{
    Kernel& k = TheKernel();
    int self = getpid();
    for (auto& [value, entry] : k.handles) {
        if (!entry.mutex || entry.mutex->path.empty()) continue;
        for (int id : HoldersOf(entry.mutex->path)) {
            if (id == self) continue;
            for (auto& [hwnd, process] : k.otherCopyWindows)
                if (process == id) return reinterpret_cast<HWND>(hwnd);
            uintptr_t hwnd = k.nextOtherCopyWindow;
            k.nextOtherCopyWindow += 0x10;
            k.otherCopyWindows[hwnd] = id;
            return reinterpret_cast<HWND>(hwnd);
        }
    }
    return nullptr;
}

int KernelOtherCopyProcess(HWND hwnd)
{
    Kernel& k = TheKernel();
    auto it = k.otherCopyWindows.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == k.otherCopyWindows.end() ? 0 : it->second;
}

DWORD GetLastError()
{
    return t_lastError;
}

HANDLE CreateMutex(void*, BOOL initialOwner, const char* name)
{
    t_lastError = ERROR_SUCCESS;
    auto mutex = std::make_shared<KernelMutex>();
    mutex->owned = initialOwner != 0;
    if (name && *name) {
        mutex->path = LockPath(name);
        bool existed = false;
        int self = getpid();
        if (!UpdateIds(mutex->path, [&](std::vector<int>& ids) {
                existed = !ids.empty();
                ids.push_back(self);
            })) {
            std::fprintf(stderr, "mutex lock file %s cannot be used\n", mutex->path.c_str());
            t_lastError = ERROR_ACCESS_DENIED;
            return nullptr;
        }
        if (existed) {
            mutex->owned = false;   // another holder has it
            t_lastError = ERROR_ALREADY_EXISTS;
        }
    }
    KernelLock lock(TheKernel().lock);
    return KernelAddHandle({nullptr, mutex, 0});
}

BOOL ReleaseMutex(HANDLE handle)
{
    KernelLock lock(TheKernel().lock);
    KernelHandle* entry = KernelFindHandle(handle);
    if (!entry || !entry->mutex || !entry->mutex->owned) return 0;
    entry->mutex->owned = false;
    return 1;
}

HANDLE OpenProcess(DWORD, BOOL, DWORD processId)
{
    int id = static_cast<int>(processId);
    if (id <= 0 || KernelProcessEnded(id)) {
        t_lastError = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    if (kill(id, 0) != 0) {   // another user's process
        t_lastError = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    t_lastError = ERROR_SUCCESS;
    KernelLock lock(TheKernel().lock);
    return KernelAddHandle({nullptr, nullptr, id});
}

BOOL TerminateProcess(HANDLE handle, UINT)
{
    int id;
    {
        KernelLock lock(TheKernel().lock);
        KernelHandle* entry = KernelFindHandle(handle);
        if (!entry || entry->process <= 0) return 0;
        id = entry->process;
    }
    return kill(id, SIGKILL) == 0;
}
