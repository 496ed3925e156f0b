// One firing of a shot or summon command laid out in a formation. The launcher fills the launch
// record and calls the record's formation; the formation works out each object's cell and
// velocity and spawns it. The launch record is shared by all clones of one firing: what one
// formation leaves in it (positions, a speed replaced by a leading aim) the next clone inherits.
//
// Geometry: L, T, R, B, W, H are the shooter's screen rectangle and cell; Sx, Sy the view and Vx,
// Vy the same truncated; w, h the cell of one object; X2 is X shifted right by one. The velocity of
// angle θ and speed s is (-cos θ s, -sin θ s): 0 degrees flies left, 90 up, 180 right, 270 down.
#include <cmath>
#include <cstdint>

#include "core/CheckedAccess.h"
#include "objects/PlayNumbers.h"
#include "core/Random.h"
#include "data/CommandTables.h"
#include "data/EdCommand.h"
#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "flows/FlowInstance.h"
#include "objects/CharaBase.h"
#include "objects/MoveSolve.h"
#include "objects/ObjectLinks.h"
#include "objects/Shot.h"
#include "objects/ShotLaunch.h"
#include "stage/CharaList.h"
#include "stage/ItemList.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

const int32_t DirAngle[12] = {0, 0, 0, 180, 0, 0, 90, 270, 45, 315, 135, 225};
const double DirAngleD[12] = {0, 0, 0, 180, 0, 0, 90, 270, 45, 315, 135, 225};

