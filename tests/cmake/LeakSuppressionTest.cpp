// The sanitized builds ignore leaks that the system's D-Bus library makes, and only those: a
// leak of the program's own still fails the run. (Every test, and every player a test starts,
// runs with the suppressions file in LSAN_OPTIONS.)
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct LeakerRun {
    int exitCode = -1;
    std::string errors;
};

// Runs the leaking program with the given arguments, with the suppressions file or without.
LeakerRun RunLeaker(const std::string& arguments, bool suppressed)
{
    char errorFile[] = "/tmp/leaker_errors_XXXXXX";
    const int fd = mkstemp(errorFile);
    LeakerRun run;
    if (fd < 0) return run;
    close(fd);
    const std::string options =
        suppressed ? "LSAN_OPTIONS=suppressions=" PLAYER_LSAN_SUPPRESSIONS " " : "LSAN_OPTIONS= ";
    const std::string command = options + LEAKER_EXE + " " + arguments + " 2>" + errorFile;
    const int status = std::system(command.c_str());
    if (status != -1 && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    std::ifstream in(errorFile);
    run.errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::remove(errorFile);
    return run;
}

// True when a leak report has a stack frame inside the D-Bus library, "(/...libdbus-1.so.3+0x...)".
// The summary of the suppressions used names the library too, but without an address.
bool FrameInDbus(const std::string& errors)
{
    for (size_t at = errors.find("libdbus-1.so"); at != std::string::npos;
         at = errors.find("libdbus-1.so", at + 1)) {
        const size_t end = errors.find(')', at);
        const size_t address = errors.find("+0x", at);
        if (end != std::string::npos && address < end) return true;
    }
    return false;
}

TEST(LeakSuppression, OnlyTheDbusLibrarysOwnLeaksAreIgnored)
{
    struct Case {
        const char* arguments;
        bool suppressed;
        bool fails;
        bool ownLeakReported;
        bool dbusLeakReported;
    };
    const Case cases[] = {
        {"", true, false, false, false},
        {"dbus", true, false, false, false},
        {"own", true, true, true, false},
        {"dbus own", true, true, true, false},
        {"dbus", false, true, false, true},   // the library does leak: the file is what hides it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.arguments) + (c.suppressed ? "" : ", no suppressions"));
        const LeakerRun run = RunLeaker(c.arguments, c.suppressed);
        EXPECT_EQ(run.exitCode != 0, c.fails) << run.errors;
        EXPECT_EQ(run.errors.find("Direct leak of 77 byte(s)") != std::string::npos,
                  c.ownLeakReported)
            << run.errors;
        EXPECT_EQ(FrameInDbus(run.errors), c.dbusLeakReported)
            << run.errors;
    }
}

}  // namespace
