// The fuzz checks of the files the player writes for itself (options, the start-dialog choice,
// the window placement, story slots and the challenge save, rankings, replays) and of the two
// settings files it only reads ("user_data\KeyConfig.dat", "System.ini").
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "frontend/RankingFile.h"
#include "frontend/Replay.h"
#include "frontend/SaveData.h"
#include "fuzz/FuzzChecks.h"
#include "fuzz/FuzzFiles.h"
#include "media/input/KeyConfig.h"
#include "media/input/KeyInput.h"
#include "shell/SettingsRecords.h"
#include "shell/SystemIni.h"
#include "shell/cWindow.h"

namespace {

using fuzz::Bytes;

// Each check starts from a record that differs from the constructed defaults, so that a refused
// file that still changed something shows.
std::unique_ptr<cFieldListRecord> MakeOptions()
{
    auto lpOptions = std::make_unique<cOptionData>();
    lpOptions->nPalettePattern = 5;
    lpOptions->bBgm = 0;
    lpOptions->nVolume = 3;
    lpOptions->nRankingEntryMode = 2;
    lpOptions->strPlayerName = "ply";
    return lpOptions;
}

std::unique_ptr<cFieldListRecord> MakeBoot()
{
    auto lpBoot = std::make_unique<cBootSettings>();
    lpBoot->m_nDrawingMode = 0;
    lpBoot->m_bDontAsk = 1;
    return lpBoot;
}

std::unique_ptr<cFieldListRecord> MakeWindow()
{
    auto lpWindow = std::make_unique<cWindowPlacement>();
    lpWindow->SetWindowPlacement(40, 30, 640, 480, 0);
    return lpWindow;
}

std::unique_ptr<cFieldListRecord> MakeSaveData()
{
    auto lpSave = std::make_unique<cSaveData>();
    lpSave->ResetProgress();
    lpSave->nStage = 2;
    lpSave->nScore = 1200;
    lpSave->strPlayerName = "ply";
    lpSave->RecordStageHighScore("data\\stg4\\Forest.", 800);
    lpSave->CommonVars[3] = -7;
    lpSave->ValidateSaveData();
    return lpSave;
}

std::unique_ptr<cFieldListRecord> MakeRanking()
{
    auto lpRanking = std::make_unique<cRankingFile>();
    InsertRankingEntry(lpRanking->m_vTables[0], "abc", 500);
    InsertRankingEntry(lpRanking->m_vTables[2], "xyz", 3600);
    return lpRanking;
}

// The records a replay file fills, as a play left them: each differs from what any file gives, so
// a refused file that changed one shows.
struct ReplayRecords {
    cEdStage m_stage;
    cEdStage m_second;
    cSaveData m_save;
    cReplay m_replay;

    ReplayRecords()
    {
        m_stage.SetDefaults();
        m_second.SetDefaults();
        m_save.ResetProgress();
    }
    void MarkAsPlayed()
    {
        m_stage.m_nWidth = 77;
        m_stage.m_vChara.resize(2);
        m_second.m_nWidth = 66;
        m_save.nScore = 55;
        m_replay.nSeed = 9;
        m_replay.RecordReplayFrame(5, 6);
    }
    // The bytes of all four, each saved by its own writer.
    Bytes Image()
    {
        Bytes image = fuzz::SavedBytes(m_stage, "replay-stage");
        for (cFieldListRecord* lpRecord : {static_cast<cFieldListRecord*>(&m_second),
                                           static_cast<cFieldListRecord*>(&m_save),
                                           static_cast<cFieldListRecord*>(&m_replay)}) {
            const Bytes part = fuzz::SavedBytes(*lpRecord, "replay-part");
            image.insert(image.end(), part.begin(), part.end());
        }
        return image;
    }
    // The whole replay file as the save keys write it; empty when the write failed.
    Bytes Written()
    {
        const std::string path = fuzz::ScratchPath("replay-written");
        if (!m_replay.WriteReplayFile(path.c_str(), m_stage, m_second, m_save)) return {};
        Bytes bytes = fuzz::ReadFileBytes(path);
        std::remove(path.c_str());
        return bytes;
    }
    int Read(const uint8_t* data, size_t size)
    {
        const std::string path = fuzz::ScratchPath("replay");
        fuzz::WriteScratch(path, data, size);
        const int nRead = m_replay.ReadReplayFile(path.c_str(), m_stage, m_second, m_save);
        std::remove(path.c_str());
        return nRead;
    }
};

// A record's file as its own writer makes it.
Bytes SavedFile(std::unique_ptr<cFieldListRecord> lpRecord)
{
    return fuzz::SavedBytes(*lpRecord, "seed");
}

// One field of the key configuration: where its bytes are in the file and how wide it is.
struct KeyConfigField {
    size_t m_nOffset;
    size_t m_nWidth;
};

std::vector<KeyConfigField> KeyConfigFields()
{
    std::vector<KeyConfigField> fields;
    for (size_t i = 0; i < KEYCONFIG_ENTRIES; ++i) {
        fields.push_back({i * 8, 4});
        fields.push_back({i * 8 + 4, 2});
        fields.push_back({i * 8 + 6, 2});
    }
    fields.push_back({96, 4});
    fields.push_back({100, 4});
    fields.push_back({104, 4});
    return fields;
}

int32_t Int32At(const uint8_t* p)
{
    int32_t n;
    std::memcpy(&n, p, 4);
    return n;
}

const std::vector<cEdSystemOption>& IniOptions()
{
    static const std::vector<cEdSystemOption> options = [] {
        cEdSystem system;
        system.SetDefaults();
        return system.m_vOption;
    }();
    return options;
}

// The settings as the player uses them: the stage name up to its NUL.
bool SameSettings(const SYSTEMINI& a, const SYSTEMINI& b)
{
    return a.Direct3D == b.Direct3D && a.WindowMode == b.WindowMode && a.Bpp == b.Bpp && a.VSync == b.VSync &&
           a.D3D_FontCache == b.D3D_FontCache && a.DD_FontCache == b.DD_FontCache &&
           a.DD_VideoStretch == b.DD_VideoStretch && a.ShowFps == b.ShowFps && a.English == b.English &&
           std::strcmp(a.FreeStage, b.FreeStage) == 0;
}

// The bytes of a literal without its final NUL (a NUL inside stays).
template <size_t N>
Bytes TextBytes(const char (&text)[N])
{
    return Bytes(text, text + N - 1);
}

}  // namespace

