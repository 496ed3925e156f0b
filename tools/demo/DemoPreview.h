#pragma once
// PNG previews of the demo pictures, for looking at the art without the player.
#include <cstdint>
#include <string>
#include <vector>

// Decodes an 8-bit bitmap file of the project and writes it as a PNG file (a host path), scaled
// up by a whole factor. False when the bitmap cannot be read or the PNG cannot be written.
bool WriteBitmapPreview(const char* bitmapPath, const std::string& pngHostPath, int32_t nScale);

// The world map screen as the world-map scene composes it (chips, entry icons, the cursor at the
// start), from the project's own files, written as a PNG file.
bool WriteWorldMapPreview(const std::string& pngHostPath);

// The opening view of a stage (its first 20 x 15 blocks over its first background, with the
// characters and items placed there), from the project's own files, written as a PNG file.
bool WriteStagePreview(const char* stagePath, int32_t nFirstColumn, const std::string& pngHostPath);
