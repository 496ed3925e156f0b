#pragma once
// The single running copy of the program, and ending another copy.
//
// A named mutex is a lock file in the user's runtime directory listing the ids of the processes
// that hold it (updated under flock; ids of processes that have ended are dropped). A second
// copy learns of the first through it: CreateMutex reports ERROR_ALREADY_EXISTS, and FindWindow
// with a class name and no caption then yields a stand-in for the other copy's window, whose
// process GetWindowThreadProcessId names and OpenProcess and TerminateProcess can end.
#include "platform/win/WinTypes.h"

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD PROCESS_ALL_ACCESS = 0x001F0FFF;

// The calling thread's error code of its last CreateMutex or OpenProcess.
DWORD GetLastError();

// Opens the named mutex (a code-page-932 name), creating it when no process holds it; when one
// already does (this process included), the last error is ERROR_ALREADY_EXISTS. CloseHandle
// gives it up. Null when the lock file cannot be used.
HANDLE CreateMutex(void* securityAttributes, BOOL initialOwner, const char* name);
// False unless the mutex was created as initially owned and not yet released.
BOOL ReleaseMutex(HANDLE mutex);

// A handle on a running process; WaitForSingleObject waits for its end. Null when there is no
// such process or it may not be ended by this user.
HANDLE OpenProcess(DWORD access, BOOL inheritHandle, DWORD processId);
// Ends the process at once (it gets no chance to clean up).
BOOL TerminateProcess(HANDLE process, UINT exitCode);
