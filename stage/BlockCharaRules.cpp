// Block characters: characters that act as movable solid bodies. Others are pushed out of them,
// land and ride on them, bump their heads on them and can be squeezed or crushed between them.
// Also the carrying of a rider, the hero collecting items by touch, and TakeItem, the one way every
// item is taken.
//
// A rule offers coordinates to candidates: some keep the largest value offered, some the
// smallest; the block character that gave the winning value is remembered with it.
#include "stage/BlockCharaRules.h"
#include "objects/PlayNumbers.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/Log.h"
#include "data/EdStage.h"
#include "flows/FlowRuntime.h"
#include "objects/Chara.h"
#include "objects/Hero.h"
#include "objects/Item.h"
#include "objects/ObjectLinks.h"
#include "stage/BlockCollision.h"
#include "stage/BlockMap.h"
#include "stage/CharaList.h"
#include "stage/ItemList.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/StageSounds.h"

namespace {

struct Box {
    double l, t, r, b;
};

Box BoxOf(const cGameObject& o)
{
    return {o.m_dX, o.m_dY, o.m_dRight, o.m_dBottom};
}

Box PrevBoxOf(const cCharaBase& o)
{
    return {o.m_dPrevX, o.m_dPrevY, o.m_dPrevRight, o.m_dPrevBottom};
}

bool Overlaps(const Box& a, const Box& b)
{
    return a.l <= b.r && b.l <= a.r && a.t <= b.b && b.t <= a.b;
}

bool Inside(double x, double y, const Box& b)
{
    return b.l <= x && x <= b.r && b.t <= y && y <= b.b;
}

// Overlap depth of a against b along one axis (0 when the boxes do not overlap).
double DepthX(const Box& a, const Box& b)
{
    if (!Overlaps(a, b)) return 0.0;
    if (a.r >= b.l && b.l > a.l) return a.r - b.l + 1;
    return b.r - a.l + 1;
}

double DepthY(const Box& a, const Box& b)
{
    if (!Overlaps(a, b)) return 0.0;
    if (a.b >= b.t && b.t > a.t) return a.b - b.t + 1;
    return b.b - a.t + 1;
}

bool IsBlockChara(const cCharaBase& chara)
{
    return chara.m_Def.m_bCellBox != 0;
}

// A block character that takes part in the tests of lpChara.
bool ActsOn(const cChara& b, const cCharaBase* lpChara)
{
    return IsBlockChara(b) && b.m_bAppeared != 0 && b.m_bDefeated == 0 && b.m_nKey != lpChara->m_nKey;
}

// A candidate coordinate and the block character that offered it.
struct Candidate {
    bool bSet = false;
    double dValue = 0.0;
    cChara* lpFrom = nullptr;

