#pragma once
// Aiming helpers shared by movement commands and shots, and the preparation each movement kind
// gets when a flow instance is built. The per-character helpers are members of cCharaBase.
#include <cstdint>

class cGameObject;
class cCharaBase;
class cCommandInstance;

// Defined in MoveSolve.cpp.
// Velocity from (x, y) toward (goal x, goal y) at speed t, in screen pixels; 1 when arrived.
int32_t AimVelocity(double& vx, double& vy, int32_t& nRequest, const cGameObject* lpTarget,
                    double x, double y, double dGoalX, double dGoalY, double t,
                    int32_t bSelfFixed, int32_t bAllowNegative, int32_t bArrive);
int32_t StepTowardX(double& vx, double& vy, int32_t& nRequest, const cGameObject* lpTarget,
                    double x, double dGoalX, double v, int32_t bSelfFixed, int32_t bArrive);
int32_t StepTowardY(double& vx, double& vy, int32_t& nRequest, const cGameObject* lpTarget,
                    double y, double dGoalY, double v, int32_t bSelfFixed, int32_t bArrive);

// Preparation of a movement command when its flow instance is built; null for other kinds.
using MoveSetup = void (*)(cCharaBase* lpObject, cCommandInstance* lpInst);
extern const MoveSetup MoveSetupTable[40];
void PrepareSolve(cCharaBase* lpObject, cCommandInstance* lpInst);
void PrepareCircle(cCharaBase* lpObject, cCommandInstance* lpInst);
void PrepareHoming(cCharaBase* lpObject, cCommandInstance* lpInst);
void PrepareJump(cCharaBase* lpObject, cCommandInstance* lpInst);

// The diagonal factor 1 / sqrt(2), computed once at start-up.
extern const double DiagonalFactor;