namespace {

constexpr double kDegree = 0.017453292519943278;

double DirAngleOf(int32_t nCode)
{
    return (nCode >= 0 && nCode < 12) ? DirAngleD[nCode] : 0.0;
}

// The shooter's values the formations read, taken once per formation call.
struct Frame {
    int32_t L, T, R, B, W, H;
    double Sx, Sy;
    int32_t Vx, Vy;
    int32_t w, h, n;
    int32_t U, a;
    double s, k;
    int32_t d;
};

Frame FrameOf(const cCharaBase& shooter, const cEdShot& record, const ShotLaunch& launch)
{
    Frame f{};
    f.L = shooter.m_nLeft;
    f.T = shooter.m_nTop;
    f.R = shooter.m_nRight;
    f.B = shooter.m_nBottom;
    f.W = shooter.m_nWidth;
    f.H = shooter.m_nHeight;
    cPlayState* lpState = PlayState();
    f.Sx = lpState != nullptr ? lpState->m_ScrollX.m_dPosition : 0.0;
    f.Sy = lpState != nullptr ? lpState->m_ScrollY.m_dPosition : 0.0;
    f.Vx = TruncToInt32(f.Sx);
    f.Vy = TruncToInt32(f.Sy);
    f.w = launch.m_nCellWidth;
    f.h = launch.m_nCellHeight;
    f.n = record.m_nCount;
    f.U = record.m_nFormationValue[0] * 16;
    f.a = record.m_nFormationValue[0] * 8;
    f.s = launch.m_dSpeed;
    f.k = DiagonalFactor;
    f.d = launch.m_nDirCode;
    return f;
}

void SetVelocityAngle(ShotLaunch& launch, double dAngle)
{
    const double t = dAngle * kDegree;
    launch.m_dVelX = -std::cos(t) * launch.m_dSpeed;
    launch.m_dVelY = -std::sin(t) * launch.m_dSpeed;
}

void SetVelocityCode(ShotLaunch& launch, const Frame& f)
{
    const double s = f.s, ks = f.k * f.s;
    double vx = 0.0, vy = 0.0;
    switch (f.d) {
    case 2: vx = -s; break;
    case 3: vx = s; break;
    case 6: vy = -s; break;
    case 7: vy = s; break;
    case 8: vx = -ks; vy = -ks; break;
    case 9: vx = -ks; vy = ks; break;
    case 10: vx = ks; vy = -ks; break;
    case 11: vx = ks; vy = ks; break;
    default: break;
    }
    launch.m_dVelX = vx;
    launch.m_dVelY = vy;
}

// The top-left of a cell just outside the shooter in the launch direction.
void EdgePoint(const Frame& f, int32_t& x, int32_t& y)
{
    const int32_t W2 = f.W >> 1, H2 = f.H >> 1, w2 = f.w >> 1, h2 = f.h >> 1;
    const double k = f.k;
    const int32_t x8 = TruncToInt32(f.Vx + f.L + W2 - w2 + k * (1 - W2 - w2));
    const int32_t y8 = TruncToInt32(f.Vy + f.T + H2 - h2 - k * (H2 + h2));
    const int32_t x10 = TruncToInt32(f.Vx + f.L + W2 - w2 + k * (f.R - f.L - W2 + 1 + w2));
    const int32_t y9 = TruncToInt32(f.Vy + f.T + H2 - h2 + k * (f.B - f.T - H2 + 1 + h2));
    switch (f.d) {
    case 3: x = f.Vx + f.R + 1; y = f.Vy + f.T + H2 - h2; break;
    case 6: x = f.Vx + f.L + W2 - w2; y = f.Vy + f.T - f.h; break;
    case 7: x = f.Vx + f.L + W2 - w2; y = f.Vy + f.B + 1; break;
    case 8: x = x8; y = y8; break;
    case 9: x = x8; y = y9; break;
    case 10: x = x10; y = y8; break;
    case 11: x = x10; y = y9; break;
    default: x = f.Vx + f.L - f.w + 1; y = f.Vy + f.T + H2 - h2; break;
    }
}

void CentreStart(const Frame& f, const ShotLaunch& launch, int32_t& x, int32_t& y)
{
    x = TruncToInt32(f.L + (f.W >> 1) + f.Sx - (f.w >> 1)) + launch.m_nOffsetX;
    y = TruncToInt32(f.T + (f.H >> 1) + f.Sy - (f.h >> 1)) + launch.m_nOffsetY;
}

// The cell beside the shooter turned about it by φ degrees: at 0 the cell just left of it.
void RotatedStart(const Frame& f, double dPhi, int32_t& x, int32_t& y)
{
    const int32_t W2 = f.W >> 1, H2 = f.H >> 1, w2 = f.w >> 1, h2 = f.h >> 1;
    const double t = f.k * (f.R - f.L - W2 + 1 + w2);
    const double r = f.k * (f.B - f.T - H2 + 1 + h2);
    const double psi = (dPhi + 225) * kDegree;
    x = TruncToInt32(f.L + W2 + f.Sx + r * std::sin(psi) + t * std::cos(psi) - w2);
    y = TruncToInt32(f.T + H2 + f.Sy + t * std::sin(psi) - r * std::cos(psi) - h2);
}

// The aimed base angle from the centre of the cell at (x, y).
int32_t AimedFromCell(const Frame& f, int32_t x, int32_t y, cCharaBase* lpShooter, cEdShot* lpRecord,
                      ShotLaunch* lpLaunch)
{
    return AimAngle(x + (f.w >> 1), y + (f.h >> 1), lpShooter, lpRecord, lpLaunch);
}

// The first angle of a rotated row: aimed from the shooter's centre, or the direction's.
double RowAngle(const Frame& f, const ShotLaunch& launch, cCharaBase* lpShooter, cEdShot* lpRecord,
                ShotLaunch* lpLaunch)
{
    const double base = lpRecord->m_bAim != 0
                            ? static_cast<double>(AimAngle(f.Vx + f.L + (f.W >> 1) + launch.m_nOffsetX,
                                                           f.Vy + f.T + (f.H >> 1) + launch.m_nOffsetY, lpShooter,
                                                           lpRecord, lpLaunch))
                            : DirAngleOf(f.d);
    return base + launch.m_nAngle;
}

void SpawnRow(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord,
              ShotLaunch* lpLaunch, int32_t n)
{
    int32_t x = lpLaunch->m_nStartX, y = lpLaunch->m_nStartY;
    for (int32_t i = 0; i < n; ++i) {
        lpLaunch->m_nX = x;
        lpLaunch->m_nY = y;
        SpawnFormationObject(lpList, lpLaunch, lpShooter, lpInst, lpRecord);
        x += lpLaunch->m_nStepX;
        y += lpLaunch->m_nStepY;
    }
}

// The object a lightning or surround formation is laid around: 0 the shooter's target, 1 player
// 1's hero, 2 the shooter; any other choice names nobody.
cCharaBase* FormationTarget(cCharaBase* lpShooter, const cEdShot& record)
{
    switch (record.m_nTargetChoice) {
    case 0: return lpShooter->m_lpTarget;
    case 1: return Player.empty() ? nullptr : &Player[0];
    case 2: return lpShooter;
    default: return nullptr;
    }
}

// The direction code of the record's direction choice for this shooter.
int32_t LaunchDirectionCode(const cCharaBase& shooter, const cEdShot& record)
{
    const bool bRight = shooter.m_nDir == 1;
    switch (record.m_nDirectionMode) {
    case 0: return bRight ? 3 : 2;
    case 1: return bRight ? 2 : 3;
    case 2: return 2;
    case 3: return 3;
    case 4: return bRight ? 7 : 6;
    case 5: return bRight ? 6 : 7;
    case 6: case 7: case 8: case 9: case 10: case 11: return record.m_nDirectionMode;
    case 12: {
        cPlayState* lpState = PlayState();
        const int32_t nStart = (lpState != nullptr && lpState->m_lpCurFlow != nullptr) ? lpState->m_lpCurFlow->m_nStartDir : 0;
        return DirectionFromChoice(nStart, bRight ? 1 : 0);
    }
    // A choice no editor writes flies forward.
    default: return bRight ? 3 : 2;
    }
}

int32_t RandomSpread(int32_t nSpread)
{
    return nSpread != 0 ? RandomBetween(-nSpread, nSpread) : 0;
}

// Common preparation of the block, character and item summons: the launch record of one firing.
void SummonFormation(cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord, int32_t nCell)
{
    ShotLaunch launch;
    launch.m_nCellWidth = nCell;
    launch.m_nCellHeight = nCell;
    launch.m_nDirCode = LaunchDirectionCode(*lpShooter, *lpRecord);
    launch.m_nClone = 0;
    launch.m_dSpeed = 1.0;
    launch.m_nAngle = 0;
    launch.m_nRange = 0;
    lpShooter->GetScreenRect();
    launch.m_nOffsetX = TruncToInt32(lpRecord->StepValue1(0, lpShooter->m_nDir));
    launch.m_nOffsetY = TruncToInt32(lpRecord->StepValue2(0, lpShooter->m_nDir));
    const int32_t nFormation = lpRecord->m_nFormation;
    if (nFormation < 0 || nFormation > 5) return;
    ShotMotionTable[nFormation](nullptr, lpShooter, lpInst, lpRecord, &launch);
}

bool PaletteIndexValid(int32_t nIndex, size_t nSize)
{
    return nIndex >= 0 && static_cast<size_t>(nIndex) < nSize;
}

}  // namespace

