#include "tests/e2e/PlayerRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <cstdlib>

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