FuzzOutcome CheckOptionInput(const uint8_t* data, size_t size)
{
    return fuzz::CheckRecordFile(data, size, MakeOptions);
}

FuzzOutcome CheckBootInput(const uint8_t* data, size_t size)
{
    return fuzz::CheckRecordFile(data, size, MakeBoot);
}

FuzzOutcome CheckWindowInput(const uint8_t* data, size_t size)
{
    const FuzzOutcome outcome = fuzz::CheckRecordFile(data, size, MakeWindow);
    if (outcome != FuzzOutcome::Loaded) return outcome;
    // Start-up moves the main window to the stored corner and gives it the stored client size;
    // the window adds its frame to that size.
    cWindowPlacement placement;
    const std::string path = fuzz::ScratchPath("window");
    fuzz::WriteScratch(path, data, size);
    const int nLoaded = placement.LoadFromFile(path.c_str());
    std::remove(path.c_str());
    if (!nLoaded) return FuzzOutcome::Broken;
    cWindow window;
    window.SetWindowGeometry(640, 480, 100, 100, 640, 480, WS_CAPTION | WS_THICKFRAME, 0, 0, 0, 0, 0);
    window.MoveWindowTo(placement.m_nX, placement.m_nY);
    window.SetClientSize(placement.m_nWidth, placement.m_nHeight);
    return FuzzOutcome::Loaded;
}

FuzzOutcome CheckSaveDataInput(const uint8_t* data, size_t size)
{
    return fuzz::CheckRecordFile(data, size, MakeSaveData);
}

FuzzOutcome CheckRankingInput(const uint8_t* data, size_t size)
{
    const FuzzOutcome outcome = fuzz::CheckRecordFile(data, size, MakeRanking);
    if (outcome != FuzzOutcome::Loaded) return outcome;
    // Every reader of the rankings walks five tables of twenty lines.
    cRankingFile file;
    const std::string path = fuzz::ScratchPath("ranking");
    fuzz::WriteScratch(path, data, size);
    const int nLoaded = file.LoadFromFile(path.c_str());
    std::remove(path.c_str());
    if (!nLoaded || file.m_vTables.size() != kRankingKinds) return FuzzOutcome::Broken;
    for (const cRankingTable& table : file.m_vTables) {
        if (table.m_vEntries.size() != kRankingLines) return FuzzOutcome::Broken;
    }
    return FuzzOutcome::Loaded;
}

