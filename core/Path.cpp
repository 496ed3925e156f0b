#include "core/Path.h"

#include <cstring>
#include <vector>

#include "core/Text.h"
#include "platform/win/WinFile.h"

// Paths live in 260-byte buffers. The work is done on standard strings, and a buffer is written
// back only when the result fits, so no helper can overflow its caller's buffer.
namespace {

constexpr size_t PathBufferSize = MAX_PATH;

bool Store(char* destination, const std::string& text)
{
    if (text.size() >= PathBufferSize) return false;
    std::memcpy(destination, text.c_str(), text.size() + 1);
    return true;
}

// The last "." anywhere in the path; a "." is never the second byte of a double-byte character.
size_t LastDot(const std::string& path)
{
    return path.rfind('.');
}

bool MakeRelative(std::string& path)
{
    if (PathIsRelative(path.c_str())) return true;
    char current[PathBufferSize];
    DWORD length = GetCurrentDirectory(sizeof current, current);
    if (length == 0 || length >= sizeof current) return false;
    char relative[PathBufferSize];
    if (!PathRelativePathTo(relative, current, FILE_ATTRIBUTE_DIRECTORY, path.c_str(),
                            FILE_ATTRIBUTE_NORMAL)) {
        return false;
    }
    path = relative;
    return true;
}

bool MakeAbsolute(std::string& path)
{
    if (!PathIsRelative(path.c_str())) return true;
    std::vector<char> full(PathBufferSize);
    DWORD length = GetFullPathName(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length + 1);
        length = GetFullPathName(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size()) return false;
    path.assign(full.data(), length);
    return true;
}

// Scans forward so that a 0x5C byte that ends a double-byte character is never taken for a
// separator.
size_t LastSeparator(const std::string& path)
{
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size();) {
        if (IsDbcsPair(path.c_str() + i)) {
            i += 2;
            continue;
        }
        if (path[i] == '\\') last = i;
        ++i;
    }
    return last;
}

bool Replace(std::string& out, const std::string& source, const char* extension)
{
    out = source;
    size_t dot = LastDot(source);
    if (dot == std::string::npos) return false;
    if (extension != nullptr) {
        out = source.substr(0, dot + 1) + extension;
    } else {
        out = source.substr(0, dot);
    }
    return true;
}

}  // namespace

bool MakePathRelative(char* path)
{
    std::string text = path;
    if (!MakeRelative(text)) return false;
    return Store(path, text);
}

bool MakePathRelative(std::string& path)
{
    return MakeRelative(path);
}

bool MakePathAbsolute(char* path)
{
    std::string text = path;
    if (!MakeAbsolute(text)) return false;
    return Store(path, text);
}

bool MakePathAbsolute(std::string& path)
{
    return MakeAbsolute(path);
}

void StripDirectory(std::string& path)
{
    size_t separator = LastSeparator(path);
    if (separator != std::string::npos) path.erase(0, separator + 1);
}

void StripDirectory(char* path)
{
    std::string text = path;
    StripDirectory(text);
    std::memmove(path, text.c_str(), text.size() + 1);
}

bool ReplaceExtension(char* destination, const char* source, const char* extension)
{
    std::string result;
    bool replaced = Replace(result, source, extension);
    if (!Store(destination, result)) {
        // The result would not fit: the destination gets the unchanged copy.
        Store(destination, source);
        return false;
    }
    return replaced;
}

bool RemoveExtension(std::string& path)
{
    size_t dot = LastDot(path);
    if (dot == std::string::npos) return false;
    path.erase(dot);
    return true;
}

bool RemoveExtension(char* path)
{
    char* dot = std::strrchr(path, '.');
    if (dot == nullptr) return false;
    *dot = '\0';
    return true;
}

bool GetExtension(char* destination, const char* path)
{
    const char* dot = std::strrchr(path, '.');
    if (dot == nullptr) return false;
    return Store(destination, dot + 1);
}

bool InsertNumberSuffix(char* destination, const char* source, int digit1, int digit2)
{
    std::string text = source;
    size_t dot = LastDot(text);
    if (dot == std::string::npos || text.size() - dot - 1 > 29) return false;
    std::string result;
    FormatString(result, "%s_%d%d%s", text.substr(0, dot).c_str(), digit1, digit2,
                 text.c_str() + dot);
    return Store(destination, result);
}

namespace {

// The last "\\" or "/" (the file layer takes both) that is not the second byte of a double-byte
// character; npos when there is none.
size_t LastFolderSeparator(const std::string& path)
{
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size();) {
        if (i + 1 < path.size() && IsDbcsPair(path.c_str() + i)) {
            i += 2;
            continue;
        }
        if (path[i] == '\\' || path[i] == '/') last = i;
        ++i;
    }
    return last;
}

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names as the file layer matches them: single-byte letters without case, double-byte characters
// byte for byte (a trail byte may look like a letter).
bool SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size();) {
        if (i + 1 < a.size() && IsDbcsPair(a.c_str() + i)) {
            if (a.compare(i, 2, b, i, 2) != 0) return false;
            i += 2;
            continue;
        }
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
        ++i;
    }
    return true;
}

// The number of an entry named "<stem>_DDD" (three decimal digits), else -1.
int NumberOfEntry(const std::string& entry, const std::string& stem)
{
    if (entry.size() != stem.size() + 4 || entry[stem.size()] != '_') return -1;
    int number = 0;
    for (size_t i = stem.size() + 1; i < entry.size(); ++i) {
        if (entry[i] < '0' || entry[i] > '9') return -1;
        number = number * 10 + (entry[i] - '0');
    }
    return SameNameIgnoringCase(entry.substr(0, stem.size()), stem) ? number : -1;
}

std::string NumberedName(const std::string& name, int number)
{
    std::string candidate;
    FormatString(candidate, "%s_%d%d%d", name.c_str(), number / 100, number / 10 % 10, number % 10);
    return candidate;
}

}  // namespace

// One listing of the folder instead of a test for each of the thousand names: the numbers its
// entries carry are tried from the highest down, each confirmed the way a single name would be,
// so the answer is the one the name-by-name search gives.
bool FindLatestNumberedFile(std::string& result, const std::string& base, const char* extension)
{
    std::string name;
    Replace(name, base, extension);
    const size_t separator = LastFolderSeparator(name);
    std::string folder = ".";
    if (separator != std::string::npos) folder = name.substr(0, separator == 0 ? 1 : separator);
    const std::string stem = separator == std::string::npos ? name : name.substr(separator + 1);

    std::vector<std::string> entries;
    bool numbered[1000] = {};
    if (ListDirectory(folder.c_str(), &entries)) {
        for (const std::string& entry : entries) {
            const int number = NumberOfEntry(entry, stem);
            if (number >= 0) numbered[number] = true;
        }
    } else {
        // A folder that is there but cannot be listed may still let its files be found by name;
        // in a folder that is not there no name can be.
        const DWORD dwFolder = GetFileAttributes(folder.c_str());
        if (dwFolder == INVALID_FILE_ATTRIBUTES || (dwFolder & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
        for (bool& b : numbered) b = true;
    }
    for (int number = 999; number >= 0; --number) {
        if (!numbered[number]) continue;
        const std::string candidate = NumberedName(name, number);
        if (GetFileAttributes(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) {
            result = candidate;
            return true;
        }
    }
    return false;
}

bool FindLatestNumberedFile(char* result, const char* base, const char* extension)
{
    std::string found;
    if (!FindLatestNumberedFile(found, std::string(base), extension)) return false;
    return Store(result, found);
}
