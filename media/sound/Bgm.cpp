#include "media/sound/Bgm.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/Path.h"
#include "media/sound/MidiStream.h"
#include "platform/win/WinFile.h"

namespace {

// Copies a path into a fixed name slot; false (slot emptied) when it does not fit.
template <size_t N>
bool StoreName(char (&slot)[N], const char* path)
{
    const size_t length = std::strlen(path);
    if (length >= N) {
        slot[0] = '\0';
        return false;
    }
    std::memcpy(slot, path, length + 1);
    return true;
}

// The reason an Ogg file did not load, in the words the MIDI reader uses for its own files: the
// file cannot be opened, or it is not an Ogg Vorbis file the player can decode.
void ReportOggFailure(const char* path)
{
    if (FILE* file = PlatformFopen(path, "rb")) {
        std::fclose(file);
        WriteReportTrace("Ogg %s Init Ogg Vorbisでない", path);
    } else {
        WriteReportTrace("Ogg %s Create ファイルが開けません", path);
    }
}

}  // namespace

cVox::~cVox()
{
    ReleaseVox();
}

int cVox::VoxInit()
{
    m_hModule = LoadLibraryA("Vox.dll");
    m_lpCreateVox =
        m_hModule ? reinterpret_cast<CREATEVOX>(GetProcAddress(m_hModule, "CreateVox")) : nullptr;
    if (!m_lpCreateVox) {
        if (m_hModule) FreeLibrary(m_hModule);
        m_hModule = nullptr;
        ErrorBox("oggの初期化に失敗！");
        return 0;
    }
    return 1;
}

int cVox::CreateVoxPlayers(int32_t count)
{
    StopVox();
    if (m_lplpPlayer) {
        for (int32_t i = 0; i < m_nPlayerCount; ++i)
            if (m_lplpPlayer[i]) m_lplpPlayer[i]->Destroy();
        std::free(m_lplpPlayer);
        m_lplpPlayer = nullptr;
    }
    m_nPlayerCount = 0;
    if (count <= 0) return 1;
    if (!m_lpCreateVox) return 0;
    m_lplpPlayer = static_cast<cVoxPlayer**>(std::calloc(static_cast<size_t>(count), sizeof(void*)));
    if (!m_lplpPlayer) {
        ReportOutOfMemory();
        return 0;
    }
    m_nPlayerCount = count;
    for (int32_t i = 0; i < count; ++i) {
        m_lplpPlayer[i] = m_lpCreateVox();
        if (!m_lplpPlayer[i]) {
            ReportOutOfMemory();
            return 0;
        }
    }
    return 1;
}

int cVox::PlayVox(int32_t channel, const char* path, int32_t loop)
{
    if (!path || path[0] == '\0') return 0;
    StopVox();
    if (channel < 0 || channel >= m_nPlayerCount || !m_lplpPlayer || !m_lplpPlayer[channel])
        return 0;
    cVoxPlayer* player = m_lplpPlayer[channel];
    player->Unload();
    if (!player->Load(path)) {
        ReportOggFailure(path);
        m_nChannel = -1;
        return 0;
    }
    player->SetLoop(loop != 0 ? cBgm::kLoopForever : 0);
    player->Play();
    m_nChannel = channel;
    return 1;
}

void cVox::StopVox()
{
    if (m_nChannel < 0) return;
    if (m_lplpPlayer && m_nChannel < m_nPlayerCount && m_lplpPlayer[m_nChannel])
        m_lplpPlayer[m_nChannel]->Stop();
    m_nChannel = -1;
}

void cVox::ReleaseVox()
{
    m_nChannel = -1;
    if (m_lplpPlayer) {
        for (int32_t i = 0; i < m_nPlayerCount; ++i)
            if (m_lplpPlayer[i]) m_lplpPlayer[i]->Destroy();
        std::free(m_lplpPlayer);
        m_lplpPlayer = nullptr;
    }
    m_nPlayerCount = 0;
    if (m_hModule) FreeLibrary(m_hModule);
    m_hModule = nullptr;
    m_lpCreateVox = nullptr;
}

cBgm::cBgm() = default;

cBgm::~cBgm()
{
    ReleaseBgm();
    m_Vox.ReleaseVox();
}

int cBgm::InitBgm(int32_t channels, BgmOggName* oggNames, BgmMidName* midNames, int32_t tracks)
{
    if (m_bInitialized) ReleaseBgm();
    DeleteMidiPlayers();
    if (!m_Vox.VoxInit()) {
        WriteTraceLog("m_Vox.Init失敗！");
        return 0;
    }
    // The manager counts as set up only once its players exist.
    m_bInitialized = 1;
    if (!ResizeBgmChannels(channels)) {
        ReleaseBgm();
        return 0;
    }
    m_lpOggNames = oggNames;
    m_lpMidNames = midNames;
    m_vTrackKind.assign(static_cast<size_t>(tracks > 0 && oggNames && midNames ? tracks : 0),
                        TryOggThenMidi);
    m_nCurrentTrack = -1;
    return 1;
}