FuzzOutcome CheckReplayInput(const uint8_t* data, size_t size)
{
    fuzz::PrepareHost();
    auto lpRecords = std::make_unique<ReplayRecords>();
    lpRecords->MarkAsPlayed();
    const Bytes before = lpRecords->Image();
    const int nRead = lpRecords->Read(data, size);
    if (nRead == 0) return lpRecords->Image() == before ? FuzzOutcome::Refused : FuzzOutcome::Broken;
    if (nRead != 1) return FuzzOutcome::Broken;

    // Playback needs a hero to steer and streams whose values and runs pair up; it must reach
    // the end of the shorter stream and say so.
    const cReplay& replay = lpRecords->m_replay;
    if (!lpRecords->m_stage.HasHero() || replay.vWord0.size() != replay.vRun0.size() ||
        replay.vWord1.size() != replay.vRun1.size())
        return FuzzOutcome::Broken;
    int64_t nFrames1 = 0;
    for (int32_t nRun : replay.vRun1) {
        if (nRun < 1) return FuzzOutcome::Broken;
        nFrames1 += nRun;
    }
    const int64_t nFrames = std::min(replay.FrameCount(), nFrames1);
    constexpr int64_t kPlayedAtMost = 1 << 16;
    int16_t wDirection = 0, wButton = 0;
    int64_t nPlayed = 0;
    while (nPlayed < kPlayedAtMost && lpRecords->m_replay.PlayReplayFrame(wDirection, wButton) == 0) ++nPlayed;
    if (nPlayed != std::min(nFrames, kPlayedAtMost)) return FuzzOutcome::Broken;
    lpRecords->m_replay.RewindPlayback();

    // Saved again, the replay reads back into fresh records and saves to the same bytes.
    const Bytes first = lpRecords->Written();
    if (first.empty()) return FuzzOutcome::Broken;
    auto lpAgain = std::make_unique<ReplayRecords>();
    if (lpAgain->Read(first.data(), first.size()) != 1) return FuzzOutcome::Broken;
    return lpAgain->Written() == first ? FuzzOutcome::Loaded : FuzzOutcome::Broken;
}

FuzzOutcome CheckKeyConfigInput(const uint8_t* data, size_t size)
{
    fuzz::PrepareHost();
    KeyConfigData before{};
    DefaultKeyConfig(before);
    for (int32_t i = 0; i < KEYCONFIG_ENTRIES; ++i) before.Bind[i].wReserved = static_cast<uint16_t>(0x5A00 + i);
    const std::string path = fuzz::ScratchPath("KeyConfig.dat");
    fuzz::WriteScratch(path, data, size);
    KeyConfigData config = before;
    const int nRead = ReadKeyConfigFile(path.c_str(), config);
    std::remove(path.c_str());
    if (nRead != 1) return FuzzOutcome::Broken;   // the file was there to be opened

    // Each field the file holds whole shows its bytes; the others keep their values. Only the
    // two counts that bound the polling loops may differ, and only to come into range.
    uint8_t image[KEYCONFIG_FILE_SIZE];
    uint8_t previous[KEYCONFIG_FILE_SIZE];
    std::memcpy(image, &config, sizeof image);
    std::memcpy(previous, &before, sizeof previous);
    for (const KeyConfigField& field : KeyConfigFields()) {
        if (field.m_nOffset == 96 || field.m_nOffset == 100) continue;   // the counts, below
        const bool bInFile = size >= field.m_nOffset + field.m_nWidth;
        const uint8_t* lpExpected = bInFile ? data + field.m_nOffset : previous + field.m_nOffset;
        if (std::memcmp(image + field.m_nOffset, lpExpected, field.m_nWidth) != 0) return FuzzOutcome::Broken;
    }
    auto countKept = [&](size_t nOffset, int32_t nValue, int32_t nMaximum) {
        if (nValue < 0 || nValue > nMaximum) return false;
        const int32_t nStored = size >= nOffset + 4 ? Int32At(data + nOffset) : Int32At(previous + nOffset);
        return nStored == nValue || nStored < 0 || nStored > nMaximum;
    };
    if (!countKept(96, config.nCount, KEYCONFIG_ENTRIES) ||
        !countKept(100, config.nJoyCount, static_cast<int32_t>(JOYSTICK_MAX_DEVICES)))
        return FuzzOutcome::Broken;

    // One frame of input through the configuration, both ways the player polls.
    const KeyConfigData saved = KeyConfig;
    KeyConfig = config;
    cKeyInput input;
    input.PollConfiguredInput(1, 0);
    input.PollInput(0, 3, 0);
    KeyConfig = saved;
    return FuzzOutcome::Loaded;
}

