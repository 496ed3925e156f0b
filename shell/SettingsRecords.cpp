#include "shell/SettingsRecords.h"

#include <algorithm>

#include "platform/win/WinWindowState.h"

namespace {
const int32_t VolumeSteps[11] = {-10000, -3000, -2000, -1300, -800, -500, -300, -150, -80, -30, 0};
constexpr int32_t DefaultVolumeLevel = 7;
// The main window's smallest client width and height.
constexpr int32_t kMinPlacedClient = 100;
}

cBootSettings::cBootSettings()
{
    RegisterFields(g_nDataVersion);
    ResetFields();
    m_nDrawingMode = 1;
    m_bDontAsk = 0;
}

void cBootSettings::RegisterFields(uint32_t)
{
    RegisterTwoInts(&m_nDrawingMode, &m_bDontAsk);
}

cWindowPlacement::cWindowPlacement()
{
    RegisterFields(g_nDataVersion);
    ResetFields();
}

void cWindowPlacement::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&m_nX);
    AddInt32Field(&m_nY);
    AddInt32Field(&m_nWidth);
    AddInt32Field(&m_nHeight);
    AddInt32Field(&m_bMaximised);
}

bool cWindowPlacement::Load(FILE* fp)
{
    if (!LoadRecordFields(fp)) return false;
    const int32_t maxX = GetSystemMetrics(SM_CXFULLSCREEN);
    const int32_t maxY = GetSystemMetrics(SM_CYFULLSCREEN);
    if (m_nX < 0) m_nX = 0;
    if (m_nX > maxX) m_nX = maxX;
    if (m_nY < 0) m_nY = 0;
    if (m_nY > maxY) m_nY = maxY;
    // The file is the player's and may hold any size: a client area between the main window's
    // smallest and the screen, so that the window's outer size and corners stay computable.
    m_nWidth = std::clamp(m_nWidth, kMinPlacedClient, std::max(kMinPlacedClient, GetSystemMetrics(SM_CXSCREEN)));
    m_nHeight = std::clamp(m_nHeight, kMinPlacedClient, std::max(kMinPlacedClient, GetSystemMetrics(SM_CYSCREEN)));
    return true;
}

void cWindowPlacement::SetWindowPlacement(int32_t x, int32_t y, int32_t width, int32_t height,
                                          int32_t maximised)
{
    m_nX = x;
    m_nY = y;
    m_nWidth = width;
    m_nHeight = height;
    m_bMaximised = maximised;
}

cOptionData::cOptionData()
{
    RegisterFields(g_nDataVersion);
    ResetFields();
    nPalettePattern = 0;
    bBgm = 1;
    nVolume = DefaultVolumeLevel;
    nRankingEntryMode = 0;
    strPlayerName = "aaa";
}

void cOptionData::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&nPalettePattern);
    AddInt32Field(&bBgm);
    AddInt32Field(&nVolume);
    AddInt32Field(&nRankingEntryMode);
    AddStringField(&strPlayerName);
}

bool cOptionData::Load(FILE* fp)
{
    if (!LoadThenNoOp(fp)) return false;
    Validate();
    return true;
}

void cOptionData::Validate()
{
    nPalettePattern = std::clamp(nPalettePattern, 0, 23);
    bBgm = std::clamp(bBgm, 0, 1);
    nVolume = std::clamp(nVolume, 0, 10);
    nRankingEntryMode = std::clamp(nRankingEntryMode, 0, 3);
}

int32_t VolumeOfLevel(int32_t nLevel)
{
    if (nLevel < 0 || nLevel > 10) nLevel = DefaultVolumeLevel;
    return VolumeSteps[nLevel];
}
