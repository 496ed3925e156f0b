#pragma once
// Pure rules of stage set-up, apart so that they can be checked on their own.
#include <cstdint>
#include <vector>

class cEdShot;

// Defined in StageSetup.cpp.
// Which sub-steps of a frame test shots against characters: all of them for level 0, else
// `nLevel` of the `nSubSteps`, spread evenly from the first. Never empty.
void BuildShotTestMask(std::vector<int32_t>& vMask, int32_t nSubSteps, int32_t nLevel);
// 1 when set-up asks for the stage music: a new start asks unless the stage keeps the music
// already playing (music 0 is asked for anyway: it stops what plays); a restart asks only for a
// different music.
int32_t StageMusicRequested(int32_t bNewMusic, int32_t bKeepMusic, int32_t nNumber, int32_t nCurrent);
// The launch settings a summon or a block placement reads.
int32_t SummonLifeOn(const cEdShot& params);
int32_t SummonLife(const cEdShot& params);
int32_t SummonNoScore(const cEdShot& params);
int32_t BlockUndoOnHero(const cEdShot& params);
int32_t BlockUndoOnChara(const cEdShot& params);
