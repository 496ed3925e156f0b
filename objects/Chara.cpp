// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "objects/Chara.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void cChara::ScaleBoxes(int32_t nScale)
{}

void cChara::UpdateBoxesX()
{}

void cChara::UpdateBoxesY()
{}

cItem* cChara::GetCarriedItem()
{ return {}; }

int32_t cChara::OnMovedX()
{ return {}; }

int32_t cChara::OnMovedY()
{ return {}; }

int32_t cChara::MoveHorizontal()
{ return {}; }

int32_t cChara::MoveVertical()
{ return {}; }

int32_t cChara::RunObjectFlows(int32_t bDying)
{ return {}; }

void cChara::UpdateJump(cCommandInstance* lpInst)
{}

void cChara::Init(int32_t nKey, const cEdChara& definition, const cItem* lpCarried, double x, double y, int32_t nFormationIndex)
{}

void cChara::SetBlockPosition(int32_t bx, int32_t by)
{}

int32_t cChara::CheckActive(std::vector<int8_t>& vSwitches)
{ return {}; }

int32_t cChara::UpdateActivity(std::vector<int8_t>& vSwitches)
{ return {}; }

void cChara::DrawCarriedIcon(DDSURFACEDATA* lpTarget)
{}

int32_t cChara::RectsOverlap(double l, double t, double r, double b) const
{ return {}; }
