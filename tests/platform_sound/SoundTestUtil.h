#pragma once
// Helpers of the sound tests: byte-exact file fixtures, the headless clock, and reading back what
// the mixer played from its WAVE recording.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <iterator>
#include <unistd.h>
#include <string>
#include <vector>

#include "platform/host/Host.h"
#include "platform/sound/SoundHost.h"

namespace soundtest {

using Bytes = std::vector<uint8_t>;

inline void Put8(Bytes& b, uint32_t v) { b.push_back(static_cast<uint8_t>(v)); }
inline void Put16(Bytes& b, uint32_t v)
{
    Put8(b, v);
    Put8(b, v >> 8);
}
inline void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}
inline void PutBe16(Bytes& b, uint32_t v)
{
    Put8(b, v >> 8);
    Put8(b, v);
}
inline void PutBe32(Bytes& b, uint32_t v)
{
    PutBe16(b, v >> 16);
    PutBe16(b, v & 0xFFFF);
}
inline void PutText(Bytes& b, const char* text)
{
    while (*text) b.push_back(static_cast<uint8_t>(*text++));
}
inline void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

// A chunk: id, little-endian size, data, a pad byte when the size is odd.
inline Bytes Chunk(const char* id, const Bytes& data)
{
    Bytes b;
    PutText(b, id);
    Put32(b, static_cast<uint32_t>(data.size()));
    Append(b, data);
    if (data.size() & 1) b.push_back(0);
    return b;
}

// The format chunk's data: tag, channels, rate, bytes per second, block align, bits, then
// extra bytes up to fmtSize (cbSize first when there is room for it).
inline Bytes FormatData(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                        uint32_t fmtSize = 16)
{
    Bytes f;
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    Put16(f, tag);
    Put16(f, channels);
    Put32(f, rate);
    Put32(f, rate * align);
    Put16(f, align);
    Put16(f, bits);
    if (fmtSize >= 18) Put16(f, fmtSize - 18);
    while (f.size() < fmtSize) f.push_back(0xAB);
    f.resize(fmtSize);
    return f;
}

inline Bytes RiffWave(const Bytes& chunks)
{
    Bytes body;
    PutText(body, "WAVE");
    Append(body, chunks);
    return Chunk("RIFF", body);
}

inline Bytes Wave(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples)
{
    Bytes chunks = Chunk("fmt ", FormatData(1, channels, rate, bits));
    Append(chunks, Chunk("data", samples));
    return RiffWave(chunks);
}

inline void WriteFile(const std::filesystem::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The project form of a host path: backslashes.
inline std::string ProjectPath(const std::filesystem::path& path)
{
    std::string s = path.string();
    for (char& c : s)
        if (c == '/') c = '\\';
    return s;
}

// A fresh folder for one test.
inline std::filesystem::path TempFolder(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() /
               ("sound_test_" + std::to_string(::getpid()) + "_" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// What one test could leave to the next in the same process: the host, armed faults, a recording,
// an output opened on another host. Every sound fixture starts from here, so the tests pass in
// any order, each in a process of its own or all in one.
inline void ResetSharedState()
{
    SoundCloseOutput();
    HostSelect(HostKind::Headless);
    SoundDisarmAllFaults();
    HostDisarmAllFaults();
}

// Advances the virtual clock in steps and mixes up to it.
inline void Advance(uint32_t ms, uint32_t step = 10)
{
    while (ms > 0) {
        const uint32_t n = ms < step ? ms : step;
        HostAdvanceVirtualTime(n);
        SoundPump();
        ms -= n;
    }
}

inline uint32_t MsToFrames(double ms) { return static_cast<uint32_t>(ms * SoundMixRate / 1000.0); }

// What the mixer played between StartRecording and Stop, as stereo 16-bit frames.
class cRecording {
public:
    cRecording() = default;
    cRecording(const cRecording&) = delete;
    cRecording& operator=(const cRecording&) = delete;
    // A test that ends early leaves no recording running.
    ~cRecording()
    {
        if (m_bRecording) SoundStopRecording();
    }

    void Start(const std::filesystem::path& path)
    {
        m_Path = path;
        SoundPump();
        m_bRecording = SoundStartRecording(path.c_str());
    }
    bool Stop()
    {
        SoundStopRecording();
        m_bRecording = false;
        const Bytes b = ReadFile(m_Path);
        m_vSamples.clear();
        if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
            std::string(b.begin() + 8, b.begin() + 16) != "WAVEfmt " ||
            std::string(b.begin() + 36, b.begin() + 40) != "data")
            return false;
        const uint32_t bytes = b[40] | (b[41] << 8) | (b[42] << 16) | (uint32_t(b[43]) << 24);
        if (bytes > b.size() - 44) return false;
        for (uint32_t i = 0; i + 1 < bytes; i += 2)
            m_vSamples.push_back(static_cast<int16_t>(b[44 + i] | (b[45 + i] << 8)));
        return true;
    }
    size_t Frames() const { return m_vSamples.size() / 2; }
    int Left(size_t frame) const { return m_vSamples[frame * 2]; }
    int Right(size_t frame) const { return m_vSamples[frame * 2 + 1]; }
    // First frame at or after from whose either channel reaches threshold; -1 when none.
    int64_t FirstAbove(int threshold, size_t from = 0) const
    {
        for (size_t f = from; f < Frames(); ++f)
            if (std::abs(Left(f)) >= threshold || std::abs(Right(f)) >= threshold)
                return static_cast<int64_t>(f);
        return -1;
    }
    // Largest magnitude in [from, to).
    int Peak(size_t from, size_t to) const
    {
        int peak = 0;
        for (size_t f = from; f < to && f < Frames(); ++f)
            peak = std::max({peak, std::abs(Left(f)), std::abs(Right(f))});
        return peak;
    }

private:
    std::filesystem::path m_Path;
    std::vector<int16_t> m_vSamples;
    bool m_bRecording = false;
};

}  // namespace soundtest
