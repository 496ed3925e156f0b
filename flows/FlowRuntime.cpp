// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/FlowRuntime.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void FireFlows(cCharaBase* lpObject, int32_t nTrigger)
{}

int32_t CheckFlowKeys(cCharaBase* lpObject, cFlowInstance* lpInst)
{ return {}; }

void StartFlow(cFlowInstance* lpInst)
{}

int32_t StepFlow(cFlowInstance* lpInst)
{ return {}; }

int32_t StepCommand(cCommandInstance* lpInst)
{ return {}; }

void ResetCommandInstance(cCommandInstance* lpInst)
{}

void StopFlow(cFlowInstance* lpInst, cCharaBase* lpObject)
{}

void PauseFlow(cFlowInstance* lpInst)
{}

void ResumeFlow(cFlowInstance* lpInst)
{}

void StopFlowForever(cFlowInstance* lpInst, cCharaBase* lpObject)
{}
