#pragma once
// The character core shared by the hero and the computer characters: the working copy of the
// definition, the flow instances and their bookkeeping, HP and SP with their gauges, the character
// variables, invincibility, forced motion, jump and contact state, animation requests, the running
// character effect, the contact and shot boxes, and the links to other objects.
#include <cstdint>
#include <list>
#include <vector>

#include "data/EdChara.h"
#include "flows/CharaEffect.h"
#include "flows/FlowInstance.h"
#include "objects/GameObject.h"
#include "objects/GraphicSource.h"
#include "objects/IncomingLinks.h"

class cCharaBase;
class cShot;
class cItem;
class cEdCondition;
class cKeyInput;
struct BLOCKCELL;
struct DDSURFACEDATA;

struct GaugeDisplay {
    int32_t m_nFramesLeft = 0;
    double m_dChange = 0.0;      // bar pixels
    double m_dStep = 0.0;        // change / 60
    int32_t m_nBarLength = 0;    // value * 50 / maximum
};

// An animation a flow command plays over the character's own animation.
struct cAnimeRequest {
    cAnimePlayer m_Player;
    int32_t m_bTimed = 0;
    int32_t m_nRemaining = 0;    // frames
    int32_t m_nCommandFrames = 0;
    int32_t m_nKey = 0;          // serial of the flow instance
    int32_t m_bHold = 0;         // a held request does not advance
};

struct HitAttacker {
    int32_t m_nKey = 0;
    int32_t m_nStepsLeft = 0;
};

// The contact box and the shot box: edges in stage pixels, scaled offset and size relative to the
// hit box, and the same four at scale 1.
struct CharaBox {
    double m_dLeft = 0.0, m_dTop = 0.0, m_dRight = 0.0, m_dBottom = 0.0;
    int32_t m_nOffsetX = 0, m_nOffsetY = 0, m_nWidth = 0, m_nHeight = 0;
    int32_t m_nBaseOffsetX = 0, m_nBaseOffsetY = 0, m_nBaseWidth = 0, m_nBaseHeight = 0;
};

// The members of the character core, copied in one go by cCharaBase's copy constructor.
struct CharaCoreMembers {
    class cCharaBase* m_lpTarget = nullptr;
    cIncomingLinks<cCharaBase> m_vTargetedBy;
    cIncomingLinks<cShot> m_vShots;          // incoming shots: their m_lpTargetChara is this
    cEdChara m_Def;
    int32_t m_nFlowSerial = 0;
    std::vector<cFlowInstance> m_vFlow;
    std::vector<int8_t> m_vFlowIdRunning, m_vFlowIdStopped, m_vFlowIdStarted;   // 27 flow IDs
    int32_t m_bFlowIdStopped = 0, m_bFlowDeleted = 0;
    double m_dStartX = 0.0, m_dStartY = 0.0;
    int32_t m_bMoved = 0;
    double m_dForceX = 0.0, m_dForceY = 0.0;
    int32_t m_bKnocked = 0;
    double m_dLastForceY = 0.0;
    int32_t m_bGravityHold = 0;
    int32_t m_nLastWallSide = -1;
    int32_t m_bAirborne = 0, m_bJumpEnded = 0, m_bJumping = 0;
    int32_t m_bNewJumpBlock = 0;
    int32_t m_nFallCount = 0;
    BLOCKCELL* m_lpStandBlock = nullptr;
    BLOCKCELL* m_lpLandBlock = nullptr;
    BLOCKCELL* m_lpPrevStandBlock = nullptr;
    int32_t m_nResizeGrace = 0;
    int32_t m_bLockScreenX = 0, m_bLockScreenY = 0;
    int32_t m_nLockScreenX = 0, m_nLockScreenY = 0;
    int32_t m_bDefeated = 0;
    int32_t m_nDefeatFrames = 0;
    int32_t m_bContactLeft = 0, m_bContactRight = 0, m_bContactTop = 0, m_bContactBottom = 0;
    int32_t m_bBumped = 0;
    int32_t m_bRiding = 0;
    int32_t m_nRiddenKey = 0;
    double m_dRiddenX = 0.0, m_dRiddenY = 0.0, m_dRiddenRight = 0.0, m_dRiddenBottom = 0.0;
    double m_dPrevX = 0.0, m_dPrevY = 0.0, m_dPrevRight = 0.0, m_dPrevBottom = 0.0;
    int32_t m_nHP = 0;
    GaugeDisplay m_HPGauge;
    int32_t m_nSP = 0;
    GaugeDisplay m_SPGauge;
    std::vector<int32_t> m_vVar;             // 9 entries; "v1".."v8" are 1..8
    int32_t m_nInvincible = 0;
    std::list<HitAttacker> m_lHitAttackers;
    std::list<cAnimeRequest> m_lAnimeRequests;
    cCharaEffect m_CharaEffect;              // m_CharaEffect.m_nCharaEffect: 0 none
    int32_t m_bRemoved = 0;                  // to be removed by the pass that runs it
    int32_t m_bActive = 0;
    int32_t m_nSightRadius = 0;
    int32_t m_nCrushed = 0;                  // set to 2 by a block placed over the character
    CharaBox m_CharaBox;
    CharaBox m_ShotBox;
};