    void OfferLargest(double v, cChara* lpB)
    {
        if (!bSet || dValue < v) Take(v, lpB);
    }
    void OfferSmallest(double v, cChara* lpB)
    {
        if (!bSet || dValue > v) Take(v, lpB);
    }
    void Take(double v, cChara* lpB)
    {
        bSet = true;
        dValue = v;
        lpFrom = lpB;
    }
};

bool Bumps(const cCharaBase* lpChara, const cChara* lpFrom)
{
    return !(lpChara->m_bRiding != 0 && lpFrom != nullptr && lpFrom->m_nKey == lpChara->m_nRiddenKey);
}

// The first block character (in list order) whose box overlaps the box.
cChara* FirstOverlapping(cStageList<cChara>& list, const cCharaBase* lpChara, const Box& box)
{
    for (cChara& b : list)
        if (ActsOn(b, lpChara) && Overlaps(BoxOf(b), box)) return &b;
    return nullptr;
}

// Puts the character under a block character above it, as a jump that has hit its head.
void PutUnder(cCharaBase* lpChara, const cChara& b)
{
    lpChara->m_dAccelY = 0.0;
    lpChara->m_bJumping = 1;
    lpChara->m_bJumpEnded = 1;
    lpChara->m_bNewJumpBlock = 1;
    lpChara->m_dSpeedY = b.m_dSpeedY;
    lpChara->m_dY = b.m_dBottom + 1;
    lpChara->OnMovedY();
}

// Whether the character would meet blocks (or, with bCharas, another block character than
// nExceptKey) with its top at y. The character is moved there for the test and put back, which
// leaves no trace: the tests read only its box and cells.
bool BlockedAtY(cCharaBase* lpChara, double y, bool bCharas, int32_t nExceptKey)
{
    const double dY = lpChara->m_dY, dBottom = lpChara->m_dBottom;
    const int32_t nTop = lpChara->m_nCellTop, nBottom = lpChara->m_nCellBottom;
    lpChara->m_dY = y;
    lpChara->m_dBottom = y + lpChara->m_nHitHeight - 1;
    lpChara->m_nCellTop = cBlockMap::CellOf(lpChara->m_dY);
    lpChara->m_nCellBottom = cBlockMap::CellOf(lpChara->m_dBottom);
    bool bBlocked = lpChara->CheckBlocksX() != 0;
    if (!bBlocked && bCharas) bBlocked = OverlapsBlockCharacter(lpChara, 1, nExceptKey) != 0;
    lpChara->m_dY = dY;
    lpChara->m_dBottom = dBottom;
    lpChara->m_nCellTop = nTop;
    lpChara->m_nCellBottom = nBottom;
    return bBlocked;
}

void RememberRidden(cCharaBase* lpChara, const cChara& b)
{
    lpChara->m_nRiddenKey = b.m_nKey;
    lpChara->m_dRiddenX = b.m_dX;
    lpChara->m_dRiddenY = b.m_dY;
    lpChara->m_dRiddenRight = b.m_dRight;
    lpChara->m_dRiddenBottom = b.m_dBottom;
}

void FireRiddenFlows(cChara& ridden, const cCharaBase* lpRider)
{
    if (lpRider->m_nSide == 0) FireFlows(&ridden, 16);
    FireFlows(&ridden, 17);
}

int32_t PushFlying(cCharaBase* lpChara, cStageList<cChara>& list)
{
    Candidate left, right, top, bottom;
    bool bTouched = false;
    const int32_t w = lpChara->m_nHitWidth, h = lpChara->m_nHitHeight;
    for (cChara& b : list) {
        if (!ActsOn(b, lpChara)) continue;
        const Box me = BoxOf(*lpChara);
        const Box other = BoxOf(b);
        if (!Overlaps(me, other)) continue;
        const double dx = DepthX(me, other), dy = DepthY(me, other);
        if (dx == 0.0) continue;
        bTouched = true;
        if (dx <= dy) {
            if (Overlaps(other, {me.l, me.t + 1, me.l, me.b - 1})) {
                lpChara->m_bContactLeft = 1;
                left.OfferLargest(other.r + 1, &b);
            }
            if (Overlaps(other, {me.r, me.t + 1, me.r, me.b - 1})) {
                lpChara->m_bContactRight = 1;
                right.OfferSmallest(other.l - w, &b);
            }
        } else {
            if (Overlaps(other, {me.l + 1, me.t, me.r - 1, me.t})) {
                lpChara->m_bContactTop = 1;
                top.OfferLargest(other.b + 1, &b);
            }
            if (Overlaps(other, {me.l + 1, me.b, me.r - 1, me.b})) {
                lpChara->m_bContactBottom = 1;
                bottom.OfferSmallest(other.t - h, &b);
            }
        }
    }
    if (bTouched) FireFlows(lpChara, 5);
    const bool bAny = left.bSet || right.bSet || top.bSet || bottom.bSet;
    if (lpChara->m_nBlockMode == 2) return bAny ? 2 : 0;

    if (left.bSet) {
        lpChara->m_dAccelX = 0.0;
        if (left.lpFrom->m_dSpeedX < 0.0 && lpChara->m_dSpeedX >= 0.0) {
            lpChara->m_bContactLeft = 0;
            ResolveAlongOtherAxis(lpChara, list, 1);
        } else {
            lpChara->m_dX = left.dValue;
            lpChara->m_bBumped = 1;
            lpChara->OnMovedX();
        }
    }
    if (right.bSet) {
        lpChara->m_dAccelX = 0.0;
        if (right.lpFrom->m_dSpeedX > 0.0 && lpChara->m_dSpeedX <= 0.0) {
            lpChara->m_bContactRight = 0;
            ResolveAlongOtherAxis(lpChara, list, 1);
        } else {
            lpChara->m_dX = right.dValue;
            lpChara->m_bBumped = 1;
            lpChara->OnMovedX();
        }
    }
    if (top.bSet) {
        lpChara->m_dAccelY = 0.0;
        if (top.lpFrom->m_dSpeedY < 0.0 && lpChara->m_dSpeedY >= 0.0) {
            lpChara->m_bContactTop = 0;
            ResolveAlongOtherAxis(lpChara, list, 0);
        } else {
            lpChara->m_dY = top.dValue;
            lpChara->OnMovedY();
        }
    }
    if (bottom.bSet) {
        lpChara->m_dAccelY = 0.0;
        if (bottom.lpFrom->m_dSpeedY > 0.0 && lpChara->m_dSpeedY <= 0.0) {
            lpChara->m_bContactBottom = 0;
            ResolveAlongOtherAxis(lpChara, list, 0);
        } else {
            lpChara->m_dY = bottom.dValue;
            lpChara->OnMovedY();
        }
    }
    return 0;
}

int32_t PushWalking(cCharaBase* lpChara, cStageList<cChara>& list)
{
    const double dStartX = lpChara->m_dX;
    const double aStartBox[4] = {lpChara->m_dX, lpChara->m_dY, lpChara->m_dRight, lpChara->m_dBottom};
    bool bTouched = false, bLanded = false;
    Candidate left, right, head, landing;
    const int32_t w = lpChara->m_nHitWidth, h = lpChara->m_nHitHeight;
    const int32_t N = SubSteps();

    const Box me = BoxOf(*lpChara);
    const Box upper{me.l, me.t, me.r, me.t + (h / 2)};
    const Box foot{me.l + 1, me.b - (h / 3), me.r - 1, me.b};
    const Box swept{lpChara->m_dPrevX, me.t, lpChara->m_dPrevRight, me.b};
    const Box prev = PrevBoxOf(*lpChara);
    const double dFall = 2.0 / N;
    const double dBump = 0.4 / N;

    auto offerLanding = [&](cChara& b) {
        const double v = b.m_dY - h;
        if (!landing.bSet || landing.dValue > v) {
            landing.Take(v, &b);
            RememberRidden(lpChara, b);
        }
    };

    for (cChara& b : list) {
        if (!ActsOn(b, lpChara)) continue;
        const Box other = BoxOf(b);
        if (!Overlaps(me, other)) continue;
        bTouched = true;
        const Box otherPrev = PrevBoxOf(b);
        if (Overlaps(upper, other)) {
            if (lpChara->m_dSpeedY > dFall && Overlaps(swept, otherPrev) && prev.t < otherPrev.t) {
                WriteTraceLogF("D Hit");
                if (b.m_dSpeedY < 0.0) lpChara->m_bContactBottom = 1;
                offerLanding(b);
            } else if ((DepthX(upper, other) - DepthY(upper, other) > dBump && me.b > other.b) ||
                       (Overlaps(swept, otherPrev) && prev.t > otherPrev.t && !Overlaps(prev, other))) {
                if (b.m_dSpeedY > 0.0) lpChara->m_bContactTop = 1;
                head.OfferLargest(other.b + 1, &b);
                if (lpChara->m_bRiding != 0 && lpChara->m_dSpeedY < 0.0) lpChara->m_bContactBottom = 1;
            } else {
                const Box rightLine{me.r, upper.t, me.r, upper.b};
                const Box leftLine{me.l, upper.t, me.l, upper.b};
                const bool bRightFirst = lpChara->m_dSpeedX >= 0.0;
                const Box& firstLine = bRightFirst ? rightLine : leftLine;
                const Box& secondLine = bRightFirst ? leftLine : rightLine;
                int32_t nSide = -1;   // 0 left, 1 right
                if (Overlaps(other, firstLine))
                    nSide = bRightFirst ? 1 : 0;
                else if (Overlaps(other, secondLine))
                    nSide = bRightFirst ? 0 : 1;
                if (nSide == 1) {
                    lpChara->m_bContactRight = 1;
                    right.OfferSmallest(other.l - w - 0.5, &b);
                } else if (nSide == 0) {
                    lpChara->m_bContactLeft = 1;
                    left.OfferLargest(other.r + 1.5, &b);
                }
            }
        } else if (DepthX(me, other) < DepthY(me, other)) {
            if (Overlaps(other, {me.r, me.t, me.r, me.b})) {
                lpChara->m_bContactRight = 1;
                right.OfferSmallest(other.l - w - 0.5, &b);
            }
            if (Overlaps(other, {me.l, me.t, me.l, me.b})) {
                lpChara->m_bContactLeft = 1;
                left.OfferLargest(other.r + 1.5, &b);
            }
        } else if (Overlaps(other, foot)) {
            if (b.m_dSpeedY < 0.0) lpChara->m_bContactBottom = 1;
            offerLanding(b);
        }
    }

    bool bSidePushes = true;
    if (head.bSet && !landing.bSet) {
        const bool bBlocked = head.lpFrom->m_dSpeedY < 0.0 &&
                              BlockedAtY(lpChara, head.dValue, true, head.lpFrom->m_nKey);
        if (!bBlocked) {
            lpChara->m_dY = head.dValue;
            lpChara->m_bJumping = 1;
            lpChara->m_bJumpEnded = 1;
            lpChara->m_bNewJumpBlock = 1;
            lpChara->m_dAccelY = 0.0;
            lpChara->m_dSpeedY = head.lpFrom->m_dSpeedY;
            lpChara->OnMovedY();
            RecheckVertical(lpChara);
        }
    } else if (left.bSet && right.bSet && !landing.bSet) {
        // Caught from both sides with nothing underneath: put under whatever holds the upper half.
        if (cChara* lpAbove = FirstOverlapping(list, lpChara, upper)) PutUnder(lpChara, *lpAbove);
        lpChara->m_bContactLeft = 0;
        lpChara->m_bContactRight = 0;
        bSidePushes = false;
    } else if (landing.bSet && !(left.bSet && right.bSet)) {
        cChara* lpRide = landing.lpFrom;
        if (lpRide->m_dSpeedY > 0.0 && BlockedAtY(lpChara, landing.dValue, false, 0)) {
            lpChara->m_bRiding = 0;
        } else {
            lpChara->m_dAccelY = 0.0;
            bLanded = true;
            if (lpChara->m_bRiding == 0) {
                lpChara->m_bRiding = 1;
                FireRiddenFlows(*lpRide, lpChara);
            }
            lpChara->m_dY = landing.dValue;
            lpChara->OnMovedY();
            lpChara->m_dSpeedY = 0.0;
            lpChara->m_nFallCount = 0;
            lpChara->m_bJumping = 0;
            lpChara->m_bJumpEnded = 0;
            lpChara->m_bAirborne = 0;
            lpChara->m_bKnocked = 0;
            if (lpChara->m_nSide == 1)
                lpChara->m_bNewJumpBlock = 0;
            else if (!Player.empty())
                Player[0].m_bNoJump = 0;
        }
    }

    if (bSidePushes) {
        if (left.bSet) {
            lpChara->m_dAccelX = 0.0;
            if (Bumps(lpChara, left.lpFrom)) lpChara->m_bBumped = 1;
            lpChara->m_dX = left.dValue;
            lpChara->OnMovedX();
        }
        if (right.bSet) {
            lpChara->m_dAccelX = 0.0;
            if (Bumps(lpChara, right.lpFrom)) lpChara->m_bBumped = 1;
            lpChara->m_dX = right.dValue;
            lpChara->OnMovedX();
        }
        if (left.bSet && right.bSet && !landing.bSet) {
            lpChara->m_dX = dStartX;
            lpChara->OnMovedX();
            if (cChara* lpAbove = FirstOverlapping(list, lpChara, upper)) {
                if (lpAbove->m_dSpeedY > 0.0) lpChara->m_bContactTop = 1;
                PutUnder(lpChara, *lpAbove);
            }
            lpChara->m_bContactLeft = 0;
            lpChara->m_bContactRight = 0;
        }
    }

    if (bTouched || lpChara->m_bRiding != 0) {
        FireFlows(lpChara, 5);
        if (lpChara->m_bRiding != 0) FireFlows(lpChara, 6);
    }

    if ((lpChara->m_bContactLeft != 0 && lpChara->m_bContactRight != 0) ||
        (lpChara->m_bContactTop != 0 && lpChara->m_bContactBottom != 0))
        return 2;
    if (CrushedByBlockCharacters(lpChara, aStartBox) != 0) return 2;

    // Out of any block the push has driven it into, a tenth of a pixel at a time.
    const int32_t* aFlags[4] = {&lpChara->m_bContactLeft, &lpChara->m_bContactRight,
                                &lpChara->m_bContactTop, &lpChara->m_bContactBottom};
    for (int32_t nSide = 0; nSide < 4; ++nSide) {
        if (*aFlags[nSide] == 0) continue;
        for (int32_t nStep = 0; nStep < 15 && lpChara->CheckBlocksY(0) != 0; ++nStep) {
            switch (nSide) {
            case 0: lpChara->m_dX -= 0.1; lpChara->OnMovedX(); break;
            case 1: lpChara->m_dX += 0.1; lpChara->OnMovedX(); break;
            case 2: lpChara->m_dY -= 0.1; lpChara->OnMovedY(); break;
            default: lpChara->m_dY += 0.1; lpChara->OnMovedY(); break;
            }
        }
    }

    if (lpChara->m_bRiding != 0 && !bLanded) {
        if (lpChara->m_dForceY < 0.0) {
            lpChara->EndVerticalPush(1);
        } else {
            cChara* lpRide = nullptr;
            if (StillOnRidden(lpChara) != 0) {
                for (cChara& b : CharaList)
                    if (b.m_nKey == lpChara->m_nRiddenKey) {
                        lpRide = &b;
                        break;
                    }
            } else {
                lpRide = FindBlockCharacterBelow(lpChara);
            }
            if (lpRide != nullptr) {
                lpChara->m_nFallCount = 0;
                lpChara->m_bKnocked = 0;
                RememberRidden(lpChara, *lpRide);
            } else {
                lpChara->EndVerticalPush(1);
            }
        }
    }
    return 0;
}

// The block character under the character's feet: one whose box overlaps the strip from its
// bottom to 5 pixels below; with bOnlyRidden only the one it rides.
cChara* BlockCharaBelow(const cCharaBase* lpChara, bool bOnlyRidden)
{
    const Box strip{lpChara->m_dX, lpChara->m_dBottom, lpChara->m_dRight, lpChara->m_dBottom + 5};
    for (cChara& b : CharaList) {
        if (!ActsOn(b, lpChara)) continue;
        if (bOnlyRidden && b.m_nKey != lpChara->m_nRiddenKey) continue;
        if (Overlaps(BoxOf(b), strip)) return &b;
    }
    return nullptr;
}

}  // namespace

