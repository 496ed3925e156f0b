// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/FlowBuild.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

void ExpandLoops(std::vector<cEdCommand>& vCommands)
{}

int32_t ExpandFirstLoop(std::vector<cEdCommand>& vCommands)
{ return {}; }

void BuildFlowInstances(cCharaBase* lpObject, std::vector<cEdFlow>& vFlows, int32_t bAdd, int32_t nPosition)
{}

int32_t DeleteFlowsByGroup(cCharaBase* lpObject, int32_t nGroup)
{ return {}; }

void ApplyFlowAnimations(cCharaBase* lpObject)
{}

void SolveTimeSpeedDistance(cCommandInstance* lpInst, const cEdCommand& command, int32_t nClone)
{}
