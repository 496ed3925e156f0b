#pragma once
// A demo project generated once per test process into a scratch folder, which is the current
// directory while a test runs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/host/Host.h"
#include "platform/win/WinFile.h"
#include "tools/demo/DemoProject.h"

namespace demotest {

using Bytes = std::vector<uint8_t>;

inline Bytes ReadHostFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline Bytes ReadProjectFile(const char* path)
{
    return ReadHostFile(HostPath(path));
}

class DemoProjectTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HostSelect(HostKind::Headless);
        char pattern[] = "/tmp/demo_project_test_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        s_Folder = pattern;
        std::string error;
        s_bGenerated = GenerateDemoProject((s_Folder / "game").string(), &error);
        EXPECT_TRUE(s_bGenerated) << error;
    }
    static void TearDownTestSuite()
    {
        std::error_code ec;
        std::filesystem::remove_all(s_Folder, ec);
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_bGenerated);
        m_Previous = std::filesystem::current_path();
        std::filesystem::current_path(s_Folder / "game");
    }
    void TearDown() override { std::filesystem::current_path(m_Previous); }

    static inline std::filesystem::path s_Folder;
    static inline bool s_bGenerated = false;
    std::filesystem::path m_Previous;
};

}   // namespace demotest