int cBgm::ResizeBgmChannels(int32_t channels)
{
    if (!m_bInitialized) return 1;
    if (channels < 0) channels = 0;
    if (static_cast<size_t>(channels) < m_vMidi.size()) {
        for (size_t i = static_cast<size_t>(channels); i < m_vMidi.size(); ++i) delete m_vMidi[i];
    }
    m_vMidi.resize(static_cast<size_t>(channels), nullptr);
    return m_Vox.CreateVoxPlayers(channels);
}

bool cBgm::IsTrack(int32_t track, const char* caller) const
{
    if (track >= 0 && static_cast<size_t>(track) < m_vTrackKind.size()) return true;
    WriteReportTrace("%s : 曲番号%dは範囲外です", caller, track);
    return false;
}

int cBgm::SetBgmTrack(int32_t track, const char* path)
{
    if (!m_bInitialized) return 1;
    if (!IsTrack(track, "SetBgmTrack")) return 0;
    if (!path) path = "";
    char extension[MAX_PATH];
    if (!GetExtension(extension, path)) {
        m_lpOggNames[track][0] = '\0';
        m_lpMidNames[track][0] = '\0';
        m_vTrackKind[track] = TryOggThenMidi;
        return 0;
    }
    if (std::strlen(path) >= sizeof(BgmOggName)) {
        WriteReportTrace("SetBgmTrack : %s は長すぎます", path);
        m_lpOggNames[track][0] = '\0';
        m_lpMidNames[track][0] = '\0';
        m_vTrackKind[track] = TryOggThenMidi;
        return 0;
    }
    if (std::strcmp(extension, "mid") == 0 || std::strcmp(extension, "MID") == 0) {
        char name[MAX_PATH];
        if (!ReplaceExtension(name, path, "mid")) StoreName(name, path);
        StoreName(m_lpMidNames[track], name);
        m_vTrackKind[track] = MidiOnly;
        return 1;
    }
    if (std::strcmp(extension, "ogg") == 0 || std::strcmp(extension, "OGG") == 0) {
        StoreName(m_lpOggNames[track], path);
        m_vTrackKind[track] = OggOnly;
        return 1;
    }
    StoreName(m_lpOggNames[track], path);
    StoreName(m_lpMidNames[track], path);
    m_vTrackKind[track] = TryOggThenMidi;
    return 0;
}

int cBgm::PlayBgm(int32_t channel, int32_t track, int32_t loop, int32_t pauseOther, int32_t force)
{
    if (!m_bInitialized) return 1;
    if (!IsTrack(track, "PlayBgm")) return 0;
    if (track == m_nCurrentTrack && force == 0) return 1;
    m_nCurrentTrack = track;
    const char* ogg = m_lpOggNames[track];
    const char* mid = m_lpMidNames[track];
    switch (m_vTrackKind[track]) {
    case TryOggThenMidi:
        if (m_Vox.PlayVox(channel, ogg, loop)) {
            StopAllMidi(pauseOther);
            return 1;
        }
        if (PlayMidi(channel, mid, loop)) {
            m_Vox.StopVox();
            return 1;
        }
        break;
    case OggOnly:
        if (m_Vox.PlayVox(channel, ogg, loop)) {
            StopAllMidi(0);
            return 1;
        }
        break;
    case MidiOnly:
        if (PlayMidi(channel, mid, loop)) {
            m_Vox.StopVox();
            return 1;
        }
        break;
    default: break;
    }
    m_nCurrentTrack = -1;
    m_Vox.StopVox();
    StopAllMidi(0);
    return 0;
}

void cBgm::StopBgm()
{
    if (!m_bInitialized) return;
    StopAllMidi(0);
    m_Vox.StopVox();
}

void cBgm::ReleaseBgm()
{
    if (!m_bInitialized) return;
    m_Vox.ReleaseVox();
    DeleteMidiPlayers();
    m_vMidi.clear();
    m_nCurrentTrack = -1;
    m_bInitialized = 0;
}

void cBgm::StopAllMidi(int32_t pause)
{
    for (cMidiStream* player : m_vMidi)
        if (player) player->StopMidi(pause);
}

void cBgm::DeleteMidiPlayers()
{
    for (cMidiStream*& player : m_vMidi) {
        delete player;
        player = nullptr;
    }
}

int cBgm::PlayMidi(int32_t channel, const char* path, int32_t loop)
{
    StopAllMidi(1);
    DeleteMidiPlayers();
    char extension[MAX_PATH];
    if (!path || !GetExtension(extension, path) || std::strcmp(extension, "mid") != 0) return 0;
    if (channel < 0 || static_cast<size_t>(channel) >= m_vMidi.size()) {
        CheckedAt(m_vMidi, channel);   // reported as a bad index; nothing is made
        return 0;
    }
    cMidiStream* player = new cMidiStream(path);
    m_vMidi[static_cast<size_t>(channel)] = player;
    if (!player->IsPlayable()) return 0;
    player->RestartMidi(static_cast<uint32_t>(loop));
    return 1;
}
