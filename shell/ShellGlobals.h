#pragma once
// The shell's game-wide objects: process flags, completion flags of the main window's requests,
// the four thread objects, the system surfaces with their bitmap-file table, the sound tables,
// the music manager and the surface containers that the scenes fill.
#include <atomic>
#include <cstdint>
#include <list>
#include <vector>

#include "core/Thread.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/Surface.h"
#include "media/sound/Bgm.h"
#include "media/sound/SoundEffect.h"

constexpr int32_t SystemSurfaceCount = 71;

// Process flags. Read by the game threads while the user-interface thread writes them.
extern std::atomic<int32_t> bTestPlay;      // started by the editor (show command SW_SHOW)
extern std::atomic<int32_t> bAppActive;     // frames run only while set
extern std::atomic<uint8_t> bInitDone;
extern std::atomic<int32_t> bWindowMode;    // 1 window, 0 full screen
extern std::atomic<int32_t> bDirectStage;   // start-up itself started a stage file
extern std::atomic<int32_t> bTimerPacing;   // DirectDraw: frames paced by the timer, shown by a blit

// Completion flags of the requests game threads send to the main window; polled across threads.
extern std::atomic<int32_t> NameEntryDone;
extern std::atomic<int32_t> FileDialogDone;
extern std::atomic<int32_t> FileDialogResult;

extern HINSTANCE hInstance;

extern cThread thGame;
extern cThread thPause;
extern cThread thRanking;
extern cThread thLoad;

// Surface containers filled by the scenes (stage bitmaps, menu pictures, picture and message
// objects); the frame restores them after a DirectDraw surface loss.
extern DDSurfaceVector StageCharaSurfaces;
extern std::vector<BITMAPFILEENTRY> StageCharaSurfaceDescs;
extern DDSurfaceVector StageSwordSurfaces;
extern std::vector<BITMAPFILEENTRY> StageSwordSurfaceDescs;
extern DDSurfaceVector StageEffectSurfaces;
extern std::vector<BITMAPFILEENTRY> StageEffectSurfaceDescs;
extern DDSurfaceVector ScenePictures;
extern std::vector<BITMAPFILEENTRY> ScenePictureDescs;
extern DDSurfaceList PictureSurfaces;
extern std::list<BITMAPFILEENTRY> PictureSurfaceDescs;
extern DDSurfaceList Off_Msg;
extern std::list<BITMAPFILEENTRY> MessageSurfaceDescs;

extern DDSURFACEDATA SystemSurfaces[SystemSurfaceCount];
extern BITMAPFILEENTRY BitmapFileTable[SystemSurfaceCount];

// Entry n is sound-effect number n: 0..16 the project's system sounds, s + 16 database sound s.
extern std::vector<DSSOUNDDATA> SoundTable;
extern std::vector<DSSOUNDDESC> SoundDescTable;

extern cBgm BgmManager;
extern BgmOggName BgmOggFiles[5];
extern BgmMidName BgmMidFiles[5];

// Under Direct3D a mirrored entry of the system surfaces is drawn from the entry it mirrors.
void LinkMirrorSurfaces();

// Suspend or resume thGame, thPause, thRanking and thLoad in this order (around the modal
// name-entry dialog); a thread object without a thread is skipped.
void SuspendWorkerThreads();
void ResumeWorkerThreads();
