#include "data/ShotOptionTables.h"

const char* const ShotFormationNames[kShotFormationCount + 1] = {
    "直進A", "直進B", "拡散", "落雷", "爆発", "包囲", "",
};

const char* const ShotMoveKindNames[kShotMoveKindCount + 1] = {
    "直進",
    "主人公を狙う",
    "近いキャラを狙う",
    "ターゲットを狙う",
    "主人公へ誘導",
    "近いキャラへ誘導（対象死亡時、誘導を無効化）",
    "ターゲットへ誘導",
    "近いキャラへ誘導（対象死亡時、対象を変更）",
    "ウェーブ",
    "落下",
    "",
};

namespace {

constexpr EffectParamDesc kUnused = {"", 0, 0, 0};

}  // namespace

const EffectParamDesc ShotFormationParamTable[kShotFormationCount * 3] = {
    {"間隔(hbl)", 0, 40, 0}, kUnused, kUnused,
    {"間隔(hbl)", 0, 40, 0}, kUnused, kUnused,
    {"角度", 0, 180, 30}, kUnused, kUnused,
    {"間隔(hbl)", 0, 40, 0}, {"列の数", 1, 50, 1}, {"列の間隔(hbl)", 0, 40, 0},
    kUnused, kUnused, kUnused,
    {"距離(hbl)", 0, 40, 6}, kUnused, kUnused,
};

const EffectParamDesc ShotMoveParamTable[kShotMoveKindCount * 3] = {
    kUnused, kUnused, kUnused,
    {"軌道変更(hbl)", 0, 40, 0}, kUnused, kUnused,
    {"軌道変更(hbl)", 0, 40, 0}, {"対象勢力", 0, 7, 0}, kUnused,
    {"軌道変更(hbl)", 0, 40, 0}, kUnused, kUnused,
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, kUnused,
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, {"対象勢力", 0, 7, 0},
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, kUnused,
    {"誘導開始(hbl)", 0, 40, 0}, {"誘導終了(hbl)", 0, 999, 999}, {"対象勢力", 0, 7, 0},
    {"波の最大(hbl)", 0, 100, 4}, {"波の速度", 0, 100, 4}, {"開始角度", 0, 359, 0},
    {"軌道変更(hbl)", 0, 40, 0}, kUnused, kUnused,
};

const EffectParamDesc& ShotFormationParam(int32_t nFormation, int32_t i)
{
    if (nFormation < 0 || nFormation >= kShotFormationCount || i < 0 || i >= 3) return kUnused;
    return ShotFormationParamTable[nFormation * 3 + i];
}

const EffectParamDesc& ShotMoveParam(int32_t nMoveKind, int32_t i)
{
    if (nMoveKind < 0 || nMoveKind >= kShotMoveKindCount || i < 0 || i >= 3) return kUnused;
    return ShotMoveParamTable[nMoveKind * 3 + i];
}
