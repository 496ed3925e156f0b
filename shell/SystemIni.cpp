// "System.ini" is read byte by byte the way players have always edited it: blanks anywhere in a
// key, a comment after a value, a line without "=" ignored, and the end marked by "Exit".
#include "shell/SystemIni.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win/WinFile.h"

SYSTEMINI SystemIni;

void SetSystemIniDefaults(SYSTEMINI& ini, const std::vector<cEdSystemOption>& options)
{
    int32_t* fields[8] = {&ini.Direct3D, &ini.WindowMode, &ini.Bpp, &ini.VSync,
                          &ini.D3D_FontCache, &ini.DD_FontCache, &ini.DD_VideoStretch, &ini.ShowFps};
    for (size_t k = 0; k < 8; ++k) *fields[k] = k < options.size() ? options[k].m_nValue : 0;
    ini.FreeStage[0] = 0;
    if (options.size() > 8 && options[8].m_strValue.size() < sizeof(ini.FreeStage))
        std::memcpy(ini.FreeStage, options[8].m_strValue.c_str(), options[8].m_strValue.size() + 1);
    ini.English = 0;
}

namespace {

void StoreValue(SYSTEMINI& ini, size_t position, std::string value)
{
    int32_t* fields[10] = {&ini.Direct3D, &ini.WindowMode, &ini.Bpp, &ini.VSync,
                           &ini.D3D_FontCache, &ini.DD_FontCache, &ini.DD_VideoStretch, &ini.ShowFps,
                           nullptr, &ini.English};
    if (position != 8) {
        *fields[position] = static_cast<int32_t>(std::atoi(value.c_str()));
        return;
    }
    // A file saved with CR LF line ends leaves a CR on the value; it is no part of a file name.
    while (!value.empty() && value.back() == '\r') value.pop_back();
    if (value.size() >= 2 && value.size() <= 259)
        std::memcpy(ini.FreeStage, value.c_str(), value.size() + 1);
}

int ReadEntries(FILE* fp, SYSTEMINI& ini, const std::vector<cEdSystemOption>& options)
{
    std::string key;
    std::string value;
    for (int32_t entry = 0; entry < 10000; ++entry) {
        key.clear();
        bool haveValue = false;
        for (;;) {
            int c = std::fgetc(fp);
            if (c == EOF) {
                // "Exit" on the last line without a line feed still ends the file properly.
                return key == "Exit" ? 1 : 0;
            }
            if (c == '\r' || c == ' ' || c == '\t') continue;
            if (c == 0) return 1;
            if (c == '=') {
                haveValue = true;
                break;
            }
            if (c == '\n') {
                if (key == "Exit") return 1;
                break;
            }
            if (key.size() >= SystemIniBufferSize - 1) return 0;
            key.push_back(static_cast<char>(c));
        }
        if (!haveValue) continue;
        value.clear();
        for (;;) {
            int c = std::fgetc(fp);
            if (c == EOF) return 0;
            if (c == ' ' || c == '\t' || c == '/' || c == '\n' || c == 0) break;
            if (value.size() >= SystemIniBufferSize - 1) return 0;
            value.push_back(static_cast<char>(c));
        }
        for (size_t k = 0; k < options.size() && k < 10; ++k) {
            if (options[k].m_strName == key) {
                StoreValue(ini, k, value);
                break;
            }
        }
    }
    return 1;
}

}  // namespace

int ReadSystemIni(const char* path, SYSTEMINI& ini, const std::vector<cEdSystemOption>& options)
{
    FILE* fp = PlatformFopen(path, "rb");
    if (fp == nullptr) return 0;
    const int result = ReadEntries(fp, ini, options);
    std::fclose(fp);
    return result;
}