int32_t PushByBlockCharacters(cCharaBase* lpChara, cStageList<cChara>& list)
{
    if (lpChara == nullptr) return 0;
    if (lpChara->m_bFlying != 0) {
        if (lpChara->m_nBlockMode == 0) return 0;
        return PushFlying(lpChara, list);
    }
    return PushWalking(lpChara, list);
}

void ResolveAlongOtherAxis(cCharaBase* lpChara, cStageList<cChara>& list, int32_t nAxis)
{
    if (lpChara == nullptr) return;
    const int32_t w = lpChara->m_nHitWidth, h = lpChara->m_nHitHeight;
    Candidate first, second;   // top and bottom, or left and right
    const Box me = BoxOf(*lpChara);
    for (cChara& b : list) {
        if (!ActsOn(b, lpChara)) continue;
        const Box other = BoxOf(b);
        if (DepthX(me, other) == 0.0) continue;
        if (nAxis == 1) {
            if (Overlaps(other, {me.l + 1, me.t, me.r - 1, me.t})) {
                lpChara->m_bContactTop = 1;
                first.OfferLargest(other.b + 1, &b);
            }
            if (Overlaps(other, {me.l, me.b, me.r, me.b})) {
                lpChara->m_bContactBottom = 1;
                second.OfferSmallest(other.t - h, &b);
            }
        } else {
            if (Overlaps(other, {me.l, me.t + 1, me.l, me.b - 1})) {
                lpChara->m_bContactLeft = 1;
                first.OfferLargest(other.r + 1, &b);
            }
            if (Overlaps(other, {me.r, me.t, me.r, me.b})) {
                lpChara->m_bContactRight = 1;
                second.OfferSmallest(other.l - w, &b);
            }
        }
    }
    for (const Candidate* c : {&first, &second}) {
        if (!c->bSet) continue;
        if (nAxis == 1) {
            lpChara->m_dY = c->dValue;
            lpChara->OnMovedY();
        } else {
            if (Bumps(lpChara, c->lpFrom)) lpChara->m_bBumped = 1;
            lpChara->m_dX = c->dValue;
            lpChara->OnMovedX();
        }
    }
}