class cCharaBase : public cGameObject, public CharaCoreMembers {
public:
    cCharaBase() = default;
    // A copy takes over the outgoing links (target) but none of the incoming ones, and its flow
    // instances are pointed at its own definitions (objects/ObjectLinks.h).
    cCharaBase(const cCharaBase& other);
    // Characters are never assigned over: a stored character is pointed at by others.
    cCharaBase& operator=(const cCharaBase& other) = delete;
    ~cCharaBase() override = default;

    // Defined in CharaCore.cpp.
    int32_t KeepBottomOnRescale(int32_t nNew, int32_t nOld) override;          // slot 4
    void MoveCenterTo(int32_t x, int32_t y) override;                          // slot 7
    void MoveCenterToResetMove(int32_t x, int32_t y, cCommandInstance* lpInst) override;
    void MoveCenterXTo(int32_t x) override;                                    // slot 9
    void MoveCenterXToResetMove(int32_t x, cCommandInstance* lpInst) override;
    void MoveCenterYTo(int32_t y) override;                                    // slot 11
    void MoveCenterYToResetMove(int32_t y, cCommandInstance* lpInst) override;
    virtual cItem* GetCarriedItem();                                           // slot 14
    virtual int32_t OnMovedX();                                                // slot 15
    virtual int32_t OnMovedY();                                                // slot 16
    virtual int32_t MoveHorizontal();                                          // slot 17
    virtual int32_t MoveVertical();                                            // slot 18
    virtual int32_t RunObjectFlows(int32_t bDying);                            // slot 19
    virtual void UpdateJump(cCommandInstance* lpInst);                         // slot 20

    // Set-up from the definition and the flow-instance bookkeeping. Defined in CharaSetup.cpp.
    void SetupFromDefinition(const cEdChara* lpDef, double dStartX, double dStartY,
                             int32_t nFormationIndex);
    void SetBasicAnimeSet(int16_t nSet, int32_t bForced);
    void AddFlowInstance(const cFlowInstance& instance);
    void RemoveFlowInstance(int32_t nIndex);
    void ResetFlowFlags();

    // Boxes, HP and SP, invincibility, damage, defeat, conditions, animation requests.
    // Defined in CharaCore.cpp.
    void SetCharaBox(int32_t bBottomAlign, int32_t w, int32_t h);
    int32_t AddHP(int32_t nDelta, int32_t bForced, int32_t bShowGauge);
    void ShowHPGauge(int32_t nDelta);
    int32_t AddSP(int32_t nDelta, int32_t bShowGauge);
    void ShowSPGauge(int32_t nDelta);
    void SetInvincibleFrames();
    void StartInvincibility(int32_t nAttackerKey);
    void CountDownInvincibility();
    int32_t IsInvincible() const;
    int32_t IsInvincibleTo(int32_t nAttackerKey) const;
    int32_t TakeContactDamage(cCharaBase* lpAttacker);
    int32_t TakeShotDamage(cShot* lpShot);
    int32_t Defeat();
    int32_t CheckValueCondition(const cEdCondition& condition);
    int32_t CheckStateCondition(const cEdCondition& condition);
    int32_t CheckDistanceCondition(const cEdCondition& condition);
    // The screen band a distance condition of axis 0..5 covers from this character's screen box
    // (ahead and behind follow its facing); the condition and the range drawing share it.
    struct AxisRange {
        int64_t lo = 0, hi = 0;
    };
    AxisRange DistanceAxisRange(int32_t nAxis, int64_t nReach) const;
    void StopAnimeByKey(int32_t nKey);
    void StopFinishedAnimeByKey(int32_t nKey);
    void ReleaseAnimeKey(int32_t nKey);
    int32_t UpdateAnimation(int32_t bFrozen);

