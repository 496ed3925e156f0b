#pragma once
// A fixture for core tests: each test runs on the headless host in a fresh temporary folder,
// with the logs reset and a main window whose queued close requests can be counted.
#include <gtest/gtest.h>

#include <string>

#include "platform/win/WinTypes.h"

class CoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Reads a file of the temporary folder as raw bytes ("" when missing).
    static std::string ReadBytes(const char* hostName);
    static bool Exists(const char* hostName);
    static void WriteBytes(const char* hostName, const std::string& bytes);
    // Takes the messages queued for the main window and counts the close requests among them.
    int TakeCloseRequests();
    // Creates the report log in the temporary folder.
    void StartReportLog();

    std::string m_strFolder;
    std::string m_strOldFolder;
    HWND m_hWindow = nullptr;
};
