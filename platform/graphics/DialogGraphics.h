#pragma once
// Connects the dialog manager of the window layer to the graphics layer: dialog text through the
// FreeType glyph renderer in the dialog font, the game's last picture under the dialogs, the
// composed screen handed to the host, and PNG snapshots. Called once by the program's entry (and
// by tests) before the first dialog; returns whether the glyph renderer is working.
#include <cstdint>
#include <string>
#include <vector>

bool InstallDialogGraphics();

// Writes a 640 x 480 dialog screen (0xFFRRGGBB) as a PNG file at a host path.
bool WriteDialogScreenPng(const std::vector<uint32_t>& pixels, const std::string& hostPath);
