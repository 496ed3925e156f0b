#pragma once
// The running state of a character effect and the two tables of ready-made states that starting
// an effect copies from: one set up for normal running, one for reversed running.
#include <cstdint>
#include <vector>

#include "data/EdCharaEffect.h"

class cCharaEffect {
public:
    int16_t m_nCharaEffect = 0;   // effect number, 0 none
    // The record the state was set up from, as its index and list (0 the database list, 1 the
    // reversed work copy) rather than a pointer, so that a copied state never points into a list
    // that has changed since.
    int32_t m_nRecord = 0;
    int8_t m_nVariant = 0;
    int32_t m_nRunMode = 0;       // 0 normal, 1 reversed, 2 back and forth
    int32_t m_bRepeat = 0;
    int32_t m_bReversedNow = 0;
    int32_t m_nDrawCount = 0;
    int32_t m_nStart = 0;
    int32_t m_nEnd = 0;
    double m_dValue = 0.0;
    double m_dSpeed = 0.0;
    double m_dTimer = 0.0;
    int32_t m_nTime = 0;          // tenths of a second
    int32_t m_nPhase = 0;         // first extra int (wave phase)
    int32_t m_nToggle = 0;        // second extra int

    const cEdCharaEffect& GetRecord() const;

    void Setup(int32_t index, int32_t variant);
    void Start(int32_t number, int32_t runMode, int32_t repeat);
    // One drawn frame: 1 when the effect has finished. Restart begins the next run of a repeated
    // or back-and-forth effect. Defined in objects/CharaDraw.cpp, with the drawing that steps it.
    int32_t Step();
    void Restart();
};

extern std::vector<cCharaEffect> g_CharaEffectTable;
extern std::vector<cCharaEffect> g_CharaEffectTableReversed;

// Built once after the database has loaded and the work copy has been made.
void BuildCharaEffectTables(std::vector<cCharaEffect>& normal, std::vector<cCharaEffect>& reversed);
