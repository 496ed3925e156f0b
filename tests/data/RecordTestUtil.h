#pragma once
// Helpers for record tests: record bodies in memory, byte fixtures and a scratch folder that is
// the current directory for the test, since project paths are relative to it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "data/FieldListRecord.h"

using Bytes = std::vector<uint8_t>;

inline void AppendU32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void AppendU16(Bytes& b, uint16_t v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void AppendU8(Bytes& b, uint8_t v) { b.push_back(v); }
inline void AppendDouble(Bytes& b, double d)
{
    uint64_t v;
    static_assert(sizeof v == sizeof d);
    std::memcpy(&v, &d, 8);
    for (int i = 0; i < 8; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
// A stored string: u32 length + 1, then the text and its NUL (nothing for the empty string).
inline void AppendString(Bytes& b, const std::string& s)
{
    AppendU32(b, static_cast<uint32_t>(s.size() + 1));
    if (!s.empty()) {
        b.insert(b.end(), s.begin(), s.end());
        b.push_back(0);
    }
}

// The body that record.Save writes.
inline Bytes SaveBody(cFieldListRecord& record)
{
    FILE* fp = std::tmpfile();
    EXPECT_NE(fp, nullptr);
    EXPECT_TRUE(record.Save(fp));
    const long n = std::ftell(fp);
    std::rewind(fp);
    Bytes out(static_cast<size_t>(n));
    EXPECT_EQ(std::fread(out.data(), 1, out.size(), fp), out.size());
    std::fclose(fp);
    return out;
}

// Loads one body as if it stood in a file of the given version; true when Load succeeded and the
// whole body was used.
inline bool LoadBody(cFieldListRecord& record, const Bytes& body, uint32_t nVersion = 751)
{
    FILE* fp = std::tmpfile();
    EXPECT_NE(fp, nullptr);
    if (!body.empty()) std::fwrite(body.data(), 1, body.size(), fp);
    std::rewind(fp);
    g_nFileVersion = nVersion;
    const bool bOk = record.Load(fp);
    const bool bAtEnd = std::ftell(fp) == static_cast<long>(body.size());
    std::fclose(fp);
    return bOk && bAtEnd;
}

inline Bytes ReadWholeFile(const std::string& hostPath)
{
    std::ifstream in(hostPath, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteWholeFile(const std::string& hostPath, const Bytes& bytes)
{
    std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Runs each test in a fresh empty folder that is the current directory.
class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/data_test_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_folder = pattern;
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_folder);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_previous);
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }
    std::filesystem::path m_folder;
    std::filesystem::path m_previous;
};
