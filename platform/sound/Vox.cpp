// The Ogg player library. The file is read whole when loaded; decoding happens in the mixer as
// the player plays, into a small block of frames that is resampled to the mixer's rate by linear
// interpolation.
#include "platform/sound/Vox.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <strings.h>
#include <vector>

#include "platform/sound/SoundHost.h"
#include "platform/sound/SoundMixer.h"
#include "platform/sound/VorbisHeaderCheck.h"
#include "platform/win/WinFile.h"

namespace {

using snd::cMixer;

constexpr int32_t kLoopForever = 0x7FFFFFFF;

struct cMemoryFile {
    std::vector<uint8_t> bytes;
    size_t pos = 0;
};

size_t MemRead(void* out, size_t size, size_t count, void* source)
{
    auto* f = static_cast<cMemoryFile*>(source);
    if (size == 0) return 0;
    const size_t left = (f->bytes.size() - f->pos) / size;
    const size_t n = count < left ? count : left;
    if (n == 0) return 0;   // an empty file has no bytes to point at
    std::memcpy(out, f->bytes.data() + f->pos, n * size);
    f->pos += n * size;
    return n;
}

int MemSeek(void* source, ogg_int64_t offset, int whence)
{
    auto* f = static_cast<cMemoryFile*>(source);
    ogg_int64_t base = whence == SEEK_SET ? 0
                       : whence == SEEK_CUR ? static_cast<ogg_int64_t>(f->pos)
                                            : static_cast<ogg_int64_t>(f->bytes.size());
    const ogg_int64_t to = base + offset;
    if (to < 0 || to > static_cast<ogg_int64_t>(f->bytes.size())) return -1;
    f->pos = static_cast<size_t>(to);
    return 0;
}

long MemTell(void* source)
{
    return static_cast<long>(static_cast<cMemoryFile*>(source)->pos);
}

class cVoxImpl final : public cVoxPlayer, public snd::cSource {
public:
    BOOL Load(const char* path) override
    {
        Unload();
        if (!path) return 0;
        auto file = std::make_unique<cMemoryFile>();
        FILE* f = PlatformFopen(path, "rb");
        if (!f) return 0;
        try {
            uint8_t block[65536];
            size_t got;
            while ((got = std::fread(block, 1, sizeof block, f)) > 0)
                file->bytes.insert(file->bytes.end(), block, block + got);
        } catch (const std::bad_alloc&) {
            std::fclose(f);
            return 0;
        }
        std::fclose(f);
        if (!VorbisHeadersAreSound(file->bytes.data(), file->bytes.size())) return 0;
        auto vf = std::make_unique<OggVorbis_File>();
        const ov_callbacks callbacks = {MemRead, MemSeek, nullptr, MemTell};
        if (ov_open_callbacks(file.get(), vf.get(), nullptr, 0, callbacks) != 0) return 0;
        const vorbis_info* info = ov_info(vf.get(), -1);
        if (!info || info->channels < 1 || info->rate < 100 || info->rate > 192000) {
            ov_clear(vf.get());
            return 0;
        }
        std::lock_guard<std::mutex> lock(cMixer::Instance().m_mutex);
        m_lpFile = std::move(file);
        m_lpVorbis = std::move(vf);
        m_nChannels = info->channels;
        m_nStep = (static_cast<uint64_t>(info->rate) << 32) / SoundMixRate;
        Rewind();
        return 1;
    }
    BOOL Play() override
    {
        cMixer& mixer = cMixer::Instance();
        if (!mixer.Open()) return 0;
        std::lock_guard<std::mutex> lock(mixer.m_mutex);
        if (!m_lpVorbis) return 0;
        mixer.CatchUp();
        if (m_bEnded) Rewind();
        m_nLoopsLeft = m_nLoopCount;
        m_bPlaying = true;
        mixer.AddSource(this);
        return 1;
    }
    BOOL Stop() override
    {
        cMixer& mixer = cMixer::Instance();
        std::lock_guard<std::mutex> lock(mixer.m_mutex);
        mixer.CatchUp();
        m_bPlaying = false;
        mixer.RemoveSource(this);
        return 1;
    }
    BOOL Unload() override
    {
        cMixer& mixer = cMixer::Instance();
        std::lock_guard<std::mutex> lock(mixer.m_mutex);
        mixer.CatchUp();
        m_bPlaying = false;
        mixer.RemoveSource(this);
        if (m_lpVorbis) ov_clear(m_lpVorbis.get());
        m_lpVorbis.reset();
        m_lpFile.reset();
        return 1;
    }
    BOOL SetLoop(int32_t count) override
    {
        std::lock_guard<std::mutex> lock(cMixer::Instance().m_mutex);
        m_nLoopCount = count < 0 ? 0 : count;
        m_nLoopsLeft = m_nLoopCount;
        return 1;
    }
    BOOL Reserved5() override { return 0; }
    BOOL Reserved6() override { return 0; }
    BOOL Reserved7() override { return 0; }
    BOOL Reserved8() override { return 0; }
    void Destroy() override
    {
        Unload();
        delete this;
    }

