#pragma once
// The settings of a launching command (shot, sword, block, character and item summons), held by
// the command through a shared pointer; a shot object keeps its own copy.
#include <cstdint>

#include "data/FieldListRecord.h"

class cEdShot : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdShot)
    cEdShot();

    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;
    void SetDefaults();
    // Size at least 1; an Effect index outside the Effect list becomes 0.
    void Validate();

    // Launch offsets of clone i: base + i × per-clone step, negated when nFacing is 1 and the
    // axis's mirror flag is set.
    double StepValue1(int32_t nClone, int32_t nFacing) const;
    double StepValue2(int32_t nClone, int32_t nFacing) const;

    // In file order, except that the range flag is declared before the range and the summon
    // source after the two settings stored before it. m_nSettingNN: a setting of the command
    // that the player stores and copies; its meaning belongs to the command handlers.
    int8_t m_nCount = 0;                  // "発射数"; for summons "数"
    int8_t m_nFormation = 0;              // 0..5, the formation list
    int16_t m_nFormationValue[3] = {};    // "フォーメーション固有1" to "3"
    int8_t m_nTargetChoice = 0;           // from 671
    int8_t m_nDirectionMode = 0;          // launch direction mode
    int8_t m_bAim = 0;
    int16_t m_nAngle = 0;                 // "角度のズレ"
    int16_t m_nAngleStep = 0;             // "分身値による角度のズレ"
    int8_t m_bMirrorAngle = 1;            // from 158
    int16_t m_nSpread = 0;                // "分散角度"
    int8_t m_bRowRotate = 0;
    int8_t m_nClones = 0;                 // "発射数に対する分身数"
    int16_t m_nOffsetX = 0;               // "発射位置のズレX(dot)"
    int16_t m_nOffsetXStep = 0;           // "分身値による発射位置のズレX(dot)"
    int16_t m_nOffsetY = 0;               // "発射位置のズレY(dot)"
    int16_t m_nOffsetYStep = 0;           // "分身値による発射位置のズレY(dot)"
    int8_t m_bMirrorX = 1;
    int8_t m_bMirrorY = 0;
    int16_t m_nGraphic = 0;               // "グラフィック"
    int8_t m_nZ = 0;                      // "Z座標"
    int8_t m_bHidden = 0;
    int8_t m_bSameSide = 1;               // side taken from the shooter
    int8_t m_nSide = 0;                   // "勢力"
    int8_t m_nSetting23 = 0;
    int8_t m_nSize = 1;                   // units of 16 pixels, at least 1
    int8_t m_nSetting25 = 0;
    int8_t m_nMoveKind = 0;               // 0..9, the movement-kind list; a sword's sword type
    int16_t m_nMoveValue[3] = {};         // "移動タイプ固有1" to "3"
    int8_t m_bHoming = 0;                 // from 211
    int16_t m_nSpeed = 0;                 // "速度", × 0.1
    int16_t m_nSpeedStep = 0;             // "分身値による増加速度"
    int8_t m_bAccel = 0;                  // from 213
    int16_t m_nAccel = 0;                 // "加速度", from 213
    int16_t m_nAccelStep = 0;             // "分身値による増加加速度", from 213
    int8_t m_bRange = 0;
    int16_t m_nRange = 0;                 // "飛距離(hbl)"; a summon's life time "存在時間(1/10s)"
    int16_t m_nRangeStep = 0;             // "分身値による増加飛距離"
    int8_t m_bStopAtRange = 0;
    int8_t m_bLife = 0;
    int16_t m_nLife = 0;                  // "存在時間(1/10s)"
    int16_t m_nLifeStep = 0;              // "分身値よる増加存在時間"
    int8_t m_nBlockPass = 0;
    int8_t m_nBlockMode = 0;
    int8_t m_nSetting43 = 0;              // from 636
    int8_t m_nSetting44 = 0;
    int8_t m_nVanish = 0;                 // "消滅値"
    int32_t m_nPower = 0;                 // "威力"
    int16_t m_nSetting47 = 0;
    int8_t m_nImpact = 0;                 // "衝撃"
    int16_t m_nEffect = 0;                // Effect list index, 0 none
    int8_t m_nItemPalette = 0;            // item a shot or sword leaves: 0 none, 1 common, 2 stage
    int16_t m_nItemIndex = 0;
    int8_t m_nSetting52 = 0;
    int8_t m_nSetting53 = 0;
    int8_t m_nSetting54 = 0;              // from 197
    int8_t m_nSummonPalette = 0;          // summoned definition: 0 common, 1 stage
    int16_t m_nSummonIndex = 0;
    int8_t m_nSetting57 = 0;
    int8_t m_nSetting58 = 0;
    int8_t m_nSetting59 = 0;
};
