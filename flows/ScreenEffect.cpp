#include "flows/ScreenEffect.h"

#include <cmath>
#include <utility>

#include "core/CheckedAccess.h"
#include "data/EdDatabase.h"

std::vector<cScreenEffect> g_ScreenEffectTable;
std::vector<cScreenEffect> g_ScreenEffectTableReversed;

namespace {

double MoveFrames(int32_t time)
{
    const int64_t frames = static_cast<int64_t>(time) * 6;
    return frames > 0 ? static_cast<double>(frames) : 1.0;
}

}  // namespace

const cEdScrEffect& cScreenEffect::GetRecord() const
{
    if (m_nVariant == 1) return CheckedAt(g_ScrEffectWork, m_nRecord);
    return CheckedAt(g_Database.m_vScrEffect, m_nRecord);
}

void cScreenEffect::Setup(int32_t index, int32_t variant)
{
    m_nScrEffect = static_cast<int16_t>(index);
    m_nRecord = index;
    m_nVariant = static_cast<int8_t>(variant == 1 ? 1 : 0);
    cEdScrEffect& record = m_nVariant == 1 ? CheckedAt(g_ScrEffectWork, index)
                                            : CheckedAt(g_Database.m_vScrEffect, index);
    int32_t* param = record.m_anParam;
    const bool reversed = m_nVariant == 1;
    const int32_t kind = record.m_nKind;
    if (kind < 1 || kind > 13) return;
    m_nTime = param[0];

    switch (kind) {
    case 1:   // move: both coordinate pairs change places when reversed
        if (reversed) {
            std::swap(param[1], param[3]);
            std::swap(param[2], param[4]);
        }
        m_dValue = 0.0;
        m_dSpeed = 1.0 / 6.0;
        m_nInt1 = param[1];
        m_nInt2 = param[2];
        break;
    case 2:
    case 3:   // shakes
        m_dValue = 0.0;
        m_dValue2 = 0.0;
        m_dSpeed = 1.0 / 6.0;
        m_nInt1 = 0;
        break;
    case 8:   // blink
        m_dValue = 0.0;
        m_dSpeed = 1.0 / 6.0;
        m_nInt1 = 0;
        m_nInt2 = 0;
        break;
    default:  // 4 to 7 and 9 to 13 run a value from parameter 1 to parameter 2
        if (reversed) std::swap(param[1], param[2]);
        m_dValue = param[1];
        m_dSpeed = std::fabs(static_cast<double>(param[2]) - param[1]) / MoveFrames(m_nTime);
        if (kind == 6 || kind == 7) m_nInt1 = 0;
        if (param[1] == param[2]) {
            m_bTimerMode = 1;
            m_dSpeed = 1.0 / 6.0;
            m_dTimer = 0.0;
            m_nTime = param[0];
        }
        break;
    }
}

void cScreenEffect::Start(int32_t number, int32_t runMode, int32_t repeat)
{
    const cScreenEffect& entry = runMode == 1 ? CheckedAt(g_ScreenEffectTableReversed, number)
                                              : CheckedAt(g_ScreenEffectTable, number);
    if (&entry != this) *this = entry;
    m_nScrEffect = static_cast<int16_t>(number);
    m_nRunMode = runMode;
    m_bRepeat = repeat;
    m_bReversedNow = runMode == 1 ? 1 : 0;
    m_nDrawCount = 0;
}

void BuildScreenEffectTables(std::vector<cScreenEffect>& normal,
                             std::vector<cScreenEffect>& reversed)
{
    const size_t count = g_Database.m_vScrEffect.size();
    normal.assign(count, cScreenEffect{});
    reversed.assign(count, cScreenEffect{});
    for (size_t i = 0; i < count; ++i) {
        normal[i].Setup(static_cast<int32_t>(i), 0);
        reversed[i].Setup(static_cast<int32_t>(i), 1);
    }
}
