// The three headers of each logical stream go through the library's own header reader; the
// third, the setup header, is read here as far as its codebooks as well: packet type 5,
// "vorbis", then the codebooks, each a sync pattern, its dimension count and entry count, the
// code lengths and an optional value table.
#include "platform/sound/VorbisHeaderCheck.h"

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <cstring>
#include <vector>

namespace {

constexpr long kCodebookSync = 0x564342;
constexpr int kSetupPacketIndex = 2;
// Logical streams followed at once; a file of music has one, a chained file a few.
constexpr size_t kMaxStreams = 64;

int BitsFor(uint64_t value)
{
    int n = 0;
    while (value) {
        ++n;
        value >>= 1;
    }
    return n;
}

// The entries of a type-1 value table: the largest r with r^dim <= entries (dim >= 1).
uint64_t LatticeValues(uint64_t entries, uint64_t dim)
{
    if (dim == 1) return entries;
    for (uint64_t r = 0;; ++r) {
        // (r + 1)^dim, stopped as soon as it passes the entry count.
        uint64_t power = 1;
        for (uint64_t i = 0; i < dim && power <= entries; ++i) power *= r + 1;
        if (power > entries) return r;
    }
}

// The shares of the code space that the used entries of a codebook take, in units of 2^-32.
struct cCodeShares {
    uint64_t m_nUsed = 0;
    uint64_t m_nTotal = 0;

    void Add(long length, uint64_t count)
    {
        m_nUsed += count;
        m_nTotal += count << (32 - length);
    }
    bool MakeWholeCode() const { return m_nUsed <= 1 || m_nTotal == uint64_t{1} << 32; }
};

// Moves the reader on by count bits; false when the packet does not hold them.
bool SkipBits(oggpack_buffer& reader, long packetBytes, uint64_t count)
{
    const uint64_t left = static_cast<uint64_t>(packetBytes) * 8 - static_cast<uint64_t>(oggpack_bits(&reader));
    if (count > left) return false;
    while (count > 0) {
        const int step = count > 24 ? 24 : static_cast<int>(count);
        if (oggpack_read(&reader, step) < 0) return false;
        count -= static_cast<uint64_t>(step);
    }
    return true;
}

// The codebooks of a setup header that the library has read.
bool CodebooksAreSound(ogg_packet& packet)
{
    if (packet.bytes < 7) return false;
    oggpack_buffer reader;
    oggpack_readinit(&reader, packet.packet + 7, static_cast<int>(packet.bytes - 7));
    const long packetBytes = packet.bytes - 7;
    const long books = oggpack_read(&reader, 8);
    if (books < 0) return false;
    for (long book = 0; book <= books; ++book) {
        if (oggpack_read(&reader, 24) != kCodebookSync) return false;
        const long dim = oggpack_read(&reader, 16);
        const long entries = oggpack_read(&reader, 24);
        if (dim < 0 || entries < 0) return false;
        if (dim == 0) return false;
        // The code lengths of the used entries must make a whole prefix code: the shares
        // 2^-length add up to exactly 1 (a single used entry is a code of its own).
        cCodeShares shares;
        const long ordered = oggpack_read(&reader, 1);
        if (ordered < 0) return false;
        if (ordered == 0) {
            const long sparse = oggpack_read(&reader, 1);
            if (sparse < 0) return false;
            for (long entry = 0; entry < entries; ++entry) {
                if (sparse) {
                    const long used = oggpack_read(&reader, 1);
                    if (used < 0) return false;
                    if (used == 0) continue;
                }
                const long length = oggpack_read(&reader, 5);
                if (length < 0) return false;
                shares.Add(length + 1, 1);
            }
        } else {
            long length = oggpack_read(&reader, 5);
            if (length < 0) return false;
            ++length;
            for (long entry = 0; entry < entries; ++length) {
                const long count = oggpack_read(&reader, BitsFor(static_cast<uint64_t>(entries - entry)));
                if (count < 0 || count > entries - entry) return false;
                if (count > 0) {
                    if (length > 32) return false;
                    shares.Add(length, static_cast<uint64_t>(count));
                }
                // Every read takes at least one bit, so the loop ends with the packet.
                entry += count;
            }
        }
        if (!shares.MakeWholeCode()) return false;
        const long lookup = oggpack_read(&reader, 4);
        if (lookup < 0 || lookup > 2) return false;
        if (lookup == 0) continue;
        if (oggpack_read(&reader, 32) < 0 || oggpack_read(&reader, 32) < 0) return false;
        const long valueBits = oggpack_read(&reader, 4);
        if (valueBits < 0 || oggpack_read(&reader, 1) < 0) return false;
        const uint64_t values = lookup == 1 ? LatticeValues(static_cast<uint64_t>(entries), static_cast<uint64_t>(dim))
                                            : static_cast<uint64_t>(entries) * static_cast<uint64_t>(dim);
        if (!SkipBits(reader, packetBytes, values * static_cast<uint64_t>(valueBits + 1))) return false;
    }
    return true;
}

// One logical stream: its packets so far and, for a Vorbis stream, the headers read into the
// library's own records.
struct cStream {
    int m_nSerial = 0;
    ogg_stream_state m_State{};
    int m_nPackets = 0;
    bool m_bVorbis = false;
    vorbis_info m_Info{};
    vorbis_comment m_Comment{};

