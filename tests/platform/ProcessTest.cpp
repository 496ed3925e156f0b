#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/win/WinMessage.h"
#include "platform/win/WinProcess.h"
#include "platform/win/WinThread.h"

extern char** environ;

namespace {

// Lock files go to a runtime directory of the test's own.
class SingleCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/platform-runtime-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_strDir = pattern;
        setenv("XDG_RUNTIME_DIR", pattern, 1);
    }
    void TearDown() override
    {
        if (m_nHolder > 0) {
            kill(m_nHolder, SIGKILL);
            waitpid(m_nHolder, nullptr, 0);
        }
        std::filesystem::remove_all(m_strDir);
    }
    // Starts the helper process holding the mutex and waits until it does.
    pid_t StartHolder(const std::string& name)
    {
        int fds[2];
        if (pipe(fds) != 0) return -1;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::string program = MUTEX_HOLDER;
        char* args[] = {program.data(), const_cast<char*>(name.c_str()), nullptr};
        int rc = posix_spawn(&m_nHolder, program.c_str(), &actions, nullptr, args, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        char line[16] = {};
        ssize_t n = rc == 0 ? read(fds[0], line, sizeof line - 1) : -1;
        close(fds[0]);
        return n > 0 && std::string(line) == "ready\n" ? m_nHolder : -1;
    }
    std::string m_strDir;
    pid_t m_nHolder = -1;
};

// "ゲーム" in code page 932.
const char kName[] = "\x83\x51\x81\x5B\x83\x80";

TEST_F(SingleCopy, SecondCopyFindsTheFirstAndEndsIt)
{
    pid_t first = StartHolder(kName);
    ASSERT_GT(first, 0);

    HANDLE mutex = CreateMutex(nullptr, 0, kName);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    HWND other = FindWindow("Quillmoor", nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(FindWindow("Quillmoor", "a caption"), nullptr);
    EXPECT_TRUE(IsWindow(other));
    DWORD processId = 0;
    GetWindowThreadProcessId(other, &processId);
    EXPECT_EQ(processId, static_cast<DWORD>(first));

    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, 0, processId);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForSingleObject(process, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(TerminateProcess(process, 0));
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(process));
    m_nHolder = -1;   // reaped by the wait

    EXPECT_FALSE(IsWindow(other));
    EXPECT_EQ(FindWindow("Quillmoor", nullptr), nullptr);
    // This copy holds the mutex now: a third start sees it, and it is free once closed.
    HANDLE third = CreateMutex(nullptr, 0, kName);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_TRUE(CloseHandle(third));
    EXPECT_TRUE(CloseHandle(mutex));
    HANDLE alone = CreateMutex(nullptr, 0, kName);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(alone);
}

TEST_F(SingleCopy, FirstCopyFindsNoOther)
{
    HANDLE mutex = CreateMutex(nullptr, 1, kName);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(FindWindow("Quillmoor", nullptr), nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_FAILED);
    EXPECT_TRUE(ReleaseMutex(mutex));   // created owned
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_TRUE(CloseHandle(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));
}

TEST(Processes, OpeningAProcessThatDoesNotRunFails)
{
    EXPECT_EQ(OpenProcess(PROCESS_ALL_ACCESS, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);   // gone and reaped: its id names nothing now
    EXPECT_EQ(OpenProcess(PROCESS_ALL_ACCESS, 0, static_cast<DWORD>(child)), nullptr);
    EXPECT_FALSE(TerminateProcess(nullptr, 0));
}

}  // namespace
