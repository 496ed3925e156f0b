// The story slot list as the title's continue and the world-map menu draw it.
#include "core/CheckedAccess.h"
#include "frontend/SaveData.h"
#include "media/graphics/DDFill.h"
#include "media/text/Font.h"

void DrawSaveSlotDate(const cSaveSlotInfo& slot, DDSURFACEDATA* lpSurface, int32_t x, int32_t y)
{
    if (!slot.bValid) return;
    const SAVETIME& t = slot.SaveTime;
    FontPrintf(&FontTable[1], lpSurface, x, y, "%04d/%02d/%02d %02d:%02d\n", t.wYear, t.wMonth, t.wDay,
               t.wHour, t.wMinute);
}

void DrawSaveSlotList(DDSURFACEDATA* lpSurface, int32_t x, int32_t y, std::vector<cSaveSlotInfo>& list,
                      int32_t nTop, int32_t nRows)
{
    FontDrawWindow(&FontTable[1], lpSurface, x, y, 320, 16 * nRows);
    for (int32_t i = 0; i < nRows; ++i) {
        const int32_t yLine = y + 16 * i;
        if (i < nRows - 1) DDFillRect(lpSurface, x, yLine + 15, 320, 1, 240);
        if (list.empty() || nTop + i < 0 || nTop + i >= static_cast<int32_t>(list.size())) break;
        FontPrintf(&FontTable[1], lpSurface, x + 16, yLine, "%d", nTop + i + 1);
        DrawSaveSlotDate(list[static_cast<size_t>(nTop + i)], lpSurface, x + 64, yLine);
    }
}
