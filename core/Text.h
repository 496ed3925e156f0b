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

// Dialog item texts as standard strings. At most maximum bytes are read, the terminating zero
// included.
void GetDlgItemString(HWND dialog, int itemId, std::string& out, int maximum);
void SetDlgItemString(HWND dialog, int itemId, const std::string& text);