    // Motion of a character on the block grid. Defined in Motion.cpp.
    void SetBlockX(int32_t bx);
    void SetBlockY(int32_t by);
    void SetBlockPosition(int32_t bx, int32_t by);
    void ApplyGravity();
    int32_t IsOnGround() const;
    void ClearContactFlags();
    void LandOnGround();
    void HitCeiling();
    void EndVerticalPush(int32_t bBump);
    void SavePreviousPosition();
    void RestorePreviousPosition();
    void ApplyImpact(int8_t nImpact, double dx, double dy);
    void ImpactFromCharacter(const cCharaBase* lpAttacker);
    void ImpactFromShot(const cShot* lpShot);
    void ApplyForceY();
    void CountDownForceX();
    void CountDownForceY();

    // Drawing. Defined in CharaDraw.cpp.
    int32_t GetGraphicColumn(GraphicSource* lpSource);
    void DrawObjectSprite(DDSURFACEDATA* lpTarget, int32_t bFrozen);
    int32_t DrawObject(DDSURFACEDATA* lpTarget, int32_t bFrozen);
    int32_t StepCharaEffectDraw(int32_t bFrozen);
    void BlitCellToWork(DDSURFACEDATA* lpWork, const GraphicSource* lpSource);
    void BlitCellBlend(DDSURFACEDATA* lpWork, const GraphicSource* lpSource);
    void DrawHPGauge(DDSURFACEDATA* lpTarget);
    void DrawSPGauge(DDSURFACEDATA* lpTarget);
    void DrawGauge(DDSURFACEDATA* lpTarget, GaugeDisplay& gauge, int32_t bSP);

    // Movement solving. Defined in MoveSolve.cpp.
    void GetMoveAngle(cCommandInstance* lpInst);
    void GetMoveTargetOffset(cCommandInstance* lpInst);
    int32_t GetDirectionCode(int32_t nChoice, int32_t bUseInput, int32_t bKeepDiagonals);
    void GetMoveTargetPoint(double& dX, double& dY, const cCommandInstance* lpInst) const;
    void SpeedFromDirection(double& vx, double& vy, int32_t& nRequest, double v, int32_t nChoice);
    void SpeedFromDirectionTimed(double& vx, double& vy, int32_t& nRequest, double v,
                                 int32_t nChoice, int32_t nAngle);
    void SetupMoveHelper(double& vx, double& vy, int32_t& nRequest, double v, int32_t nOffsetX,
                         int32_t nOffsetY, const cEdMove& move, int32_t& nRemaining);
    void SetupFacingSpeed(cCommandInstance* lpInst, const cEdMove& move);
    void SetupDirectionMove(cCommandInstance* lpInst, const cEdMove& move);
    void ApplyMovement(double vx, double vy, int32_t nRequest, cCommandInstance* lpInst,
                       const cEdMove& move, int32_t bForced);
    void SolveMovement(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget,
                       double dGoalX, double dGoalY);
    void SolveMovement2D(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget,
                         double dGoalX, double dGoalY);
    void SolveMovementX(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget,
                        double dGoalX);
    void SolveMovementY(cCommandInstance* lpInst, const cEdMove& move, cGameObject* lpTarget,
                        double dGoalY);

    // Links (objects/ObjectLinks.h). Defined in ObjectLinks.cpp.
    // Points every flow instance at the definition, key steps and commands it runs, in this
    // character's own lists; after a copy and after any change of either list.
    void RelinkFlowInstances();
    // Points the target at lpTarget, keeping both targeted-by lists right.
    void SetTarget(cCharaBase* lpTarget);
    // Enters this stored character in the targeted-by list of its target.
    void RegisterLinks();
    // Undoes every link to and from this character: targets, targeted-by, incoming shots and
    // the faction lists of the play state.
    void Unlink();
    // What a defeat undoes while the character stays in its lists for its defeat display: the
    // characters that target it lose their target, it leaves its target's list, and its incoming
    // shots lose their target.
    void UnlinkForDefeat();
    // Forgets the links without touching any other object (teardown of a whole stage).
    void DropLinks();

};

// The index (0..9) of the first direction event list of the input whose newest run is pressed;
// 0 when none is. Defined in CharaSetup.cpp.
int32_t FirstSetEntryIndex(const cKeyInput& input);
