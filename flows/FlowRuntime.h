#pragma once
// Firing, starting, stepping and stopping the flows of one character.
#include <cstdint>

class cCharaBase;
class cFlowInstance;
class cCommandInstance;

// Defined in FlowRuntime.cpp.
void FireFlows(cCharaBase* lpObject, int32_t nTrigger);
int32_t CheckFlowKeys(cCharaBase* lpObject, cFlowInstance* lpInst);
void StartFlow(cFlowInstance* lpInst);
// 1 when the flow has finished.
int32_t StepFlow(cFlowInstance* lpInst);
// 1 when the command has finished.
int32_t StepCommand(cCommandInstance* lpInst);
void ResetCommandInstance(cCommandInstance* lpInst);
void StopFlow(cFlowInstance* lpInst, cCharaBase* lpObject);
void PauseFlow(cFlowInstance* lpInst);
void ResumeFlow(cFlowInstance* lpInst);
void StopFlowForever(cFlowInstance* lpInst, cCharaBase* lpObject);
