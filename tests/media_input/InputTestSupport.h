#pragma once
// Input tests run on the headless host with every key up, no joystick attached, no script, the
// built-in key configuration, and a fresh temporary folder as the current directory.
#include <gtest/gtest.h>

#include <string>

#include "media/input/KeyConfig.h"
#include "media/input/KeyInput.h"

class InputTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sets exactly these virtual keys down (every other key up).
    static void HoldKeys(std::initializer_list<int> keys);
    static void WriteBytes(const char* hostName, const std::string& bytes);

    std::string m_strFolder;
    std::string m_strOldFolder;
};
