#pragma once
// Pure rules of the stage's end.
#include <cstdint>

// Defined in StageEnd.cpp.
// The lives a rise of the total score from nOld to nNew earns at nPointsPerLife points a life
// (whole multiples crossed); 0 for a setting of 0 or less.
int32_t ExtraLivesEarned(int32_t nOld, int32_t nNew, int32_t nPointsPerLife);
