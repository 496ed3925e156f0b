#include "tools/demo/DemoFlows.h"

#include "tools/demo/DemoStage.h"

namespace {

// Key-list entries: 1 left, 2 right, 11.. buttons 1..
constexpr size_t kKeyLeft = 1;
constexpr size_t kKeyRight = 2;
constexpr size_t kKeyButton1 = 11;
constexpr size_t kKeyButton2 = 12;
constexpr size_t kKeyButton3 = 13;

// Flow triggers.
constexpr int8_t kAlways = 0;
constexpr int8_t kOnDeath = 3;
constexpr int8_t kBeforeStart = 18;

// A flow that starts when the key is held: on every frame it is held (bEveryFrame), or once per
// press.
cEdFlow KeyFlow(size_t nKey, int8_t bEveryFrame, const cEdCommand& command)
{
    cEdFlow flow = cEdFlow::Default();
    flow.m_nTrigger = kAlways;
    flow.m_nKeyMode = bEveryFrame;
    cEdKeyList step = cEdKeyList::Default();
    step.m_vKeyState[nKey] = 1;
    step.m_bAnyLength = 1;
    flow.m_vKeyList.push_back(step);
    flow.m_vCommand.push_back(command);
    return flow;
}

cEdFlow Flow(int8_t nTrigger, std::vector<cEdCommand> commands)
{
    cEdFlow flow = cEdFlow::Default();
    flow.m_nTrigger = nTrigger;
    flow.m_vCommand = std::move(commands);
    return flow;
}

cEdCommand Command(int8_t nKind, int16_t nTime)
{
    cEdCommand cmd = cEdCommand::Default();
    cmd.m_nKind = nKind;
    cmd.m_nTime = nTime;
    return cmd;
}

// A command of the item family with nParams parameters of 0.
cEdCommand ItemCommand(int8_t nKind, size_t nParams)
{
    cEdCommand cmd = cEdCommand::Default();
    cmd.m_nFamily = 1;
    cmd.m_nKind = nKind;
    cmd.m_vParam.assign(nParams, 0);
    return cmd;
}

// "ウエイト" for a number of tenths of a second.
cEdCommand Wait(int16_t nTenths) { return Command(1, nTenths); }

// "直線移動" toward a direction choice (2 left, 3 right) for a number of tenths.
cEdCommand Move(int8_t nDirection, int16_t nSpeed, int16_t nTenths)
{
    cEdCommand cmd = Command(2, nTenths);
    cmd.NewMove();
    cmd.m_lpMove->m_nDirection = nDirection;
    cmd.m_lpMove->m_nSpeed = nSpeed;
    return cmd;
}

// "ジャンプ": the height can be adjusted by holding the key, up to nHalfBlocks.
cEdCommand Jump(int32_t nHalfBlocks)
{
    cEdCommand cmd = Command(10, 0);
    cmd.m_nSound = SoundJump;
    cmd.m_vParam = {1, 0, nHalfBlocks, 0, 0};
    return cmd;
}

// "ショット": one shot of the graphic that flies nRange half blocks, forward or at the hero.
cEdCommand Shoot(int16_t nGraphic, int16_t nSpeed, int16_t nRange, bool bAimAtHero)
{
    cEdCommand cmd = Command(11, 3);
    cmd.m_nSound = SoundShot;
    cmd.NewShot();
    cEdShot& s = *cmd.m_lpShot;
    s.m_nCount = 1;
    s.m_nDirectionMode = 0;
    s.m_nTargetChoice = bAimAtHero ? 1 : 0;
    s.m_bAim = bAimAtHero ? 1 : 0;
    s.m_nGraphic = nGraphic;
    s.m_nSize = 1;
    s.m_nMoveKind = 0;
    s.m_nSpeed = nSpeed;
    s.m_bRange = 1;
    s.m_nRange = nRange;
    s.m_nPower = 1;
    return cmd;
}

// "ソード": sword type 1 of the database, two points of damage.
cEdCommand Sword()
{
    cEdCommand cmd = Command(12, 3);
    cmd.m_nSound = SoundHit;
    cmd.NewShot();
    cEdShot& s = *cmd.m_lpShot;
    s.m_nMoveKind = 1;   // the sword type
    s.m_nSize = 1;
    s.m_nPower = 2;
    return cmd;
}

// "地上折り返し移動": walk ahead, turning back at the edge of the ground.
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

// "キャラ召喚": one character of the common palette beside the caller, gone after nTenths.
cEdCommand Summon(int16_t nPaletteChara, int16_t nTenths)
{
    cEdCommand cmd = Command(14, 0);
    cmd.NewShot();
    cEdShot& s = *cmd.m_lpShot;
    s.m_nCount = 1;
    s.m_nSummonPalette = 0;
    s.m_nSummonIndex = nPaletteChara;
    s.m_nOffsetX = 16;   // clear of the caller, which would otherwise stop the summon
    s.m_bRange = 1;   // a summon's life time
    s.m_nRange = nTenths;
    return cmd;
}

// "メッセージ" in a window above the hero for nTenths.
cEdCommand Message(const char* lpText, int32_t nTenths)
{
    cEdCommand cmd = Command(19, 0);
    cmd.m_bSameFrame = 1;
    cmd.m_strText = lpText;
    cmd.m_vParam = std::vector<int32_t>(18, 0);
    cmd.m_vParam[0] = 4;   // above the hero
    cmd.m_vParam[5] = 1;   // kept inside the screen
    cmd.m_vParam[6] = 2;   // shown for a time
    cmd.m_vParam[7] = nTenths;
    cmd.m_vParam[14] = 1;   // in a window
    return cmd;
}

// "エフェクトの実行": database effect n centred on the running object.
cEdCommand EffectOnSelf(int32_t n)
{
    cEdCommand cmd = Command(29, 0);
    cmd.m_vParam = {n, 1, 0, 0, 0, 0, 100, 0};
    return cmd;
}

// "ワープ" by direction and distance in half blocks (direction choice 1: backwards).
cEdCommand Warp(int8_t nDirection, int16_t nHalfBlocks)
{
    cEdCommand cmd = Command(20, 0);
    cmd.NewMove();
    cmd.m_lpMove->m_nMode = 0;
    cmd.m_lpMove->m_nDirection = nDirection;
    cmd.m_lpMove->m_nDistance = nHalfBlocks;
    return cmd;
}

// Item "ステータスの操作": add a constant to a system value (3 score, 4 lives).
cEdCommand AddSystemValue(int32_t nValue, int32_t nAmount)
{
    cEdCommand cmd = ItemCommand(7, 18);
    cmd.m_vParam[3] = 2;   // owner: the system
    cmd.m_vParam[4] = nValue;
    cmd.m_vParam[5] = 1;   // add
    cmd.m_vParam[7] = nAmount;
    return cmd;
}

// Item "画面の色を変更": the screen flashes toward the colour.
cEdCommand Flash(int32_t r, int32_t g, int32_t b)
{
    cEdCommand cmd = ItemCommand(18, 0);
    cmd.m_vParam = {r, g, b, 70, 0, 2, 1, 3};   // strength 70, 0.2 s a flash, three flashes
    return cmd;
}

// Item "ピクチャーの表示": database picture n at the screen's centre, in front of the stage, for
// nTenths.
cEdCommand ShowPicture(int32_t n, int32_t nTenths)
{
    cEdCommand cmd = ItemCommand(17, 15);
    cmd.m_vParam[0] = n;
    cmd.m_vParam[6] = 1;     // in front
    cmd.m_vParam[7] = 100;   // its own size
    cmd.m_vParam[8] = 2;     // shown for a time
    cmd.m_vParam[9] = nTenths;
    cmd.m_vParam[11] = 1;    // fixed on the screen
    return cmd;
}

}   // namespace

