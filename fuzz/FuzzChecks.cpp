#include "fuzz/FuzzChecks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "data/EdCommand.h"
#include "data/EdDatabase.h"
#include "data/EdFlow.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/EdWorldMap.h"
#include "data/RecordStream.h"
#include "data/StageLoader.h"
#include "fuzz/FuzzFiles.h"
#include "media/sound/MidiStream.h"
#include "platform/host/Host.h"
#include "platform/sound/SoundHost.h"

namespace {

using fuzz::Bytes;
using fuzz::PrepareHost;
using fuzz::ReadFileBytes;
using fuzz::SavedBytes;
using fuzz::ScratchPath;
using fuzz::WriteScratch;

// Database lists: no saving code of their own, so a list file is written as the list loader
// reads it (the format version, then the record vector).
template <class T>
Bytes SaveListFile(std::vector<T>& list)
{
    const std::string path = ScratchPath("list");
    FILE* fp = OpenRecordFileForWrite(path.c_str());
    if (!fp) return {};
    const bool bWritten = SaveRecordVector(fp, list);
    const bool bClosed = CloseRecordFile(fp);
    Bytes bytes = (bWritten && bClosed) ? ReadFileBytes(path) : Bytes();
    std::remove(path.c_str());
    return bytes;
}

template <class T>
FuzzOutcome CheckList(const uint8_t* data, size_t size)
{
    const std::string path = ScratchPath("input");
    WriteScratch(path, data, size);
    std::vector<T> list;
    const int nLoaded = LoadDatabaseList(list, path.c_str(), T());
    std::remove(path.c_str());
    if (!nLoaded) return FuzzOutcome::Refused;

    const Bytes first = SaveListFile(list);
    if (first.empty()) return FuzzOutcome::Broken;
    WriteScratch(path, first.data(), first.size());
    std::vector<T> again;
    const int nReloaded = LoadDatabaseList(again, path.c_str(), T());
    std::remove(path.c_str());
    if (!nReloaded) return FuzzOutcome::Broken;
    return SaveListFile(again) == first ? FuzzOutcome::Loaded : FuzzOutcome::Broken;
}

constexpr int kDatabaseLists = 10;

FuzzOutcome CheckListOf(int nList, const uint8_t* data, size_t size)
{
    switch (nList) {
    case 0: return CheckList<cEdAnimeSet>(data, size);
    case 1: return CheckList<cEdAnime>(data, size);
    case 2: return CheckList<cEdBmpCharaExc>(data, size);
    case 3: return CheckList<cEdSwordType>(data, size);
    case 4: return CheckList<cEdEffect>(data, size);
    case 5: return CheckList<cEdCharaEffect>(data, size);
    case 6: return CheckList<cEdScrEffect>(data, size);
    case 7: return CheckList<cEdPicture>(data, size);
    case 8: return CheckList<cEdSound>(data, size);
    default: return CheckList<cEdBgm>(data, size);
    }
}

constexpr int kRecordBodyClasses = 6;

std::unique_ptr<cFieldListRecord> NewBodyRecord(uint8_t nClass)
{
    switch (nClass % kRecordBodyClasses) {
    case 0: return std::make_unique<cEdFlow>(cEdFlow::Default());
    case 1: return std::make_unique<cEdCommand>(cEdCommand::Default());
    case 2: return std::make_unique<cEdCondition>(cEdCondition::Default());
    case 3: return std::make_unique<cEdKeyList>(cEdKeyList::Default());
    case 4: return std::make_unique<cEdMove>();
    default: return std::make_unique<cEdShot>();
    }
}

bool LoadBody(cFieldListRecord& record, const uint8_t* data, size_t size, uint32_t nVersion)
{
    FILE* fp = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : fmemopen(nullptr, 1, "w+b");
    if (!fp) return false;
    g_nFileVersion = nVersion;
    const bool bOk = record.Load(fp);
    std::fclose(fp);
    return bOk;
}

// Empty when the save failed.
Bytes SavedBody(cFieldListRecord& record)
{
    char* lpBuffer = nullptr;
    size_t nSize = 0;
    FILE* fp = open_memstream(&lpBuffer, &nSize);
    if (!fp) std::abort();
    const bool bSaved = record.Save(fp);
    std::fclose(fp);
    Bytes bytes;
    if (bSaved) bytes.assign(lpBuffer, lpBuffer + nSize);
    std::free(lpBuffer);
    return bytes;
}

// The versions below this are the ones that change record layouts.
constexpr uint32_t kBodyVersions = 800;

Bytes WithPrefix(const Bytes& prefix, const Bytes& body)
{
    Bytes bytes = prefix;
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

Bytes SavedFileOf(cFieldListRecord& record)
{
    return SavedBytes(record, "seed");
}

// A format 0 file of one track: a tempo, a program change, one note on and off, the track end.
Bytes SmallMidiFile()
{
    const Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,   // tempo 500000
                         0x00, 0xC0, 0x05,                           // program 5
                         0x00, 0x90, 0x3C, 0x64,                     // note on
                         0x60, 0x80, 0x3C, 0x00,                     // note off after 96 ticks
                         0x00, 0xFF, 0x2F, 0x00};                    // end of track
    Bytes file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0,
                  static_cast<uint8_t>(track.size())};
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

}  // namespace

