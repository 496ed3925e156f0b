// The item commands: each item kind runs the worker of its flow kind (item kind + 15), or the
// item-only "フローの変更".
#include "flows/ItemCommands.h"

#include "core/CheckedAccess.h"
#include "data/EdCommand.h"
#include "flows/EffectCommands.h"
#include "flows/FlowBuild.h"
#include "flows/FlowOpCommands.h"
#include "flows/MessageCommand.h"
#include "flows/MiscCommands.h"
#include "flows/ObjectCommands.h"
#include "flows/StatusOps.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

namespace {

int32_t ItemNothing(cCharaBase*, cEdCommand*)
{
    return 0;
}

int32_t ItemFlowChange(cCharaBase* lpChara, cEdCommand* lpCmd)
{
    FlowChangeCommand(lpChara, lpCmd, 0);
    return 0;
}

// A stage clear ends the item's command list.
int32_t ItemStageClear(cCharaBase* lpChara, cEdCommand* lpCmd)
{
    WorkStageClear(lpChara, lpCmd);
    return 1;
}

// Only the first message of an item's list is told that no item message was shown yet.
int32_t ItemMessage(cCharaBase* lpChara, cEdCommand* lpCmd)
{
    cPlayState* lpState = PlayState();
    const int32_t bShown = lpState != nullptr ? lpState->m_bItemMessageShown : 0;
    WorkMessage(lpChara, lpCmd, bShown);
    if (lpState != nullptr) lpState->m_bItemMessageShown = 1;
    return 0;
}

// The other workers' results do not stop an item's list.
template <int32_t (*Worker)(cCharaBase*, cEdCommand*)>
int32_t ItemWorker(cCharaBase* lpChara, cEdCommand* lpCmd)
{
    Worker(lpChara, lpCmd);
    return 0;
}

}   // namespace

const ItemCommandHandler ItemCommandHandlerTable[25] = {
    ItemNothing,                          // 0
    ItemFlowChange,                       // 1 "フローの変更"
    ItemStageClear,                       // 2 "ステージクリア"
    ItemWorker<WorkGameWait>,             // 3 "ゲームウエイト"
    ItemMessage,                          // 4 "メッセージ"
    ItemWorker<WorkWarp>,                 // 5 "ワープ"
    ItemWorker<WorkSetTarget>,            // 6 "ターゲットの設定"
    ItemWorker<StatusOperation>,          // 7 "ステータスの操作"
    ItemWorker<WorkStatusFlag>,           // 8 "ステータスの操作2"
    ItemWorker<WorkVanish>,               // 9 "消滅"
    ItemWorker<WorkTakeItem>,             // 10 "アイテムの取得"
    ItemWorker<WorkGraphicChange>,        // 11 "グラフィックの変更"
    ItemWorker<WorkBasicAnimeSet>,        // 12 "基本アニメセットの変更"
    ItemWorker<WorkPlayAnime>,            // 13 "アニメの実行"
    ItemWorker<WorkEffect>,               // 14 "エフェクトの実行"
    ItemWorker<WorkCharaEffect>,          // 15 "キャラエフェクトの実行"
    ItemWorker<WorkScreenEffect>,         // 16 "画面エフェクトの実行"
    ItemWorker<WorkPicture>,              // 17 "ピクチャーの表示"
    ItemWorker<WorkScreenColor>,          // 18 "画面の色を変更"
    ItemWorker<WorkBackground>,           // 19 "背景の変更"
    ItemWorker<WorkSound>,                // 20 "効果音の再生"
    ItemWorker<WorkBgm>,                  // 21 "BGMの再生"
    ItemWorker<WorkCode>,                 // 22 "コードの実行"
    ItemWorker<WorkArrange>,              // 23 "アレンジ"
    ItemNothing,                          // 24 "ループ": expanded when the item is set up
};

int32_t RunItemCommand(cCharaBase* lpChara, cEdCommand* lpCmd)
{
    if (lpCmd == nullptr) return 0;
    const int32_t nKind = lpCmd->m_nKind;
    // A kind from a damaged record runs nothing rather than a wild entry.
    if (nKind < 0 || nKind >= 25) {
        ReportBadIndex("err V[%d] ( %d , %d )", nKind, 25, static_cast<int32_t>(sizeof(ItemCommandHandler)));
        return 0;
    }
    return ItemCommandHandlerTable[nKind](lpChara, lpCmd);
}

int32_t FlowChangeCommand(cCharaBase* lpChara, cEdCommand* lpCmd, int32_t bDeferred)
{
    if (lpChara == nullptr || lpCmd == nullptr) return 0;
    // While player 1's own flows run, its flow list may not change under them: the change waits
    // until the hero's flow run has stepped them.
    const cPlayState* lpState = PlayState();
    if (bDeferred == 0 && !Player.empty() && lpState != nullptr &&
        lpState->m_lpCurObj == static_cast<cGameObject*>(&Player[0])) {
        Player[0].m_vItemCmdQueue.push_back(*lpCmd);
        return 0;
    }
    const int32_t nChange = CheckedAt(lpCmd->m_vParam, 0);
    const int32_t nGroup = CheckedAt(lpCmd->m_vParam, 1);
    switch (nChange) {
    case 0:
        BuildFlowInstances(lpChara, lpCmd->m_vFlow, 1, -1);
        break;
    case 1: {
        const int32_t nPosition = DeleteFlowsByGroup(lpChara, nGroup);
        BuildFlowInstances(lpChara, lpCmd->m_vFlow, 1, nPosition);
        break;
    }
    case 2:
        DeleteFlowsByGroup(lpChara, nGroup);
        break;
    default:
        break;
    }
    return 0;
}