void AddDemoFlows(cEdChara& chara)
{
    chara.m_vFlow.clear();
    // Every enemy bursts when defeated.
    if (chara.m_nController != 0) chara.m_vFlow.push_back(Flow(kOnDeath, {EffectOnSelf(1)}));
    if (chara.m_nController == 0) {
        chara.m_vFlow.push_back(Flow(kBeforeStart, {Message("カギを取ればステージクリア！　Ｚでジャンプ、Ｘでショット、Ｃでソード", 40)}));
        chara.m_vFlow.push_back(KeyFlow(kKeyRight, 1, Move(3, 25, 1)));
        chara.m_vFlow.push_back(KeyFlow(kKeyLeft, 1, Move(2, 25, 1)));
        chara.m_vFlow.push_back(KeyFlow(kKeyButton1, 0, Jump(9)));
        chara.m_vFlow.push_back(KeyFlow(kKeyButton2, 0, Shoot(1, 80, 20, false)));
        chara.m_vFlow.push_back(KeyFlow(kKeyButton3, 0, Sword()));
        return;
    }
    switch (chara.m_nGraphicIndex) {
    case CharaRobot:   // paces slowly and fires at the hero every two seconds
        chara.m_vFlow.push_back(Flow(kAlways, {Pace(4)}));
        chara.m_vFlow.push_back(Flow(kAlways, {Wait(20), Shoot(2, 30, 24, true)}));
        break;
    case CharaGhost:   // circles, calls a bat every five seconds and vanishes to reappear behind
        chara.m_vFlow.push_back(Flow(kAlways, {Circle()}));
        chara.m_vFlow.push_back(Flow(kAlways, {Wait(50), Summon(PaletteBat, 60), EffectOnSelf(1), Warp(1, 8)}));
        break;
    default:
        if (chara.m_nFlying == 0)
            chara.m_vFlow.push_back(Flow(kAlways, {Pace(8)}));
        else
            chara.m_vFlow.push_back(Flow(kAlways, {Circle()}));
        break;
    }
}

