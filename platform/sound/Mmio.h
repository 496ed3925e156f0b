#pragma once
// Reading RIFF files (WAVE sounds) chunk by chunk. Every chunk found is checked against the
// bytes of its parent and of the file, so a size field can never send a read past the end.
#include "platform/sound/SoundTypes.h"

using MMRESULT = UINT;
using FOURCC = DWORD;
struct HMMIO__;
using HMMIO = HMMIO__*;

constexpr FOURCC mmioFOURCC(char a, char b, char c, char d)
{
    return static_cast<FOURCC>(static_cast<uint8_t>(a)) |
           (static_cast<FOURCC>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<FOURCC>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<FOURCC>(static_cast<uint8_t>(d)) << 24);
}

struct MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;       // form or list type of a "RIFF" or "LIST" chunk
    DWORD dwDataOffset;   // file offset of the chunk's data (after id and size)
    DWORD dwFlags;
};

constexpr DWORD MMIO_READ = 0x00000000;
constexpr DWORD MMIO_ALLOCBUF = 0x00010000;
constexpr UINT MMIO_FINDCHUNK = 0x0010;
constexpr UINT MMIO_FINDRIFF = 0x0020;
constexpr UINT MMIO_FINDLIST = 0x0040;

constexpr MMRESULT MMIOERR_FILENOTFOUND = 257;
constexpr MMRESULT MMIOERR_CANNOTOPEN = 259;
constexpr MMRESULT MMIOERR_CANNOTREAD = 261;
constexpr MMRESULT MMIOERR_CANNOTSEEK = 263;
constexpr MMRESULT MMIOERR_CHUNKNOTFOUND = 265;

// Opens a project-path file for reading (only MMIO_READ is supported). Null when it cannot.
HMMIO mmioOpenA(const char* fileName, void* info, DWORD flags);
MMRESULT mmioClose(HMMIO file, UINT flags);
// Reads up to count bytes at the current position; returns the bytes read, -1 on error.
LONG mmioRead(HMMIO file, char* buffer, LONG count);
// Enters a chunk: with no flag the one at the current position, with MMIO_FINDCHUNK the next
// chunk with ckid, with MMIO_FINDRIFF / MMIO_FINDLIST the next "RIFF" / "LIST" of fccType,
// searching up to the end of parent (or of the file). The position is then the chunk's data.
MMRESULT mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags);
// Leaves a chunk entered with mmioDescend: the position moves past its (even-padded) end.
MMRESULT mmioAscend(HMMIO file, MMCKINFO* chunk, UINT flags);
