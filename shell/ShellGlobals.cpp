// The shell's game-wide objects, defined in the order they must be built (and destroyed in
// reverse): the threads before the containers they may still touch, the sound and music objects
// after the surfaces.
#include "shell/ShellGlobals.h"

#include <cstring>

std::atomic<int32_t> bTestPlay{0};
std::atomic<int32_t> bAppActive{0};
std::atomic<uint8_t> bInitDone{0};
std::atomic<int32_t> bWindowMode{0};
std::atomic<int32_t> bDirectStage{0};
std::atomic<int32_t> bTimerPacing{0};
std::atomic<int32_t> NameEntryDone{0};
std::atomic<int32_t> FileDialogDone{0};
std::atomic<int32_t> FileDialogResult{0};
HINSTANCE hInstance = nullptr;

cThread thGame;
cThread thPause;
cThread thRanking;
cThread thLoad;

DDSurfaceVector StageCharaSurfaces;
std::vector<BITMAPFILEENTRY> StageCharaSurfaceDescs;
DDSurfaceVector StageSwordSurfaces;
std::vector<BITMAPFILEENTRY> StageSwordSurfaceDescs;
DDSurfaceVector StageEffectSurfaces;
std::vector<BITMAPFILEENTRY> StageEffectSurfaceDescs;
DDSurfaceVector ScenePictures;
std::vector<BITMAPFILEENTRY> ScenePictureDescs;
DDSurfaceList PictureSurfaces;
std::list<BITMAPFILEENTRY> PictureSurfaceDescs;
DDSurfaceList Off_Msg;
std::list<BITMAPFILEENTRY> MessageSurfaceDescs;

DDSURFACEDATA SystemSurfaces[SystemSurfaceCount];

