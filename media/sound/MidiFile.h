#pragma once
// A standard MIDI file (format 0 or 1) read and merged into one format-0 image in memory:
// a 22-byte header ("MThd", 6, format 0, 1 track, the file's division, "MTrk", track length)
// followed by events that each carry a delta time and their own status byte (no running status),
// ending with FF 2F 00 at the latest end time of the file's tracks.
#include <cstdint>
#include <string>
#include <vector>

class cMidiFile {
public:
    explicit cMidiFile(const char* path);
    virtual ~cMidiFile();
    cMidiFile(const cMidiFile&) = delete;
    cMidiFile& operator=(const cMidiFile&) = delete;

    // The image, or null when the file was not usable; its size in bytes.
    const uint8_t* GetImage() const { return m_lpImage; }
    uint32_t GetImageSize() const { return m_dwImageSize; }

    // A variable-length quantity: at most 4 bytes, 7 bits each, high group first. Returns the
    // bytes read, 0 when the fourth byte still has bit 7 set or the bytes run out.
    static int ReadVarLen(const uint8_t* bytes, size_t available, uint32_t* value);
    // Writes 1 byte below 0x80, 2 below 0x4000, 3 below 0x200000, 4 up to 0x0FFFFFFF; nothing
    // (0) above. out may be null to count.
    static int WriteVarLen(uint8_t* out, uint32_t value);

    static constexpr uint32_t kImageHeaderSize = 22;
    static constexpr uint32_t kMaxFileSize = 32u << 20;

protected:
    uint8_t* m_lpImage = nullptr;   // malloc'd
    std::string m_strPath;
    uint32_t m_dwImageSize = 0;

private:
    struct Node {
        uint64_t time;
        uint8_t status;
        const uint8_t* data;   // the event's bytes after the status
        uint32_t length;
    };

    void LoadMidiFile();
    uint8_t* CheckMidiHeader(const uint8_t* block, size_t size);
    uint8_t* BuildMidiImage(const uint8_t* block, size_t size);
    bool ParseMidiTracks(const uint8_t* block, size_t size, std::vector<std::vector<Node>>& tracks);
    bool MergeMidiTracks(std::vector<std::vector<Node>>& tracks, std::vector<const Node*>& merged);
    uint8_t* BuildFormat0Image(const std::vector<const Node*>& merged, uint16_t division);
};
