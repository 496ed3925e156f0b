#pragma once
// The bindable parameters of each flow command kind: display name with unit and legal range.
// A parameter binding clamps the value it writes into this range.
#include <cstdint>
#include <string>
#include <vector>

struct CommandParamDesc {
    std::string m_strName;
    int32_t m_nMin = 0;
    int32_t m_nMax = 0;
    void Set(const char* lpName, int32_t nMin, int32_t nMax);
};

// 40 lists, indexed by flow command kind; empty for the kinds without bindable parameters.
extern std::vector<std::vector<CommandParamDesc>> CommandParamTable;

// Fills CommandParamTable; start-up calls it once, right after the data format version is set.
void BuildCommandParamTable();