namespace {

struct BitmapRow {
    const char* file;
    int32_t key, mem, kind, mirror, optional, frame, width, height, mirrors;
};

// index = system surface number; "E" is a blank surface of the given size.
const BitmapRow BitmapRows[SystemSurfaceCount] = {
    {"bmp\\plt\\Palette.bmp", 0, 1, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Debug.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Block.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Block.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 2},
    {"bmp\\Character1.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Character1.bmp", 1, 0, 0, 1, 0, 32, 0, 0, 4},
    {"bmp\\Character2.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"bmp\\Character2.bmp", 1, 0, 0, 1, 1, 32, 0, 0, 6},
    {"bmp\\Character3.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"bmp\\Character3.bmp", 1, 0, 0, 1, 1, 32, 0, 0, 8},
    {"bmp\\Character4.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"bmp\\Character4.bmp", 1, 0, 0, 1, 1, 32, 0, 0, 10},
    {"bmp\\Character5.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"bmp\\Character5.bmp", 1, 0, 0, 1, 1, 32, 0, 0, 12},
    {"bmp\\Character6.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"bmp\\Character6.bmp", 1, 0, 0, 1, 1, 32, 0, 0, 14},
    {"bmp\\Character7.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"bmp\\Character7.bmp", 1, 0, 0, 1, 1, 32, 0, 0, 16},
    {"bmp\\Character8.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"bmp\\Character8.bmp", 1, 0, 0, 1, 1, 32, 0, 0, 18},
    {"bmp\\Shot.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Shot.bmp", 1, 0, 0, 1, 0, 16, 0, 0, 20},
    {"bmp\\Character1.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 4},
    {"bmp\\Character1.bmp", 1, 1, 0, 1, 0, 32, 0, 0, 4},
    {"bmp\\Character2.bmp", 1, 1, 0, 1, 1, 0, 0, 0, 6},
    {"bmp\\Character2.bmp", 1, 1, 0, 1, 1, 32, 0, 0, 6},
    {"bmp\\Character3.bmp", 1, 1, 0, 1, 1, 0, 0, 0, 8},
    {"bmp\\Character3.bmp", 1, 1, 0, 1, 1, 32, 0, 0, 8},
    {"bmp\\Character4.bmp", 1, 1, 0, 1, 1, 0, 0, 0, 10},
    {"bmp\\Character4.bmp", 1, 1, 0, 1, 1, 32, 0, 0, 10},
    {"bmp\\Character5.bmp", 1, 1, 0, 1, 1, 0, 0, 0, 12},
    {"bmp\\Character5.bmp", 1, 1, 0, 1, 1, 32, 0, 0, 12},
    {"bmp\\Character6.bmp", 1, 1, 0, 1, 1, 0, 0, 0, 14},
    {"bmp\\Character6.bmp", 1, 1, 0, 1, 1, 32, 0, 0, 14},
    {"bmp\\Character7.bmp", 1, 1, 0, 1, 1, 0, 0, 0, 16},
    {"bmp\\Character7.bmp", 1, 1, 0, 1, 1, 32, 0, 0, 16},
    {"bmp\\Character8.bmp", 1, 1, 0, 1, 1, 0, 0, 0, 18},
    {"bmp\\Character8.bmp", 1, 1, 0, 1, 1, 32, 0, 0, 18},
    {"bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 20},
    {"bmp\\Shot.bmp", 1, 1, 0, 1, 0, 16, 0, 0, 20},
    {"bmp\\Item.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Item.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 40},
    {"bmp\\Item_Mini.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Mark.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Mark.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 43},
    {"bmp\\Window.bmp", 0, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\StatusWindow.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Title.bmp", 0, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\GameMode.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"bmp\\Accessory.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Symbol.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\Word.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\WorldMapChip.bmp", 1, 0, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\WorldEvent.bmp", 1, 1, 0, 0, 0, 0, 0, 0, -1},
    {"bmp\\WorldBack.bmp", 0, 1, 0, 0, 1, 0, 0, 0, -1},
    {"背景その1.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"背景その2.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"背景その3.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"背景その4.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"背景その5.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"背景その6.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"背景その7.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"背景その8.bmp", 1, 0, 0, 0, 1, 0, 0, 0, -1},
    {"E", 1, 1, 0, 0, 0, 0, 256, 960, -1},
    {"E", 1, 1, 0, 0, 0, 0, 256, 960, -1},
    {"E", 1, 1, 0, 0, 0, 0, 640, 480, -1},
    {"E", 0, 1, 0, 0, 0, 0, 640, 480, -1},
    {"E", 1, 0, 0, 0, 0, 0, 640, 480, -1},
    {"E", 1, 1, 0, 1, 0, 0, 640, 480, 67},
    {"E", 1, 0, 2, 0, 0, 0, 1024, 1024, -1},
    {"E", 1, 1, 1, 0, 0, 0, 1024, 1024, -1},
};

struct BitmapFileTableInit {
    BitmapFileTableInit(BITMAPFILEENTRY* table)
    {
        for (int32_t i = 0; i < SystemSurfaceCount; ++i) {
            const BitmapRow& row = BitmapRows[i];
            BITMAPFILEENTRY& e = table[i];
            std::memset(&e, 0, sizeof(e));
            std::strncpy(e.szFileName, row.file, sizeof(e.szFileName) - 1);
            e.bColorKey = row.key;
            e.nDDMemoryType = row.mem;
            e.nDTMemoryType = row.kind;
            e.bView = row.mirror;
            e.bOptional = row.optional;
            e.nMirrorWidth = row.frame;
            e.nWidth = row.width;
            e.nHeight = row.height;
        }
    }
};

}  // namespace

BITMAPFILEENTRY BitmapFileTable[SystemSurfaceCount];
static BitmapFileTableInit BitmapFileTableFiller(BitmapFileTable);

std::vector<DSSOUNDDATA> SoundTable;
std::vector<DSSOUNDDESC> SoundDescTable;

cBgm BgmManager;
BgmOggName BgmOggFiles[5] = {"bgm\\Title.ogg", "bgm\\WorldMap.ogg", "bgm\\Challenge.ogg",
                             "bgm\\Option.ogg", "bgm\\Stage.ogg"};
BgmMidName BgmMidFiles[5] = {"bgm\\Title.mid", "bgm\\WorldMap.mid", "bgm\\Challenge.mid",
                             "bgm\\Option.mid", "bgm\\Stage.mid"};

void LinkMirrorSurfaces()
{
    for (int32_t i = 0; i < SystemSurfaceCount; ++i)
        if (BitmapRows[i].mirrors >= 0) SystemSurfaces[i].lpBaseSD = &SystemSurfaces[BitmapRows[i].mirrors];
}

void SuspendWorkerThreads()
{
    thGame.Suspend();
    thPause.Suspend();
    thRanking.Suspend();
    thLoad.Suspend();
}

void ResumeWorkerThreads()
{
    thGame.Resume();
    thPause.Resume();
    thRanking.Resume();
    thLoad.Resume();
}
