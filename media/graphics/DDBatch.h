#pragma once
// The draw batch: between DDBeginDrawBatch and DDEndDrawBatch the Direct3D blits are recorded
// and drawn together at the end, grouped by source, target and blend state; a sorted batch draws
// the blits of registered sources after all others. Under DirectDraw the calls do nothing.
#include <cstdint>

#include "media/graphics/Surface.h"

// Opens a batch. Opening while a batch is open nests: the inner batch records into the outer
// one, and only the outermost end draws.
void DDBeginDrawBatch(int32_t bSort);
// Blits from this source are drawn after all others of the open sorted batch, sources in the
// order they were registered.
void DDRegisterBatchSource(DDSURFACEDATA* lpSD);
// Draws and closes the batch; the last device result, or 0.
int32_t DDEndDrawBatch();

// Used by the blits.
bool DDDrawBatchIsOpen();
void DDDrawBatchRecord(DDSURFACEDATA* lpDst, int32_t x, int32_t y, int32_t w, int32_t h,
                       DDSURFACEDATA* lpSrc, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                       int32_t flags);

// Commands recorded and not yet drawn (tests).
int32_t DDDrawBatchPending();
