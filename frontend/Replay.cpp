#include "frontend/Replay.h"

#include <atomic>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "core/MessageBox.h"
#include "core/Path.h"
#include "core/Text.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/RecordStream.h"
#include "frontend/MenuScene.h"
#include "frontend/SaveData.h"
#include "media/graphics/FullScreenBox.h"
#include "platform/win/WinFile.h"
#include "platform/win/WinKeyboard.h"
#include "platform/win/WinMessage.h"
#include "platform/win/WinThread.h"
#include "shell/FileDialogs.h"
#include "shell/MainWindowProc.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"

cReplay ReplayCurrent;
cReplay ReplayPrevious;

namespace {

constexpr char kReplayFolder[] = "user_data\\rpl4\\";
constexpr size_t kPathLimit = 260;   // a path with its NUL
// Files of this version and older carry no progress snapshot.
constexpr uint32_t kLastVersionWithoutSnapshot = 172;
// The stage files' trailer is stored from this version on.
constexpr uint32_t kFirstVersionWithTrailer = 173;
constexpr int32_t kRefusalCooldown = 60;
// The title item that plays a saved replay.
constexpr int32_t kTitleReplayChoice = 4;
constexpr int VK_F2_KEY = VK_F1 + 1;

// The keys are polled by the game thread and by the pause thread while the game thread waits.
// The refusal sound of an empty replay comes at most once in this many polls.
std::atomic<int32_t> HotkeyCooldown{0};
// A save key that was down when its dialog ended: no new dialog until both keys are up, so a key
// held through the dialog does not open it again.
std::atomic<bool> HotkeyHeld{false};

bool LoadShortVector(FILE* fp, std::vector<int16_t>& v, const char* lpWhat)
{
    uint32_t nCount = 0;
    if (!ReadU32(fp, nCount) || !RecordCountFits(fp, nCount, sizeof(int16_t))) {
        ReportRecordReadError(fp, lpWhat);
        return false;
    }
    v.resize(nCount);
    if (nCount != 0 && !ReadRecordBytes(fp, v.data(), v.size() * sizeof(int16_t))) {
        ReportRecordReadError(fp, lpWhat);
        return false;
    }
    return true;
}

bool SaveShortVector(FILE* fp, const std::vector<int16_t>& v)
{
    if (!WriteU32(fp, static_cast<uint32_t>(v.size()))) return false;
    return v.empty() || WriteRecordBytes(fp, v.data(), v.size() * sizeof(int16_t));
}

// A stream whose values and runs pair up, every run at least one frame long.
bool StreamIsSound(const std::vector<int16_t>& vWords, const std::vector<int32_t>& vRuns)
{
    if (vWords.size() != vRuns.size()) return false;
    for (int32_t nRun : vRuns)
        if (nRun < 1) return false;
    return true;
}

void RecordStream(std::vector<int16_t>& vWords, std::vector<int32_t>& vRuns, int16_t w)
{
    // A run that has reached the largest count goes on as a new run of the same value.
    if (!vWords.empty() && vWords.back() == w && vRuns.back() < INT32_MAX) {
        ++vRuns.back();
        return;
    }
    vWords.push_back(w);
    vRuns.push_back(1);
}

void PlayStream(const std::vector<int16_t>& vWords, const std::vector<int32_t>& vRuns, int32_t& nIndex,
                int32_t& nRun, int16_t& wOut)
{
    const size_t i = static_cast<size_t>(nIndex);
    wOut = vWords[i];
    if (++nRun >= vRuns[i]) {
        nRun = 0;
        ++nIndex;
    }
}

// The stage's trailer, the last four bytes read: a stage part that does not end with it is
// damaged, and what follows it would be read from the wrong place.
bool StageTrailerFollows(FILE* fp, uint32_t nVersion)
{
    if (nVersion < kFirstVersionWithTrailer) return true;
    const long nEnd = std::ftell(fp);
    uint32_t nTrailer = 0;
    if (nEnd < 4 || std::fseek(fp, nEnd - 4, SEEK_SET) != 0 || !ReadU32(fp, nTrailer)) return false;
    return nTrailer == kStageTrailer;
}

// The second stage of a replay holds the stage's settings, backgrounds and texts but no
// placements and no palette, as the start-of-stage copy of a loaded stage does.
void FillSecondStage(cEdStage& second, cEdStage& stage)
{
    second.CopyFields(stage);
    CopyStageBackgrounds(second.m_vBackground, stage.m_vBackground);
    CopyStageTexts(second.m_vText, stage.m_vText);
    for (int i = 0; i < 5; ++i) second.m_Setting[i] = stage.m_Setting[i];
    second.m_vResultKind = stage.m_vResultKind;
    std::vector<cEdBlock>().swap(second.m_vBlock);
    std::vector<cEdChara>().swap(second.m_vChara);
    std::vector<cEdItem>().swap(second.m_vItem);
    std::vector<cEdBlock>().swap(second.m_vPaletteBlock);
    std::vector<cEdChara>().swap(second.m_vPaletteChara);
    std::vector<cEdItem>().swap(second.m_vPaletteItem);
}

bool KeyDown(int nKey)
{
    return (GetAsyncKeyState(nKey) & 0x8000) != 0;
}

}  // namespace

