#pragma once
// Free play from a stage file: the title's free-play choice (through the main window's stage
// chooser), a stage named at start-up, and the stage-play scene's reload.
#include <cstdint>

// Loads the stage (bNewestVersion: path is a stage name whose newest numbered file is loaded)
// and makes the live save data a new free-play game in it. 1 when the stage was loaded; 0 when
// the loader refused it (it has reported why) and nothing else changed but the reset record.
int StartFromStageFile(const char* lpPath, int32_t bNewestVersion);
// Loads the newest numbered file of a story or challenge stage for its start; a stage that cannot
// be read is named in an error box. True when it was loaded.
bool LoadStageForStart(const char* lpName);
