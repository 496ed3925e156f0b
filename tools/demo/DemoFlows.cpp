#include "tools/demo/DemoFlows.h"

namespace {

// Key-list entries: 1 left, 2 right, 11.. buttons 1..
constexpr size_t kKeyLeft = 1;
constexpr size_t kKeyRight = 2;
constexpr size_t kKeyButton1 = 11;
constexpr size_t kKeyButton2 = 12;

// A flow that starts when the key is held: on every frame it is held (bEveryFrame), or once per
// press.
cEdFlow KeyFlow(size_t nKey, int8_t bEveryFrame, const cEdCommand& command)
{
    cEdFlow flow = cEdFlow::Default();
    flow.m_nTrigger = 0;
    flow.m_nKeyMode = bEveryFrame;
    cEdKeyList step = cEdKeyList::Default();
    step.m_vKeyState[nKey] = 1;
    step.m_bAnyLength = 1;
    flow.m_vKeyList.push_back(step);
    flow.m_vCommand.push_back(command);
    return flow;
}

cEdFlow AlwaysFlow(const cEdCommand& command)
{
    cEdFlow flow = cEdFlow::Default();
    flow.m_nTrigger = 0;
    flow.m_vCommand.push_back(command);
    return flow;
}

cEdCommand Command(int8_t nKind, int16_t nTime)
{
    cEdCommand cmd = cEdCommand::Default();
    cmd.m_nKind = nKind;
    cmd.m_nTime = nTime;
    return cmd;
}

// "直線移動" toward a direction choice (2 left, 3 right), a tenth of a second at a time.
cEdCommand Walk(int8_t nDirection, int16_t nSpeed)
{
    cEdCommand cmd = Command(2, 1);
    cmd.NewMove();
    cmd.m_lpMove->m_nDirection = nDirection;
    cmd.m_lpMove->m_nSpeed = nSpeed;
    return cmd;
}

// "ジャンプ": the height can be adjusted by holding the key, up to nHalfBlocks.
cEdCommand Jump(int32_t nHalfBlocks)
{
    cEdCommand cmd = Command(10, 0);
    cmd.m_vParam = {1, 0, nHalfBlocks, 0, 0};
    return cmd;
}

// "ショット": one shot forward that flies ten blocks.
cEdCommand Shoot()
{
    cEdCommand cmd = Command(11, 3);
    cmd.NewShot();
    cEdShot& s = *cmd.m_lpShot;
    s.m_nCount = 1;
    s.m_nDirectionMode = 0;
    s.m_nGraphic = 1;
    s.m_nSize = 1;
    s.m_nMoveKind = 0;
    s.m_nSpeed = 80;
    s.m_bRange = 1;
    s.m_nRange = 20;
    s.m_nPower = 1;
    return cmd;
}

// "地上折り返し移動": walk ahead, turning at walls and ledges.
cEdCommand Pace(int16_t nSpeed)
{
    cEdCommand cmd = Command(3, 10);
    cmd.NewMove();
    cmd.m_lpMove->m_nSpeed = nSpeed;
    return cmd;
}

// "円移動": one turn of a circle of two blocks' radius in three seconds.
cEdCommand Circle()
{
    cEdCommand cmd = Command(4, 30);
    cmd.NewMove();
    cEdMove& m = *cmd.m_lpMove;
    m.m_nRadius = 4;
    m.m_nAngle = 0;
    m.m_nDistance = 360;
    m.m_nSolveMode = 1;
    return cmd;
}

}   // namespace

void AddDemoFlows(cEdChara& chara)
{
    chara.m_vFlow.clear();
    if (chara.m_nController == 0) {
        chara.m_vFlow.push_back(KeyFlow(kKeyRight, 1, Walk(3, 25)));
        chara.m_vFlow.push_back(KeyFlow(kKeyLeft, 1, Walk(2, 25)));
        chara.m_vFlow.push_back(KeyFlow(kKeyButton1, 0, Jump(9)));
        chara.m_vFlow.push_back(KeyFlow(kKeyButton2, 0, Shoot()));
    } else if (chara.m_nFlying == 0) {
        chara.m_vFlow.push_back(AlwaysFlow(Pace(8)));
    } else {
        chara.m_vFlow.push_back(AlwaysFlow(Circle()));
    }
}

std::vector<cEdCommand> DemoGoalCommands()
{
    cEdCommand clear = cEdCommand::Default();
    clear.m_nFamily = 1;
    clear.m_nKind = 2;   // "ステージクリア"
    clear.m_vParam = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    return {clear};
}
