#pragma once
// The running state of one flow on one character (cFlowInstance) and of each of its commands
// (cCommandInstance). A character owns its instances by value, parallel to its flow definitions;
// the pointers into the definitions are re-pointed whenever the character is copied or its lists
// change (cCharaBase::RelinkFlowInstances).
#include <cstdint>
#include <list>
#include <vector>

#include "flows/ParamBinding.h"

class cEdCommand;
class cEdFlow;
class cEdKeyList;

class cCommandInstance {
public:
    cEdCommand* m_lpCmd = nullptr;
    int32_t m_bDone = 0;
    int32_t m_nInitialCount = 0;   // sub-steps the command runs
    int32_t m_nRemaining = 0;

    // Cleared each time the command starts (ResetCommandInstance): the start flag, the handler's
    // call counter and the four movement words (cleared again by the MoveCenter...ResetMove slots).
    int32_t m_bStarted = 0;
    int32_t m_nCalls = 0;
    int32_t m_nMoveWord[4] = {};

    // Kept from start to start; each handler family owns what it uses.
    int8_t m_nByte = 0;
    int32_t m_nLastDir = 0;         // facing remembered at the last step
    double m_dVelX = 0.0, m_dVelY = 0.0;
    int32_t m_nFaceRequest = 0;     // 0 none, 1 turn left, 2 turn right
    double m_dSpeed = 0.0;          // prepared speed; the jump's start speed
    int32_t m_nDirChoice = 0;
    int32_t m_nAngle = 0;
    int32_t m_nTargetX = 0, m_nTargetY = 0;
    int32_t m_nRadius = 0;          // radius or sluggishness
    int32_t m_nStartPhase = 0, m_nEndPhase = 0;
    double m_dPhase1 = 0.0, m_dPhase2 = 0.0;
    double m_dMaxSpeed = 0.0;
    struct TargetPoint {
        double m_dX = 0.0, m_dY = 0.0;
    };
    std::list<TargetPoint> m_lTargetPoints;   // homing
    int32_t m_nWork[4] = {};        // words of the display and launch handlers
};

// One scheduled animation of a command that comes with an animation number.
struct AnimeSchedule {
    int32_t m_nStart = 0;           // step count at which it starts
    int16_t m_nAnime = 0;
    int16_t m_nSkip = 0;
    int16_t m_nLength = 0;
    int16_t m_nCommandFrames = 0;
    int32_t m_bHold = 1;
};

class cFlowInstance {
public:
    int32_t m_nIndex = 0;
    int32_t m_nSerial = 0;
    cEdFlow* m_lpFlow = nullptr;                 // in the owner's definition copy
    int8_t m_bCondLatch = 0;
    std::vector<cEdKeyList*> m_vKeySteps;        // oldest first
    int32_t m_bKeyLatch = 0;
    std::vector<cCommandInstance> m_vCmd;
    std::vector<AnimeSchedule> m_vSchedule;
    int32_t m_bRunning = 0;
    int32_t m_bPaused = 0;
    int32_t m_bStoppedForever = 0;
    int32_t m_bDeleted = 0;
    int32_t m_nFrontier = 0;
    int32_t m_nSteps = 0;
    int32_t m_nStartDir = 0;                     // direction index 0..9 at the start
    int32_t m_bTriedThisFrame = 0;
    int32_t m_bStartedThisFrame = 0;
    int32_t m_bMessageWait = 0;
    int32_t m_bAbort = 0;
    std::list<ParamBinding> m_lBindings;
};