int32_t StillOnRidden(cCharaBase* lpChara)
{
    if (lpChara == nullptr) return 0;
    return BlockCharaBelow(lpChara, true) != nullptr ? 1 : 0;
}

cChara* FindBlockCharacterBelow(cCharaBase* lpChara)
{
    if (lpChara == nullptr) return nullptr;
    return BlockCharaBelow(lpChara, false);
}

int32_t CrushedByBlockCharacters(cCharaBase* lpChara, const double* lpStartBox)
{
    if (lpChara == nullptr || lpStartBox == nullptr) return 0;
    if (lpChara->m_bFlying != 0 && lpChara->m_nBlockMode == 0) return 0;
    const Box now = BoxOf(*lpChara);
    const Box start{lpStartBox[0], lpStartBox[1], lpStartBox[2], lpStartBox[3]};
    // The boxes of the block characters acting on it, from one walk of the list: nothing runs
    // between the corner tests that could change the list or a box, and a crowd of ordinary
    // characters would otherwise walk the whole list up to eight times for each of them.
    // Kept between calls so that a sub-step allocates nothing once it has grown.
    thread_local std::vector<Box> vActing;
    vActing.clear();
    for (cChara& b : CharaList)
        if (ActsOn(b, lpChara)) vActing.push_back(BoxOf(b));
    auto insideSome = [](double x, double y) {
        for (const Box& box : vActing)
            if (Inside(x, y, box)) return true;
        return false;
    };
    // Corners top-left, top-right, bottom-left, bottom-right; the lower ones a pixel above the
    // bottom, so that standing on a block character is not being inside it.
    auto corner = [](const Box& b, int32_t n, double& x, double& y) {
        x = (n & 1) != 0 ? b.r : b.l;
        y = (n & 2) != 0 ? b.b - 1 : b.t;
    };
    for (int32_t n = 0; n < 4; ++n) {
        double x = 0.0, y = 0.0;
        corner(now, n, x, y);
        if (insideSome(x, y)) continue;
        corner(start, n, x, y);
        if (insideSome(x, y)) continue;
        return 0;
    }
    return 1;
}

