#pragma once
// Path helpers on code-page-932 project paths (backslash separators).
#include <string>

bool MakePathRelative(char* path);
bool MakePathRelative(std::string& path);
bool MakePathAbsolute(char* path);
bool MakePathAbsolute(std::string& path);
void StripDirectory(char* path);
void StripDirectory(std::string& path);
bool ReplaceExtension(char* destination, const char* source, const char* extension);
bool RemoveExtension(char* path);
bool RemoveExtension(std::string& path);
bool GetExtension(char* destination, const char* path);
bool InsertNumberSuffix(char* destination, const char* source, int digit1, int digit2);
bool FindLatestNumberedFile(char* result, const char* base, const char* extension);
bool FindLatestNumberedFile(std::string& result, const std::string& base, const char* extension);
