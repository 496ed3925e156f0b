#pragma once
// The event scripts that make the demo play: the hero walks, jumps and shoots on the keys and is
// greeted by a message; walkers pace their ground, fliers circle, the robot fires at the hero, the
// ghost calls bats, a cloud carries the hero over the spikes; items add score, lives and a flash.
#include <vector>

#include "data/EdChara.h"
#include "data/EdCommand.h"
#include "data/EdItem.h"

// The project's own sounds in the database (entry 0 is none).
enum DemoSound : int16_t { SoundJump = 1, SoundShot, SoundHit, SoundPowerUp };

// Palette numbers of the common palette's characters and items (0 is the empty entry).
enum DemoPaletteChara : int16_t { PaletteHero = 1, PaletteSlime, PaletteBat, PaletteBeetle, PaletteRobot, PaletteGhost };
enum DemoPaletteItem : int16_t { PaletteAcorn = 1, PaletteHeart, PaletteStar, PaletteGem, PaletteKey };

// Gives the character the flows of its kind, by its graphic (see DemoStage.h) and controller.
void AddDemoFlows(cEdChara& chara);
// The moving cloud: a block character that flies left and right.
cEdChara DemoCloudPlatform();
// Gives the item the commands of its kind, by its graphic; bGoal: taking it clears the stage.
void AddDemoItemCommands(cEdItem& item, bool bGoal);
