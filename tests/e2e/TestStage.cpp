// A stage file the stage loader accepts: the fixture stage of the data tests with one hero.
// (Declared in TestProject.h, whose file helpers this file cannot see beside the fixtures' own.)
#include <string>

#include "tests/data/StageFixtures.h"

std::string PlayableStageFileBytes()
{
    StageFixture stage;
    stage.vChara = {HeroFixture()};
    const Bytes bytes = StageFile(stage);
    return std::string(bytes.begin(), bytes.end());
}
