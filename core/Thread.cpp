#include "core/Thread.h"

#include "core/Log.h"
#include "platform/win/WinMessage.h"

namespace {

constexpr int ExitPollLimit = 200;
// A resume that keeps failing means the handle is no longer a thread we can reach.
constexpr int ResumeRetryLimit = 1000;

}  // namespace

cThread::cThread() : m_dwThreadId(0), m_hThread(nullptr) {}

cThread::~cThread()
{
    Exit();
}

bool cThread::Start(THREAD_START_ROUTINE routine, void* argument)
{
    DWORD id = 0;
    HANDLE handle = BeginThread(routine, argument, &id);
    m_dwThreadId = handle != nullptr ? id : 0;
    m_hThread = handle;
    return handle != nullptr;
}

void cThread::Join()
{
    HANDLE handle = m_hThread.load();
    if (handle == nullptr) return;
    while (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) Sleep(1);
    CloseHandle(handle);
    m_hThread = nullptr;
}

bool cThread::Suspend()
{
    HANDLE handle = m_hThread.load();
    if (handle == nullptr) return true;
    return SuspendThread(handle) != 0xFFFFFFFFu;
}

bool cThread::Resume()
{
    HANDLE handle = m_hThread.load();
    if (handle == nullptr) return true;
    return ResumeThread(handle) != 0xFFFFFFFFu;
}

void cThread::Exit()
{
    HANDLE handle = m_hThread.load();
    if (handle == nullptr) return;
    // A thread suspended once must run again to take its quit message.
    for (int tries = 0; !Resume() && tries < ResumeRetryLimit; ++tries) {
    }
    WriteTraceLogF("Exit A");
    PostThreadMessage(m_dwThreadId, WM_QUIT, 0, 0);
    WriteTraceLogF("Exit B");
    WriteTraceLogF("Exit C");
    int polls = 0;
    while (WaitForSingleObject(handle, 0) == WAIT_TIMEOUT) {
        Sleep(1);
        PostThreadMessage(m_dwThreadId, WM_QUIT, 0, 0);
        if (++polls >= ExitPollLimit) TerminateThread(handle, 0);
    }
    WriteTraceLogF("Exit D");
    CloseHandle(handle);
    m_hThread = nullptr;
    WriteTraceLogF("Exit E");
}