cReplay::cReplay()
{
    RegisterFields(g_nDataVersion);
    ResetFields();
}

void cReplay::RegisterFields(uint32_t)
{
    RegisterOneInt(&nSeed);
}

bool cReplay::Load(FILE* fp)
{
    if (!LoadRecordFields(fp)) return false;
    if (!LoadShortVector(fp, vWord0, "replay direction values") ||
        !LoadShortVector(fp, vWord1, "replay button values"))
        return false;
    if (!LoadIntVector(fp, vRun0) || !LoadIntVector(fp, vRun1)) return false;
    if (!StreamIsSound(vWord0, vRun0) || !StreamIsSound(vWord1, vRun1)) {
        ReportRecordReadError(fp, "replay runs that do not match their values");
        return false;
    }
    RewindPlayback();
    return true;
}

bool cReplay::Save(FILE* fp)
{
    return SaveRecordFields(fp) && SaveShortVector(fp, vWord0) && SaveShortVector(fp, vWord1) &&
           SaveIntVector(fp, vRun0) && SaveIntVector(fp, vRun1);
}

void cReplay::Clear()
{
    ResetFields();
    vWord0.clear();
    vWord1.clear();
    vRun0.clear();
    vRun1.clear();
    RewindPlayback();
}

void cReplay::CopyReplay(const cReplay& other)
{
    if (this == &other) return;
    vWord0 = other.vWord0;
    vWord1 = other.vWord1;
    vRun0 = other.vRun0;
    vRun1 = other.vRun1;
    nSeed = other.nSeed;
}

void cReplay::RecordReplayFrame(int16_t wDirection, int16_t wButton)
{
    RecordStream(vWord0, vRun0, wDirection);
    RecordStream(vWord1, vRun1, wButton);
}

int cReplay::PlayReplayFrame(int16_t& wDirection, int16_t& wButton)
{
    // Positions outside the streams (never made by recording or loading) count as the end too.
    if (nPlayIndex0 < 0 || nPlayIndex1 < 0 || static_cast<size_t>(nPlayIndex0) >= vWord0.size() ||
        static_cast<size_t>(nPlayIndex1) >= vWord1.size() || vRun0.size() != vWord0.size() ||
        vRun1.size() != vWord1.size())
        return 1;
    PlayStream(vWord0, vRun0, nPlayIndex0, nPlayRun0, wDirection);
    PlayStream(vWord1, vRun1, nPlayIndex1, nPlayRun1, wButton);
    return 0;
}

void cReplay::RewindPlayback()
{
    nPlayIndex0 = 0;
    nPlayIndex1 = 0;
    nPlayRun0 = 0;
    nPlayRun1 = 0;
}

int64_t cReplay::FrameCount() const
{
    int64_t n = 0;
    for (int32_t nRun : vRun0) n += nRun;
    return n;
}

