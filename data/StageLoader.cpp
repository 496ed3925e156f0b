#include "data/StageLoader.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "core/Path.h"
#include "data/EdStage.h"
#include "data/ProjectPaths.h"
#include "data/RecordStream.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"

cStageLoaderThread thLoad;

namespace {

constexpr size_t kMaxRecordPath = 259;
constexpr size_t kStopCheckBytes = 1024;
// How long (in 1 ms polls) a load waits for a loader thread that its thread object gave up on.
constexpr int kLoaderWaitPolls = 2000;

// Loader threads that have not returned yet. A thread object gives its thread up when it does not
// end within its polls; such a loader still stops at its next read, and is waited for before the
// next load starts, since both would set the one file version of the reader.
std::atomic<int32_t> s_nLoadersRunning{0};

void WaitForLoaders()
{
    for (int nPoll = 0; s_nLoadersRunning > 0 && nPoll < kLoaderWaitPolls; ++nPoll) Sleep(1);
}

// One load: the loader thread reads into its own copy of the working stage, and the calling
// thread takes it over only when the whole file was read. The job is shared, so a loader thread
// that outlives its caller never writes anything the caller still uses.
struct cStageLoadJob {
    std::string m_strPath;
    cEdStage m_Stage;
    std::atomic<int32_t> m_bLoaded{0};
    std::atomic<int32_t> m_bStopped{0};
};

// The stage file seen through a stream that looks at the loader thread object's stop request
// before every buffer it reads: a request makes the next read fail, so the load stops within one
// buffer and leaves through its ordinary failure path. The loader makes no call into the platform
// layer's thread and message functions, so a thread that its object gave up on still ends by
// itself instead of being held in the layer.
struct cStopAwareFile {
    FILE* m_lpFile;
    std::atomic<int32_t>* m_lpStopped;
};

// The stop request of thLoad, kept in the job once seen: a later load resets the thread object's
// request, but never revives a load that was told to stop.
bool JobStopRequested(void* lpStopped)
{
    std::atomic<int32_t>& bStopped = *static_cast<std::atomic<int32_t>*>(lpStopped);
    if (thLoad.m_bStopRequested) bStopped = 1;
    return bStopped != 0;
}

ssize_t StopAwareRead(void* lpCookie, char* lpBuffer, size_t nSize)
{
    cStopAwareFile& file = *static_cast<cStopAwareFile*>(lpCookie);
    if (JobStopRequested(file.m_lpStopped)) return -1;
    const size_t nRead = std::fread(lpBuffer, 1, nSize, file.m_lpFile);
    return std::ferror(file.m_lpFile) ? -1 : static_cast<ssize_t>(nRead);
}

int StopAwareSeek(void* lpCookie, off64_t* lpOffset, int nWhence)
{
    cStopAwareFile& file = *static_cast<cStopAwareFile*>(lpCookie);
    if (std::fseek(file.m_lpFile, static_cast<long>(*lpOffset), nWhence) != 0) return -1;
    const long nPos = std::ftell(file.m_lpFile);
    if (nPos < 0) return -1;
    *lpOffset = nPos;
    return 0;
}

int StopAwareClose(void* lpCookie)
{
    cStopAwareFile* lpFile = static_cast<cStopAwareFile*>(lpCookie);
    const int nResult = std::fclose(lpFile->m_lpFile);
    delete lpFile;
    return nResult;
}

// Reads the stage file of the job into its stage; true when the whole file was read.
bool ReadStageFile(cStageLoadJob& job)
{
    const char* lpPath = job.m_strPath.empty() ? "err" : job.m_strPath.c_str();
    if (std::strlen(lpPath) > kMaxRecordPath) return false;
    FILE* lpRaw = PlatformFopen(lpPath, "rb");
    if (lpRaw == nullptr) {
        WriteReportTrace("%s : not loaded, the file cannot be opened", lpPath);
        return false;
    }
    cStopAwareFile* lpCookie = new cStopAwareFile{lpRaw, &job.m_bStopped};
    FILE* fp = fopencookie(lpCookie, "rb", cookie_io_functions_t{&StopAwareRead, nullptr, &StopAwareSeek,
                                                                  &StopAwareClose});
    if (fp == nullptr) {
        delete lpCookie;
        std::fclose(lpRaw);
        return false;
    }
    // Small buffers, so that a stop request is seen soon while reading; between reads the
    // record loops ask the same test.
    std::setvbuf(fp, nullptr, _IOFBF, kStopCheckBytes);
    SetRecordStopTest(&JobStopRequested, &job.m_bStopped);
    uint32_t nVersion = 0;
    bool bRead = ReadU32(fp, nVersion);
    if (bRead) {
        g_nFileVersion = nVersion;
        bRead = job.m_Stage.Load(fp) && !JobStopRequested(&job.m_bStopped);
    }
    SetRecordStopTest(nullptr, nullptr);
    std::fclose(fp);
    if (!bRead && !job.m_bStopped) WriteReportTrace("%s : not loaded, the file is damaged", lpPath);
    return bRead;
}

// The start-of-stage stage holds the scalars, backgrounds, texts, scroll ranges and result kinds,
// but no palette and no placements.
void FillStartStage(cEdStage& start, cEdStage& stage)
{
    if (&start == &stage) return;
    start.CopyFields(stage);
    CopyStageBackgrounds(start.m_vBackground, stage.m_vBackground);
    CopyStageTexts(start.m_vText, stage.m_vText);
    for (int i = 0; i < 5; ++i) start.m_Setting[i] = stage.m_Setting[i];
    start.m_vResultKind = stage.m_vResultKind;
    std::vector<cEdBlock>().swap(start.m_vBlock);
    std::vector<cEdChara>().swap(start.m_vChara);
    std::vector<cEdItem>().swap(start.m_vItem);
    std::vector<cEdBlock>().swap(start.m_vPaletteBlock);
    std::vector<cEdChara>().swap(start.m_vPaletteChara);
    std::vector<cEdItem>().swap(start.m_vPaletteItem);
}

}  // namespace

