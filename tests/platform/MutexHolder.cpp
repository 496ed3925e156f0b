// Helper for the single-copy tests: a second process that holds the named mutex given as its
// argument until it is ended.
#include <unistd.h>

#include <cstdio>

#include "platform/win/WinProcess.h"

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    alarm(60);   // never outlives a broken test
    HANDLE mutex = CreateMutex(nullptr, 0, argv[1]);
    std::printf("%s\n", mutex ? "ready" : "failed");
    std::fflush(stdout);
    for (;;) pause();
}
