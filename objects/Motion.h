#pragma once
// Units of motion: conversions from the project's settings (percent, half blocks, tenths of a
// second) to per-sub-step values of the stage being played, jump formulas, knock-back and the
// circle step. The member operations of objects are declared with the classes.
#include <cstdint>

class cGameObject;

// Defined in Motion.cpp.
int32_t HalfBlocksToPixels(int8_t n);
double PercentToSpeed(int16_t n);
double PerSecondStep(double x);
double JumpSpeedForHeight(double h, const cGameObject* lpObject);
double JumpSpeedForHalfBlocks(int8_t n, const cGameObject* lpObject);
int32_t FramesToApex(double v);
int32_t JumpTimeForHalfBlocks(int8_t n, const cGameObject* lpObject);
void ForceFromImpact(double& dOutX, double& dOutY, int8_t nImpact, double dx, double dy);
double CircleStep(double r, double n, double& dPhase, double dStep, double dOffset);
double CircleStepY(double r, double n, double& dPhase, double dStep, double dOffset);
