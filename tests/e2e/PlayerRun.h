#pragma once
// Runs the player executable on the headless host inside a project folder and collects what a
// watcher sees: the exit code, the standard error stream (boxes, notices), and the files left.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct PlayerResult {
    int exitCode = -1;
    bool timedOut = false;
    std::string errorText;   // standard error
};

// Starts the player (arguments after the program name) in the folder; the lock files of the
// single running copy live in runtimeDir. Kills it and reports a time-out after the limit.
PlayerResult RunPlayer(const std::string& folder, const std::vector<std::string>& args,
                       const std::string& runtimeDir, int timeoutSeconds = 60);

// The same, started in the background; WaitPlayer collects it.
int StartPlayer(const std::string& folder, const std::vector<std::string>& args, const std::string& runtimeDir,
                const std::string& errorFile);
PlayerResult WaitPlayer(int pid, const std::string& errorFile, int timeoutSeconds = 60);

// Input-script lines that press a key at a frame and release it at the next.
std::string Press(int frame, const char* key);
// The frame log of a run: presented frame and virtual milliseconds, one pair a frame (empty when
// the file is missing).
std::vector<std::pair<uint64_t, uint32_t>> ReadFrameLog(const std::string& path);
// The same log's third column: a hash of each presented frame's picture, in order.
std::vector<uint64_t> ReadFrameHashes(const std::string& path);

// A frame dump of the player (24-bit BMP) as 0x00RRGGBB pixels, top row first; empty when the
// file is missing or short.
struct Frame {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
};
Frame ReadBmp24(const std::string& path);
// Pixels of the colour inside and outside the rectangle from (x0, y0) to the frame's corner.
std::pair<int, int> CountColour(const Frame& f, uint32_t colour, int32_t x0, int32_t y0);