// ------------------------------------------------------------------ launchers

void LaunchShots(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord)
{
    if (lpShooter == nullptr || lpRecord == nullptr) return;
    // A scale of 0 from an old file means the normal size; the record is mended once.
    if (lpRecord->m_nSize <= 0) lpRecord->m_nSize = 1;
    const int32_t nFormation = lpRecord->m_nFormation;
    if (nFormation < 0 || nFormation > 5) return;

    ShotLaunch launch;
    launch.m_nCellWidth = lpRecord->m_nSize * 16;
    launch.m_nCellHeight = lpRecord->m_nSize * 16;
    launch.m_nDirCode = LaunchDirectionCode(*lpShooter, *lpRecord);
    if (lpShooter->m_nSide == 1) lpShooter->GetScreenRect();
    if (lpShooter->m_lpTarget != nullptr && lpShooter->m_lpTarget->m_nSide == 1) lpShooter->m_lpTarget->GetScreenRect();

    const bool bMirror = lpRecord->m_bMirrorAngle != 0 && lpShooter->m_nDir == 1;
    launch.m_nAngle = bMirror ? 360 - lpRecord->m_nAngle : lpRecord->m_nAngle;
    launch.m_nAngle += RandomSpread(lpRecord->m_nSpread);
    launch.m_dSpeed = lpRecord->m_nSpeed * 0.1;
    launch.m_nRange = lpRecord->m_nRange;
    launch.m_nLife = lpRecord->m_nLife;

    for (int32_t c = 0; c <= lpRecord->m_nClones; ++c) {
        launch.m_nClone = c;
        launch.m_nOffsetX = TruncToInt32(lpRecord->StepValue1(c, lpShooter->m_nDir));
        launch.m_nOffsetY = TruncToInt32(lpRecord->StepValue2(c, lpShooter->m_nDir));
        ShotMotionTable[nFormation](lpList, lpShooter, lpInst, lpRecord, &launch);
        launch.m_dSpeed += lpRecord->m_nSpeedStep * 0.1;
        const int32_t nSum = lpRecord->m_nAngle + lpRecord->m_nAngleStep * (c + 1);
        launch.m_nAngle = (bMirror ? 360 - nSum : nSum) + RandomSpread(lpRecord->m_nSpread);
        launch.m_nRange += lpRecord->m_nRangeStep;
        launch.m_nLife += lpRecord->m_nLifeStep;
    }
}

