#pragma once
// The running state of a screen effect and its two tables (normal and reversed running).
#include <cstdint>
#include <vector>

#include "data/EdCharaEffect.h"

class cScreenEffect {
public:
    int16_t m_nScrEffect = 0;     // effect number, 0 none
    // The record the state was set up from, as its index and list (0 the database list, 1 the
    // reversed work copy) rather than a pointer, so that a copied state never points into a list
    // that has changed since.
    int32_t m_nRecord = 0;
    int8_t m_nVariant = 0;
    int32_t m_nRunMode = 0;
    int32_t m_bRepeat = 0;
    int32_t m_bReversedNow = 0;
    int32_t m_nDrawCount = 0;
    double m_dValue = 0.0;
    double m_dValue2 = 0.0;
    double m_dSpeed = 0.0;
    int32_t m_nInt1 = 0;          // start X of a move, shake direction or wave phase
    int32_t m_nInt2 = 0;          // start Y of a move or blink state
    int32_t m_bTimerMode = 0;
    double m_dTimer = 0.0;
    int32_t m_nTime = 0;          // tenths of a second

    const cEdScrEffect& GetRecord() const;

    void Setup(int32_t index, int32_t variant);
    void Start(int32_t number, int32_t runMode, int32_t repeat);
};

extern std::vector<cScreenEffect> g_ScreenEffectTable;
extern std::vector<cScreenEffect> g_ScreenEffectTableReversed;

void BuildScreenEffectTables(std::vector<cScreenEffect>& normal,
                             std::vector<cScreenEffect>& reversed);
