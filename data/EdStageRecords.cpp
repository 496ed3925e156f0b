#include "data/EdStageRecords.h"

#include "data/RecordStream.h"

// ---- scroll range ----

cEdStageSetting::cEdStageSetting()
{
    RegisterFields(kCurrentDataVersion);
}

cEdStageSetting::cEdStageSetting(const cEdStageSetting& source) : cFieldListRecord(source)
{
    *this = source;
}

cEdStageSetting& cEdStageSetting::operator=(const cEdStageSetting& source)
{
    if (this == &source) return *this;
    cFieldListRecord::operator=(source);
    Set(source.m_bCheckLeft, source.m_bCheckRight, source.m_bCheckTop, source.m_bCheckBottom,
        source.m_nMarginLeft, source.m_nMarginRight, source.m_nMarginTop, source.m_nMarginBottom);
    return *this;
}

void cEdStageSetting::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddInt32Field(&m_bCheckLeft);
    if (nVersion >= 125) {
        AddInt32Field(&m_bCheckRight);
        AddInt32Field(&m_bCheckTop);
        AddInt32Field(&m_bCheckBottom);
    }
    AddInt32Field(&m_nMarginLeft);
    AddInt32Field(&m_nMarginRight);
    AddInt32Field(&m_nMarginTop);
    AddInt32Field(&m_nMarginBottom);
}

void cEdStageSetting::Set(int32_t bLeft, int32_t bRight, int32_t bTop, int32_t bBottom, int32_t nLeft,
                          int32_t nRight, int32_t nTop, int32_t nBottom)
{
    m_bCheckLeft = bLeft;
    m_bCheckRight = bRight;
    m_bCheckTop = bTop;
    m_bCheckBottom = bBottom;
    m_nMarginLeft = nLeft;
    m_nMarginRight = nRight;
    m_nMarginTop = nTop;
    m_nMarginBottom = nBottom;
}

// ---- background ----

cEdStageBackground::cEdStageBackground()
{
    RegisterFields(kCurrentDataVersion);
    SetDefaults();
}

void cEdStageBackground::RegisterFields(uint32_t)
{
    ClearFields();
    AddInt32Field(&m_bShown);
    AddInt32Field(&m_bColorFill);
    AddInt32Field(&m_nFillColor);
    AddInt32Field(&m_nLayer);
    AddDoubleField(&m_dFactorX);
    AddDoubleField(&m_dFactorY);
    AddInt32Field(&m_bAutoScrollX);
    AddInt32Field(&m_bAutoScrollY);
    AddDoubleField(&m_dOffsetX);
    AddDoubleField(&m_dOffsetY);
    AddStringField(&m_strFile);
}

void cEdStageBackground::SetDefaults()
{
    ResetFields();
    m_bShown = 1;
    m_nFillColor = 16;
    m_dFactorX = 0.1;
    m_dFactorY = 0.1;
}

// ---- text ----

cEdStageText::cEdStageText()
{
    RegisterFields(kCurrentDataVersion);
}

void cEdStageText::RegisterFields(uint32_t)
{
    ClearFields();
    AddStringField(&m_strText);
}

// ---- vector copies ----

void CopyStageBackgrounds(std::vector<cEdStageBackground>& target, const std::vector<cEdStageBackground>& source)
{
    if (&target == &source) return;
    const cEdStageBackground defaultElement;
    if (target.size() < source.size()) target.resize(source.size(), defaultElement);
    else target.erase(target.begin() + static_cast<std::ptrdiff_t>(source.size()), target.end());
    for (size_t i = 0; i < source.size(); ++i)
        target[i].CopyFields(const_cast<cEdStageBackground&>(source[i]));
}

void CopyStageTexts(std::vector<cEdStageText>& target, const std::vector<cEdStageText>& source)
{
    CopyRecordVector(target, source, cEdStageText());
}