void LaunchBlocks(cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord)
{
    if (lpShooter == nullptr || lpRecord == nullptr) return;
    const std::vector<cEdBlock>& list =
        lpRecord->m_nSummonPalette == 0 ? g_CommonPalette.m_vBlock : g_Stage.m_vPaletteBlock;
    if (!PaletteIndexValid(lpRecord->m_nSummonIndex, list.size())) return;
    if (lpRecord->m_nBlockMode == 2) {
        cPlayState* lpState = PlayState();
        if (lpState != nullptr) lpState->m_vToggledBlocks.clear();
    }
    SummonFormation(lpShooter, lpInst, lpRecord, 32);
}

void LaunchCharas(cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord)
{
    if (lpShooter == nullptr || lpRecord == nullptr) return;
    const std::vector<cEdChara>& list =
        lpRecord->m_nSummonPalette == 0 ? g_CommonPalette.m_vChara : g_Stage.m_vPaletteChara;
    if (!PaletteIndexValid(lpRecord->m_nSummonIndex, list.size())) return;
    const cEdChara& definition = list[static_cast<size_t>(lpRecord->m_nSummonIndex)];
    if (definition.m_nController != 1) return;
    SummonFormation(lpShooter, lpInst, lpRecord, definition.m_nGiant * 32);
}

void LaunchItems(cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord)
{
    if (lpShooter == nullptr || lpRecord == nullptr) return;
    const std::vector<cEdItem>& list =
        lpRecord->m_nSummonPalette == 0 ? g_CommonPalette.m_vItem : g_Stage.m_vPaletteItem;
    if (!PaletteIndexValid(lpRecord->m_nSummonIndex, list.size())) return;
    SummonFormation(lpShooter, lpInst, lpRecord, list[static_cast<size_t>(lpRecord->m_nSummonIndex)].m_nGiant * 32);
}

// ------------------------------------------------------------------ formations

void FormStraightA(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord,
                   ShotLaunch* lpLaunch)
{
    const Frame f = FrameOf(*lpShooter, *lpRecord, *lpLaunch);
    const int32_t n = f.n;
    if (n <= 0) return;
    const int32_t w2 = f.w >> 1, h2 = f.h >> 1;

    auto straightStart = [&]() {
        int32_t ex = 0, ey = 0;
        EdgePoint(f, ex, ey);
        int32_t x = ex, y = ey, sx = 0, sy = 0;
        switch (f.d) {
        case 2:
        case 3:
            y = ey - (n - 1) * (f.a + h2);
            sy = f.U + f.h;
            break;
        case 6:
        case 7:
            x = ex - (n - 1) * (f.a + w2);
            sx = f.U + f.w;
            break;
        default: {
            const int32_t sigma = (f.d == 8 || f.d == 11) ? 1 : -1;
            x = TruncToInt32(ex - f.k * (n - 1) * (f.a + w2));
            y = TruncToInt32(ey + sigma * f.k * (n - 1) * (f.a + h2));
            sx = f.U + f.w;
            sy = -sigma * (f.U + f.h);
            break;
        }
        }
        lpLaunch->m_nStartX = x + lpLaunch->m_nOffsetX;
        lpLaunch->m_nStartY = y + lpLaunch->m_nOffsetY;
        lpLaunch->m_nStepX = sx;
        lpLaunch->m_nStepY = sy;
        SetVelocityCode(*lpLaunch, f);
    };

    if (lpLaunch->m_nAngle == 0 && lpRecord->m_bAim == 0) {
        straightStart();
    } else if (lpRecord->m_bRowRotate == 0) {
        straightStart();
        const double g = lpRecord->m_bAim != 0
                             ? AimedFromCell(f, lpLaunch->m_nStartX, lpLaunch->m_nStartY, lpShooter, lpRecord, lpLaunch)
                             : DirAngleOf(f.d);
        SetVelocityAngle(*lpLaunch, g + lpLaunch->m_nAngle);
    } else {
        const double c1 = RowAngle(f, *lpLaunch, lpShooter, lpRecord, lpLaunch);
        int32_t x = 0, y = 0;
        RotatedStart(f, c1, x, y);
        const double g =
            lpRecord->m_bAim != 0
                ? AimAngle(x + lpLaunch->m_nOffsetX + w2, y + lpLaunch->m_nOffsetY + h2, lpShooter, lpRecord, lpLaunch) +
                      static_cast<double>(lpLaunch->m_nAngle)
                : c1;
        const double p = std::sin(g * kDegree), q = std::cos(g * kDegree);
        const double e = f.a, fU = f.U;
        int32_t sx = 0, sy = 0;
        if ((p >= 0.0) == (q >= 0.0)) {
            x = TruncToInt32(x - p * (e + w2) * (n - 1));
            sx = TruncToInt32(p * (fU + f.w));
            y = TruncToInt32(y + q * (e + h2) * (n - 1));
            sy = TruncToInt32(q * (-fU - f.h));
        } else {
            x = TruncToInt32(x + p * (e + w2) * (n - 1));
            sx = TruncToInt32(p * (-fU - f.w));
            y = TruncToInt32(y - q * (e + h2) * (n - 1));
            sy = TruncToInt32(q * (fU + f.h));
        }
        lpLaunch->m_nStartX = x + lpLaunch->m_nOffsetX;
        lpLaunch->m_nStartY = y + lpLaunch->m_nOffsetY;
        lpLaunch->m_nStepX = sx;
        lpLaunch->m_nStepY = sy;
        SetVelocityAngle(*lpLaunch, g);
    }
    SpawnRow(lpList, lpShooter, lpInst, lpRecord, lpLaunch, n);
}

