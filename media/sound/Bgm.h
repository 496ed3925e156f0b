#pragma once
// The background-music manager. A track is one file name per format: an Ogg Vorbis file played by
// the Ogg player library "Vox.dll", and a standard MIDI file played by a MIDI stream player. A
// track whose kind is not fixed is tried as Ogg first and as MIDI second. One Ogg player and one
// MIDI player slot per channel. Called on the user-interface thread (the options scene calls
// InitBgm and ReleaseBgm on the game thread while no music is being started).
#include <cstdint>
#include <vector>

#include "platform/sound/Vox.h"

class cMidiStream;

// The Ogg side: the player library and its players, one per channel.
class cVox {
public:
    cVox() = default;
    ~cVox();
    cVox(const cVox&) = delete;
    cVox& operator=(const cVox&) = delete;

    int VoxInit();
    int CreateVoxPlayers(int32_t count);
    int PlayVox(int32_t channel, const char* path, int32_t loop);
    void StopVox();
    void ReleaseVox();

    cVoxPlayer** m_lplpPlayer = nullptr;   // malloc'd
    int32_t m_nPlayerCount = 0;
    int32_t m_nChannel = -1;               // the channel playing, -1 none
    HMODULE m_hModule = nullptr;
    CREATEVOX m_lpCreateVox = nullptr;
};

using BgmOggName = char[260];
using BgmMidName = char[264];

class cBgm {
public:
    enum : int32_t { TryOggThenMidi = 0, OggOnly = 1, MidiOnly = 2 };
    static constexpr int32_t kLoopForever = 0x7FFFFFFF;

    cBgm();
    ~cBgm();
    cBgm(const cBgm&) = delete;
    cBgm& operator=(const cBgm&) = delete;

    int InitBgm(int32_t channels, BgmOggName* oggNames, BgmMidName* midNames, int32_t tracks);
    int ResizeBgmChannels(int32_t channels);
    int SetBgmTrack(int32_t track, const char* path);
    int PlayBgm(int32_t channel, int32_t track, int32_t loop, int32_t pauseOther, int32_t force);
    void StopBgm();
    void ReleaseBgm();

    void StopAllMidi(int32_t pause);
    int PlayMidi(int32_t channel, const char* path, int32_t loop);

    int32_t m_bInitialized = 0;
    cVox m_Vox;
    BgmOggName* m_lpOggNames = nullptr;
    std::vector<cMidiStream*> m_vMidi;
    BgmMidName* m_lpMidNames = nullptr;
    int32_t m_nCurrentTrack = -1;
    std::vector<int32_t> m_vTrackKind;

private:
    bool IsTrack(int32_t track, const char* caller) const;
    void DeleteMidiPlayers();
};
