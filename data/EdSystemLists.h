#pragma once
// The element records of the project settings' lists: status-bar entries, per-mode ranking
// settings, menu items and the named options that become the keys and defaults of "System.ini".
#include <cstdint>
#include <string>
#include <vector>

#include "data/FieldListRecord.h"

class cEdSystemStatus : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdSystemStatus)
    cEdSystemStatus();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override { return SaveAfterNoOp(fp); }

    int32_t m_bShow = 0;
    int32_t m_bIcon = 0;            // labelled by its 16 × 16 icon instead of its name
    std::string m_strName;
    int32_t m_bGaugeValue = 0;      // gauge entries: the number is drawn over the gauge
    int32_t m_nDigits = 0;
    int32_t m_nThreshold = 0;       // the low mark of the value
    int32_t m_bThresholdPercent = 0;
};

class cEdRankingSetting : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdRankingSetting)
    cEdRankingSetting();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;

    int32_t m_bEnabled = 0;
    // One flag per ranking kind: score, time left, clear time, HP left, SP left.
    std::vector<int8_t> m_vKind;
};

class cEdSystemText : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdSystemText)
    cEdSystemText();
    void RegisterFields(uint32_t nVersion) override;

    int32_t m_bEnabled = 1;   // the menu lists the item
    std::string m_strText;
};

class cEdSystemOption : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdSystemOption)
    cEdSystemOption();
    void RegisterFields(uint32_t nVersion) override;

    // A number option keeps the text it held, and a text option its number.
    void SetNumber(const std::string& name, int32_t nValue);
    void SetText(const std::string& name, const std::string& text);

    int32_t m_nKind = 0;       // 0 number, 1 text
    std::string m_strName;     // the key in "System.ini"
    int32_t m_nValue = 0;
    std::string m_strValue;
};
