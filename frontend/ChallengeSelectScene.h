#pragma once
// Scene 3: the challenge stages that are open, numbered from 1, with each stage's cleared symbol
// and best score, the challenge total and optionally the rankings of the stage under the cursor.
// Confirm starts the stage, cancel returns to the title.
#include <cstdint>
#include <string>

#include "frontend/MenuScene.h"

// Lines the stage list shows at most.
constexpr int32_t kChallengeListRows = 10;

class cChallengeSelectScene : public cMenuScene {
public:
    cChallengeSelectScene();
    ~cChallengeSelectScene() override;
    void Enter() override;
    void FadeIn() override;
    void FadeOut() override;

    int32_t TopLine() const { return m_nTop; }
    int32_t StageCount() const { return m_nStageCount; }
    int32_t VisibleRows() const { return m_nRows; }

private:
    void StageSelectPhase();
    void RecountStages();
    void DrawScreen();
    void ShowScreen();

    int32_t m_nTop = 0;
    int32_t m_nStageCount = 0;
    int32_t m_nRows = 0;
};

// The challenge stages offered: every stage of the project when they are all open, otherwise
// those the save has opened; never more than the save has records for, so that every line and
// every stage started has its record.
int32_t ChallengeStageCount();
// Lines shown from the top line: at most ten, none past the end of the list.
int32_t ChallengeVisibleRows(int32_t nCount, int32_t nTop);
// Brings a cursor row and top line kept from an earlier visit back into the list as it is now
// (the save may have been reset since): the row on an offered stage, the top line where the list
// cursor could have put it, the row in view.
void ClampChallengeCursor(int32_t& nRow, int32_t& nTop, int32_t nCount);
// "data\stg4\cNN-1.stg4": the name whose newest numbered file is challenge stage n.
void BuildChallengeStageName(std::string& out, int32_t nStage);
// Shows the stage's data: makes it the current stage name and loads its rankings when the mode
// keeps them.
void SelectChallengeStage(int32_t nStage);
// Loads the stage of the cursor row and prepares the game in it, with the cursor kept for the
// next visit, and asks for stage play (1). A stage that cannot be loaded, or a row with no stage,
// is refused with the refusal sound and, for a load, an error box (0); the save and the kept
// cursor stay as they were.
int StartChallengeStage(int32_t nRow, int32_t nTop);

void RegisterChallengeSelectScene();
