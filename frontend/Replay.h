#pragma once
// Replays: the recorded input of one play of a stage with the random seed of that play. The game
// is deterministic for a seed and an input, so playing the input back repeats the play. The
// current play's replay and the previous play's are kept, each with the progress record as it
// was at its start; F1 and F2 save them during play, and the title opens a saved one.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "data/FieldListRecord.h"

class cEdStage;
class cSaveData;

class cReplay : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cReplay)
    cReplay();
    void RegisterFields(uint32_t nVersion) override;
    // The seed, then the two value streams and the two run streams, each a u32 count and its
    // elements. Load refuses a count the file cannot hold, streams whose values and runs differ
    // in number, and a run below 1.
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    // No frames, seed 0, playback at the start.
    void Clear();
    // The streams and the seed of another replay; the playback position is not copied.
    void CopyReplay(const cReplay& other);
    // Appends one frame of player 1's two input words.
    void RecordReplayFrame(int16_t wDirection, int16_t wButton);
    // The next recorded frame's two words and 0; 1 when the recording is exhausted (the words
    // are left as they were).
    int PlayReplayFrame(int16_t& wDirection, int16_t& wButton);
    // Playback starts again from the first frame.
    void RewindPlayback();
    // Number of recorded frames (the sum of the runs of stream 0).
    int64_t FrameCount() const;

    // A replay file: the stage as it was at its start (fields, backgrounds and texts of start,
    // palette and placements of stage), this replay, the progress snapshot. Written beside the
    // target and renamed over it. 1 written, 0 not (nothing is left at the name then).
    int WriteReplayFile(const char* lpName, cEdStage& stage, cEdStage& start, cSaveData& snapshot);
    // Reads a replay file: its stage into stage and, without placements and palette, into
    // second; the replay into this; the progress snapshot (files after version 172) into save.
    // The whole file is read before anything is taken over, so a damaged file changes none of
    // them. 1 read, 0 not.
    int ReadReplayFile(const char* lpName, cEdStage& stage, cEdStage& second, cSaveData& save);

    std::vector<int16_t> vWord0;   // direction word values, each differing from the one before
    std::vector<int16_t> vWord1;   // button word values
    std::vector<int32_t> vRun0;    // frames each vWord0 value was held
    std::vector<int32_t> vRun1;
    int32_t nSeed = 0;
    // Playback position: value index and frames played of the current run, per stream.
    int32_t nPlayIndex0 = 0;
    int32_t nPlayIndex1 = 0;
    int32_t nPlayRun0 = 0;
    int32_t nPlayRun1 = 0;
};

// The play in progress (or the replay being played back), and the play before it.
extern cReplay ReplayCurrent;
extern cReplay ReplayPrevious;

// The extension of replay files written by this version ("rpl4_751").
std::string ReplayFileExtension();
// The default name offered for a replay of the stage whose key form is lpStageName: in
// "user_data\rpl4\", the name with the replay extension and the first free two-digit suffix
// (_00, _01 .. _88; _88 when all are taken), without the folder. Empty when there is no stage
// name or the name would not fit a path.
std::string DefaultReplayFileName(const std::string& strStageName);
// Asks the player where to save a replay, offering the default name. 1 with the chosen path in
// szOut, 0 when cancelled.
int ChooseReplaySaveFile(char (&szOut)[260], const std::string& strStageName);

// The main window's side of the two replay requests (user-interface thread).
// Saves the current (nWhich 0) or the previous play's replay where the player chooses: 1 saved,
// 0 cancelled, -1 the file could not be written (reported; the game goes on).
int SaveReplayViaDialog(int32_t nWhich);
// Reads a chosen replay file into the current replay, the working stage and its start copy and
// the live progress, and makes it the stage's file path so that a restart reads it again.
// 1 read, 0 refused (reported; nothing was changed).
int OpenReplayFile(const char* lpPath);
// Makes the main window use the two above.
void RegisterReplayRequests();

// Whether the play on stage is a saved replay played back (the title's replay item started it).
bool ReplayPlaybackOn();

// The F1 / F2 save keys, polled by every loop of stage play. 1 when a save dialog ran (the caller
// skips its frame). Nothing during playback or when the project records no replays.
int PollReplayHotkeys();
// The hotkeys' state: the refusal cool-down and the key held through the last dialog.
void ResetReplayHotkeys();
int32_t ReplayHotkeyCooldown();
