#pragma once
// The font face names that the project settings' font index chooses from. Entries 0 to 121 are
// face names; entry 122 is the empty name that ends the list.
#include <cstdint>
#include <string>

constexpr int32_t FontFaceCount = 123;
extern const std::string FontFaceTable[FontFaceCount];

// The face name of a font index, or the empty name for an index outside the table (a damaged or
// hand-edited "System.dat" must not make start-up read past it).
const std::string& GetFontFaceName(int32_t index);
