// Reading a standard MIDI file. Every count and length in the file is bounded by the bytes of
// its chunk and of the file: a track runs to its chunk's end at the latest, an event that would
// cross that end makes the file unusable, and the header's track count cannot make the reader
// look past the chunks that are there.
#include "media/sound/MidiFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <queue>

#include "core/Log.h"
#include "platform/win/WinFile.h"

namespace {

const uint8_t kEndOfTrack[] = {0x2F, 0x00};
constexpr uint32_t kMaxDelta = 0x0FFFFFFF;

uint16_t Be16(const uint8_t* p)
{
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

uint32_t Be32(const uint8_t* p)
{
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
}

void PutBe32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

}  // namespace

cMidiFile::cMidiFile(const char* path) : m_strPath(path ? path : "")
{
    LoadMidiFile();
}

cMidiFile::~cMidiFile()
{
    std::free(m_lpImage);
}

int cMidiFile::ReadVarLen(const uint8_t* bytes, size_t available, uint32_t* value)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        if (static_cast<size_t>(i) >= available) return 0;
        v = (v << 7) | (bytes[i] & 0x7F);
        if (!(bytes[i] & 0x80)) {
            *value = v;
            return i + 1;
        }
    }
    return 0;
}

int cMidiFile::WriteVarLen(uint8_t* out, uint32_t value)
{
    int count;
    if (value < 0x80)
        count = 1;
    else if (value < 0x4000)
        count = 2;
    else if (value < 0x200000)
        count = 3;
    else if (value <= kMaxDelta)
        count = 4;
    else
        return 0;
    if (out) {
        for (int i = 0; i < count; ++i) {
            const int shift = 7 * (count - 1 - i);
            out[i] = static_cast<uint8_t>(((value >> shift) & 0x7F) | (i + 1 < count ? 0x80 : 0));
        }
    }
    return count;
}

void cMidiFile::LoadMidiFile()
{
    m_lpImage = nullptr;
    m_dwImageSize = 0;
    FILE* file = PlatformFopen(m_strPath.c_str(), "rb");
    if (!file) {
        WriteReportTrace("Midi %s Create ファイルが開けません", m_strPath.c_str());
        return;
    }
    std::vector<uint8_t> block;
    bool tooLarge = false;
    try {
        uint8_t chunk[16384];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            if (block.size() + got > kMaxFileSize) {
                tooLarge = true;
                break;
            }
            block.insert(block.end(), chunk, chunk + got);
        }
    } catch (const std::bad_alloc&) {
        tooLarge = true;
    }
    std::fclose(file);
    if (tooLarge) {
        WriteReportTrace("Midi %s Init ファイルが大きすぎます", m_strPath.c_str());
        return;
    }
    m_lpImage = CheckMidiHeader(block.data(), block.size());
}

uint8_t* cMidiFile::CheckMidiHeader(const uint8_t* block, size_t size)
{
    const char* path = m_strPath.c_str();
    if (size < 4 || std::memcmp(block, "MThd", 4) != 0) {
        WriteReportTrace("Midi %s Init 標準MIDIでない(4)", path);
        return nullptr;
    }
    if (size < 14 || Be32(block + 4) != 6) {
        WriteReportTrace("Midi %s Init 標準MIDIでない(6)", path);
        return nullptr;
    }
    const uint16_t format = Be16(block + 8);
    if (format == 2) {
        WriteReportTrace("Midi %s Init 対応フォーマットが2でない", path);
        return nullptr;
    }
    if (format > 2) {
        WriteReportTrace("Midi %s Init 対応フォーマットが0または1でない", path);
        return nullptr;
    }
    if (size < 18 || std::memcmp(block + 14, "MTrk", 4) != 0) {
        WriteReportTrace("Midi %s Init 標準MIDIでない(4)", path);
        return nullptr;
    }
    if (Be16(block + 12) == 0) {
        WriteReportTrace("Midi %s Init 時間単位が0です", path);
        return nullptr;
    }
    return BuildMidiImage(block, size);
}

uint8_t* cMidiFile::BuildMidiImage(const uint8_t* block, size_t size)
{
    try {
        std::vector<std::vector<Node>> tracks;
        if (!ParseMidiTracks(block, size, tracks)) return nullptr;
        std::vector<const Node*> merged;
        if (!MergeMidiTracks(tracks, merged)) return nullptr;
        return BuildFormat0Image(merged, Be16(block + 12));
    } catch (const std::bad_alloc&) {
        WriteReportTrace("Midi %s Init メモリが足りません", m_strPath.c_str());
        return nullptr;
    }
}