cEdChara DemoCloudPlatform()
{
    cEdChara c;
    c.SetDefaults();
    c.m_strName = "動く雲";
    c.m_nGraphicKind = 0;   // drawn from the block sheet
    c.m_nGraphicIndex = BlockCloud;
    c.m_nController = 1;
    c.m_nHitGroup = 2;
    c.m_nFlying = 1;
    c.m_nInvincible = 2;    // shots pass through it
    c.m_bCellBox = 1;       // a solid body to stand on
    c.m_nPower = 0;
    c.m_nScore = 0;
    c.m_nCarriedItem = -1;
    c.m_vFlow.push_back(Flow(kAlways, {Move(3, 10, 20), Move(2, 10, 20)}));
    return c;
}

void AddDemoItemCommands(cEdItem& item, bool bGoal)
{
    item.m_vCommand.clear();
    if (bGoal) {
        cEdCommand clear = ItemCommand(2, 9);   // "ステージクリア"
        item.m_vCommand.push_back(clear);
        return;
    }
    switch (item.m_nGraphicIndex) {
    case ItemAcorn: item.m_vCommand.push_back(AddSystemValue(3, 100)); break;
    case ItemFruit: item.m_vCommand.push_back(AddSystemValue(3, 300)); break;
    case ItemGem: item.m_vCommand.push_back(AddSystemValue(3, 1000)); break;
    case ItemLife: item.m_vCommand.push_back(AddSystemValue(4, 1)); break;
    case ItemStar:
        item.m_nSound = SoundPowerUp;
        item.m_vCommand.push_back(AddSystemValue(3, 500));
        item.m_vCommand.push_back(Flash(255, 255, 160));
        item.m_vCommand.push_back(ShowPicture(1, 10));
        break;
    default: break;
    }
}
