// Where an object's graphic cell lies: which sheets (plain and mirrored, video sheet and its
// system-memory copy) and which 32-pixel cell, for the five graphic kinds; the 16 x 16 icons of
// the same graphics; and the work surfaces the object drawing uses on the back end in use.
//
// Graphic numbers come from project files. A number that names no sheet (a character sheet past
// the last one, a character bitmap that the database does not have) draws the empty cell or
// nothing, and says so once in the report log.
#include "objects/GraphicSource.h"

#include <atomic>

#include "core/Log.h"
#include "data/EdDatabase.h"
#include "data/EdMediaEntry.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/GraphicsState.h"
#include "objects/GameObject.h"
#include "shell/ShellGlobals.h"
#include "shell/SystemIni.h"

int32_t EffectWorkSurface = 68;
int32_t SecondWorkSurface = 70;
int32_t MarkStretchSurface = 44;

namespace {

constexpr int32_t kBlockSheet = 2, kBlockCopy = 3;
constexpr int32_t kCharaSheet = 4, kCharaCopy = 22, kCharaSheetCount = 9;
constexpr int32_t kItemSheet = 40, kItemCopy = 41, kItemIcons = 42;
constexpr int32_t kShotSheet = 63;

bool DirectDrawInUse()
{
    return lpDTCon == nullptr && lpDD != nullptr;
}

DDSURFACEDATA* System(int32_t n)
{
    return &SystemSurfaces[n];
}

void ReportBadGraphicOnce(int32_t nKind, int32_t n)
{
    static std::atomic<int32_t> reported[5];
    if (nKind < 0 || nKind > 4 || reported[nKind].exchange(1) != 0) return;
    WriteReportLog("err graphic kind %d number %d", nKind, n);
}

// Sheet k of the character sheets, or -1 when the number lies past the last one.
int32_t CharaSheetOf(int32_t n)
{
    if (n < 0) return -1;
    const int32_t k = n / 15;
    return k < kCharaSheetCount ? k : -1;
}

// The database record and first stage surface of character bitmap n, or null when the stage has
// no surfaces for it.
const cEdBmpCharaExc* CharaBitmapOf(int32_t n, int32_t& nFirstSurface)
{
    const std::vector<cEdBmpCharaExc>& list = g_Database.m_vBmpCharaExc;
    if (n < 1 || static_cast<size_t>(n) >= list.size()) return nullptr;
    const size_t nFirst = 4 * static_cast<size_t>(n - 1);
    if (nFirst + 4 > StageCharaSurfaces.size()) return nullptr;
    nFirstSurface = static_cast<int32_t>(nFirst);
    return &list[static_cast<size_t>(n)];
}

// Shot sheets: 30 cells a column, two columns of 32 pixels per graphic column.
void ShotCell(int32_t n, int32_t& sx, int32_t& sy)
{
    sx = (n / 30) * 64;
    sy = (n % 30) * 32;
}

}  // namespace

void SelectGraphicTables()
{
    const bool bDirectDraw = DirectDrawInUse();
    if (bDirectDraw && SystemIni.DD_VideoStretch != 0) {
        EffectWorkSurface = 67;
        MarkStretchSurface = 43;
    } else {
        EffectWorkSurface = 68;
        MarkStretchSurface = 44;
    }
    SecondWorkSurface = bDirectDraw ? 68 : 70;
}