void FormStraightB(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord,
                   ShotLaunch* lpLaunch)
{
    const Frame f = FrameOf(*lpShooter, *lpRecord, *lpLaunch);
    if (f.n <= 0) return;
    const int32_t xLeft = f.Vx + f.L - f.w + 1, xRight = f.Vx + f.R + 1;
    int32_t x = xLeft;
    switch (f.d) {
    case 3:
    case 10:
    case 11: x = xRight; break;
    case 6:
    case 7: x = lpShooter->m_nDir == 1 ? xRight : xLeft; break;
    default: break;
    }
    lpLaunch->m_nStartX = x + lpLaunch->m_nOffsetX;
    lpLaunch->m_nStartY = f.Vy + f.B - f.h + 1 + lpLaunch->m_nOffsetY;
    lpLaunch->m_nStepX = 0;
    lpLaunch->m_nStepY = -(f.U + f.h);
    SetVelocityCode(*lpLaunch, f);
    if (lpLaunch->m_nAngle != 0 || lpRecord->m_bAim != 0) {
        const double g = lpRecord->m_bAim != 0
                             ? AimedFromCell(f, lpLaunch->m_nStartX, lpLaunch->m_nStartY, lpShooter, lpRecord, lpLaunch)
                             : DirAngleOf(f.d);
        SetVelocityAngle(*lpLaunch, g + lpLaunch->m_nAngle);
    }
    SpawnRow(lpList, lpShooter, lpInst, lpRecord, lpLaunch, f.n);
}

void FormSpread(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord,
                ShotLaunch* lpLaunch)
{
    const Frame f = FrameOf(*lpShooter, *lpRecord, *lpLaunch);
    const int32_t n = f.n;
    if (n <= 0) return;
    int32_t x = 0, y = 0;
    if ((lpLaunch->m_nAngle != 0 || lpRecord->m_bAim != 0) && lpRecord->m_bRowRotate != 0)
        RotatedStart(f, RowAngle(f, *lpLaunch, lpShooter, lpRecord, lpLaunch), x, y);
    else
        EdgePoint(f, x, y);
    x += lpLaunch->m_nOffsetX;
    y += lpLaunch->m_nOffsetY;
    lpLaunch->m_nStartX = x;
    lpLaunch->m_nStartY = y;
    const double beta = lpRecord->m_bAim != 0 ? AimedFromCell(f, x, y, lpShooter, lpRecord, lpLaunch) : DirAngleOf(f.d);
    const double fa = lpRecord->m_nFormationValue[0];
    const double half = (n & 1) != 0 ? static_cast<double>(n >> 1) : (n >> 1) - 0.5;
    const double theta0 = beta + lpLaunch->m_nAngle - fa * half;
    for (int32_t i = 0; i < n; ++i) {
        lpLaunch->m_nX = x;
        lpLaunch->m_nY = y;
        SetVelocityAngle(*lpLaunch, theta0 + i * fa);
        SpawnFormationObject(lpList, lpLaunch, lpShooter, lpInst, lpRecord);
    }
}

