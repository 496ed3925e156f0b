// The player's process entry on Linux: the platform layer takes its own options (the host, test
// play, the headless run's frame limit, input script, frame log and dump, box answers, dialog
// script and log, failures to produce and a recording of the sound), and what remains is the
// game's command line.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "core/MainWindow.h"
#include "platform/graphics/DialogGraphics.h"
#include "platform/graphics/GraphicsControl.h"
#include "platform/host/Host.h"
#include "platform/sound/SoundHost.h"
#include "platform/win/HostDialog.h"
#include "platform/win/HostInput.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"
#include "platform/win/WinTime.h"
#include "platform/win/WinWindowState.h"
#include "frontend/MenuScene.h"
#include "shell/GameStartup.h"
#include "stage/StagePlayScene.h"

namespace {

std::atomic<uint64_t> FrameLimit{0};
std::atomic<bool> LimitReached{false};
FILE* FrameLog = nullptr;
std::string DumpPath;
std::atomic<bool> Dumped{false};

void OnFramePresented(uint64_t frameCount)
{
    if (IsHeadless()) {
        // The thread that presents frames is the one whose waits make the game's time pass.
        HostSetClockDriver(GetCurrentThreadId());
        HostAdvanceInputFrame();
    }
    if (FrameLog != nullptr) {
        // The hook runs on the presenting thread, so the last presented frame is this one. The
        // time is the game's clock: virtual on the headless host, the real one in a window (where
        // it shows whether frames came late).
        const unsigned nTime = IsHeadless() ? HostVirtualTime() : static_cast<unsigned>(timeGetTime());
        std::fprintf(FrameLog, "%llu %u %016llx\n", static_cast<unsigned long long>(frameCount), nTime,
                     static_cast<unsigned long long>(LastPresentedFrameHash()));
        std::fflush(FrameLog);
    }
    const uint64_t limit = FrameLimit.load();
    if (limit != 0 && frameCount >= limit && !LimitReached.exchange(true)) {
        // The frame at the limit is the one kept: the frames shown while the close runs vary.
        if (!DumpPath.empty() && !Dumped.exchange(true)) WriteFrameBmp(LastPresentedFrame(), DumpPath);
        PostMessage(hMainWnd.load(), WM_CLOSE, 0, 0);
    }
}

void ArmFailures(const std::string& list)
{
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        const std::string name = list.substr(start, end - start);
        if (name == "direct3d") ArmGraphicsFault(GraphicsFault::Direct3DCreate);
        if (name == "directdraw") ArmGraphicsFault(GraphicsFault::DirectDrawCreate);
        if (name == "sound") SoundArmFault(SoundFault::AudioDevice);
        if (name == "thread") HostArmFault(HostFault::ThreadCreate);   // the next thread started
        start = end + 1;
    }
}

void QueueBoxAnswers(const std::string& list)
{
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        HostQueueMessageBoxAnswer(std::atoi(list.substr(start, end - start).c_str()));
        start = end + 1;
    }
}

bool LoadDialogScript(const std::string& hostPath)
{
    std::ifstream in(hostPath, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    if (!in || !HostLoadDialogScript(text.str(), &error)) {
        std::fprintf(stderr, "dialog script: %s\n", in ? error.c_str() : "cannot be read");
        return false;
    }
    return true;
}

// What the dialogs of the run showed, for whoever watches a headless run: each dialog with its
// caption and control texts, then the last file chooser's folder and entries (UTF-8).
void WriteDialogLog(const std::string& hostPath)
{
    FILE* fp = std::fopen(hostPath.c_str(), "w");
    if (fp == nullptr) return;
    for (const RECORDEDDIALOG& dialog : HostRecordedDialogs()) {
        std::fprintf(fp, "dialog %d %ld %ld %ld %ld %s\n", dialog.nResourceId, static_cast<long>(dialog.rc.left),
                     static_cast<long>(dialog.rc.top), static_cast<long>(dialog.rc.right),
                     static_cast<long>(dialog.rc.bottom), Cp932ToUtf8(dialog.caption).c_str());
        for (const auto& control : dialog.controls)
            std::fprintf(fp, "  %d %s\n", control.first, Cp932ToUtf8(control.second).c_str());
    }
    const FILECHOOSERLISTING listing = HostLastFileChooserListing();
    if (!listing.folder.empty()) {
        std::fprintf(fp, "chooser %s\n", Cp932ToUtf8(listing.folder).c_str());
        for (const std::string& entry : listing.entries) std::fprintf(fp, "  %s\n", Cp932ToUtf8(entry).c_str());
    }
    std::fclose(fp);
}

}  // namespace

