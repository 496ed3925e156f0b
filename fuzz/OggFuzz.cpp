// libFuzzer target: an Ogg file played by the Ogg player library. Bad input must never crash, and
// must pass the checks of fuzz/FuzzChecks.h.
//
// Every Ogg page carries a checksum, and a page whose checksum fails is skipped before the
// decoder sees it: plain mutations would almost never reach the headers and packets the player
// library acts on. The mutator therefore puts the checksum of every page it finds right after
// most mutations, and leaves it wrong after the others.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/FuzzChecks.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

constexpr size_t kPageHeaderBytes = 27;
constexpr size_t kChecksumOffset = 22;

uint32_t PageChecksum(const uint8_t* page, size_t size)
{
    static const auto table = [] {
        struct Table {
            uint32_t m_aValues[256];
        } t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t.m_aValues[i] = r;
        }
        return t;
    }();
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t byte = (i >= kChecksumOffset && i < kChecksumOffset + 4) ? 0 : page[i];
        crc = (crc << 8) ^ table.m_aValues[((crc >> 24) ^ byte) & 0xFF];
    }
    return crc;
}

// Puts the right checksum into every whole page of the file.
void FixPageChecksums(uint8_t* data, size_t size)
{
    size_t at = 0;
    while (at + kPageHeaderBytes <= size) {
        if (std::memcmp(data + at, "OggS", 4) != 0) {
            ++at;
            continue;
        }
        const size_t segments = data[at + 26];
        if (at + kPageHeaderBytes + segments > size) return;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += data[at + kPageHeaderBytes + i];
        const size_t pageSize = kPageHeaderBytes + segments + body;
        if (at + pageSize > size) return;
        const uint32_t crc = PageChecksum(data + at, pageSize);
        for (int k = 0; k < 4; ++k) data[at + kChecksumOffset + k] = static_cast<uint8_t>(crc >> (8 * k));
        at += pageSize;
    }
}

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (seed % 8 != 0) FixPageChecksums(data, size);
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (CheckOggInput(data, size) == FuzzOutcome::Broken) __builtin_trap();
    return 0;
}