void FormLightning(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord,
                   ShotLaunch* lpLaunch)
{
    const cCharaBase* lpTarget = FormationTarget(lpShooter, *lpRecord);
    if (lpTarget == nullptr) return;
    const Frame f = FrameOf(*lpShooter, *lpRecord, *lpLaunch);
    const int32_t n = f.n;
    const int32_t nc = lpRecord->m_nFormationValue[1];
    if (n <= 0 || nc <= 0) return;
    const int32_t Dc = lpRecord->m_nFormationValue[2] * 16;
    const int32_t e = ((nc - 1) >> 1) * Dc;
    const int32_t fo = (nc & 1) != 0 ? e : e + lpRecord->m_nFormationValue[2] * 8;
    const int32_t g = g_System.LightningSpacing() != 0 ? 0 : f.U;
    const int32_t Lt = lpTarget->m_nLeft, Tt = lpTarget->m_nTop;
    const int32_t Wt2 = lpTarget->m_nWidth >> 1, Ht2 = lpTarget->m_nHeight >> 1;
    const int32_t w2 = f.w >> 1, h2 = f.h >> 1;
    const double k = f.k;
    int32_t x = 0, y = 0, sx = 0, sy = 0;
    switch (f.d) {
    case 2:
        x = TruncToInt32(f.Sx + 640 - f.w);
        y = f.Vy + Tt + Ht2 - h2;
        sx = -(f.w + g);
        break;
    case 3:
        x = f.Vx;
        y = f.Vy + Tt + Ht2 - h2;
        sx = f.w + g;
        break;
    case 6:
        x = f.Vx + Lt + Wt2 - w2;
        y = TruncToInt32(f.Sy + 480 - f.h);
        sy = -(f.h + g);
        break;
    case 7:
        x = f.Vx + Lt + Wt2 - w2;
        y = f.Vy;
        sy = f.h + g;
        break;
    case 8: {
        const int32_t P = 640 - Lt - Wt2, Q = 480 - Ht2 - Tt;
        if (P < Q) {
            x = TruncToInt32(f.Sx + 640 - f.w);
            y = TruncToInt32(f.Sy + Tt + Ht2 + P - f.h);
        } else {
            x = TruncToInt32(f.Sx + Lt + Wt2 + Q - f.w);
            y = TruncToInt32(f.Sy + 480 - f.h);
        }
        sx = TruncToInt32(k * -(f.w + g));
        sy = TruncToInt32(k * -(f.h + g));
        break;
    }
    case 9: {
        const int32_t P = 640 - Lt - Wt2, Q = Ht2 + Tt;
        if (P < Q) {
            x = TruncToInt32(f.Sx + 640 - f.w);
            y = TruncToInt32(f.Sy + Tt + Ht2 - P);
        } else {
            x = TruncToInt32(f.Sx + Lt + Wt2 + Q - f.w);
            y = TruncToInt32(f.Sy);
        }
        sx = TruncToInt32(k * -(f.w + g));
        sy = TruncToInt32(k * (f.h + g));
        break;
    }
    case 10: {
        const int32_t P = Lt + Wt2, Q = 480 - Ht2 - Tt;
        if (P < Q) {
            x = TruncToInt32(f.Sx);
            y = TruncToInt32(f.Sy + Tt + Ht2 + P - f.h);
        } else {
            x = TruncToInt32(f.Sx + P - Q);
            y = TruncToInt32(f.Sy + 480 - f.h);
        }
        sx = TruncToInt32(k * (f.w + g));
        sy = TruncToInt32(k * -(f.h + g));
        break;
    }
    case 11: {
        const int32_t P = Lt + Wt2, Q = Ht2 + Tt;
        if (P < Q) {
            x = TruncToInt32(f.Sx);
            y = TruncToInt32(f.Sy + Tt + Ht2 - P);
        } else {
            x = TruncToInt32(f.Sx + P - Q);
            y = TruncToInt32(f.Sy);
        }
        sx = TruncToInt32(k * (f.w + g));
        sy = TruncToInt32(k * (f.h + g));
        break;
    }
    default: return;
    }
    SetVelocityCode(*lpLaunch, f);
    int32_t cx = 0, cy = 0;
    if (nc >= 2) {
        switch (f.d) {
        case 2:
        case 3:
            cy = Dc;
            y -= fo;
            break;
        case 6:
        case 7:
            cx = Dc;
            x -= fo;
            break;
        case 8:
        case 11:
            cx = TruncToInt32(k * Dc);
            cy = TruncToInt32(-k * Dc);
            x -= TruncToInt32(k * fo);
            y += TruncToInt32(k * fo);
            break;
        default:
            cx = TruncToInt32(k * Dc);
            cy = TruncToInt32(k * Dc);
            x -= TruncToInt32(k * fo);
            y -= TruncToInt32(k * fo);
            break;
        }
    }
    x += lpLaunch->m_nOffsetX;
    y += lpLaunch->m_nOffsetY;
    lpLaunch->m_nStartX = x;
    lpLaunch->m_nStartY = y;
    lpLaunch->m_nStepX = sx;
    lpLaunch->m_nStepY = sy;
    lpLaunch->m_nColStepX = cx;
    lpLaunch->m_nColStepY = cy;
    if (lpLaunch->m_nAngle != 0) SetVelocityAngle(*lpLaunch, lpLaunch->m_nAngle + DirAngleOf(f.d));
    for (int32_t i = 0; i < n; ++i) {
        for (int32_t j = 0; j < nc; ++j) {
            lpLaunch->m_nX = x + i * sx + j * cx;
            lpLaunch->m_nY = y + i * sy + j * cy;
            SpawnFormationObject(lpList, lpLaunch, lpShooter, lpInst, lpRecord);
        }
    }
}

