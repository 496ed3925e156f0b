// The file layer: project paths (code page 932, backslashes, case-insensitive) onto host paths,
// text-mode files with CR LF line ends, and the path forms the game code asks for.
#include "platform/win/WinFile.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/host/Host.h"

namespace {

bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool HasDrive(const char* path)
{
    unsigned char c = static_cast<unsigned char>(path[0]);
    return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':';
}

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Splits a code-page-932 path at its separators; a 0x5C trail byte is part of its character.
std::vector<std::string> SplitComponents(const std::string& path)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c) && i + 1 < path.size()) {
            parts.back() += path.substr(i, 2);
            ++i;
        } else if (IsSeparator(path[i])) {
            parts.emplace_back();
        } else {
            parts.back() += path[i];
        }
    }
    std::vector<std::string> result;
    for (auto& p : parts)
        if (!p.empty()) result.push_back(std::move(p));
    return result;
}

bool EndsWithSeparator(const std::string& path)
{
    if (path.empty() || !IsSeparator(path.back())) return false;
    for (size_t i = 0; i + 1 < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i]))) {
            if (i + 2 == path.size()) return false;   // the separator is a trail byte
            ++i;
        }
    }
    return true;
}

// Case-insensitive comparison of code-page-932 names: only single-byte letters fold, never the
// trail byte of a double-byte character.
bool EqualNoCaseCp932(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// UTF-8 names: every byte of a multi-byte character is 0x80 or above, so ASCII folding is safe.
bool EqualNoCaseUtf8(const char* a, const std::string& b)
{
    size_t n = std::strlen(a);
    if (n != b.size()) return false;
    for (size_t i = 0; i < n; ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

std::string JoinHost(const std::string& dir, const std::string& name)
{
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

bool Exists(const std::string& hostPath)
{
    struct stat st;
    return lstat(hostPath.c_str(), &st) == 0;
}

// Walks the path one component at a time; a missing component is replaced by the entry of its
// folder that matches ignoring case (the first in byte order when several do).
std::string ResolveIgnoringCase(const std::string& path)
{
    std::string resolved = path[0] == '/' ? "/" : "";
    bool searching = true;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty()) continue;
        std::string candidate = JoinHost(resolved, name);
        if (searching && !Exists(candidate)) {
            std::string match;
            if (DIR* dir = opendir(resolved.empty() ? "." : resolved.c_str())) {
                while (dirent* entry = readdir(dir)) {
                    if (EqualNoCaseUtf8(entry->d_name, name) && (match.empty() || match > entry->d_name))
                        match = entry->d_name;
                }
                closedir(dir);
            }
            if (match.empty()) searching = false;
            else candidate = JoinHost(resolved, match);
        }
        resolved = candidate;
    }
    if (path.back() == '/' && resolved.back() != '/') resolved += '/';
    return resolved;
}

// The host's current directory in project form.
bool CurrentProjectDirectory(std::string* out)
{
    if (HostTakeFault(HostFault::CurrentDirectory)) return false;
    char* cwd = getcwd(nullptr, 0);
    if (!cwd) return false;
    std::string path = cwd;
    std::free(cwd);
    std::replace(path.begin(), path.end(), '/', '\\');
    *out = Utf8ToCp932(path);
    return true;
}

// Text-mode streams: a cookie stream over the binary file translating line ends both ways.
ssize_t TextRead(void* cookie, char* buffer, size_t size)
{
    FILE* file = static_cast<FILE*>(cookie);
    size_t n = 0;
    while (n < size) {
        int c = getc(file);
        if (c == EOF) break;
        if (c == '\r') {
            int next = getc(file);
            if (next == '\n') c = '\n';
            else if (next != EOF) ungetc(next, file);
        }
        buffer[n++] = static_cast<char>(c);
    }
    if (n == 0 && ferror(file)) return -1;
    return static_cast<ssize_t>(n);
}

ssize_t TextWrite(void* cookie, const char* buffer, size_t size)
{
    FILE* file = static_cast<FILE*>(cookie);
    for (size_t i = 0; i < size; ++i) {
        if ((buffer[i] == '\n' && putc('\r', file) == EOF) || putc(buffer[i], file) == EOF)
            return i > 0 ? static_cast<ssize_t>(i) : -1;
    }
    // The cookie stream buffers already; pass each chunk straight on so fflush reaches the disk.
    if (fflush(file) != 0) return -1;
    return static_cast<ssize_t>(size);
}

int TextSeek(void* cookie, off64_t* position, int whence)
{
    FILE* file = static_cast<FILE*>(cookie);
    if (fseeko(file, *position, whence) != 0) return -1;
    *position = ftello(file);
    return 0;
}

int TextClose(void* cookie)
{
    return fclose(static_cast<FILE*>(cookie));
}

}  // namespace

std::string HostPath(const char* projectPath)
{
    if (!projectPath || !*projectPath) return std::string();
    std::string path = Cp932ToUtf8(projectPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    // The host has no drives: "X:\dir" names "/dir".
    if (HasDrive(path.c_str())) {
        path.erase(0, 2);
        if (path.empty() || path[0] != '/') path.insert(0, "/");
    }
    if (Exists(path)) return path;
    return ResolveIgnoringCase(path);
}

FILE* PlatformFopen(const char* projectPath, const char* mode)
{
    if (!projectPath || !mode) return nullptr;
    if (HostTakeFault(HostFault::FileOpen)) {
        errno = ENOENT;
        return nullptr;
    }
    std::string hostMode;
    bool binary = false;
    for (const char* m = mode; *m; ++m) {
        if (*m == 'b') binary = true;
        else if (std::strchr("rwa+", *m)) hostMode += *m;
    }
    FILE* file = std::fopen(HostPath(projectPath).c_str(), hostMode.c_str());
    if (!file || binary) return file;
    cookie_io_functions_t functions = {TextRead, TextWrite, TextSeek, TextClose};
    FILE* text = fopencookie(file, hostMode.c_str(), functions);
    if (!text) std::fclose(file);
    return text;
}

DWORD GetFileAttributes(const char* projectPath)
{
    struct stat st;
    std::string host = HostPath(projectPath);
    if (host.empty() || stat(host.c_str(), &st) != 0) return INVALID_FILE_ATTRIBUTES;
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    return (st.st_mode & 0222) == 0 ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
}

BOOL CreateDirectory(const char* projectPath, void*)
{
    std::string host = HostPath(projectPath);
    return !host.empty() && mkdir(host.c_str(), 0777) == 0;
}

BOOL DeleteFile(const char* projectPath)
{
    std::string host = HostPath(projectPath);
    return !host.empty() && unlink(host.c_str()) == 0;
}

BOOL CopyFile(const char* from, const char* to, BOOL failIfExists)
{
    std::string source = HostPath(from);
    std::string target = HostPath(to);
    if (source.empty() || target.empty()) return 0;
    std::error_code error;
    if (!std::filesystem::is_regular_file(source, error)) return 0;
    auto options = failIfExists ? std::filesystem::copy_options::none
                                : std::filesystem::copy_options::overwrite_existing;
    return std::filesystem::copy_file(source, target, options, error) && !error;
}

BOOL MoveFileEx(const char* from, const char* to, DWORD flags)
{
    std::string source = HostPath(from);
    std::string target = HostPath(to);
    if (source.empty() || target.empty() || !Exists(source)) return 0;
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && Exists(target)) return 0;
    return std::rename(source.c_str(), target.c_str()) == 0;
}

DWORD GetCurrentDirectory(DWORD bufferSize, char* buffer)
{
    std::string path;
    if (!CurrentProjectDirectory(&path)) return 0;
    if (!buffer || bufferSize < path.size() + 1) return static_cast<DWORD>(path.size() + 1);
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

DWORD GetFullPathName(const char* path, DWORD bufferSize, char* buffer, char** filePart)
{
    if (!path || !*path) return 0;
    std::string root;
    std::string rest;
    if (HasDrive(path)) {
        root = std::string(path, 2) + "\\";
        rest = path + 2;
    } else if (IsSeparator(path[0])) {
        root = "\\";
        rest = path;
    } else {
        std::string cwd;
        if (!CurrentProjectDirectory(&cwd)) return 0;
        if (HasDrive(cwd.c_str())) {
            root = cwd.substr(0, 2) + "\\";
            cwd.erase(0, 2);
        } else {
            root = "\\";
        }
        rest = cwd + "\\" + path;
    }
    std::vector<std::string> parts;
    for (auto& part : SplitComponents(rest)) {
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string full = root;
    size_t lastStart = std::string::npos;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) full += '\\';
        lastStart = full.size();
        full += parts[i];
    }
    bool trailing = EndsWithSeparator(path) && !parts.empty();
    if (trailing) full += '\\';
    if (!buffer || bufferSize < full.size() + 1) return static_cast<DWORD>(full.size() + 1);
    std::memcpy(buffer, full.c_str(), full.size() + 1);
    if (filePart)
        *filePart = (trailing || lastStart == std::string::npos) ? nullptr : buffer + lastStart;
    return static_cast<DWORD>(full.size());
}

BOOL PathIsRelative(const char* path)
{
    if (!path) return 1;
    return !(IsSeparator(path[0]) || HasDrive(path));
}

BOOL PathRelativePathTo(char* out, const char* from, DWORD fromAttributes, const char* to,
                        DWORD toAttributes)
{
    (void)toAttributes;
    if (!out || !from || !to) return 0;
    auto rootOf = [](const char* p) -> std::string {
        if (HasDrive(p)) return std::string(1, FoldAscii(p[0])) + ":";
        return IsSeparator(p[0]) ? "\\" : "";
    };
    // A path of another drive, or of no root against a rooted one, has no relative form.
    if (rootOf(from) != rootOf(to)) return 0;
    std::vector<std::string> fromParts = SplitComponents(HasDrive(from) ? from + 2 : from);
    std::vector<std::string> toParts = SplitComponents(HasDrive(to) ? to + 2 : to);
    if (!(fromAttributes & FILE_ATTRIBUTE_DIRECTORY) && !fromParts.empty()) fromParts.pop_back();
    size_t common = 0;
    while (common < fromParts.size() && common < toParts.size() &&
           EqualNoCaseCp932(fromParts[common], toParts[common]))
        ++common;
    if (common == 0 && rootOf(from).empty()) return 0;
    std::string result;
    size_t ups = fromParts.size() - common;
    if (ups == 0) result = ".";
    for (size_t i = 0; i < ups; ++i) result += i == 0 ? ".." : "\\..";
    for (size_t i = common; i < toParts.size(); ++i) result += "\\" + toParts[i];
    if (result.size() >= MAX_PATH) return 0;
    std::memcpy(out, result.c_str(), result.size() + 1);
    return 1;
}

BOOL ListDirectory(const char* projectPath, std::vector<std::string>* names)
{
    if (!names) return 0;
    std::string host = HostPath(projectPath);
    DIR* dir = opendir(host.empty() ? "." : host.c_str());
    if (!dir) return 0;
    names->clear();
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        names->push_back(Utf8ToCp932(entry->d_name));
    }
    closedir(dir);
    std::sort(names->begin(), names->end());
    return 1;
}
