#include "tests/e2e/PlayerRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/e2e/TestProject.h"

int StartPlayer(const std::string& folder, const std::vector<std::string>& args, const std::string& runtimeDir,
                const std::string& errorFile)
{
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(folder.c_str()) != 0) _exit(125);
    const int fd = open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        dup2(fd, 2);
        close(fd);
    }
    setenv("PLAYER_HOST", "headless", 1);
    // The system libraries' own leaks do not fail the sanitized player, run by CTest or not.
    setenv("LSAN_OPTIONS", "suppressions=" PLAYER_LSAN_SUPPRESSIONS, 0);
    setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
    std::vector<char*> argv;
    std::string exe = PLAYER_EXE;
    argv.push_back(exe.data());
    std::vector<std::string> copies = args;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(126);
}

PlayerResult WaitPlayer(int pid, const std::string& errorFile, int timeoutSeconds)
{
    PlayerResult result;
    const time_t deadline = time(nullptr) + timeoutSeconds;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (time(nullptr) > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.timedOut = true;
            break;
        }
        usleep(20000);
    }
    if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.errorText = ReadWholeFile(errorFile);
    return result;
}

PlayerResult RunPlayer(const std::string& folder, const std::vector<std::string>& args,
                       const std::string& runtimeDir, int timeoutSeconds)
{
    const std::string errorFile = folder + "/player_stderr.txt";
    return WaitPlayer(StartPlayer(folder, args, runtimeDir, errorFile), errorFile, timeoutSeconds);
}

std::string Press(int frame, const char* key)
{
    return std::to_string(frame) + " down " + key + "\n" + std::to_string(frame + 1) + " up " + key + "\n";
}

namespace {

// Each line of the frame log: frame count, virtual milliseconds, picture hash (hexadecimal).
struct FrameLogLine {
    uint64_t frame = 0;
    uint32_t time = 0;
    uint64_t hash = 0;
};

std::vector<FrameLogLine> ReadFrameLogLines(const std::string& path)
{
    std::vector<FrameLogLine> lines;
    std::ifstream in(path);
    std::string text;
    while (std::getline(in, text)) {
        std::istringstream fields(text);
        FrameLogLine line;
        if (!(fields >> line.frame >> line.time)) break;
        fields >> std::hex >> line.hash;
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::vector<std::pair<uint64_t, uint32_t>> ReadFrameLog(const std::string& path)
{
    std::vector<std::pair<uint64_t, uint32_t>> frames;
    for (const FrameLogLine& line : ReadFrameLogLines(path)) frames.emplace_back(line.frame, line.time);
    return frames;
}

std::vector<uint64_t> ReadFrameHashes(const std::string& path)
{
    std::vector<uint64_t> hashes;
    for (const FrameLogLine& line : ReadFrameLogLines(path)) hashes.push_back(line.hash);
    return hashes;
}

Frame ReadBmp24(const std::string& path)
{
    Frame f;
    const std::string b = ReadWholeFile(path);
    if (b.size() < 54) return f;
    auto u32 = [&b](size_t o) {
        return uint32_t(uint8_t(b[o])) | uint32_t(uint8_t(b[o + 1])) << 8 | uint32_t(uint8_t(b[o + 2])) << 16 |
               uint32_t(uint8_t(b[o + 3])) << 24;
    };
    const uint32_t offset = u32(10);
    f.width = int32_t(u32(18));
    const int32_t height = int32_t(u32(22));
    f.height = height < 0 ? -height : height;
    const size_t stride = (size_t(f.width) * 3 + 3) & ~size_t(3);
    if (b.size() < offset + stride * size_t(f.height)) return Frame{};
    f.pixels.resize(size_t(f.width) * f.height);
    for (int32_t y = 0; y < f.height; ++y) {
        const size_t row = offset + stride * size_t(height < 0 ? y : f.height - 1 - y);
        for (int32_t x = 0; x < f.width; ++x) {
            const size_t o = row + size_t(x) * 3;
            f.pixels[size_t(y) * f.width + x] =
                uint32_t(uint8_t(b[o])) | uint32_t(uint8_t(b[o + 1])) << 8 | uint32_t(uint8_t(b[o + 2])) << 16;
        }
    }
    return f;
}

std::pair<int, int> CountColour(const Frame& f, uint32_t colour, int32_t x0, int32_t y0)
{
    int inside = 0, outside = 0;
    for (int32_t y = 0; y < f.height; ++y)
        for (int32_t x = 0; x < f.width; ++x)
            if (f.pixels[size_t(y) * f.width + x] == colour) ++(x >= x0 && y >= y0 ? inside : outside);
    return {inside, outside};
}

