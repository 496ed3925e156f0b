#pragma once
// Loading a stage file into the working stage g_Stage on the loader thread thLoad, while the
// calling thread keeps taking and dispatching its own messages; filling the start-of-stage stage.
#include <cstdint>

#include "core/Thread.h"

class cEdStage;

#include <atomic>

// The thread object of the stage loader. Its Exit first tells a running load to stop reading, so
// that a load stops at once without touching g_Stage, then ends the thread as every thread object
// does. Used only by LoadStageFile; the shell suspends, resumes and exits it.
class cStageLoaderThread : public cThread {
public:
    ~cStageLoaderThread();
    void Exit();

    std::atomic<int32_t> m_bStopRequested{0};
};

extern cStageLoaderThread thLoad;

// Loads a stage file (with nUseLatest, the latest numbered "stg4" file of the name) into g_Stage
// and, when lpStart is given, fills it as the start-of-stage stage. 1 when the stage is loaded
// and has a hero; 0 otherwise, after its own message. A failed or refused load leaves g_Stage as
// it was, apart from the stored path and flag.
int LoadStageFile(const char* lpName, int32_t nUseLatest, cEdStage* lpStart);

// 0 when a stage file of version 174 or later does not end with the stage trailer (after the
// damaged-file message and a close request), else 1.
int CheckStageFile(const char* lpPath);

// The loader thread's body. It stops early, without touching g_Stage, when thLoad is exited.
unsigned LoadStageThreadProc(void* lpArgument);

// Loader threads that have not returned yet. A loader that its thread object gave up on (it did not
// end within the object's polls) still ends by itself at its next read; a new load waits for it.
int32_t StageLoadersRunning();
