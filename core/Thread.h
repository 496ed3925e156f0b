#pragma once
// A worker thread: start, join, suspend, resume and exit. Exit asks the thread to end with
// WM_QUIT and polls every millisecond; after 200 polls the thread is given up.
#include <atomic>
#include <cstdint>

#include "platform/win/WinTypes.h"
#include "platform/win/WinThread.h"

class cThread {
public:
    cThread();
    ~cThread();
    cThread(const cThread&) = delete;
    cThread& operator=(const cThread&) = delete;

    bool Start(THREAD_START_ROUTINE routine, void* argument);
    void Join();
    bool Suspend();
    bool Resume();
    void Exit();

    DWORD m_dwThreadId;
    std::atomic<HANDLE> m_hThread;
};
