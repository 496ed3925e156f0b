// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/Evaluator.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int32_t EvaluateCode(const std::string& strText, cCharaBase* lpObject)
{ return {}; }

int32_t ReduceParentheses(std::string strText, cCharaBase* lpObject)
{ return {}; }

int32_t EvaluateTokens(const std::string& strText, cCharaBase* lpObject)
{ return {}; }

int32_t TruncateAtNul(std::string& str)
{ return {}; }

std::string SafeSubstr(const std::string& str, int32_t nStart, int32_t nLength)
{ return {}; }
