#include "frontend/RankingDraw.h"

#include <algorithm>
#include <string>

#include "core/CheckedAccess.h"
#include "core/Text.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "frontend/NumberFormat.h"
#include "frontend/SaveData.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/GraphicsState.h"
#include "media/text/Font.h"
#include "shell/SceneManager.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"

namespace {

constexpr int32_t kClearTimeKind = 2;
constexpr int32_t kShownLines = kRankingLines;
constexpr int32_t kKindNameText = 5;
constexpr int32_t kKindHintText = 24;

const std::string& KindName(int32_t nKind)
{
    return CheckedAt(g_System.m_vText, kKindNameText + nKind);
}

// Names and titles show their letters a to z as letters even where the project draws them as
// letter pictures.
void DrawPlainLetters(cFont* lpFont, DDSURFACEDATA* lpTarget, int32_t x, int32_t y, const char* lpText)
{
    const bool bSwitch = g_System.m_bLetterPictures != 0;
    if (bSwitch) lpFont->m_bLetterPictures = 0;
    FontPrintf(lpFont, lpTarget, x, y, "%s", lpText);
    if (bSwitch) lpFont->m_bLetterPictures = 1;
}

void DrawIndicator(DDSURFACEDATA* lpTarget, int32_t x, int32_t y)
{
    DDBlt(lpTarget, x, y, 16, 16, &SystemSurfaces[kStatusSheetSurface], kRankIndicatorX, kRankIndicatorY, 1);
}

int32_t ResultValue(int32_t nKind)
{
    switch (nKind) {
    case 0: return g_SaveData.nTotalScore;
    case 1: return g_SaveData.nTimeBonusTotal;
    case 2: return g_SaveData.nPlayTimeTotal;
    case 3: return g_SaveData.nHpTotal;
    default: return g_SaveData.nSpTotal;
    }
}

// The kinds the results panel shows, in order.
std::vector<int32_t> ResultPanelKinds()
{
    std::vector<int32_t> kinds;
    const cEdRankingSetting& setting = CheckedAt(g_System.m_vRanking, SceneManager.GameMode);
    for (int32_t i = 0; i < kRankingKinds; ++i) {
        if (CheckedAt(g_Stage.m_vResultKind, i) == 0) continue;
        if (bDirectStage.load() != 0 || CheckedAt(setting.m_vKind, i) != 0) kinds.push_back(i);
    }
    return kinds;
}

}  // namespace

void DrawRankingTable(const cRankingTable& table, DDSURFACEDATA* lpTarget, int32_t x, int32_t y, int32_t nKind,
                      int32_t nCursor)
{
    cFont* lpFont = &Font16;
    FontDrawWindow(lpFont, lpTarget, x + 1, y + 1, 270, 350);

    std::string title;
    FormatString(title, SystemIni.English != 0 ? "Ranking     %s" : "ランキング    %s", KindName(nKind).c_str());
    DrawPlainLetters(lpFont, lpTarget, x, y, title.c_str());

    const bool bShowValues = nKind >= 0 && nKind < kRankingKinds;
    int32_t nWidth = 0;
    if (nKind == kClearTimeKind)
        nWidth = 8;
    else if (bShowValues)
        nWidth = CountDigits(CheckedAt(table.m_vEntries, 0).m_nValue);

    // A table read from a file may hold any number of lines; the window has room for twenty.
    const int32_t nRows = std::min<int32_t>(static_cast<int32_t>(table.m_vEntries.size()), kShownLines);
    std::string time;
    for (int32_t i = 0; i < nRows; ++i) {
        const cRankingEntry& entry = table.m_vEntries[static_cast<size_t>(i)];
        if (entry.m_bEnabled == 0) continue;
        const int32_t nRowY = y + 16 * (i + 1);
        FontPrintf(lpFont, lpTarget, x + 16, nRowY, "%d", i + 1);
        DrawPlainLetters(lpFont, lpTarget, x + 64, nRowY, entry.m_strName.c_str());
        if (nKind == kClearTimeKind) {
            FormatTime(time, entry.m_nValue);
            FontPrintf(lpFont, lpTarget, x + 144, nRowY, "%s", time.c_str());
        } else if (bShowValues) {
            const int32_t nDigits = CountDigits(entry.m_nValue);
            FontPrintf(lpFont, lpTarget, x + (nWidth - nDigits + 9) * 16, nRowY, "%d", entry.m_nValue);
        }
    }

    if (g_System.CountRankingKinds(SceneManager.GameMode) > 1) {
        const std::string& hint = CheckedAt(g_System.m_vText, kKindHintText);
        FontPrintf(lpFont, lpTarget, x + 136 - 8 * CountChars(hint.c_str()), y + 16 + 16 * nRows, "%s", hint.c_str());
    }

    if (nCursor != -1) DrawIndicator(lpTarget, x, y + 16 * (nCursor + 1));
}

void DrawRankingOfKind(cRankingFile& file, DDSURFACEDATA* lpTarget, int32_t x, int32_t y, int32_t nKind,
                       int32_t nCursor)
{
    DrawRankingTable(CheckedAt(file.m_vTables, nKind), lpTarget, x, y, nKind, nCursor);
}

void DrawResultPanel(DDSURFACEDATA* lpTarget, int32_t x, int32_t y, const std::vector<int32_t>& vPlaces)
{
    const std::vector<int32_t> kinds = ResultPanelKinds();
    if (kinds.empty()) return;
    cFont* lpFont = &Font16;

    int32_t nLabel = 0;
    int32_t nValue = 1;
    for (int32_t kind : kinds) {
        nLabel = std::max(nLabel, CountChars(KindName(kind).c_str()));
        nValue = std::max(nValue, kind == kClearTimeKind ? 8 : CountDigits(ResultValue(kind)));
    }
    const int32_t nRows = static_cast<int32_t>(kinds.size());
    FontDrawWindow(lpFont, lpTarget, x, y, (nValue + nLabel + 3) * 16, 16 * nRows);

    std::string time;
    for (int32_t r = 0; r < nRows; ++r) {
        const int32_t kind = kinds[static_cast<size_t>(r)];
        const int32_t nRowY = y + 16 * r;
        FontPrintf(lpFont, lpTarget, x + 16, nRowY, "%s", KindName(kind).c_str());
        if (kind == kClearTimeKind) {
            FormatTime(time, ResultValue(kind));
            FontPrintf(lpFont, lpTarget, x + 16 + 16 * (nLabel + 1), nRowY, "%s", time.c_str());
        } else {
            FontPrintf(lpFont, lpTarget, x + 32 + 16 * nLabel, nRowY, "%d", ResultValue(kind));
        }
    }

    // Each indicator stands beside the row of its own kind, so an unranked kind above a ranked
    // one never moves it off its result.
    for (int32_t r = 0; r < nRows; ++r) {
        const int32_t kind = kinds[static_cast<size_t>(r)];
        if (kind < static_cast<int32_t>(vPlaces.size()) && vPlaces[static_cast<size_t>(kind)] != -1)
            DrawIndicator(lpTarget, x, y + 16 * r);
    }
}
