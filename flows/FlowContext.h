#pragma once
// Keeps the play state's current object, flow and command across a nested firing: a command that
// fires another object's flows (damage, landing, taking an item) finds its own context again
// when the nested firing returns.
#include "stage/PlayState.h"

class cFlowContextSave {
public:
    explicit cFlowContextSave(cPlayState& state)
        : m_State(state), m_lpObj(state.m_lpCurObj), m_lpFlow(state.m_lpCurFlow),
          m_lpCmd(state.m_lpCurCmd)
    {
    }
    ~cFlowContextSave()
    {
        m_State.m_lpCurObj = m_lpObj;
        m_State.m_lpCurFlow = m_lpFlow;
        m_State.m_lpCurCmd = m_lpCmd;
    }
    cFlowContextSave(const cFlowContextSave&) = delete;
    cFlowContextSave& operator=(const cFlowContextSave&) = delete;

private:
    cPlayState& m_State;
    cGameObject* m_lpObj;
    cFlowInstance* m_lpFlow;
    cCommandInstance* m_lpCmd;
};
