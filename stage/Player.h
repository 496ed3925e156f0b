#pragma once
// The heroes of the stage by value, player 1 first. Its size changes only in stage set-up, after
// every other object is gone, so the heroes' addresses hold for a whole play.
#include <vector>

#include "objects/Hero.h"

extern std::vector<cHero> Player;
