#pragma once
// The demo project's definitions and stages: the common palette of blocks, characters and items,
// and the stage files the world map leads to.
#include <cstdint>
#include <string>
#include <vector>

// Graphic numbers of the demo sheets (block sheet, character sheets, item sheet).
enum DemoBlockGraphic : int16_t {
    BlockGrass = 1, BlockEarth, BlockMossStone, BlockStone, BlockCrystal, BlockIce, BlockWood,
    BlockBlue, BlockGreen, BlockPurple, BlockSpikes, BlockCloud, BlockLadder, BlockWater,
};
enum DemoCharaGraphic : int16_t {
    CharaHero = 1, CharaSlime, CharaBat, CharaBeetle, CharaRobot, CharaGhost,
};
enum DemoItemGraphic : int16_t {
    ItemAcorn = 1, ItemHeart, ItemStar, ItemGem, ItemKey, ItemPotion, ItemLife, ItemFruit,
};

// Writes "data\CommonPalette.cplt4", the stage files of DemoStageFiles and those of
// DemoChallengeFiles.
bool WriteDemoPaletteAndStages(std::string* error);
// A stage drawn as text rows in the demo's letters (see DemoStage.cpp), with the demo's
// definitions, saved at path (a name relative to the project folder, which must be current).
bool WriteDemoStage(const std::string& path, const std::vector<const char*>& rows, const std::string& name,
                    std::string* error);
