// RIFF reading over a file read whole into memory (sound files are small). Chunk sizes are
// checked against the bytes of the parent chunk and of the file before anything is entered.
#include "platform/sound/Mmio.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "platform/win/WinFile.h"

struct HMMIO__ {
    std::vector<uint8_t> bytes;
    size_t pos = 0;
};

namespace {

constexpr FOURCC kRiff = mmioFOURCC('R', 'I', 'F', 'F');
constexpr FOURCC kList = mmioFOURCC('L', 'I', 'S', 'T');

DWORD Le32(const uint8_t* p)
{
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) |
           (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[3]) << 24);
}

}  // namespace

HMMIO mmioOpenA(const char* fileName, void* info, DWORD flags)
{
    if (!fileName || info || (flags & 0x3) != MMIO_READ) return nullptr;
    FILE* file = PlatformFopen(fileName, "rb");
    if (!file) return nullptr;
    auto* handle = new (std::nothrow) HMMIO__();
    if (!handle) {
        std::fclose(file);
        return nullptr;
    }
    try {
        uint8_t block[65536];
        size_t got;
        while ((got = std::fread(block, 1, sizeof block, file)) > 0)
            handle->bytes.insert(handle->bytes.end(), block, block + got);
        if (std::ferror(file) || handle->bytes.size() > 0xFFFFFFFFu) throw std::bad_alloc();
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        delete handle;
        return nullptr;
    }
    std::fclose(file);
    return handle;
}

MMRESULT mmioClose(HMMIO file, UINT)
{
    delete file;
    return 0;
}

LONG mmioRead(HMMIO file, char* buffer, LONG count)
{
    if (!file || !buffer || count < 0) return -1;
    const size_t left = file->bytes.size() - file->pos;
    const size_t n = static_cast<size_t>(count) < left ? static_cast<size_t>(count) : left;
    std::memcpy(buffer, file->bytes.data() + file->pos, n);
    file->pos += n;
    return static_cast<LONG>(n);
}

MMRESULT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags)
{
    if (!file || !chunk) return MMIOERR_CANNOTREAD;
    size_t end = file->bytes.size();
    if (parent) {
        const size_t parentEnd = static_cast<size_t>(parent->dwDataOffset) + parent->cksize;
        if (parentEnd < end) end = parentEnd;
    }
    const FOURCC wantId = flags & MMIO_FINDRIFF ? kRiff
                          : flags & MMIO_FINDLIST ? kList
                                                  : chunk->ckid;
    const bool search = (flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST)) != 0;
    size_t pos = file->pos;
    for (;;) {
        if (pos > end || end - pos < 8) return search ? MMIOERR_CHUNKNOTFOUND : MMIOERR_CANNOTREAD;
        const uint8_t* p = file->bytes.data() + pos;
        const FOURCC id = Le32(p);
        const DWORD size = Le32(p + 4);
        const size_t dataOffset = pos + 8;
        const bool hasType = id == kRiff || id == kList;
        const bool fits = size <= end - dataOffset && (!hasType || size >= 4);
        bool match = !search || id == wantId;
        if (match && (flags & (MMIO_FINDRIFF | MMIO_FINDLIST)) && fits)
            match = Le32(p + 8) == chunk->fccType;
        if (match) {
            // A chunk that claims more bytes than its parent or the file holds is malformed.
            if (!fits) return MMIOERR_CANNOTREAD;
            chunk->ckid = id;
            chunk->cksize = size;
            chunk->fccType = hasType ? Le32(p + 8) : 0;
            chunk->dwDataOffset = static_cast<DWORD>(dataOffset);
            chunk->dwFlags = 0;
            file->pos = dataOffset + (hasType ? 4 : 0);
            return 0;
        }
        if (!fits) return MMIOERR_CHUNKNOTFOUND;
        pos = dataOffset + size + (size & 1);
    }
}

MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, UINT)
{
    if (!file || !chunk) return MMIOERR_CANNOTSEEK;
    size_t end = static_cast<size_t>(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
    if (end > file->bytes.size()) end = file->bytes.size();
    file->pos = end;
    return 0;
}