bool cMidiFile::ParseMidiTracks(const uint8_t* block, size_t size,
                                std::vector<std::vector<Node>>& tracks)
{
    const char* path = m_strPath.c_str();
    const uint32_t declared = Be16(block + 10);
    if (declared == 0) {
        WriteReportTrace("Midi %s Init トラックがありません", path);
        return false;
    }
    size_t pos = 14;
    uint64_t lastEnd = 0;
    while (tracks.size() < declared) {
        // The next track chunk; chunks of other kinds between tracks are skipped.
        if (size - pos < 8) break;
        const uint32_t length = Be32(block + pos + 4);
        if (length > size - pos - 8) {
            WriteReportTrace("Midi %s Init トラック%dが途中で切れています", path,
                             static_cast<int>(tracks.size()));
            return false;
        }
        const bool isTrack = std::memcmp(block + pos, "MTrk", 4) == 0;
        const size_t begin = pos + 8;
        const size_t end = begin + length;
        pos = end;
        if (!isTrack) continue;

        std::vector<Node>& list = tracks.emplace_back();
        const int number = static_cast<int>(tracks.size()) - 1;
        uint64_t time = 0;
        uint8_t running = 0;
        bool ended = false;
        size_t p = begin;
        while (p < end) {
            uint32_t delta;
            const int n = ReadVarLen(block + p, end - p, &delta);
            if (n == 0) {
                WriteReportTrace("Midi %s Init トラック%dの時間が不正です", path, number);
                return false;
            }
            p += n;
            time += delta;
            if (p >= end) break;   // a delta with no event: the chunk ends here
            uint8_t status;
            if (block[p] & 0x80) {
                status = block[p++];
                running = status;
            } else {
                status = running;
            }
            if (status == 0) {
                WriteReportTrace("Midi %s Init トラック%dにステータスのないイベントがあります",
                                 path, number);
                return false;
            }
            const size_t left = end - p;
            size_t length2;
            if (status >= 0xC0 && status <= 0xDF) {
                length2 = 1;
            } else if (status == 0xF0 || status == 0xF7) {
                uint32_t count;
                const int m = ReadVarLen(block + p, left, &count);
                if (m == 0 || count > left - m) {
                    WriteReportTrace("Midi %s Init トラック%dのイベントが途中で切れています", path,
                                     number);
                    return false;
                }
                length2 = m + static_cast<size_t>(count);
            } else if (status == 0xFF) {
                uint32_t count;
                const int m = left >= 1 ? ReadVarLen(block + p + 1, left - 1, &count) : 0;
                if (m == 0 || count > left - 1 - m) {
                    WriteReportTrace("Midi %s Init トラック%dのイベントが途中で切れています", path,
                                     number);
                    return false;
                }
                if (block[p] == 0x2F) {
                    ended = true;
                    break;
                }
                length2 = 1 + m + static_cast<size_t>(count);
            } else {
                length2 = 2;
            }
            if (length2 > left) {
                WriteReportTrace("Midi %s Init トラック%dのイベントが途中で切れています", path,
                                 number);
                return false;
            }
            list.push_back({time, status, block + p, static_cast<uint32_t>(length2)});
            p += length2;
        }
        if (!ended)
            WriteReportTrace("Midi %s Init トラック%dに終端がありません", path, number);
        if (time > lastEnd) lastEnd = time;
    }
    if (tracks.empty()) {
        WriteReportTrace("Midi %s Init トラックがありません", path);
        return false;
    }
    if (tracks.size() < declared)
        WriteReportTrace("Midi %s Init トラック数が足りません(%d/%u)", path,
                         static_cast<int>(tracks.size()), declared);
    tracks.back().push_back({lastEnd, 0xFF, kEndOfTrack, 2});
    return true;
}

bool cMidiFile::MergeMidiTracks(std::vector<std::vector<Node>>& tracks,
                                std::vector<const Node*>& merged)
{
    size_t total = 0;
    for (const auto& t : tracks) total += t.size();
    merged.reserve(total);
    // Smallest time first; on equal times the lower track, so one track's events keep order.
    struct Head {
        uint64_t time;
        uint32_t track;
        uint32_t index;
        bool operator>(const Head& o) const
        {
            return time != o.time ? time > o.time : track > o.track;
        }
    };
    std::priority_queue<Head, std::vector<Head>, std::greater<Head>> heads;
    for (uint32_t t = 0; t < tracks.size(); ++t)
        if (!tracks[t].empty()) heads.push({tracks[t][0].time, t, 0});
    uint64_t previous = 0;
    while (!heads.empty()) {
        Head h = heads.top();
        heads.pop();
        const Node& node = tracks[h.track][h.index];
        if (node.time - previous > kMaxDelta) {
            WriteReportTrace("Midi %s Init イベントの間隔が長すぎます", m_strPath.c_str());
            return false;
        }
        previous = node.time;
        merged.push_back(&node);
        if (h.index + 1 < tracks[h.track].size())
            heads.push({tracks[h.track][h.index + 1].time, h.track, h.index + 1});
    }
    return true;
}

uint8_t* cMidiFile::BuildFormat0Image(const std::vector<const Node*>& merged, uint16_t division)
{
    uint64_t bytes = kImageHeaderSize;
    uint64_t previous = 0;
    for (const Node* n : merged) {
        bytes += WriteVarLen(nullptr, static_cast<uint32_t>(n->time - previous)) + 1 + n->length;
        previous = n->time;
    }
    if (bytes > 0x7FFFFFFF) {
        WriteReportTrace("Midi %s Init ファイルが大きすぎます", m_strPath.c_str());
        return nullptr;
    }
    auto* image = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bytes)));
    if (!image) {
        WriteReportTrace("Midi %s Init メモリが足りません", m_strPath.c_str());
        return nullptr;
    }
    std::memcpy(image, "MThd\0\0\0\x06\0\0\0\x01", 12);
    image[12] = static_cast<uint8_t>(division >> 8);
    image[13] = static_cast<uint8_t>(division);
    std::memcpy(image + 14, "MTrk", 4);
    size_t out = kImageHeaderSize;
    previous = 0;
    for (const Node* n : merged) {
        out += WriteVarLen(image + out, static_cast<uint32_t>(n->time - previous));
        previous = n->time;
        image[out++] = n->status;
        std::memcpy(image + out, n->data, n->length);
        out += n->length;
    }
    PutBe32(image + 18, static_cast<uint32_t>(out - kImageHeaderSize));
    m_dwImageSize = static_cast<uint32_t>(out);
    return image;
}