FuzzOutcome CheckSystemIniInput(const uint8_t* data, size_t size)
{
    fuzz::PrepareHost();
    const std::vector<cEdSystemOption>& options = IniOptions();
    SYSTEMINI defaults;
    std::memset(&defaults, 0x55, sizeof defaults);
    SetSystemIniDefaults(defaults, options);
    SYSTEMINI ini = defaults;
    const std::string path = fuzz::ScratchPath("System.ini");
    fuzz::WriteScratch(path, data, size);
    const int nRead = ReadSystemIni(path.c_str(), ini, options);
    std::remove(path.c_str());
    // The stage to play directly is used as a C string.
    if (std::memchr(ini.FreeStage, 0, sizeof ini.FreeStage) == nullptr) return FuzzOutcome::Broken;
    if (nRead == 0) {
        // Start-up then applies the defaults again, and they must be what they were.
        SetSystemIniDefaults(ini, options);
        return SameSettings(ini, defaults) ? FuzzOutcome::Refused : FuzzOutcome::Broken;
    }
    if (nRead != 1) return FuzzOutcome::Broken;
    // The same file read again over the same defaults gives the same settings.
    SYSTEMINI again = defaults;
    fuzz::WriteScratch(path, data, size);
    const int nAgain = ReadSystemIni(path.c_str(), again, options);
    std::remove(path.c_str());
    return nAgain == 1 && SameSettings(ini, again) ? FuzzOutcome::Loaded : FuzzOutcome::Broken;
}

namespace fuzz {

std::vector<Bytes> PlayerFileSeeds(const std::string& strTarget)
{
    PrepareHost();
    std::vector<Bytes> seeds;
    if (strTarget == "option") {
        seeds.push_back(SavedFile(std::make_unique<cOptionData>()));
        seeds.push_back(SavedFile(MakeOptions()));
    } else if (strTarget == "boot") {
        seeds.push_back(SavedFile(std::make_unique<cBootSettings>()));
        seeds.push_back(SavedFile(MakeBoot()));
    } else if (strTarget == "window") {
        seeds.push_back(SavedFile(MakeWindow()));
    } else if (strTarget == "save_data") {
        seeds.push_back(SavedFile(std::make_unique<cSaveData>()));
        seeds.push_back(SavedFile(MakeSaveData()));
    } else if (strTarget == "ranking") {
        seeds.push_back(SavedFile(std::make_unique<cRankingFile>()));
        seeds.push_back(SavedFile(MakeRanking()));
    } else if (strTarget == "replay") {
        // A short play of a default stage with a hero, as the save keys write it, before and
        // after a second play made it the previous one.
        auto lpRecords = std::make_unique<ReplayRecords>();
        cEdChara hero;
        hero.m_nGraphicIndex = 1;
        hero.m_nController = 0;
        lpRecords->m_stage.m_vChara.push_back(hero);
        lpRecords->m_second.CopyFields(lpRecords->m_stage);
        lpRecords->m_replay.nSeed = 4242;
        for (int16_t i = 0; i < 40; ++i) lpRecords->m_replay.RecordReplayFrame(i / 10, i % 3 == 0 ? 1 : 0);
        seeds.push_back(lpRecords->Written());
        lpRecords->m_save.nScore = 1200;
        lpRecords->m_save.CommonVars[3] = -7;
        lpRecords->m_replay.Clear();
        seeds.push_back(lpRecords->Written());
    } else if (strTarget == "key_config") {
        // The player never writes this file: the seeds are the record's images.
        KeyConfigData config{};
        DefaultKeyConfig(config);
        seeds.emplace_back(reinterpret_cast<const uint8_t*>(&config),
                           reinterpret_cast<const uint8_t*>(&config) + sizeof config);
        config.bUseConfig = 1;
        config.nJoyCount = 2;
        config.Bind[0] = {1, KEYCONFIG_AXIS_LEFT, 0};
        config.Bind[4] = {0, 0x0001, 0};
        config.Bind[5] = {1, 0x0002, 0};
        seeds.emplace_back(reinterpret_cast<const uint8_t*>(&config),
                           reinterpret_cast<const uint8_t*>(&config) + sizeof config);
    } else if (strTarget == "system_ini") {
        // Nor this one: the seeds are files as players write them.
        seeds.push_back(TextBytes("Direct3D=1\r\nWindowMode=1\r\nBpp=32\r\nVSync=2\r\nD3D_FontCache=0\r\n"
                                  "DD_FontCache=1\r\nDD_VideoStretch=0\r\nShowFps=0\r\nEnglish=0\r\nExit\r\n"));
        seeds.push_back(TextBytes("Direct 3D = 0 // DirectDraw\nBpp=16\nFreeStage=data\\stg4\\Forest.stg4_000\n"
                                  "no key here\nExit"));
        seeds.push_back(TextBytes("WindowMode=2\nShowFps=2\n\0after the end"));
    }
    return seeds;
}

}  // namespace fuzz