int cReplay::WriteReplayFile(const char* lpName, cEdStage& stage, cEdStage& start, cSaveData& snapshot)
{
    if (lpName == nullptr || lpName[0] == '\0') return 0;
    // Written beside the target and renamed over it once complete, so a failed write never
    // leaves a half-written replay in place of an old one.
    const std::string strTemporary = std::string(lpName) + ".tmp";
    FILE* fp = OpenRecordFileForWrite(strTemporary.c_str());
    if (fp == nullptr) return 0;
    const bool bWritten = stage.SaveForReplay(fp, start) && Save(fp) && snapshot.Save(fp);
    const bool bClosed = CloseRecordFile(fp);
    if (!bWritten || !bClosed || !MoveFileEx(strTemporary.c_str(), lpName, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFile(strTemporary.c_str());
        return 0;
    }
    return 1;
}

int cReplay::ReadReplayFile(const char* lpName, cEdStage& stage, cEdStage& second, cSaveData& save)
{
    FILE* fp = OpenRecordFileForRead(lpName);
    if (fp == nullptr) {
        WriteReportTrace("%s : replay not read, the file cannot be opened", lpName != nullptr ? lpName : "");
        return 0;
    }
    const uint32_t nVersion = g_nFileVersion;
    bool bRead = false;
    const char* lpProblem = "the file is damaged";
    try {
        // Everything is read into copies first; the live records are changed only once the whole
        // file has been read.
        auto lpStage = std::make_unique<cEdStage>();
        // Members that an older file lacks keep the working stage's values, as for a stage file.
        lpStage->CopyFields(stage);
        for (int i = 0; i < 5; ++i) lpStage->m_Setting[i] = stage.m_Setting[i];
        auto lpReplay = std::make_unique<cReplay>();
        auto lpSave = std::make_unique<cSaveData>(save);
        bRead = lpStage->Load(fp) && StageTrailerFollows(fp, nVersion);
        if (bRead && !lpStage->HasHero()) {
            lpProblem = "its stage has no hero";
            bRead = false;
        }
        bRead = bRead && lpReplay->Load(fp);
        if (bRead && nVersion > kLastVersionWithoutSnapshot) {
            g_nFileVersion = nVersion;
            bRead = lpSave->Load(fp);
        }
        if (bRead) {
            const std::string strPath = stage.m_strFilePath;
            stage = std::move(*lpStage);
            stage.m_strFilePath = strPath;
            stage.m_bLoaded = 1;
            FillSecondStage(second, stage);
            CopyReplay(*lpReplay);
            RewindPlayback();
            if (nVersion > kLastVersionWithoutSnapshot) save = *lpSave;
        }
    } catch (const std::bad_alloc&) {
        lpProblem = "out of memory";
        bRead = false;
    }
    CloseRecordFile(fp);
    if (!bRead) WriteReportTrace("%s : replay not read, %s", lpName, lpProblem);
    return bRead ? 1 : 0;
}

std::string ReplayFileExtension()
{
    std::string strExt;
    FormatString(strExt, "rpl4_%u", static_cast<unsigned>(kCurrentDataVersion));
    return strExt;
}

std::string DefaultReplayFileName(const std::string& strStageName)
{
    if (strStageName.empty()) return std::string();
    const std::string strExt = ReplayFileExtension();
    // The key form keeps its full stop, so the extension goes after it.
    std::string strName = strStageName;
    const size_t nDot = strName.rfind('.');
    if (nDot == std::string::npos)
        strName += '.';
    else
        strName.erase(nDot + 1);
    strName += strExt;
    StripDirectory(strName);
    const std::string strBase = std::string(kReplayFolder) + strName;
    // "_NN" comes before the extension; a name that would not fit a path offers none.
    if (strBase.size() + 3 >= kPathLimit) return std::string();
    const size_t nExtAt = strBase.rfind('.');
    std::string strCandidate;
    for (int d1 = 0; d1 <= 8; ++d1) {
        for (int d2 = 0; d2 <= 8; ++d2) {
            strCandidate = strBase.substr(0, nExtAt) + "_" + static_cast<char>('0' + d1) +
                           static_cast<char>('0' + d2) + strBase.substr(nExtAt);
            if (GetFileAttributes(strCandidate.c_str()) == INVALID_FILE_ATTRIBUTES) {
                StripDirectory(strCandidate);
                return strCandidate;
            }
        }
    }
    // Every name is taken: the last one is offered (the dialog asks before overwriting it).
    StripDirectory(strCandidate);
    return strCandidate;
}

int ChooseReplaySaveFile(char (&szOut)[260], const std::string& strStageName)
{
    const std::string strExt = ReplayFileExtension();
    const std::string strDefault = DefaultReplayFileName(strStageName);
    std::memset(szOut, 0, sizeof szOut);
    std::memcpy(szOut, strDefault.c_str(), std::min(strDefault.size(), sizeof szOut - 1));
    DDSetDialogBoxMode(1);
    std::string strFilter;
    FormatString(strFilter, "ReplayFile ( *.%s )", strExt.c_str());
    strFilter.push_back('\0');
    strFilter += "*." + strExt;
    strFilter.push_back('\0');
    strFilter.push_back('\0');
    const char* lpTitle = SystemIni.English != 0 ? "Save replay file" : "リプレイファイルの保存";
    const bool bChosen =
        SaveFileDialog(GetActiveWindow(), szOut, kReplayFolder, lpTitle, strFilter.c_str(), strExt.c_str(), 1);
    DDSetDialogBoxMode(0);
    return bChosen ? 1 : 0;
}

int SaveReplayViaDialog(int32_t nWhich)
{
    char szPath[260];
    if (!ChooseReplaySaveFile(szPath, g_SaveData.CurrentStageName)) return 0;
    cReplay& replay = nWhich == 0 ? ReplayCurrent : ReplayPrevious;
    cSaveData& snapshot = nWhich == 0 ? SaveSnapshotCurrent : SaveSnapshotPrevious;
    if (replay.WriteReplayFile(szPath, g_Stage, g_StageStart, snapshot)) return 1;
    // A replay is an optional save: the player is told, and the game in progress goes on.
    WriteReportTrace("%s : the replay could not be written", szPath);
    ErrorBoxF("リプレイファイル %s を保存できませんでした！", szPath);
    return -1;
}

int OpenReplayFile(const char* lpPath)
{
    if (!ReplayCurrent.ReadReplayFile(lpPath, g_Stage, g_StageStart, g_SaveData)) {
        ErrorBoxF("リプレイファイル %s の読み込みに失敗しました！", lpPath);
        return 0;
    }
    // Every restart of the playback reads the file again from here.
    g_Stage.m_strFilePath = lpPath;
    return 1;
}

void RegisterReplayRequests()
{
    SetReplayHandlers(SaveReplayViaDialog, OpenReplayFile);
}

bool ReplayPlaybackOn()
{
    return SceneManager.TitleChoice == kTitleReplayChoice;
}

int PollReplayHotkeys()
{
    if (ReplayPlaybackOn() || g_System.m_bReplay == 0) return 0;
    if (HotkeyCooldown.load() > 0) --HotkeyCooldown;
    const bool bF1 = KeyDown(VK_F1);
    const bool bF2 = !bF1 && KeyDown(VK_F2_KEY);
    if (!bF1 && !bF2) {
        HotkeyHeld = false;
        return 0;
    }
    if (HotkeyHeld) return 0;
    const cReplay& replay = bF1 ? ReplayCurrent : ReplayPrevious;
    if (replay.vWord0.empty()) {
        if (HotkeyCooldown.load() <= 0) {
            PlayMenuSound(3);
            HotkeyCooldown = kRefusalCooldown;
        }
        return 0;
    }
    const HWND hWnd = hMainWnd.load();
    // Without the main window nobody would ever answer the request.
    if (hWnd == nullptr) return 0;
    PlayMenuSound(1);
    FileDialogDone = 0;
    SendMessage(hWnd, UM_SAVEREPLAY, bF1 ? 0 : 1, 0);
    while (FileDialogDone.load() == 0 && hMainWnd.load() != nullptr) Sleep(1);
    HotkeyHeld = true;
    return 1;
}

void ResetReplayHotkeys()
{
    HotkeyCooldown = 0;
    HotkeyHeld = false;
}

int32_t ReplayHotkeyCooldown()
{
    return HotkeyCooldown.load();
}