FuzzOutcome CheckStageInput(const uint8_t* data, size_t size)
{
    PrepareHost();
    const std::string path = ScratchPath("stage");
    WriteScratch(path, data, size);
    // The player refuses a file that fails the trailer check before reading it; the load itself
    // must still be safe for any bytes, so both run.
    CheckStageFile(path.c_str());
    std::remove(path.c_str());
    HostClearRecordedMessageBoxes();
    const FuzzOutcome outcome = fuzz::CheckWholeFile<cEdStage>(data, size);
    if (outcome != FuzzOutcome::Loaded) return outcome;
    // A stage the loader took saves with its trailer.
    cEdStage stage;
    WriteScratch(path, data, size);
    const int nLoaded = stage.LoadFromFile(path.c_str());
    std::remove(path.c_str());
    if (!nLoaded) return FuzzOutcome::Broken;
    const Bytes saved = SavedBytes(stage, "trailer");
    WriteScratch(path, saved.data(), saved.size());
    const int nChecked = CheckStageFile(path.c_str());
    std::remove(path.c_str());
    HostClearRecordedMessageBoxes();
    return nChecked == 1 ? FuzzOutcome::Loaded : FuzzOutcome::Broken;
}

FuzzOutcome CheckDatabaseListInput(const uint8_t* data, size_t size)
{
    if (size < 1) return FuzzOutcome::Refused;
    PrepareHost();
    return CheckListOf(data[0] % kDatabaseLists, data + 1, size - 1);
}

FuzzOutcome CheckSystemInput(const uint8_t* data, size_t size)
{
    return fuzz::CheckWholeFile<cEdSystem>(data, size);
}

FuzzOutcome CheckWorldMapInput(const uint8_t* data, size_t size)
{
    return fuzz::CheckWholeFile<cEdWorldMap>(data, size);
}

FuzzOutcome CheckPaletteInput(const uint8_t* data, size_t size)
{
    return fuzz::CheckWholeFile<cEdPalette>(data, size);
}

FuzzOutcome CheckRecordBodyInput(const uint8_t* data, size_t size)
{
    if (size < 5) return FuzzOutcome::Refused;
    PrepareHost();
    uint32_t nVersion;
    std::memcpy(&nVersion, data + 1, 4);
    nVersion %= kBodyVersions;
    std::unique_ptr<cFieldListRecord> lpRecord = NewBodyRecord(data[0]);
    if (!LoadBody(*lpRecord, data + 5, size - 5, nVersion)) return FuzzOutcome::Refused;

    const Bytes first = SavedBody(*lpRecord);
    if (first.empty()) return FuzzOutcome::Broken;
    std::unique_ptr<cFieldListRecord> lpAgain = NewBodyRecord(data[0]);
    if (!LoadBody(*lpAgain, first.data(), first.size(), kCurrentDataVersion)) return FuzzOutcome::Broken;
    return SavedBody(*lpAgain) == first ? FuzzOutcome::Loaded : FuzzOutcome::Broken;
}

FuzzOutcome CheckMidiInput(const uint8_t* data, size_t size)
{
    PrepareHost();
    const std::string path = ScratchPath("midi.mid");
    WriteScratch(path, data, size);
    SoundArmFault(SoundFault::MidiDevice);   // the reader and the buffers, not the synthesiser
    cMidiStream midi(path.c_str());
    SoundDisarmAllFaults();
    std::remove(path.c_str());
    if (!midi.GetImage()) return FuzzOutcome::Refused;
    std::vector<char> buffer(cMidiStream::kBufferSize);
    MIDIHDR header{};
    header.lpData = buffer.data();
    header.dwBufferLength = cMidiStream::kBufferSize;
    uint32_t nAt = cMidiFile::kImageHeaderSize;
    while (nAt < midi.GetImageSize()) {
        const uint32_t nUsed = midi.FillMidiBuffer(nAt, &header);
        if (nUsed == 0) return FuzzOutcome::Broken;   // a stream that could never move on
        nAt += nUsed;
    }
    return FuzzOutcome::Loaded;
}

