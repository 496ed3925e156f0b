#include "tools/demo/DemoSound.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Random.h"
#include "tools/demo/DemoCanvas.h"

namespace {

constexpr int32_t kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------- effects

enum class Wave { Square, Triangle, Sine, Noise };

// One piece of a sound: a tone sliding from one pitch to another while its volume moves.
struct Segment {
    Wave wave;
    double dFreqFrom, dFreqTo;   // Hz
    int32_t nMillis;
    double dVolFrom, dVolTo;     // 0..1
};

struct Effect {
    const char* path;
    const char* name;
    std::vector<Segment> segments;
};

const std::vector<Effect>& Effects()
{
    using W = Wave;
    static const std::vector<Effect> effects = {
        {"wave\\Cursor.wav", "カーソル", {{W::Square, 880, 880, 40, 0.5, 0.1}}},
        {"wave\\Decide.wav", "決定", {{W::Square, 660, 660, 60, 0.5, 0.4}, {W::Square, 990, 990, 90, 0.5, 0.0}}},
        {"wave\\Cancel.wav", "キャンセル", {{W::Square, 660, 330, 130, 0.5, 0.0}}},
        {"wave\\Buzzer.wav", "ブザー", {{W::Square, 110, 100, 220, 0.5, 0.1}}},
        {"wave\\Pause.wav", "ポーズ", {{W::Square, 1046, 1046, 70, 0.4, 0.3}, {W::Square, 784, 784, 110, 0.4, 0.0}}},
        {"wave\\Select.wav", "選択", {{W::Square, 1200, 1200, 30, 0.4, 0.0}}},
        {"wave\\Switch.wav", "切り替え", {{W::Triangle, 523, 784, 120, 0.7, 0.0}}},
        {"wave\\Damage.wav", "ダメージ", {{W::Noise, 2000, 500, 60, 0.6, 0.4}, {W::Square, 220, 90, 120, 0.5, 0.0}}},
        {"wave\\Miss.wav", "ミス",
         {{W::Square, 784, 784, 110, 0.5, 0.4}, {W::Square, 659, 659, 110, 0.5, 0.4},
          {W::Square, 523, 523, 110, 0.5, 0.4}, {W::Square, 392, 196, 350, 0.5, 0.0}}},
        {"wave\\Defeat.wav", "撃破", {{W::Noise, 3000, 300, 220, 0.7, 0.0}}},
        {"wave\\Spring.wav", "ジャンプ台", {{W::Triangle, 200, 1200, 250, 0.8, 0.1}}},
        {"wave\\Item.wav", "アイテム", {{W::Square, 988, 988, 60, 0.4, 0.4}, {W::Square, 1319, 1319, 200, 0.4, 0.0}}},
        {"wave\\Message.wav", "メッセージ", {{W::Sine, 660, 660, 35, 0.6, 0.0}}},
        {"wave\\Warning.wav", "警告", {{W::Square, 880, 880, 80, 0.4, 0.4}, {W::Sine, 0, 0, 60, 0, 0}, {W::Square, 880, 880, 80, 0.4, 0.0}}},
        {"wave\\Clear.wav", "クリア",
         {{W::Square, 523, 523, 100, 0.4, 0.4}, {W::Square, 659, 659, 100, 0.4, 0.4},
          {W::Square, 784, 784, 100, 0.4, 0.4}, {W::Square, 1046, 1046, 400, 0.45, 0.0}}},
        {"wave\\OneUp.wav", "1UP",
         {{W::Square, 659, 659, 80, 0.4, 0.4}, {W::Square, 784, 784, 80, 0.4, 0.4}, {W::Square, 1319, 1319, 80, 0.4, 0.4},
          {W::Square, 1046, 1046, 80, 0.4, 0.4}, {W::Square, 1175, 1175, 80, 0.4, 0.4}, {W::Square, 1568, 1568, 160, 0.4, 0.0}}},
        {"wave\\Open.wav", "オープン", {{W::Triangle, 440, 880, 150, 0.7, 0.0}}},
        // The project's own sounds.
        {"wave\\Jump.wav", "ジャンプ", {{W::Square, 300, 700, 150, 0.45, 0.0}}},
        {"wave\\Shot.wav", "ショット", {{W::Noise, 4000, 4000, 30, 0.5, 0.2}, {W::Square, 1200, 400, 100, 0.4, 0.0}}},
        {"wave\\Hit.wav", "ヒット", {{W::Noise, 1500, 1500, 80, 0.7, 0.0}}},
        {"wave\\PowerUp.wav", "パワーアップ",
         {{W::Triangle, 392, 784, 120, 0.7, 0.6}, {W::Triangle, 523, 1046, 120, 0.7, 0.6}, {W::Triangle, 659, 1319, 200, 0.7, 0.0}}},
    };
    return effects;
}

constexpr size_t kSystemSoundCount = 17;

void Synthesise(const std::vector<Segment>& segments, std::vector<uint8_t>& samples)
{
    double dPhase = 0.0;
    int32_t nNoise = 0;
    int32_t nNoiseCountdown = 0;
    GameSrand(12345);   // the same noise on every run
    for (const Segment& s : segments) {
        const int32_t n = s.nMillis * kRate / 1000;
        for (int32_t i = 0; i < n; ++i) {
            const double t = static_cast<double>(i) / std::max(1, n);
            const double f = s.dFreqFrom + (s.dFreqTo - s.dFreqFrom) * t;
            const double vol = s.dVolFrom + (s.dVolTo - s.dVolFrom) * t;
            dPhase += f / kRate;
            dPhase -= std::floor(dPhase);
            double v = 0.0;
            switch (s.wave) {
            case Wave::Square: v = dPhase < 0.5 ? 1.0 : -1.0; break;
            case Wave::Triangle: v = dPhase < 0.5 ? 4.0 * dPhase - 1.0 : 3.0 - 4.0 * dPhase; break;
            case Wave::Sine: v = std::sin(2.0 * kPi * dPhase); break;
            case Wave::Noise:
                // A new random level at the given rate: lower rates sound deeper.
                if (--nNoiseCountdown <= 0) {
                    nNoise = GameRand() - 16384;
                    nNoiseCountdown = std::max(1, static_cast<int32_t>(kRate / std::max(1.0, f)));
                }
                v = nNoise / 16384.0;
                break;
            }
            const int32_t sample = 128 + static_cast<int32_t>(std::lround(v * vol * 120.0));
            samples.push_back(static_cast<uint8_t>(std::clamp(sample, 1, 255)));
        }
    }
    // A few silent samples so the sound ends at rest.
    for (int32_t i = 0; i < 32; ++i) samples.push_back(128);
}

void Put16(std::vector<uint8_t>& v, uint32_t n)
{
    v.push_back(static_cast<uint8_t>(n));
    v.push_back(static_cast<uint8_t>(n >> 8));
}

void Put32(std::vector<uint8_t>& v, uint32_t n)
{
    Put16(v, n & 0xFFFF);
    Put16(v, n >> 16);
}

std::vector<uint8_t> WaveFile(const std::vector<uint8_t>& samples)
{
    std::vector<uint8_t> v;
    const uint32_t nData = static_cast<uint32_t>(samples.size());
    const uint32_t nPad = nData & 1;
    v.insert(v.end(), {'R', 'I', 'F', 'F'});
    Put32(v, 4 + 8 + 16 + 8 + nData + nPad);
    v.insert(v.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(v, 16);
    Put16(v, 1);       // PCM
    Put16(v, 1);       // mono
    Put32(v, kRate);
    Put32(v, kRate);   // bytes per second
    Put16(v, 1);       // block align
    Put16(v, 8);       // bits per sample
    v.insert(v.end(), {'d', 'a', 't', 'a'});
    Put32(v, nData);
    v.insert(v.end(), samples.begin(), samples.end());
    if (nPad) v.push_back(0x80);
    return v;
}

// ---------------------------------------------------------------- music

constexpr int32_t kDivision = 480;   // ticks per quarter note
constexpr int32_t kTempo = 140;      // quarter notes per minute

struct Note {
    int32_t nStart;   // ticks
    int32_t nLength;
    uint8_t byChannel;
    uint8_t byKey;
    uint8_t byVelocity;
};

// Eight bars in C major over C - Am - F - G, played twice through the chords: a lead melody, a
// walking bass and a simple beat.
std::vector<Note> Score()
{
    std::vector<Note> notes;
    const int32_t q = kDivision, e = kDivision / 2, h = kDivision * 2;
    struct MelodyNote { int32_t key, length; };
    const std::vector<MelodyNote> melody = {
        {76, q}, {79, q}, {84, q}, {79, q},
        {81, q}, {76, q}, {72, h},
        {77, q}, {81, q}, {84, q}, {81, q},
        {79, q + e}, {77, e}, {76, q}, {74, q},
        {76, e}, {79, e}, {84, q}, {83, q}, {79, q},
        {81, q}, {84, q}, {88, h},
        {86, q}, {84, q}, {81, q}, {77, q},
        {79, q}, {74, q}, {72, h},
    };
    int32_t t = 0;
    for (const MelodyNote& m : melody) {
        notes.push_back({t, m.length * 9 / 10, 0, static_cast<uint8_t>(m.key), 100});
        t += m.length;
    }
    const int32_t kRoots[8] = {48, 45, 41, 43, 48, 45, 41, 43};   // C, A, F, G
    for (int32_t bar = 0; bar < 8; ++bar) {
        const int32_t r = kRoots[bar];
        const int32_t pattern[4] = {r, r + 7, r + 12, r + 7};
        for (int32_t beat = 0; beat < 4; ++beat) {
            notes.push_back({bar * 4 * q + beat * q, q * 8 / 10, 1, static_cast<uint8_t>(pattern[beat] - 12), 90});
        }
        for (int32_t k = 0; k < 8; ++k) {
            const int32_t at = bar * 4 * q + k * e;
            notes.push_back({at, e / 2, 9, 42, static_cast<uint8_t>(k % 2 ? 50 : 70)});   // closed hi-hat
            if (k == 0 || k == 4 || (k == 7 && bar % 2)) notes.push_back({at, e / 2, 9, 36, 110});   // kick
            if (k == 2 || k == 6) notes.push_back({at, e / 2, 9, 38, 100});   // snare
        }
    }
    std::stable_sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) { return a.nStart < b.nStart; });
    return notes;
}

