#pragma once
// Formatting into standard strings and the code-page-932 text tests.
#include <cstdarg>
#include <string>

#include "platform/win/WinTypes.h"

// Formats by the printf rules and assigns the whole text to out (out may be an argument).
void FormatString(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void FormatStringV(std::string& out, const char* format, va_list args);

bool IsDbcsPair(const char* bytes);
// True when the byte is a lead byte of code page 932.
bool IsDbcsLeadByte(unsigned char byte);
int CountChars(const char* text);
