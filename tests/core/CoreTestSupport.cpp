#include "CoreTestSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/Log.h"
#include "core/MainWindow.h"
#include "platform/host/Host.h"
#include "platform/win/WinMessage.h"
#include "tests/platform/TestWindow.h"

namespace {

LRESULT TestWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

void CoreTest::SetUp()
{
    HostSelect(HostKind::Headless);
    HostDisarmAllFaults();
    HostClearRecordedMessageBoxes();
    char pattern[] = "/tmp/core_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_strFolder = pattern;
    m_strOldFolder = std::filesystem::current_path().string();
    std::filesystem::current_path(m_strFolder);

    ReportLogPath[0] = '\0';
    TraceLogStarted = 0;
    SetTraceLog(0, "EC_Game.txt");

    m_hWindow = CreateTestWindow("CoreTestWindow", TestWindowProc);
    hMainWnd = m_hWindow;
}

void CoreTest::TearDown()
{
    hMainWnd = nullptr;
    if (m_hWindow != nullptr) DestroyWindow(m_hWindow);
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    std::filesystem::current_path(m_strOldFolder);
    std::filesystem::remove_all(m_strFolder);
}

std::string CoreTest::ReadBytes(const char* hostName)
{
    std::ifstream file(hostName, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

bool CoreTest::Exists(const char* hostName)
{
    return std::filesystem::exists(hostName);
}

void CoreTest::WriteBytes(const char* hostName, const std::string& bytes)
{
    std::ofstream file(hostName, std::ios::binary);
    file << bytes;
}

int CoreTest::TakeCloseRequests()
{
    int closes = 0;
    MSG msg;
    while (PeekMessage(&msg, m_hWindow, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_CLOSE) ++closes;
    }
    return closes;
}

void CoreTest::StartReportLog()
{
    ASSERT_TRUE(CreateReportLog("Report_Game.txt"));
}
