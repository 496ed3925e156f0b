#pragma once
// A character definition: the hero or a computer character, as a palette entry or placed in a
// stage, with its appearance conditions and its flows. Character objects copy it and read it.
#include <cstdint>
#include <string>
#include <vector>

#include "data/EdCondition.h"
#include "data/EdCommand.h"
#include "data/EdFlow.h"
#include "data/FieldListRecord.h"

constexpr size_t kCharaInheritGroups = 37;

class cEdChara : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdChara)
    cEdChara();
    cEdChara(const cEdChara& source);
    cEdChara& operator=(const cEdChara& source);

    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    void SetDefaults();
    void Validate();
    // Checks the palette references of the shots of every flow.
    void ValidateFlowRefs();
    void ApplyInheritance();

    // Offsets in pixels of copy i of a placement: i × step + base, negated when nFacing is 1 and
    // the axis's mirror switch is set.
    double StepValue1(int32_t nCopy, int32_t nFacing) const;
    double StepValue2(int32_t nCopy, int32_t nFacing) const;

    int16_t m_nX = 0;
    int16_t m_nY = 0;
    int32_t m_nCarriedItem = 0;     // placed item carried by a placed character, -1 none
    int8_t m_nInheritFrom = 0;
    int16_t m_nParent = 0;
    std::vector<int8_t> m_vInherit;
    std::string m_strName;
    std::vector<cEdCondition> m_vCondition;
    int8_t m_nCondMode = 0;
    int8_t m_bCondOnce = 0;
    int8_t m_nStartDir = 0;         // 0 left, 1 right
    int8_t m_nRepeat = 0;           // extra copies
    int16_t m_nRepeatX0 = 0;
    int16_t m_nRepeatDX = 0;
    int16_t m_nRepeatY0 = 0;
    int16_t m_nRepeatDY = 0;
    int8_t m_bRepeatMirrorX = 0;
    int8_t m_bRepeatMirrorY = 0;
    int16_t m_nGraphicIndex = 0;    // 0 = no character
    int8_t m_nGraphicKind = 1;
    int16_t m_nGraphicSub = 0;
    int16_t m_nAnimeSet = 0;
    int8_t m_nZ = 3;
    int8_t m_bTransparent = 0;
    int16_t m_nStartEffect = 0;
    int8_t m_nStartEffectA = 0;     // from 196
    uint8_t m_nStartEffectB = 1;
    int16_t m_nDefeatEffect = 0;
    int8_t m_nDefeatEffectA = 0;    // from 196
    int8_t m_bBadgeOff = 0;
    int16_t m_nBadge = 0;
    int8_t m_nController = 1;       // 0 player, 1 computer
    int8_t m_nPlayerNo = 0;
    int8_t m_nHitGroup = 1;
    int8_t m_nCid = 0;
    int8_t m_nFlying = 0;
    int8_t m_bFixedDir = 1;
    int8_t m_nInvincible = 0;
    int8_t m_nInvincibleSub = 0;    // from 285
    int8_t m_bCellBox = 0;
    int8_t m_nGiant = 1;
    int8_t m_bScrollSync = 0;       // from 210
    int8_t m_nSightMode = 0;
    int8_t m_nSight = 0;
    int32_t m_nMaxHP = 10;
    int32_t m_nMaxSP = 0;
    int16_t m_nStop = 10;
    int8_t m_nHitRange = 0;         // from 201
    int32_t m_nPower = 0;
    int8_t m_nImp = 0;
    int16_t m_nHitEffect = 0;
    int32_t m_nDef = 0;             // from 168
    int8_t m_nImpDef = 0;
    int32_t m_nScore = 0;
    int8_t m_bOptionB = 1;
    int8_t m_bSetFlowSwitch = 0;
    int16_t m_nFlowSwitch = 0;
    int8_t m_nActiveRange = 0;
    int8_t m_bKeepActive = 0;
    std::vector<cEdFlow> m_vFlow;
};
