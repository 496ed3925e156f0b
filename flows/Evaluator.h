#pragma once
// The expression evaluator of the "コードの実行" command.
#include <cstdint>
#include <string>

class cCharaBase;

struct EvalToken {
    int32_t m_nKind = 0;        // 0 literal, 1 variable, 2 status, 3 system value, 4 operator
    int32_t m_nValue = 0;
    void* m_lpTarget = nullptr; // where "=" writes
    int32_t m_nWidth = 4;       // bytes: 1, 2 or 4
    int32_t m_nMin = -999999;
    int32_t m_nMax = 999999;
    int32_t m_nNumber = 0;
    cCharaBase* m_lpObject = nullptr;
};

// Defined in Evaluator.cpp.
// 1 on success, 0 on error.
int32_t EvaluateCode(const std::string& strText, cCharaBase* lpObject);
int32_t ReduceParentheses(std::string strText, cCharaBase* lpObject);
int32_t EvaluateTokens(const std::string& strText, cCharaBase* lpObject);
int32_t TruncateAtNul(std::string& str);
std::string SafeSubstr(const std::string& str, int32_t nStart, int32_t nLength);
