#include "flows/CharaEffect.h"

#include <cmath>
#include <utility>

#include "core/CheckedAccess.h"
#include "data/EdDatabase.h"

std::vector<cCharaEffect> g_CharaEffectTable;
std::vector<cCharaEffect> g_CharaEffectTableReversed;

namespace {

constexpr int32_t CharaEffectBlink = 6;
constexpr int32_t CharaEffectTranslucent = 14;

// Frames over which a value moves. The editor keeps the time at 1 or more, but a damaged list can
// hold 0 or a negative time; one frame then keeps the speed finite and pointing the right way.
double MoveFrames(int32_t time)
{
    const int64_t frames = static_cast<int64_t>(time) * 6;
    return frames > 0 ? static_cast<double>(frames) : 1.0;
}

}  // namespace

const cEdCharaEffect& cCharaEffect::GetRecord() const
{
    if (m_nVariant == 1) return CheckedAt(g_CharaEffectWork, m_nRecord);
    return CheckedAt(g_Database.m_vCharaEffect, m_nRecord);
}

void cCharaEffect::Setup(int32_t index, int32_t variant)
{
    m_nCharaEffect = static_cast<int16_t>(index);
    m_nRecord = index;
    m_nVariant = static_cast<int8_t>(variant == 1 ? 1 : 0);
    cEdCharaEffect& record = m_nVariant == 1 ? CheckedAt(g_CharaEffectWork, index)
                                              : CheckedAt(g_Database.m_vCharaEffect, index);
    const int32_t kind = record.m_nKind;
    if (kind < 1 || kind > 16) return;
    m_nTime = record.m_anParam[0];

    if (kind == CharaEffectBlink || kind == CharaEffectTranslucent) {
        m_nStart = 0;
        m_nEnd = m_nTime;
        m_dValue = 0.0;
        m_dSpeed = 1.0 / 6.0;
        m_nPhase = 0;
        m_nToggle = 0;
    } else {
        // Reversed running swaps start and end in the work copy, never in the database list.
        if (m_nVariant == 1) std::swap(record.m_anParam[1], record.m_anParam[2]);
        m_nStart = record.m_anParam[1];
        m_nEnd = record.m_anParam[2];
        m_dValue = m_nStart;
        m_dSpeed = std::fabs(static_cast<double>(m_nEnd) - m_nStart) / MoveFrames(m_nTime);
        if (kind == 4 || kind == 5) m_nPhase = 0;
    }
    if (m_nStart == m_nEnd) {
        m_dSpeed = 1.0 / 6.0;
        m_dTimer = 0.0;
    }
}

void cCharaEffect::Start(int32_t number, int32_t runMode, int32_t repeat)
{
    const cCharaEffect& entry = runMode == 1 ? CheckedAt(g_CharaEffectTableReversed, number)
                                             : CheckedAt(g_CharaEffectTable, number);
    if (&entry != this) *this = entry;
    m_nCharaEffect = static_cast<int16_t>(number);
    m_nRunMode = runMode;
    m_bRepeat = repeat;
    m_bReversedNow = runMode == 1 ? 1 : 0;
    m_nDrawCount = 0;
}

void BuildCharaEffectTables(std::vector<cCharaEffect>& normal, std::vector<cCharaEffect>& reversed)
{
    const size_t count = g_Database.m_vCharaEffect.size();
    normal.assign(count, cCharaEffect{});
    reversed.assign(count, cCharaEffect{});
    for (size_t i = 0; i < count; ++i) {
        normal[i].Setup(static_cast<int32_t>(i), 0);
        reversed[i].Setup(static_cast<int32_t>(i), 1);
    }
}