void FormExplosion(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord,
                   ShotLaunch* lpLaunch)
{
    const Frame f = FrameOf(*lpShooter, *lpRecord, *lpLaunch);
    const int32_t n = f.n;
    if (n <= 0) return;
    int32_t x = 0, y = 0;
    CentreStart(f, *lpLaunch, x, y);
    lpLaunch->m_nStartX = x;
    lpLaunch->m_nStartY = y;
    const double theta0 = DirAngleOf(f.d) + lpLaunch->m_nAngle;
    for (int32_t i = 0; i < n; ++i) {
        lpLaunch->m_nX = x;
        lpLaunch->m_nY = y;
        SetVelocityAngle(*lpLaunch, theta0 + i * (360.0 / n));
        SpawnFormationObject(lpList, lpLaunch, lpShooter, lpInst, lpRecord);
    }
}

void FormSurround(ShotList* lpList, cCharaBase* lpShooter, cCommandInstance* lpInst, cEdShot* lpRecord,
                  ShotLaunch* lpLaunch)
{
    const cCharaBase* lpTarget = FormationTarget(lpShooter, *lpRecord);
    if (lpTarget == nullptr) return;
    const Frame f = FrameOf(*lpShooter, *lpRecord, *lpLaunch);
    const int32_t n = f.n;
    if (n <= 0) return;
    const int32_t cx = TruncToInt32(lpTarget->m_nLeft + (lpTarget->m_nWidth >> 1) + f.Sx - (f.w >> 1) +
                                    lpLaunch->m_nOffsetX);
    const int32_t cy = TruncToInt32(lpTarget->m_nTop + (lpTarget->m_nHeight >> 1) + f.Sy - (f.h >> 1) +
                                    lpLaunch->m_nOffsetY);
    const double rho = lpRecord->m_nFormationValue[0] * 16;
    double theta = DirAngleOf(f.d) + lpLaunch->m_nAngle;
    for (int32_t i = 0; i < n; ++i) {
        lpLaunch->m_nX = TruncToInt32(rho * std::cos(theta * kDegree) + 0.5) + cx;
        lpLaunch->m_nY = TruncToInt32(rho * std::sin(theta * kDegree) + 0.5) + cy;
        SetVelocityAngle(*lpLaunch, theta);
        SpawnFormationObject(lpList, lpLaunch, lpShooter, lpInst, lpRecord);
        theta += 360.0 / n;
    }
}

// ------------------------------------------------------------------ one object

void SpawnFormationObject(ShotList* lpList, ShotLaunch* lpLaunch, cCharaBase* lpShooter, cCommandInstance* lpInst,
                          cEdShot* lpRecord)
{
    cPlayState* lpState = PlayState();
    if (lpState == nullptr || lpInst == nullptr || lpInst->m_lpCmd == nullptr) return;
    const double x = lpLaunch->m_nX, y = lpLaunch->m_nY;
    switch (lpInst->m_lpCmd->m_nKind) {
    case 11: {
        cShot shot;
        shot.Init(lpState->m_nNextSummonId, lpShooter, 11, *lpRecord, *lpLaunch);
        cShot* lpStored = AddShotToStage(lpList != nullptr ? *lpList : lpState->m_ShotList, shot);
        lpState->m_nNextSummonId += 1;
        // The copy points at the target but is not yet in its list: only aiming and homing at the
        // target keep the link, entered on the stored shot.
        const int8_t nKind = lpStored->m_Rec.m_nMoveKind;
        if ((nKind == 3 || nKind == 6) && lpStored->m_lpTargetChara != nullptr)
            lpStored->RegisterLinks();
        else
            lpStored->m_lpTargetChara = nullptr;
        break;
    }
    case 13: {
        const std::vector<cEdBlock>& list =
            lpRecord->m_nSummonPalette == 0 ? g_CommonPalette.m_vBlock : g_Stage.m_vPaletteBlock;
        lpState->PlaceBlockAt(x, y, *lpRecord, CheckedAt(list, lpRecord->m_nSummonIndex));
        break;
    }
    case 14: {
        const std::vector<cEdChara>& list =
            lpRecord->m_nSummonPalette == 0 ? g_CommonPalette.m_vChara : g_Stage.m_vPaletteChara;
        const cEdChara& definition = CheckedAt(list, lpRecord->m_nSummonIndex);
        int32_t nFacing = lpShooter->m_nDir;
        if (lpRecord->m_nSetting44 != 0) nFacing ^= 1;
        int8_t nFaction = definition.m_nHitGroup;
        if (lpRecord->m_nSetting43 == 1) nFaction = lpShooter->m_Def.m_nHitGroup;
        else if (lpRecord->m_nSetting43 == 2) nFaction = lpRecord->m_nSide;
        lpState->SummonCharacter(CharaList, x, y, nFaction, static_cast<int8_t>(nFacing), *lpRecord, definition,
                                 &lpState->m_nNextCharaId);
        break;
    }
    case 15: {
        const std::vector<cEdItem>& list =
            lpRecord->m_nSummonPalette == 0 ? g_CommonPalette.m_vItem : g_Stage.m_vPaletteItem;
        lpState->SummonItemObject(ItemList, x, y, *lpRecord, CheckedAt(list, lpRecord->m_nSummonIndex),
                                  &lpState->m_nNextItemId);
        break;
    }
    default: break;
    }
}

