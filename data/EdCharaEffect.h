#pragma once
// Character effects and screen effects of the database: a kind of distortion and its five
// parameters (parameter 0 is the running time in tenths of a second, 1 and 2 as a rule the start
// and end values). Kind 0 is no effect.
#include <cstdint>
#include <string>

#include "data/FieldListRecord.h"

// The shared members and field list of both effect records.
class cEdEffectKindRecord : public cFieldListRecord {
public:
    void RegisterFields(uint32_t nVersion) override;
    bool Save(FILE* fp) override { return SaveAfterNoOp(fp); }

    std::string m_strName;
    int32_t m_nKind = 1;
    int32_t m_anParam[5] = {};

protected:
    cEdEffectKindRecord();
};

class cEdCharaEffect : public cEdEffectKindRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdCharaEffect)
    cEdCharaEffect() = default;
    bool Load(FILE* fp) override;
};

class cEdScrEffect : public cEdEffectKindRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdScrEffect)
    cEdScrEffect() = default;
    bool Load(FILE* fp) override;
};

// The roughness parameters that version 511 added, with the defaults that the effects' parameter
// tables give them; files written before it get these values.
constexpr int32_t CharaWaveRoughnessDefault = 2;     // kinds 4 and 5, parameter 4
constexpr int32_t CharaCircleRoughnessDefault = 2;   // kind 10, parameter 3
constexpr int32_t ScrWaveXRoughnessDefault = 8;      // kind 6, parameter 4
constexpr int32_t ScrWaveYRoughnessDefault = 10;     // kind 7, parameter 4
constexpr int32_t ScrCircleRoughnessDefault = 8;     // kind 10, parameter 3