void cStageLoaderThread::Exit()
{
    m_bStopRequested = 1;
    cThread::Exit();
}

cStageLoaderThread::~cStageLoaderThread()
{
    m_bStopRequested = 1;
}

unsigned LoadStageThreadProc(void* lpArgument)
{
    // Counted down last, once the job has been let go.
    struct cRunning {
        ~cRunning() { --s_nLoadersRunning; }
    } running;
    std::unique_ptr<std::shared_ptr<cStageLoadJob>> lpHolder(static_cast<std::shared_ptr<cStageLoadJob>*>(lpArgument));
    if (!lpHolder || !*lpHolder) return 0;
    cStageLoadJob& job = **lpHolder;
    if (!ReadStageFile(job)) return 0;
    job.m_bLoaded = 1;
    return 1;
}

int32_t StageLoadersRunning()
{
    return s_nLoadersRunning;
}

int CheckStageFile(const char* lpPath)
{
    FILE* fp = OpenRecordFileForRead(lpPath);
    if (fp == nullptr) return 1;
    if (g_nFileVersion < 174) {
        CloseRecordFile(fp);
        return 1;
    }
    uint32_t nTrailer = 0;
    const bool bRead = std::fseek(fp, -4, SEEK_END) == 0 && std::ftell(fp) >= 4 && ReadU32(fp, nTrailer);
    CloseRecordFile(fp);
    if (!bRead || nTrailer != kStageTrailer) {
        WriteReportTrace("%s : not loaded, the file is damaged", lpPath);
        ErrorBoxF("ステージファイル %s が破損しています！", lpPath);
        PostCloseRequest();
        return 0;
    }
    return 1;
}

int LoadStageFile(const char* lpName, int32_t nUseLatest, cEdStage* lpStart)
{
    g_Stage.m_bUseLatest = nUseLatest;
    std::string strPath = lpName ? lpName : "";
    // A name with no numbered stage file that is there itself (a folder, a file of another kind)
    // is read as named, so that what is not a stage fails with the damaged-file report instead
    // of ending the load in silence.
    if (nUseLatest && !FindLatestNumberedFile(strPath, strPath, ProjectExtTable[1]) &&
        GetFileAttributes(strPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return 0;
    g_Stage.m_strFilePath = strPath;
    MakePathRelative(g_Stage.m_strFilePath);
    const std::string strStored = g_Stage.m_strFilePath;
    if (!CheckStageFile(strStored.c_str())) return 0;

    WaitForLoaders();
    g_Stage.m_bLoaded = 0;
    std::shared_ptr<cStageLoadJob> lpJob = std::make_shared<cStageLoadJob>();
    lpJob->m_strPath = strStored;
    // The load starts from the working stage: members that an older file lacks keep their values.
    // Every vector is read whole from the file, so only the rest is copied.
    lpJob->m_Stage.CopyFields(g_Stage);
    for (int i = 0; i < 5; ++i) lpJob->m_Stage.m_Setting[i] = g_Stage.m_Setting[i];
    lpJob->m_Stage.m_strFilePath = g_Stage.m_strFilePath;
    lpJob->m_Stage.m_bUseLatest = g_Stage.m_bUseLatest;
    auto* lpArgument = new std::shared_ptr<cStageLoadJob>(lpJob);
    thLoad.m_bStopRequested = 0;
    ++s_nLoadersRunning;
    if (!thLoad.Start(&LoadStageThreadProc, lpArgument)) {
        delete lpArgument;
        --s_nLoadersRunning;
    }

    // The calling thread sleeps until the loader has ended or a message has come for it, and
    // serves its messages meanwhile (a close request among them).
    MSG msg;
    for (;;) {
        HANDLE hThread = thLoad.m_hThread.load();
        if (hThread == nullptr) break;
        if (MsgWaitForMultipleObjects(1, &hThread, 0, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0 + 1) break;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                WriteTraceLog("msg.message == WM_QUIT");
                thLoad.Exit();
                WaitForLoaders();
                // The quit belongs to the calling thread's own loop: put it back so that it ends too.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return 0;
            }
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    // Exited from outside while it ran (a close request): the load does not count, whatever the
    // loader thread had got to.
    const bool bStopped = thLoad.m_bStopRequested != 0 || lpJob->m_bStopped != 0;
    thLoad.cThread::Exit();

    if (bStopped) {
        WaitForLoaders();
        // Stopped from outside (the program is closing); the close itself goes on.
        WriteReportTrace("%s : stage loading stopped", strStored.c_str());
        return 0;
    }
    if (!lpJob->m_bLoaded) {
        ErrorBoxF("ステージファイル %s の読み込みに失敗しました！", strStored.c_str());
        return 0;
    }
    if (!lpJob->m_Stage.HasHero()) {
        ErrorBox("主人公が配置されていないのでプレイできません！");
        PostCloseRequest();
        return 0;
    }
    g_Stage = std::move(lpJob->m_Stage);
    g_Stage.m_bLoaded = 1;
    if (lpStart == nullptr) return 1;
    FillStartStage(*lpStart, g_Stage);
    return 1;
}
