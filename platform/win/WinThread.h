#pragma once
// Threads, waits and sleeping.
//
// Every thread started here gets its message queue at once, so a post to a new thread always
// succeeds. Suspension is cooperative: a suspended thread stops at its next call into this layer
// (Sleep, a message call, a wait) and stays there until it has been resumed as often.
#include "platform/win/WinTypes.h"

// The run-time library's thread routine: one pointer argument, an unsigned 32-bit result.
using THREAD_START_ROUTINE = unsigned (*)(void*);

// Starts a thread running the routine at once. Returns its handle and stores its id, or returns
// null when the thread cannot be created. The new thread's random-number state starts fresh.
HANDLE BeginThread(THREAD_START_ROUTINE routine, void* argument, DWORD* threadId);

// WAIT_OBJECT_0 once the thread has ended, WAIT_TIMEOUT when it still runs after the time-out
// (0: test without waiting; INFINITE: wait for good), WAIT_FAILED for a bad handle.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// Releases a handle (a thread, a mutex or a process). A thread itself goes on if it still runs.
// WaitForSingleObject also waits for the end of a process opened with OpenProcess.
BOOL CloseHandle(HANDLE handle);

// Suspend and resume counts nest. Both return the previous count, or 0xFFFFFFFF on failure.
DWORD SuspendThread(HANDLE thread);
DWORD ResumeThread(HANDLE thread);

// A thread cannot be ended by force safely here: the layer gives the thread up (it is detached
// and logged) and its handle counts as ended from then on. Nothing in shutdown depends on it.
BOOL TerminateThread(HANDLE thread, DWORD exitCode);

// Sleeps on the host's clock (the headless host advances its virtual clock instead).
void Sleep(DWORD milliseconds);

DWORD GetCurrentThreadId();
