#pragma once
// The passes of one play-step frame over the play state.
#include <cstdint>

class cPlayState;
class cChara;
class cCharaBase;

// Defined in PlayStep.cpp.
// 1 when the character is a block character (a movable solid body).
int32_t IsBlockCharacter(const cCharaBase& chara);

// The passes of one frame; each returns true when the frame ends there (a death or the stage's
// end), and such a frame is not drawn.
class cPlayStepRunner {
public:
    explicit cPlayStepRunner(cPlayState& state) : m_State(state) {}
    bool SubStep(int32_t i);
    bool CharaPass(cChara& c, bool bFullSet);
    bool HeroPass();
    bool Outcome(int32_t nResult);
    void HeroDies(const char* lpCause);

private:
    bool CharaDiedInFlows(cChara& c, bool bFullSet);
    cPlayState& m_State;
};
