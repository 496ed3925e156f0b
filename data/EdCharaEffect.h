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