    void Mix(float* out, uint32_t frames) override
    {
        for (uint32_t i = 0; i < frames && m_bPlaying; ++i) {
            const float frac = static_cast<float>(m_nFrac & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
            out[i * 2] += m_fPrev[0] + (m_fNext[0] - m_fPrev[0]) * frac;
            out[i * 2 + 1] += m_fPrev[1] + (m_fNext[1] - m_fPrev[1]) * frac;
            m_nFrac += m_nStep;
            while (m_nFrac >= (uint64_t{1} << 32)) {
                m_nFrac -= uint64_t{1} << 32;
                if (m_bLastFrame) {
                    m_bPlaying = false;
                    m_bEnded = true;
                    break;
                }
                m_fPrev[0] = m_fNext[0];
                m_fPrev[1] = m_fNext[1];
                if (!NextFrame(m_fNext)) {
                    m_fNext[0] = m_fNext[1] = 0.0f;
                    m_bLastFrame = true;
                }
            }
        }
    }
    bool Finished() const override { return !m_bPlaying; }

private:
    ~cVoxImpl() override = default;

    void Rewind()
    {
        ov_pcm_seek(m_lpVorbis.get(), 0);
        m_nBlockFrames = m_nBlockPos = 0;
        m_nFrac = 0;
        m_bEnded = m_bLastFrame = false;
        m_fPrev[0] = m_fPrev[1] = 0.0f;
        if (!NextFrame(m_fPrev)) m_bLastFrame = true;
        m_fNext[0] = m_fPrev[0];
        m_fNext[1] = m_fPrev[1];
        if (!m_bLastFrame && !NextFrame(m_fNext)) m_bLastFrame = true;
    }

    // The next decoded frame, starting the file again while repeats are left.
    bool NextFrame(float* frame)
    {
        for (int attempts = 0; m_nBlockPos >= m_nBlockFrames; ++attempts) {
            float** pcm = nullptr;
            int section = 0;
            const long got = ov_read_float(m_lpVorbis.get(), &pcm, 1024, &section);
            if (got > 0) {
                const vorbis_info* info = ov_info(m_lpVorbis.get(), -1);
                const int channels = info ? info->channels : m_nChannels;
                m_vBlock.resize(static_cast<size_t>(got) * 2);
                for (long i = 0; i < got; ++i) {
                    m_vBlock[i * 2] = pcm[0][i];
                    m_vBlock[i * 2 + 1] = channels > 1 ? pcm[1][i] : pcm[0][i];
                }
                m_nBlockFrames = static_cast<size_t>(got);
                m_nBlockPos = 0;
                break;
            }
            if (got == OV_HOLE) continue;
            // End of the file, or a read error that ends it: repeat when a loop is left.
            if (m_nLoopsLeft == 0 || attempts > 1) return false;
            if (m_nLoopsLeft != kLoopForever) --m_nLoopsLeft;
            if (ov_pcm_seek(m_lpVorbis.get(), 0) != 0) return false;
        }
        frame[0] = m_vBlock[m_nBlockPos * 2];
        frame[1] = m_vBlock[m_nBlockPos * 2 + 1];
        ++m_nBlockPos;
        return true;
    }

    std::unique_ptr<cMemoryFile> m_lpFile;
    std::unique_ptr<OggVorbis_File> m_lpVorbis;
    int m_nChannels = 0;
    uint64_t m_nStep = 0;
    uint64_t m_nFrac = 0;
    int32_t m_nLoopCount = 0;
    int32_t m_nLoopsLeft = 0;
    bool m_bPlaying = false;
    bool m_bEnded = false;
    bool m_bLastFrame = false;
    float m_fPrev[2] = {};
    float m_fNext[2] = {};
    std::vector<float> m_vBlock;
    size_t m_nBlockFrames = 0;
    size_t m_nBlockPos = 0;
};

cVoxPlayer* CreateVox()
{
    // A player is only an object: the output is needed once it plays.
    if (SoundTakeFault(SoundFault::VoxPlayer)) return nullptr;
    return new (std::nothrow) cVoxImpl();
}

}  // namespace

struct HMODULE__ {
    const char* name;
};
static HMODULE__ g_VoxModule{"Vox.dll"};

HMODULE LoadLibraryA(const char* name)
{
    if (!name || strcasecmp(name, g_VoxModule.name) != 0) return nullptr;
    if (SoundTakeFault(SoundFault::VoxLibrary)) return nullptr;
    return &g_VoxModule;
}

FARPROC GetProcAddress(HMODULE module, const char* name)
{
    if (module != &g_VoxModule || !name || std::strcmp(name, "CreateVox") != 0) return nullptr;
    return reinterpret_cast<FARPROC>(&CreateVox);
}

BOOL FreeLibrary(HMODULE module)
{
    return module == &g_VoxModule ? 1 : 0;
}
