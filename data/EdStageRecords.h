#pragma once
// The small records of a stage: a scroll range (which objects count as out of the view), a
// background layer and a text, with the vector copies that refill the working stage.
#include <cstdint>
#include <string>
#include <vector>

#include "data/FieldListRecord.h"

// A scroll range: on each side whose check is on, an object wholly beyond that side of the view by
// at least the margin (in blocks) is out of range.
class cEdStageSetting : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdStageSetting)
    cEdStageSetting();
    cEdStageSetting(const cEdStageSetting& source);
    cEdStageSetting& operator=(const cEdStageSetting& source);
    void RegisterFields(uint32_t nVersion) override;

    void Set(int32_t bLeft, int32_t bRight, int32_t bTop, int32_t bBottom, int32_t nLeft, int32_t nRight,
             int32_t nTop, int32_t nBottom);

    int32_t m_bCheckLeft = 0;
    int32_t m_bCheckRight = 0;    // stored from version 125
    int32_t m_bCheckTop = 0;      // stored from version 125
    int32_t m_bCheckBottom = 0;   // stored from version 125
    int32_t m_nMarginLeft = 0;
    int32_t m_nMarginRight = 0;
    int32_t m_nMarginTop = 0;
    int32_t m_nMarginBottom = 0;
};

// A background layer: a bitmap scrolled against the view (or by itself), or a colour fill.
// Every member is listed, so CopyFields copies it whole.
class cEdStageBackground : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdStageBackground)
    cEdStageBackground();
    void RegisterFields(uint32_t nVersion) override;
    void SetDefaults();

    int32_t m_bShown = 0;
    int32_t m_bColorFill = 0;
    int32_t m_nFillColor = 0;
    int32_t m_nLayer = 0;         // the drawing pass that draws the layer
    double m_dFactorX = 0.0;      // scroll factor against the view, or speed when scrolling itself
    double m_dFactorY = 0.0;
    int32_t m_bAutoScrollX = 0;
    int32_t m_bAutoScrollY = 0;
    std::string m_strFile;
    double m_dOffsetX = 0.0;      // auto-scroll positions
    double m_dOffsetY = 0.0;
};

class cEdStageText : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdStageText)
    cEdStageText();
    void RegisterFields(uint32_t nVersion) override;

    std::string m_strText;
};

// target := source; backgrounds are copied element by element with CopyFields.
void CopyStageBackgrounds(std::vector<cEdStageBackground>& target, const std::vector<cEdStageBackground>& source);
void CopyStageTexts(std::vector<cEdStageText>& target, const std::vector<cEdStageText>& source);