int main(int argc, char** argv)
{
    HostStart(&argc, argv);
    bool testPlay = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) != "--test-play") continue;
        for (int j = i; j < argc; ++j) argv[j] = argv[j + 1];
        --argc;
        testPlay = true;
        break;
    }
    const std::string frames = HostTakeOption(&argc, argv, "frames");
    const std::string input = HostTakeOption(&argc, argv, "input");
    const std::string frameLog = HostTakeOption(&argc, argv, "frame-log");
    const std::string dump = HostTakeOption(&argc, argv, "dump-frame");
    const std::string answers = HostTakeOption(&argc, argv, "box-answers");
    const std::string failures = HostTakeOption(&argc, argv, "fail");
    const std::string dialogs = HostTakeOption(&argc, argv, "dialogs");
    const std::string dialogLog = HostTakeOption(&argc, argv, "dialog-log");
    const std::string recordSound = HostTakeOption(&argc, argv, "record-sound");

    if (!frames.empty()) FrameLimit = std::strtoull(frames.c_str(), nullptr, 10);
    if (!input.empty()) {
        std::string error;
        if (!HostLoadInputScriptFile(input, &error)) {
            std::fprintf(stderr, "input script: %s\n", error.c_str());
            return 2;
        }
    }
    if (!dialogs.empty() && !LoadDialogScript(dialogs)) return 2;
    if (!InstallDialogGraphics()) std::fprintf(stderr, "the dialog font cannot be loaded; dialogs show no text\n");
    // The SDL host shows the game in a window; without a display it could only run unseen and
    // unstoppable, so it says so and ends.
    if (!IsHeadless() && !HostOpenSdlWindow()) {
        std::fprintf(stderr,
                     "no display: the game window cannot be opened (is DISPLAY or WAYLAND_DISPLAY set?).\n"
                     "Run it on a desktop, under a virtual display (xvfb-run), or with --host=headless.\n");
        return 1;
    }
    if (!frameLog.empty()) FrameLog = std::fopen(frameLog.c_str(), "w");
    DumpPath = dump;
    QueueBoxAnswers(answers);
    ArmFailures(failures);
    // The recording takes every frame the mixer plays from its start, so it begins before the
    // sound layer does: its first sample is the moment the sound device opened.
    if (!recordSound.empty() && !SoundStartRecording(recordSound.c_str())) {
        std::fprintf(stderr, "sound recording: cannot write %s\n", recordSound.c_str());
        HostCloseSdlWindow();
        return 2;
    }
    // The headless clock starts when the first frame is presented, on the presenting thread, so
    // the game's time never depends on how fast start-up ran.
    if (IsHeadless()) HostSetClockDriver(HostClockDriverNone);
    SetFramePresentedHook(OnFramePresented);

    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (!commandLine.empty()) commandLine += ' ';
        commandLine += argv[i];
    }
    commandLine = Utf8ToCp932(commandLine);

    // The scenes live with the front end and the stage play; the scene manager makes them by
    // these factories.
    RegisterFrontendScenes();
    RegisterSceneFactory(kSceneStagePlay, MakeStagePlayScene);
    const int exitCode = WinMain(nullptr, nullptr, commandLine.data(), testPlay ? TestPlayShowCommand : SW_SHOWNORMAL);

    SetFramePresentedHook(nullptr);
    HostCloseSdlWindow();
    if (!DumpPath.empty() && !Dumped.exchange(true) && PresentedFrameCount() > 0)
        WriteFrameBmp(LastPresentedFrame(), DumpPath);
    if (FrameLog != nullptr) std::fclose(FrameLog);
    if (!dialogLog.empty()) WriteDialogLog(dialogLog);
    if (!recordSound.empty()) SoundStopRecording();
    return exitCode;
}