void SetGraphicSource(GraphicSource* lpSource, int32_t nOwner, int32_t nKind, int32_t n,
                      int32_t nColumn, const cGameObject* lpObject, int32_t nFrame)
{
    if (lpSource == nullptr) return;
    GraphicSource& src = *lpSource;
    src = GraphicSource{};
    const bool bObject = lpObject != nullptr;
    const int32_t nDir = bObject && lpObject->m_nDir == 1 ? 1 : 0;

    switch (nKind) {
    case 0:
        src.m_lpSheet = src.m_lpOtherSheet = System(kBlockSheet);
        src.m_lpSheetCopy = src.m_lpOtherSheetCopy = System(kBlockCopy);
        src.m_nSrcX = (n / 15) * 32;
        src.m_nSrcY = (n % 15) * 32;
        break;
    case 1: {
        const int32_t k = CharaSheetOf(n);
        bool bFallback = k < 0;
        if (k < 0) {
            ReportBadGraphicOnce(1, n);
        } else if (bObject) {
            const int32_t nPlain = kCharaSheet + 2 * k, nMirror = nPlain + 1;
            const int32_t nCopyPlain = kCharaCopy + 2 * k, nCopyMirror = nCopyPlain + 1;
            src.m_lpSheet = System(nDir == 0 ? nPlain : nMirror);
            src.m_lpSheetCopy = System(nDir == 0 ? nCopyPlain : nCopyMirror);
            src.m_lpOtherSheet = System(nDir == 0 ? nMirror : nPlain);
            src.m_lpOtherSheetCopy = System(nDir == 0 ? nCopyMirror : nCopyPlain);
            src.m_nSrcX = nColumn * 32 + nFrame * 32;
        } else {
            // Columns 20 and above are the mirrored sheet's, counted from its own left edge.
            const bool bMirror = nColumn >= 20;
            src.m_lpSheet = System(kCharaSheet + 2 * k + (bMirror ? 1 : 0));
            src.m_lpSheetCopy = System(kCharaCopy + 2 * k + (bMirror ? 1 : 0));
            src.m_nSrcX = (bMirror ? nColumn - 20 : nColumn) * 32;
        }
        if (k >= 0) {
            src.m_nSrcY = (n % 15) * 32;
            bFallback = src.m_nSrcY >= src.m_lpSheet->nHeight || src.m_nSrcX >= src.m_lpSheet->nWidth ||
                        src.m_nSrcX < 0;
        }
        if (bFallback) {
            src.m_lpSheet = src.m_lpOtherSheet = System(kCharaSheet);
            src.m_lpSheetCopy = src.m_lpOtherSheetCopy = System(kCharaCopy);
            src.m_nSrcX = 0;
            src.m_nSrcY = 0;
        }
        break;
    }
    case 2:
        src.m_lpSheet = src.m_lpOtherSheet = System(kItemSheet);
        src.m_lpSheetCopy = src.m_lpOtherSheetCopy = System(kItemCopy);
        src.m_nSrcX = (n / 15) * 64 + (nOwner == 2 ? nFrame * 32 : 0);
        src.m_nSrcY = (n % 15) * 32;
        break;
    case 3:
        // The shot sheets are built per stage and have no system-memory copies.
        src.m_lpSheet = src.m_lpSheetCopy = System(kShotSheet + nDir);
        if (bObject) src.m_lpOtherSheet = src.m_lpOtherSheetCopy = System(kShotSheet + 1 - nDir);
        ShotCell(n, src.m_nSrcX, src.m_nSrcY);
        break;
    case 4: {
        int32_t nFirst = 0;
        const cEdBmpCharaExc* lpRecord = CharaBitmapOf(n, nFirst);
        if (lpRecord == nullptr) {
            ReportBadGraphicOnce(4, n);
            break;
        }
        const size_t i = static_cast<size_t>(nFirst);
        if (bObject) {
            src.m_lpSheet = &StageCharaSurfaces[i + static_cast<size_t>(nDir)];
            src.m_lpSheetCopy = &StageCharaSurfaces[i + 2 + static_cast<size_t>(nDir)];
            src.m_lpOtherSheet = &StageCharaSurfaces[i + static_cast<size_t>(1 - nDir)];
            src.m_lpOtherSheetCopy = &StageCharaSurfaces[i + 2 + static_cast<size_t>(1 - nDir)];
        } else {
            src.m_lpSheet = &StageCharaSurfaces[i];
            src.m_lpSheetCopy = &StageCharaSurfaces[i + 2];
        }
        const int32_t nCell = bObject ? nColumn + nFrame : nColumn;
        if (lpRecord->m_bBigCells != 0) {
            src.m_bOwnCellSize = 1;
            src.m_nCellScale = static_cast<int8_t>(lpRecord->GetCellScale());
        }
        lpRecord->GetCellOrigin(nCell, src.m_nSrcX, src.m_nSrcY);
        break;
    }
    default:
        break;
    }

    if (DirectDrawInUse() && SystemIni.DD_VideoStretch != 0) {
        src.m_lpChosen = src.m_lpSheet;
        src.m_lpChosenOther = src.m_lpOtherSheet;
    } else {
        src.m_lpChosen = src.m_lpSheetCopy;
        src.m_lpChosenOther = src.m_lpOtherSheetCopy;
    }
}

void DrawGraphicIcon(DDSURFACEDATA* lpTarget, int32_t x, int32_t y, int32_t nKind, int32_t n,
                     int32_t nColumn)
{
    switch (nKind) {
    case 0:
        // The block sheet holds one 32-pixel column of 15 blocks per 15 graphic numbers.
        DDBltStretch(lpTarget, x, y, 16, 16, System(kBlockCopy), (n / 15) * 32, (n % 15) * 32, 32, 32, 1);
        break;
    case 1: {
        const int32_t k = CharaSheetOf(n);
        if (k < 0) {
            ReportBadGraphicOnce(1, n);
            break;
        }
        DDBltStretch(lpTarget, x, y, 16, 16, System(kCharaCopy + 2 * k), nColumn * 32, (n % 15) * 32, 32, 32, 1);
        break;
    }
    case 2:
        DDBlt(lpTarget, x, y, 16, 16, System(kItemIcons), (n / 15) * 32, (n % 15) * 16, 1);
        break;
    case 3: {
        int32_t sx = 0, sy = 0;
        ShotCell(n, sx, sy);
        DDBltStretch(lpTarget, x, y, 16, 16, System(kShotSheet), sx, sy, 32, 32, 1);
        break;
    }
    case 4: {
        int32_t nFirst = 0;
        const cEdBmpCharaExc* lpRecord = CharaBitmapOf(n, nFirst);
        if (lpRecord == nullptr) {
            ReportBadGraphicOnce(4, n);
            break;
        }
        int32_t sx = 0, sy = 0;
        lpRecord->GetCellOrigin(nColumn, sx, sy);
        const int32_t nSide = lpRecord->GetCellSide();
        DDBltStretch(lpTarget, x, y, 16, 16, &StageCharaSurfaces[static_cast<size_t>(nFirst) + 2], sx, sy, nSide,
                     nSide, 1);
        break;
    }
    default:
        break;
    }
}
