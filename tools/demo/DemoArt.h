#pragma once
// The demo project's pictures: every file of the system bitmap table, drawn by code on the demo
// palette.
#include <cstdint>
#include <string>
#include <vector>

struct DemoBitmapFile {
    const char* m_lpPath;   // project path
    int32_t m_nWidth;
    int32_t m_nHeight;
};

// Every bitmap file the generator writes, with its size.
const std::vector<DemoBitmapFile>& DemoBitmapFiles();

// Writes every file of DemoBitmapFiles() below the current directory (whose "bmp" folders must
// exist). False with the failing path in failed when a file cannot be written.
bool WriteDemoBitmaps(std::string* failed);

// Writes the 24 blend tables "bmp\hbt\hbt00.dat" .. "bmp\hbt\hbt23.dat".
bool WriteDemoBlendTables(std::string* failed);
