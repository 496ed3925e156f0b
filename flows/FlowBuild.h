#pragma once
// Building the flow instances of a character from its definitions, loop expansion, deletion by
// change group and the animations commands schedule.
#include <cstdint>
#include <vector>

class cCharaBase;
class cCommandInstance;
class cEdCommand;
class cEdFlow;

// Defined in FlowBuild.cpp.
void ExpandLoops(std::vector<cEdCommand>& vCommands);
int32_t ExpandFirstLoop(std::vector<cEdCommand>& vCommands);
// Without bAdd, vFlows is the object's own definition list and every instance is rebuilt; with
// it, the flows are inserted before nPosition or appended (nPosition -1 or past the end).
void BuildFlowInstances(cCharaBase* lpObject, std::vector<cEdFlow>& vFlows, int32_t bAdd,
                        int32_t nPosition);
int32_t DeleteFlowsByGroup(cCharaBase* lpObject, int32_t nGroup);
void ApplyFlowAnimations(cCharaBase* lpObject);
void SolveTimeSpeedDistance(cCommandInstance* lpInst, const cEdCommand& command,
                            int32_t nClone);
