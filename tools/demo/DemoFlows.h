#pragma once
// The flows that make the demo's characters play: the hero walks, jumps and shoots on the keys,
// walkers pace their ground, fliers circle; and the command list of the goal item.
#include <vector>

#include "data/EdChara.h"
#include "data/EdCommand.h"

// Replaces the character's flows by those of its kind (controller 0: the hero; else by m_nFlying).
void AddDemoFlows(cEdChara& chara);
// The commands of an item that clears the stage when taken.
std::vector<cEdCommand> DemoGoalCommands();