void PutVarLen(std::vector<uint8_t>& v, uint32_t n)
{
    uint8_t bytes[4];
    int32_t count = 0;
    bytes[count++] = static_cast<uint8_t>(n & 0x7F);
    while ((n >>= 7) != 0 && count < 4) bytes[count++] = static_cast<uint8_t>(0x80 | (n & 0x7F));
    while (count > 0) v.push_back(bytes[--count]);
}

void PutBE32(std::vector<uint8_t>& v, uint32_t n)
{
    v.push_back(static_cast<uint8_t>(n >> 24));
    v.push_back(static_cast<uint8_t>(n >> 16));
    v.push_back(static_cast<uint8_t>(n >> 8));
    v.push_back(static_cast<uint8_t>(n));
}

struct TrackEvent {
    int32_t nTime;
    int32_t nOrder;   // note-offs before note-ons at the same time
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> TrackChunk(std::vector<TrackEvent> events)
{
    std::stable_sort(events.begin(), events.end(), [](const TrackEvent& a, const TrackEvent& b) {
        return a.nTime != b.nTime ? a.nTime < b.nTime : a.nOrder < b.nOrder;
    });
    std::vector<uint8_t> body;
    int32_t now = 0;
    for (const TrackEvent& ev : events) {
        PutVarLen(body, static_cast<uint32_t>(ev.nTime - now));
        now = ev.nTime;
        body.insert(body.end(), ev.bytes.begin(), ev.bytes.end());
    }
    PutVarLen(body, 0);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
    PutBE32(chunk, static_cast<uint32_t>(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

std::vector<TrackEvent> NameEvent(const char* name)
{
    std::vector<uint8_t> bytes = {0xFF, 0x03};
    const size_t n = std::strlen(name);
    PutVarLen(bytes, static_cast<uint32_t>(n));
    bytes.insert(bytes.end(), name, name + n);
    return {{0, 0, bytes}};
}

// ---------------------------------------------------------------- rendering for Ogg

double KeyFrequency(int32_t key)
{
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

std::vector<float> RenderScore()
{
    const std::vector<Note> notes = Score();
    const double dSamplesPerTick = kRate * 60.0 / (kTempo * kDivision);
    int32_t nEnd = 0;
    for (const Note& n : notes) nEnd = std::max(nEnd, n.nStart + n.nLength);
    const size_t nTotal = static_cast<size_t>((nEnd + kDivision) * dSamplesPerTick);
    std::vector<float> out(nTotal, 0.0f);
    GameSrand(777);
    for (const Note& n : notes) {
        const size_t s0 = static_cast<size_t>(n.nStart * dSamplesPerTick);
        const double vel = n.byVelocity / 127.0;
        if (n.byChannel == 9) {
            // Drums: a falling sine for the kick, noise bursts for snare and hi-hat.
            const size_t len = n.byKey == 42 ? kRate / 25 : kRate / 6;
            double phase = 0.0;
            for (size_t i = 0; i < len && s0 + i < nTotal; ++i) {
                const double t = static_cast<double>(i) / len;
                const double env = (1.0 - t) * (1.0 - t);
                double v;
                if (n.byKey == 36) {
                    phase += (150.0 - 100.0 * t) / kRate;
                    v = std::sin(2.0 * kPi * phase) * 0.9;
                } else {
                    v = (GameRand() - 16384) / 16384.0 * (n.byKey == 42 ? 0.25 : 0.5);
                }
                out[s0 + i] += static_cast<float>(v * env * vel);
            }
            continue;
        }
        const double f = KeyFrequency(n.byKey);
        const size_t len = static_cast<size_t>(n.nLength * dSamplesPerTick);
        const size_t release = kRate / 20;
        double phase = 0.0;
        for (size_t i = 0; i < len + release && s0 + i < nTotal; ++i) {
            phase += f / kRate;
            phase -= std::floor(phase);
            const double attack = std::min(1.0, static_cast<double>(i) / (kRate / 200));
            const double decay = i < len ? 1.0 - 0.3 * static_cast<double>(i) / len : 0.7 * (1.0 - static_cast<double>(i - len) / release);
            double v;
            if (n.byChannel == 0) {
                // Lead: a soft pulse mixed with its octave sine.
                v = (phase < 0.25 ? 0.5 : -0.5) * 0.5 + std::sin(2.0 * kPi * phase) * 0.5;
                v *= 0.28;
            } else {
                v = (phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase) * 0.35;   // bass: triangle
            }
            out[s0 + i] += static_cast<float>(v * attack * decay * vel);
        }
    }
    for (float& s : out) s = std::clamp(s, -1.0f, 1.0f);
    return out;
}

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}   // namespace

const std::vector<DemoSoundFile>& DemoSystemSounds()
{
    static const std::vector<DemoSoundFile> list = [] {
        std::vector<DemoSoundFile> v;
        for (size_t i = 0; i < kSystemSoundCount; ++i) v.push_back({Effects()[i].path, Effects()[i].name});
        return v;
    }();
    return list;
}

const std::vector<DemoSoundFile>& DemoProjectSounds()
{
    static const std::vector<DemoSoundFile> list = [] {
        std::vector<DemoSoundFile> v;
        for (size_t i = kSystemSoundCount; i < Effects().size(); ++i) v.push_back({Effects()[i].path, Effects()[i].name});
        return v;
    }();
    return list;
}

std::vector<uint8_t> EncodeDemoWave(const std::string& path)
{
    for (const Effect& e : Effects()) {
        if (path == e.path) {
            std::vector<uint8_t> samples;
            Synthesise(e.segments, samples);
            return WaveFile(samples);
        }
    }
    return {};
}

std::vector<uint8_t> EncodeDemoMidi()
{
    const std::vector<Note> notes = Score();
    std::vector<uint8_t> file = {'M', 'T', 'h', 'd'};
    PutBE32(file, 6);
    file.insert(file.end(), {0x00, 0x01, 0x00, 0x04});   // format 1, four tracks
    file.push_back(static_cast<uint8_t>(kDivision >> 8));
    file.push_back(static_cast<uint8_t>(kDivision & 0xFF));
    // Track 0: name, tempo, time signature.
    std::vector<TrackEvent> conductor = NameEvent("Sample Game Title");
    const uint32_t usPerQuarter = 60000000u / kTempo;
    conductor.push_back({0, 1, {0xFF, 0x51, 0x03, static_cast<uint8_t>(usPerQuarter >> 16),
                                static_cast<uint8_t>(usPerQuarter >> 8), static_cast<uint8_t>(usPerQuarter)}});
    conductor.push_back({0, 2, {0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}});
    const std::vector<uint8_t> t0 = TrackChunk(conductor);
    file.insert(file.end(), t0.begin(), t0.end());
    // Tracks 1..3: lead (square lead), bass (finger bass), drums on channel 10.
    const struct { uint8_t channel; int32_t program; const char* name; } kParts[3] = {
        {0, 80, "Lead"}, {1, 33, "Bass"}, {9, -1, "Drums"}};
    for (const auto& part : kParts) {
        std::vector<TrackEvent> events = NameEvent(part.name);
        if (part.program >= 0) events.push_back({0, 1, {static_cast<uint8_t>(0xC0 | part.channel), static_cast<uint8_t>(part.program)}});
        events.push_back({0, 2, {static_cast<uint8_t>(0xB0 | part.channel), 7, 100}});   // volume
        for (const Note& n : notes) {
            if (n.byChannel != part.channel) continue;
            events.push_back({n.nStart, 4, {static_cast<uint8_t>(0x90 | n.byChannel), n.byKey, n.byVelocity}});
            events.push_back({n.nStart + n.nLength, 3, {static_cast<uint8_t>(0x80 | n.byChannel), n.byKey, 0}});
        }
        const std::vector<uint8_t> chunk = TrackChunk(events);
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

std::vector<uint8_t> EncodeDemoOgg()
{
    const std::vector<float> pcm = RenderScore();
    std::vector<uint8_t> out;
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, 1, kRate, 0.4f) != 0) {
        vorbis_info_clear(&vi);
        return {};
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "Sample Game Title");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x5A4D5047);   // a fixed serial number keeps the file the same every run
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&vd, &vc, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &headerComment);
    ogg_stream_packetin(&os, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0) AppendPage(out, page);
    size_t pos = 0;
    bool bEnd = false;
    while (!bEnd) {
        const size_t chunk = std::min<size_t>(4096, pcm.size() - pos);
        if (chunk == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(chunk));
            std::memcpy(buffer[0], pcm.data() + pos, chunk * sizeof(float));
            vorbis_analysis_wrote(&vd, static_cast<int>(chunk));
            pos += chunk;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0) {
                    AppendPage(out, page);
                    if (ogg_page_eos(&page)) bEnd = true;
                }
            }
        }
        if (chunk == 0 && !bEnd) {
            // Everything is written: flush what the stream still holds.
            while (ogg_stream_flush(&os, &page) != 0) AppendPage(out, page);
            bEnd = true;
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

bool WriteDemoSounds(std::string* failed)
{
    for (const Effect& e : Effects()) {
        if (!WriteProjectFile(e.path, EncodeDemoWave(e.path))) {
            if (failed) *failed = e.path;
            return false;
        }
    }
    if (!WriteProjectFile("bgm\\Title.mid", EncodeDemoMidi())) {
        if (failed) *failed = "bgm\\Title.mid";
        return false;
    }
    const std::vector<uint8_t> ogg = EncodeDemoOgg();
    if (ogg.empty() || !WriteProjectFile("bgm\\Title.ogg", ogg)) {
        if (failed) *failed = "bgm\\Title.ogg";
        return false;
    }
    return true;
}
