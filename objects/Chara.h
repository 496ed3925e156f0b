#pragma once
// A computer-controlled character: every placed character that is not the hero and every summoned
// one. Adds to the core the item it carries, its activation range and the carried-item icon.
#include <cstdint>
#include <vector>

#include "objects/CharaBase.h"
#include "objects/Item.h"

class cScrollAxis;

class cChara : public cCharaBase {
public:
    cChara() = default;
    cChara(const cChara&) = default;
    ~cChara() override = default;

    // Defined in Chara.cpp.
    void ScaleBoxes(int32_t nScale) override;                             // slot 3
    void UpdateBoxesX() override;                                         // slot 5
    void UpdateBoxesY() override;                                         // slot 6
    cItem* GetCarriedItem() override;                                     // slot 14
    int32_t OnMovedX() override;                                          // slot 15
    int32_t OnMovedY() override;                                          // slot 16
    int32_t MoveHorizontal() override;                                    // slot 17
    int32_t MoveVertical() override;                                      // slot 18
    int32_t RunObjectFlows(int32_t bDying) override;                      // slot 19
    void UpdateJump(cCommandInstance* lpInst) override;                   // slot 20

    void Init(int32_t nKey, const cEdChara& definition, const cItem* lpCarried, double x, double y,
              int32_t nFormationIndex);
    void SetBlockPosition(int32_t bx, int32_t by);
    int32_t CheckActive(std::vector<int8_t>& vSwitches);
    int32_t UpdateActivity(std::vector<int8_t>& vSwitches);
    void DrawCarriedIcon(DDSURFACEDATA* lpTarget);
    int32_t RectsOverlap(double l, double t, double r, double b) const;

    int32_t m_bInRange = 0;
    int32_t m_bAwake = 0;
    cItem m_CarriedItem;
    int32_t m_nIconCycle = 0;
    int32_t m_bIgnoreRangeX = 0, m_bIgnoreRangeY = 0;
    int32_t m_bStarted = 0;
    int32_t m_nReserved = 0;
};

// The flow pass of one sub-step and the clean-up that closes it (hero and computer characters).
// Defined in Chara.cpp.
// Steps every running flow once (while dying only the dying flows); 1 when the character was
// removed or lost its last HP to a flow other than a dying one, which ends its pass.
int32_t StepRunningFlows(cCharaBase& chara, int32_t bDying);
// The start of a character's flow pass once the scroll-carry setting has had its say (bCarried:
// that setting is on and has set the speeds): otherwise a screen-fixed character follows the
// view's automatic scroll (vertically too when it flies) and any other stands; then the
// sub-step's brakes, moved flag and resize grace are reset.
void StartFlowPass(cCharaBase& chara, bool bCarried);
// The speed that keeps an object in step with an axis that scrolls by itself: none at a bound.
double FollowSpeed(const cScrollAxis& axis);
// Removes the flow instances flagged deleted while the flows ran, then clears the flag.
void RemoveDeletedFlowInstances(cCharaBase& chara);
// Frees the flow IDs of flows that stopped during the sub-step, then clears the flag.
void ReleaseStoppedFlowIds(cCharaBase& chara);
