#pragma once
// The file layer. Game code names files by project paths: code-page-932 bytes with backslashes,
// relative to the current directory (or absolute, beginning with a backslash), case-insensitive
// as on the original platform. Every function here goes through HostPath.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

// The one mapping from a project path to a host path: decode code page 932 to UTF-8 first (a trail
// byte may be 0x5C), then turn backslashes into slashes, then, where a component does not exist
// with its exact name, take the entry of that folder whose name matches ignoring case.
std::string HostPath(const char* projectPath);

// fopen on a project path. Text modes ("t", or no "b") keep CR LF line ends on disk as the
// original's text-mode files did: "\n" is written as CR LF, and CR LF reads back as "\n".
FILE* PlatformFopen(const char* projectPath, const char* mode);

constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

DWORD GetFileAttributes(const char* projectPath);
BOOL CreateDirectory(const char* projectPath, void* securityAttributes);
BOOL DeleteFile(const char* projectPath);
BOOL CopyFile(const char* from, const char* to, BOOL failIfExists);
BOOL MoveFileEx(const char* from, const char* to, DWORD flags);   // replaces an existing target
constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;

// The current directory in project form: code page 932, backslashes, e.g. "\home\me\game".
// Returns the length written, or the size needed when the buffer is too small, 0 on failure.
DWORD GetCurrentDirectory(DWORD bufferSize, char* buffer);
// The full project-form path of a relative or absolute project path.
DWORD GetFullPathName(const char* path, DWORD bufferSize, char* buffer, char** filePart);

// True for a path that is not absolute: absolute paths begin with "\" or a drive ("X:").
BOOL PathIsRelative(const char* path);
// The relative path from one project path to another (attributes say folder or file), starting
// with ".\" or "..\". False when there is none (a drive-letter path, another root).
BOOL PathRelativePathTo(char* out, const char* from, DWORD fromAttributes, const char* to,
                        DWORD toAttributes);

// Listing a folder: one call gives every entry name (code page 932) of the folder, or false.
BOOL ListDirectory(const char* projectPath, std::vector<std::string>* names);
