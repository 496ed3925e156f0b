#include "InputTestSupport.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/host/Host.h"
#include "platform/win/HostInput.h"

void InputTest::SetUp()
{
    HostSelect(HostKind::Headless);
    HostDisarmAllFaults();
    HostClearInputScript();
    HostReleaseAllKeys();
    HostJoystickDetachAll();
    KeyConfig = KeyConfigData{};
    DefaultKeyConfig(KeyConfig);
    char pattern[] = "/tmp/input_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_strFolder = pattern;
    m_strOldFolder = std::filesystem::current_path().string();
    std::filesystem::current_path(m_strFolder);
}

void InputTest::TearDown()
{
    HostClearInputScript();
    HostReleaseAllKeys();
    HostJoystickDetachAll();
    std::filesystem::current_path(m_strOldFolder);
    std::error_code ignored;
    std::filesystem::remove_all(m_strFolder, ignored);
}

void InputTest::HoldKeys(std::initializer_list<int> keys)
{
    HostReleaseAllKeys();
    for (int key : keys) HostSetKeyDown(key, true);
}

void InputTest::WriteBytes(const char* hostName, const std::string& bytes)
{
    const auto parent = std::filesystem::path(hostName).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    std::ofstream out(hostName, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