    void Begin(int serial)
    {
        m_nSerial = serial;
        ogg_stream_init(&m_State, serial);
        vorbis_info_init(&m_Info);
        vorbis_comment_init(&m_Comment);
    }
    void Restart()
    {
        ogg_stream_reset_serialno(&m_State, m_nSerial);
        vorbis_comment_clear(&m_Comment);
        vorbis_info_clear(&m_Info);
        vorbis_info_init(&m_Info);
        vorbis_comment_init(&m_Comment);
        m_nPackets = 0;
        m_bVorbis = false;
    }
    void End()
    {
        vorbis_comment_clear(&m_Comment);
        vorbis_info_clear(&m_Info);
        ogg_stream_clear(&m_State);
    }
    // False when the stream is no Vorbis stream or one of its headers does not read.
    bool TakeHeader(ogg_packet& packet)
    {
        const int index = m_nPackets++;
        if (index == 0) m_bVorbis = vorbis_synthesis_idheader(&packet) != 0;
        if (!m_bVorbis) return false;
        if (vorbis_synthesis_headerin(&m_Info, &m_Comment, &packet) != 0) return false;
        return index != kSetupPacketIndex || CodebooksAreSound(packet);
    }
    bool HeadersDone() const { return m_nPackets > kSetupPacketIndex; }
};

}  // namespace

bool VorbisHeadersAreSound(const uint8_t* data, size_t size)
{
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    // Reserved whole: a stream's state must not move once the library holds it.
    std::vector<cStream> streams;
    streams.reserve(kMaxStreams);
    bool bSound = true;
    size_t at = 0;
    while (bSound) {
        ogg_page page;
        const int result = ogg_sync_pageout(&sync, &page);
        if (result == 0) {
            if (at >= size) break;
            const size_t chunk = size - at < 65536 ? size - at : 65536;
            char* buffer = ogg_sync_buffer(&sync, static_cast<long>(chunk));
            if (!buffer) break;
            std::memcpy(buffer, data + at, chunk);
            ogg_sync_wrote(&sync, static_cast<long>(chunk));
            at += chunk;
            continue;
        }
        if (result < 0) continue;   // bytes between pages: the decoder skips them too
        const int serial = ogg_page_serialno(&page);
        cStream* lpStream = nullptr;
        for (cStream& stream : streams)
            if (stream.m_nSerial == serial) lpStream = &stream;
        if (lpStream && ogg_page_bos(&page)) {
            // The same stream begun again: its headers come again.
            lpStream->Restart();
        } else if (!lpStream) {
            if (!ogg_page_bos(&page) || streams.size() >= kMaxStreams) continue;
            streams.emplace_back();
            lpStream = &streams.back();
            lpStream->Begin(serial);
        }
        if (lpStream->HeadersDone()) continue;
        ogg_stream_pagein(&lpStream->m_State, &page);
        ogg_packet packet;
        while (bSound && !lpStream->HeadersDone()) {
            const int got = ogg_stream_packetout(&lpStream->m_State, &packet);
            if (got == 0) break;
            if (got < 0) continue;
            if (!lpStream->TakeHeader(packet)) bSound = false;
        }
    }
    // Music files hold Vorbis streams only, each with its three headers. The decoder takes every
    // stream that begins later in the file for a further piece of music and reads its headers
    // too, so one that is no Vorbis stream fails the whole file.
    for (const cStream& stream : streams)
        if (!stream.m_bVorbis || !stream.HeadersDone()) bSound = false;
    for (cStream& stream : streams) stream.End();
    ogg_sync_clear(&sync);
    return bSound && !streams.empty();
}
