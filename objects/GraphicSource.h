#pragma once
// Where an object's graphic cell lies for one draw: the sheets of both facings (video-memory sheet
// and system-memory copy), the pair the drawing uses, the blend state and the cell's position.
#include <cstdint>

struct DDSURFACEDATA;
class cGameObject;

struct GraphicSource {
    DDSURFACEDATA* m_lpSheet = nullptr;          // this facing
    DDSURFACEDATA* m_lpSheetCopy = nullptr;      // its system-memory copy
    DDSURFACEDATA* m_lpOtherSheet = nullptr;     // the other facing
    DDSURFACEDATA* m_lpOtherSheetCopy = nullptr;
    DDSURFACEDATA* m_lpChosen = nullptr;         // the sheets drawn from: both video or both copies
    DDSURFACEDATA* m_lpChosenOther = nullptr;
    int32_t m_bBlend = 0;
    int32_t m_dwBlendDiffuse = 0;                // ARGB
    int32_t m_nBlendColorOp = 0;
    int32_t m_bOwnCellSize = 0;
    int8_t m_nCellScale = 1;
    int32_t m_nSrcX = 0;
    int32_t m_nSrcY = 0;
};

// Defined in GraphicSource.cpp.
// Fills the descriptor for graphic n of graphic kind nKind (0 block sheet, 1 character sheets,
// 2 item sheet, 3 shot sheets, 4 character bitmaps). nOwner is 1 when an object is drawn and 2 for
// the second frame of an item.
void SetGraphicSource(GraphicSource* lpSource, int32_t nOwner, int32_t nKind, int32_t n,
                      int32_t nColumn, const cGameObject* lpObject, int32_t nFrame);
// A 16 x 16 miniature of graphic n with the colour key.
void DrawGraphicIcon(DDSURFACEDATA* lpTarget, int32_t x, int32_t y, int32_t nKind, int32_t n,
                     int32_t nColumn);
// Chooses the work surfaces and the mark sheet of the object drawing; the stage scene calls it
// when it is entered.
void SelectGraphicTables();

// The surfaces SelectGraphicTables chose (system surface numbers).
extern int32_t EffectWorkSurface;
extern int32_t SecondWorkSurface;
extern int32_t MarkStretchSurface;
