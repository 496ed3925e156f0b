#include "tools/demo/DemoProject.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "data/EdDatabase.h"
#include "data/EdSystem.h"
#include "data/EdWorldMap.h"
#include "data/ProjectPaths.h"
#include "data/RecordStream.h"
#include "platform/win/WinFile.h"
#include "tools/demo/DemoArt.h"
#include "tools/demo/DemoCanvas.h"
#include "tools/demo/DemoSound.h"
#include "tools/demo/DemoStage.h"
#include "tools/demo/DemoPalette.h"

const char* const DemoGameTitle = "サンプルゲーム";
const char* const DemoStageFiles[3] = {"data\\stg4\\Stage1.stg4_000", "data\\stg4\\Stage2.stg4_000",
                                      "data\\stg4\\Stage3.stg4_000"};
const char* const DemoChallengeFiles[3] = {"data\\stg4\\c01-1.stg4_000", "data\\stg4\\c02-1.stg4_000",
                                          "data\\stg4\\c03-1.stg4_000"};

namespace {

// The folders the project's files go into, parents first.
const char* const kFolders[] = {
    "user_data", "user_data\\story", "user_data\\challenge", "user_data\\free", "user_data\\rpl4",
    "data", "data\\database", "data\\stg4", "data\\plt4", "data\\work",
    "bmp", "bmp\\plt", "bmp\\hbt", "bmp\\back", "bmp\\chara_sp", "bmp\\effect", "bmp\\picture", "bmp\\sword",
    "wave", "bgm",
};

bool MakeFolders(std::string* error)
{
    for (const char* folder : kFolders) {
        const DWORD attributes = GetFileAttributes(folder);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (!CreateDirectory(folder, nullptr)) {
            *error = std::string("cannot create folder ") + folder;
            return false;
        }
    }
    return true;
}

// "System.ini": a window through Direct3D at 32 bits, so the start dialog is not shown.
bool WriteSystemIni(std::string* error)
{
    const std::string text =
        "Direct3D=1\r\n"
        "WindowMode=1\r\n"
        "Bpp=32\r\n"
        "VSync=2\r\n"
        "D3D_FontCache=0\r\n"
        "DD_FontCache=1\r\n"
        "DD_VideoStretch=0\r\n"
        "ShowFps=0\r\n"
        "English=0\r\n"
        "Exit\r\n";
    if (!WriteProjectFile("System.ini", std::vector<uint8_t>(text.begin(), text.end()))) {
        *error = "cannot write System.ini";
        return false;
    }
    return true;
}

bool WriteSystem(std::string* error)
{
    cEdSystem system;
    system.SetDefaults();
    system.m_strGameTitle = DemoGameTitle;
    const std::vector<DemoSoundFile>& sounds = DemoSystemSounds();
    for (size_t i = 0; i < sounds.size() && i < system.m_vSoundFile.size(); ++i) system.m_vSoundFile[i] = sounds[i].m_lpPath;
    // Every menu scene plays the title music (database music 1).
    for (int32_t& bgm : system.m_vSystemBgm) bgm = 1;
    // The options screen: one label per option, in the order of the values it shows. The palette
    // pattern acts only in the 8-bit display mode, which the demo does not use, so it is not
    // offered.
    static const char* const kOptionLabels[6] = {"パレット", "BGM", "SE", "ランキング登録", "ランキング登録名", "もどる"};
    system.m_vOptionMenu.assign(6, cEdSystemText());
    for (size_t i = 0; i < 6; ++i) {
        system.m_vOptionMenu[i].m_strText = kOptionLabels[i];
        system.m_vOptionMenu[i].m_bEnabled = i == 0 ? 0 : 1;
    }
    system.m_nChallengeStages = 3;
    if (!system.SaveToFile(ProjectPathTable[35])) {
        *error = std::string("cannot write ") + ProjectPathTable[35];
        return false;
    }
    return true;
}

template <class T>
bool SaveList(std::vector<T>& list, const char* path)
{
    FILE* fp = OpenRecordFileForWrite(path);
    if (!fp) return false;
    const bool bWritten = SaveRecordVector(fp, list);
    return CloseRecordFile(fp) && bWritten;
}

bool WriteDatabase(std::string* error)
{
    cEdDatabase db;
    db.SetDefaults();
    // Sounds: entry 0 stays the "none" entry; the project's effects follow.
    const cEdSound soundPrototype = db.m_vSound[0];
    db.m_vSound.resize(1);
    for (const DemoSoundFile& s : DemoProjectSounds()) {
        cEdSound sound = soundPrototype;
        sound.m_strName = s.m_lpName;
        sound.m_strFile = s.m_lpPath;
        db.m_vSound.push_back(sound);
    }
    // Music: 1 the title theme as Ogg, 2 the same theme as MIDI.
    const cEdBgm bgmPrototype = db.m_vBgm[0];
    db.m_vBgm.resize(1);
    cEdBgm title = bgmPrototype;
    title.m_strName = "タイトル";
    title.m_strFile = "bgm\\Title.ogg";
    db.m_vBgm.push_back(title);
    cEdBgm titleMidi = bgmPrototype;
    titleMidi.m_strName = "タイトル（MIDI）";
    titleMidi.m_strFile = "bgm\\Title.mid";
    db.m_vBgm.push_back(titleMidi);

    // Effect 1: the burst a defeated character leaves.
    cEdEffect burst = db.m_vEffect[0];
    burst.m_strName = "はじける";
    burst.m_strFile = "bmp\\Burst.bmp";
    burst.m_nCellWidth = 32;
    burst.m_nCellHeight = 32;
    burst.m_vFrames.clear();
    for (int32_t k = 0; k < 4; ++k) {
        cEdEffectEntry frame;
        frame.m_nFrame = k;
        frame.m_nTime = 1;
        burst.m_vFrames.push_back(frame);
    }
    db.m_vEffect.resize(1);
    db.m_vEffect.push_back(burst);

    // Sword type 1: the hero's sword, three poses in front of him.
    cEdSwordType sword = db.m_vSwordType[0];
    sword.m_strName = "つるぎ";
    sword.m_strLeftFile = "bmp\\SwordL.bmp";
    sword.m_strRightFile = "bmp\\SwordR.bmp";
    sword.m_vSteps.clear();
    for (int32_t k = 0; k < 3; ++k) {
        cEdSwordTypeEntry step;
        step.m_nSide = 0;
        step.m_nOffsetX = 10;   // into the hero's hand: his picture is narrower than its cell
        step.m_nSrcX = k * 32;
        step.m_nSrcY = 0;
        step.m_nWidth = 32;
        step.m_nHeight = 16;
        step.m_nTime = 1;
        sword.m_vSteps.push_back(step);
    }
    db.m_vSwordType.resize(1);
    db.m_vSwordType.push_back(sword);

    // Picture 1: what a star shows for a moment.
    cEdPicture super = db.m_vPicture[0];
    super.m_strName = "スーパー";
    super.m_strFile = "bmp\\Super.bmp";
    db.m_vPicture.resize(1);
    db.m_vPicture.push_back(super);

    // Entry 0 of both effect lists is "no effect"; the loader makes it so, and the files say so.
    db.m_vCharaEffect[0].m_nKind = 0;
    db.m_vScrEffect[0].m_nKind = 0;

    bool bOk = SaveList(db.m_vAnimeSet, DatabaseFilePath(0)) && SaveList(db.m_vAnime, DatabaseFilePath(1)) &&
               SaveList(db.m_vBmpCharaExc, DatabaseFilePath(2)) && SaveList(db.m_vSwordType, DatabaseFilePath(3)) &&
               SaveList(db.m_vEffect, DatabaseFilePath(4)) && SaveList(db.m_vCharaEffect, DatabaseFilePath(5)) &&
               SaveList(db.m_vScrEffect, DatabaseFilePath(6)) && SaveList(db.m_vPicture, DatabaseFilePath(7)) &&
               SaveList(db.m_vSound, DatabaseFilePath(8)) && SaveList(db.m_vBgm, DatabaseFilePath(9));
    if (!bOk) *error = "cannot write the database lists";
    return bOk;
}

// The world map: an island with two stage places joined by a road, a bridge to a castle.
bool WriteWorldMap(std::string* error)
{
    cEdWorldMap map;
    map.SetDefaults();
    static const char* const kChipNames[10] = {"海", "山", "森", "岩", "浅瀬", "草原", "砂浜", "道", "橋", "花畑"};
    for (int32_t i = 0; i < 10; ++i) map.m_vChip[static_cast<size_t>(i)].m_strName = kChipNames[i];
    // Rows of the map, one letter per cell: ~ sea, ^ mountain, T forest, o rocks, - shallows,
    // . grass, s sand, = road, H bridge, * flowers.
    static const char* const kRows[15] = {
        "~~~~~~~~~~~~~~~~~~~~",
        "~~~sssssss-sssss~~~~",
        "~~ss.......-..^^^s~~",
        "~~s..TTT...-..^^^^s~",
        "~~s.TTTTT..-...^^.s~",
        "~~s..TTT...-.*....s~",
        "~~s.....*..-......s~",
        "~~s..======H=====.s~",
        "~~s.**.....-....=.s~",
        "~~s..*.....-....=.s~",
        "~~s........-..o.=.s~",
        "~~ss...TT..-...==.s~",
        "~~~ss......-....ss~~",
        "~~~~ssssss---sss~~~~",
        "~~~~~~~~~~~~~~~~~~~~",
    };
    const std::string kKeys = "~^To-.s=H*";
    for (int32_t y = 0; y < 15; ++y) {
        for (int32_t x = 0; x < 20; ++x) {
            const size_t k = kKeys.find(kRows[y][x]);
            map.m_vCell[static_cast<size_t>(x + (y << map.m_nPitchShift))] = k == std::string::npos ? 0 : static_cast<int32_t>(k);
        }
    }
    // The meadow at the start may be walked past; the riverside path on the road east of the
    // bridge must be played to go on; the castle appears once the meadow is cleared and must be
    // played too.
    struct Place { int32_t x, y, icon, stage, passable, needFlag; const char* title; const char* file; };
    const Place kPlaces[3] = {
        {5, 7, 0, 1, 1, 0, "ステージ1　はじまりの草原", DemoStageFiles[0]},
        {16, 11, 1, 2, 0, 1, "ステージ2　いわやまの城", DemoStageFiles[1]},
        {14, 7, 2, 3, 0, 0, "ステージ3　かわべのこみち", DemoStageFiles[2]},
    };
    for (const Place& p : kPlaces) {
        cEdWorldEntry entry;
        entry.m_nX = p.x;
        entry.m_nY = p.y;
        entry.m_strName = p.title;
        cEdWorldEntryItem& item = entry.m_vEntryItem[0];
        item.m_nKind = 0;
        item.m_nIcon = p.icon;
        item.m_nStageNo = p.stage;
        item.m_bStopOnPlace = p.passable;
        item.m_bReplayable = 1;
        item.m_nNeedFlag = p.needFlag;
        item.m_strTitle = p.title;
        item.m_strStageFile = p.file;
        map.m_vEntry.push_back(entry);
    }
    map.m_nStartX = 5;
    map.m_nStartY = 7;
    map.m_nBackColor = Shade(RampBlue, 6);
    if (!map.SaveToFile(ProjectPathTable[13])) {
        *error = std::string("cannot write ") + ProjectPathTable[13];
        return false;
    }
    return true;
}

class cDirectoryGuard {
public:
    explicit cDirectoryGuard(std::filesystem::path previous) : m_Previous(std::move(previous)) {}
    ~cDirectoryGuard()
    {
        std::error_code ec;
        std::filesystem::current_path(m_Previous, ec);
    }

private:
    std::filesystem::path m_Previous;
};

}   // namespace

bool GenerateDemoProject(const std::string& folder, std::string* error)
{
    std::string ignored;
    if (!error) error = &ignored;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::filesystem::path previous = std::filesystem::current_path(ec);
    std::filesystem::current_path(folder, ec);
    if (ec) {
        *error = "cannot enter " + folder;
        return false;
    }
    cDirectoryGuard guard(previous);
    // Records are written in the current format whatever a previous load left behind.
    g_nDataVersion = kCurrentDataVersion;
    std::string failed;
    if (!MakeFolders(error) || !WriteSystemIni(error) || !WriteSystem(error) || !WriteDatabase(error) ||
        !WriteWorldMap(error) || !WriteDemoPaletteAndStages(error)) {
        return false;
    }
    if (!WriteDemoBitmaps(&failed) || !WriteDemoBlendTables(&failed) || !WriteDemoSounds(&failed)) {
        *error = "cannot write " + failed;
        return false;
    }
    return true;
}