const std::vector<FuzzTarget>& FuzzTargets()
{
    static const std::vector<FuzzTarget> targets = {
        {"stage", &CheckStageInput},           {"database_list", &CheckDatabaseListInput},
        {"system", &CheckSystemInput},         {"world_map", &CheckWorldMapInput},
        {"palette", &CheckPaletteInput},       {"record_body", &CheckRecordBodyInput},
        {"midi_reader", &CheckMidiInput},      {"option", &CheckOptionInput},
        {"boot", &CheckBootInput},             {"window", &CheckWindowInput},
        {"save_data", &CheckSaveDataInput},    {"ranking", &CheckRankingInput},
        {"key_config", &CheckKeyConfigInput},  {"system_ini", &CheckSystemIniInput},
        {"bitmap", &CheckBitmapInput},         {"wave", &CheckWaveInput},
        {"ogg", &CheckOggInput},               {"replay", &CheckReplayInput},
    };
    return targets;
}

std::vector<Bytes> FuzzSeeds(const std::string& strTarget)
{
    PrepareHost();
    std::vector<Bytes> seeds;
    if (strTarget == "stage") {
        cEdStage stage;
        stage.SetDefaults();
        seeds.push_back(SavedFileOf(stage));
        // One with something in every vector, so that the fuzzer starts from each element reader.
        stage.m_vBlock.resize(2);
        stage.m_vChara.resize(2);
        stage.m_vItem.resize(2);
        stage.m_vPaletteBlock.resize(3);
        stage.m_vPaletteChara.resize(3);
        stage.m_vPaletteItem.resize(3);
        stage.m_vBackground.resize(1);
        stage.m_vText.resize(1);
        seeds.push_back(SavedFileOf(stage));
    } else if (strTarget == "database_list") {
        cEdDatabase database;
        database.SetDefaults();
        const Bytes lists[kDatabaseLists] = {
            SaveListFile(database.m_vAnimeSet), SaveListFile(database.m_vAnime),
            SaveListFile(database.m_vBmpCharaExc), SaveListFile(database.m_vSwordType),
            SaveListFile(database.m_vEffect), SaveListFile(database.m_vCharaEffect),
            SaveListFile(database.m_vScrEffect), SaveListFile(database.m_vPicture),
            SaveListFile(database.m_vSound), SaveListFile(database.m_vBgm)};
        for (int i = 0; i < kDatabaseLists; ++i) seeds.push_back(WithPrefix({static_cast<uint8_t>(i)}, lists[i]));
    } else if (strTarget == "system") {
        cEdSystem system;
        system.SetDefaults();
        seeds.push_back(SavedFileOf(system));
    } else if (strTarget == "world_map") {
        cEdWorldMap map;
        map.SetDefaults();
        seeds.push_back(SavedFileOf(map));
        map.m_vEntry.resize(2);
        map.m_vEntry2.resize(1);
        seeds.push_back(SavedFileOf(map));
    } else if (strTarget == "palette") {
        cEdPalette palette;
        palette.Validate();
        seeds.push_back(SavedFileOf(palette));
        palette.m_vBlock.resize(palette.m_vBlock.size() + 2);
        palette.m_vChara.resize(palette.m_vChara.size() + 2);
        palette.m_vItem.resize(palette.m_vItem.size() + 2);
        seeds.push_back(SavedFileOf(palette));
    } else if (strTarget == "record_body") {
        const uint32_t nVersion = kCurrentDataVersion;
        for (uint8_t nClass = 0; nClass < kRecordBodyClasses; ++nClass) {
            std::unique_ptr<cFieldListRecord> lpRecord = NewBodyRecord(nClass);
            Bytes prefix = {nClass, 0, 0, 0, 0};
            std::memcpy(prefix.data() + 1, &nVersion, 4);
            seeds.push_back(WithPrefix(prefix, SavedBody(*lpRecord)));
        }
    } else if (strTarget == "midi_reader") {
        seeds.push_back(SmallMidiFile());
    } else {
        seeds = fuzz::PlayerFileSeeds(strTarget);
        if (seeds.empty()) seeds = fuzz::MediaSeeds(strTarget);
    }
    return seeds;
}