// ------------------------------------------------------------------ aiming

int32_t AimAngle(int32_t x, int32_t y, cCharaBase* lpShooter, cEdShot* lpRecord, ShotLaunch* lpLaunch)
{
    const cCharaBase* lpTarget = lpShooter->m_lpTarget;
    if (lpTarget == nullptr) return lpShooter->m_nDir == 1 ? 180 : 0;
    cPlayState* lpState = PlayState();
    const double Sx = lpState != nullptr ? lpState->m_ScrollX.m_dPosition : 0.0;
    const double Sy = lpState != nullptr ? lpState->m_ScrollY.m_dPosition : 0.0;
    const int32_t Vx = TruncToInt32(Sx), Vy = TruncToInt32(Sy);
    auto scrolls = [](const cScrollAxis& axis) { return axis.m_dSpeed != 0.0 && axis.m_bEdge == 0; };
    const bool bScrolling = lpState != nullptr && (scrolls(lpState->m_ScrollX) || scrolls(lpState->m_ScrollY));
    const int32_t gx = lpTarget->m_nLeft + (lpTarget->m_nWidth >> 1);
    const int32_t gy = lpTarget->m_nTop + (lpTarget->m_nHeight >> 1);
    if (!bScrolling || lpRecord->m_bHoming != 0 || lpTarget->m_bScreenFixed == 0) {
        const double dx = static_cast<double>(Vx) + (lpTarget->m_nWidth >> 1) + lpTarget->m_nLeft - x;
        const double dy = static_cast<double>(Vy) + (lpTarget->m_nHeight >> 1) + lpTarget->m_nTop - y;
        return TruncToInt32(std::atan2(dy, dx) * 57.29577951308232 + 180 + 0.5);
    }
    // A stage shot aimed at a screen-fixed target while the view scrolls: lead the target.
    cShot shot;
    shot.Init(0, lpShooter, 11, *lpRecord, *lpLaunch);
    const double b = SubSteps();
    const double u = (lpRecord->m_nSpeed + lpRecord->m_nSpeedStep * shot.m_nFormationIndex) * 0.1 / b;
    double vx = 0.0, vy = 0.0;
    int32_t nRequest = 0;
    AimVelocity(vx, vy, nRequest, lpTarget, x - Vx, y - Vy, gx, gy, u, 0, 1, 0);
    lpLaunch->m_dSpeed = std::sqrt(vx * vx + vy * vy) * b;
    return TruncToInt32(std::atan2(vy, vx) * 57.29577951308232 + 180);
}

// ------------------------------------------------------------------ the table

namespace {

template <int32_t Kind>
void MotionEntry(ShotList*, cCharaBase* lpShot, cCommandInstance*, cEdShot*, ShotLaunch*)
{
    // cShot::Move hands itself over in the shooter argument.
    ShotMotionKind(*reinterpret_cast<cShot*>(lpShot), Kind);
}

void NoMotion(ShotList*, cCharaBase*, cCommandInstance*, cEdShot*, ShotLaunch*)
{}

}  // namespace

const ShotMotion ShotMotionTable[16] = {
    FormStraightA,  FormStraightB,  FormSpread,     FormLightning,  FormExplosion,  FormSurround,
    NoMotion,       MotionEntry<1>, MotionEntry<2>, MotionEntry<3>, MotionEntry<4>, MotionEntry<5>,
    MotionEntry<6>, MotionEntry<7>, MotionEntry<8>, MotionEntry<9>,
};