int32_t FollowRiddenCharacter(cCharaBase* lpChara, cStageList<cChara>& list)
{
    if (lpChara == nullptr || lpChara->m_bFlying != 0) return 0;
    cChara* lpRidden = nullptr;
    for (cChara& b : list)
        if (b.m_nKey == lpChara->m_nRiddenKey) {
            lpRidden = &b;
            break;
        }
    if (lpRidden == nullptr) return 0;
    lpChara->m_dSpeedX += lpRidden->m_dX - lpChara->m_dRiddenX;
    if (lpRidden->m_bFlying != 0 || lpRidden->m_bAirborne != 0)
        lpChara->m_dSpeedY = lpRidden->m_dY - lpChara->m_dRiddenY;
    FireRiddenFlows(*lpRidden, lpChara);
    return 0;
}

int32_t CollectItems(cHero* lpHero)
{
    if (lpHero == nullptr || Player.empty()) return 0;
    const CharaBox& pick = lpHero->m_ItemBox;
    const Box reach{pick.m_dLeft, pick.m_dTop, pick.m_dRight, pick.m_dBottom};
    for (cItem& item : ItemList) {
        const int8_t nMode = item.m_Rec.m_nTakeMode;
        if (item.m_bAppeared == 0 || item.m_bCarried != 0 || nMode == 2) continue;
        std::list<int32_t>& touched = lpHero->m_lTouchedItems;
        if (!Overlaps(reach, BoxOf(item))) {
            // Leaving an item that can be taken again lets the next touch take it.
            if (nMode == 1) touched.remove(item.m_nKey);
            continue;
        }
        FireFlows(lpHero, 8);
        if (nMode == 1) {
            if (std::find(touched.begin(), touched.end(), item.m_nKey) != touched.end()) continue;
            touched.push_back(item.m_nKey);
        }
        const int32_t nResult = TakeItem(&item, &Player[0]);
        if (nMode == 0) RemoveItemFromStage(item);
        if (nResult != 0) return nResult;
    }
    return 0;
}

int32_t TakeItem(cItem* lpItem, cCharaBase* lpTaker)
{
    if (lpItem == nullptr || lpTaker == nullptr) return 0;
    const cEdItem& rec = lpItem->m_Rec;
    if (rec.m_nGraphicIndex == 0 || rec.m_nTakeMode == 2 || lpItem->m_bAppeared == 0) return 0;
    cHero* lpHero = dynamic_cast<cHero*>(lpTaker);
    if (rec.m_bShowOnTake != 0 && lpHero != nullptr)
        lpHero->AddMessageAt(rec.m_nGraphicKind, rec.m_nGraphicIndex, rec.m_nGraphicSub);
    PlayProjectSound(rec.m_nSound);
    // Item commands are the hero's: a computer character that takes an item only hears it.
    if (lpHero == nullptr) return 0;
    return lpHero->RunItemCommands(lpItem->m_Rec.m_vCommand);
}
