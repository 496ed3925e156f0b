#pragma once
// The Ogg Vorbis player library, loaded at run time by name. Its export "CreateVox" makes a
// player object; a player loads one file, plays it (repeating it loop-count more times, or for
// good at 0x7FFFFFFF), stops and unloads. Decoding streams into the sound mixer.
#include "platform/sound/SoundTypes.h"

struct HMODULE__;
using HMODULE = HMODULE__*;
using FARPROC = void* (*)();

// Run-time libraries of the layer, found by name ignoring case ("Vox.dll"); null otherwise.
HMODULE LoadLibraryA(const char* name);
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);

// A player. The operations keep their table order: load, play, stop, unload, loop count, four
// unused, destroy. Destroy ends the object; nothing may use it afterwards.
class cVoxPlayer {
public:
    virtual BOOL Load(const char* path) = 0;   // project path; non-zero when loaded
    virtual BOOL Play() = 0;
    virtual BOOL Stop() = 0;
    virtual BOOL Unload() = 0;
    virtual BOOL SetLoop(int32_t count) = 0;
    virtual BOOL Reserved5() = 0;
    virtual BOOL Reserved6() = 0;
    virtual BOOL Reserved7() = 0;
    virtual BOOL Reserved8() = 0;
    virtual void Destroy() = 0;

protected:
    virtual ~cVoxPlayer() = default;
};

using CREATEVOX = cVoxPlayer* (*)();
