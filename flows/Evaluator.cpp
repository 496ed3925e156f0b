// The expression evaluator of "コードの実行": integers, common and stage variables, the statuses
// of a character through "my", "tg" and "pl", the system values, + - * / % =, parentheses and
// rand. ReduceParentheses replaces every group and every call by the decimal text of its value;
// EvaluateTokens evaluates what is left, one precedence level after the other, from the left.
//
// Arithmetic wraps at 32 bits on purpose (it is done unsigned, so it is defined), and INT_MIN / -1
// wraps too instead of trapping. Groups nest by recursion, which a depth cap keeps far from the
// end of any thread's stack however many parentheses a line holds.
#include "flows/Evaluator.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "core/Random.h"
#include "data/EdStage.h"
#include "frontend/SaveData.h"
#include "objects/CharaBase.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"
#include "stage/Player.h"
#include "stage/StageLayers.h"

namespace {

constexpr size_t kTextLimit = 5119;      // texts pass through 5,120-byte buffers
constexpr int32_t kDepthLimit = 200;     // nested groups and calls
constexpr int32_t kSightMaskSurface = 65;
constexpr int32_t kSightDiscSurface = 66;

const char* const kFunctions[] = {"rand", ""};
const char* const kOperators[] = {"=", "+", "-", "*", "/", "%", ""};
const int32_t kOperatorLevel[] = {2, 1, 1, 0, 0, 0};
const char* const kPrefixes[] = {"my", "tg", "pl", "sys", ""};
const char* const kStatusNames[] = {"v1",  "v2",    "v3",   "v4",    "v5",  "v6",  "v7",   "v8",
                                    "hp",  "sp",    "mhp",  "msp",   "cid", "z",   "mark", "sight",
                                    "power", "imp", "def",  "impd",  "stop", "getsc", ""};
const char* const kSystemNames[] = {"time", "scrlx", "scrly", "score", "life", ""};

// Set by any error of the evaluation in progress on this thread.
thread_local int32_t EvalError = 0;
thread_local int32_t EvalDepth = 0;

int32_t FindName(const char* const* lpTable, const std::string& name)
{
    for (int32_t i = 0; lpTable[i][0] != '\0'; ++i)
        if (name == lpTable[i]) return i;
    return -1;
}

int32_t Wrap32(int64_t n)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(n)));
}

// The leading decimal number of a text, with an optional sign; 0 without digits. Held within
// 32 bits whatever the number of digits.
int32_t LeadingNumber(const char* lpText)
{
    size_t i = 0;
    bool bNegative = false;
    if (lpText[i] == '-' || lpText[i] == '+') {
        bNegative = lpText[i] == '-';
        ++i;
    }
    int64_t n = 0;
    for (; lpText[i] >= '0' && lpText[i] <= '9'; ++i) {
        n = n * 10 + (lpText[i] - '0');
        if (n > 2147483648LL) n = 2147483648LL;
    }
    if (bNegative) n = -n;
    if (n > INT32_MAX) n = INT32_MAX;
    return static_cast<int32_t>(n);
}

std::string Limited(const std::string& str)
{
    return str.size() > kTextLimit ? str.substr(0, kTextLimit) : str;
}

int32_t ReadTarget(const EvalToken& t)
{
    if (t.m_lpTarget == nullptr) return t.m_nValue;
    switch (t.m_nWidth) {
    case 1: return *static_cast<int8_t*>(t.m_lpTarget);
    case 2: return *static_cast<int16_t*>(t.m_lpTarget);
    default: return *static_cast<int32_t*>(t.m_lpTarget);
    }
}

void WriteTarget(const EvalToken& t, int32_t n)
{
    switch (t.m_nWidth) {
    case 1: *static_cast<int8_t*>(t.m_lpTarget) = static_cast<int8_t>(n); break;
    case 2: *static_cast<int16_t*>(t.m_lpTarget) = static_cast<int16_t>(n); break;
    default: *static_cast<int32_t*>(t.m_lpTarget) = n; break;
    }
}

void SetTarget(EvalToken& t, void* lpTarget, int32_t nWidth, int32_t nMin, int32_t nMax)
{
    t.m_lpTarget = lpTarget;
    t.m_nWidth = nWidth;
    t.m_nMin = nMin;
    t.m_nMax = nMax;
    t.m_nValue = ReadTarget(t);
}

// Status n of object o as a token.
void MakeStatusToken(EvalToken& t, cCharaBase& o, int32_t n)
{
    cEdChara& d = o.m_Def;
    t.m_nKind = 2;
    t.m_nNumber = n;
    t.m_lpObject = &o;
    if (n <= 7) {
        SetTarget(t, &CheckedAt(o.m_vVar, n + 1), 4, -999999, 999999);
        return;
    }
    switch (n) {
    case 8: SetTarget(t, &o.m_nHP, 4, 0, d.m_nMaxHP); break;
    case 9: SetTarget(t, &o.m_nSP, 4, 0, d.m_nMaxSP); break;
    case 10: SetTarget(t, &d.m_nMaxHP, 4, 1, 999999); break;
    case 11: SetTarget(t, &d.m_nMaxSP, 4, 1, 999999); break;
    case 12: SetTarget(t, &d.m_nCid, 1, 0, 99); break;
    case 13: SetTarget(t, &d.m_nZ, 1, 0, 7); break;
    case 14: SetTarget(t, &d.m_nBadge, 2, 0, 119); break;
    case 15: SetTarget(t, &d.m_nSight, 1, 0, 40); break;
    case 16: SetTarget(t, &d.m_nPower, 4, -999999, 999999); break;
    case 17: SetTarget(t, &d.m_nImp, 1, -20, 20); break;
    case 18: SetTarget(t, &d.m_nDef, 4, 0, 999999); break;
    case 19: SetTarget(t, &d.m_nImpDef, 1, 0, 20); break;
    case 20: SetTarget(t, &d.m_nStop, 2, 0, 200); break;
    case 21: SetTarget(t, &d.m_nScore, 4, -999999, 999999); break;
    default:
        DebugErrorBoxF("ステータスの識別エラー（未定義？）");
        EvalError = 1;
        break;
    }
}

bool MakeSystemToken(EvalToken& t, int32_t n)
{
    t.m_nKind = 3;
    t.m_nNumber = n;
    cPlayState* lpState = PlayState();
    switch (n) {
    case 0:
        if (lpState == nullptr) {
            t.m_nValue = 0;
            return true;
        }
        SetTarget(t, &lpState->m_nTimeLeft, 4, 0, 999);
        return true;
    case 1: SetTarget(t, &g_Stage.m_nAutoScrollSpeedX, 4, -480, 480); return true;
    case 2: SetTarget(t, &g_Stage.m_nAutoScrollSpeedY, 4, -480, 480); return true;
    case 3: SetTarget(t, &g_SaveData.nScore, 4, 0, 999999); return true;
    case 4:
        // Infinite lives read 0 and can only be written back as infinite.
        if (g_SaveData.nLives == kInfiniteLives) {
            SetTarget(t, &g_SaveData.nLives, 4, kInfiniteLives, kInfiniteLives);
            t.m_nValue = 0;
        } else {
            SetTarget(t, &g_SaveData.nLives, 4, 0, 99);
        }
        return true;
    default: return false;
    }
}

// One finished token of the flat list; false when the evaluation fails.
bool MakeToken(const std::string& word, int32_t nPrefix, cCharaBase* lpObject, std::vector<EvalToken>& tokens)
{
    EvalToken t;
    const int32_t nOperator = FindName(kOperators, word);
    if (nOperator >= 0) {
        t.m_nKind = 4;
        t.m_nNumber = nOperator;
        tokens.push_back(t);
        return true;
    }
    cCharaBase* lpOwner = nullptr;
    switch (nPrefix) {
    case -1:
    case 0: lpOwner = lpObject; break;
    case 1:
        // A target that is not there ends the evaluation without a box.
        lpOwner = lpObject != nullptr ? lpObject->m_lpTarget : nullptr;
        if (lpOwner == nullptr) {
            EvalError = 1;
            return false;
        }
        break;
    case 2: lpOwner = &CheckedAt(Player, 0); break;
    case 3: lpOwner = nullptr; break;
    default:
        ErrorBoxF("オブジェクトの設定エラー!");
        EvalError = 1;
        return false;
    }

    if (!word.empty() && (word[0] == 'C' || word[0] == 'S')) {
        std::vector<int32_t>* lpVars = nullptr;
        if (word[0] == 'C') {
            lpVars = &g_SaveData.CommonVars;
        } else if (cPlayState* lpState = PlayState()) {
            lpVars = &lpState->m_vStageVar;
        }
        if (lpVars == nullptr) {
            DebugErrorBoxF("変数の識別エラー（未定義？）");
            EvalError = 1;
            return false;
        }
        t.m_nKind = 1;
        SetTarget(t, &CheckedAt(*lpVars, LeadingNumber(word.c_str() + 1)), 4, -999999, 999999);
        tokens.push_back(t);
        return true;
    }
    const int32_t nStatus = FindName(kStatusNames, word);
    if (nStatus >= 0) {
        // "sys." names no character: its statuses cannot be read or written.
        if (lpOwner == nullptr) {
            EvalError = 1;
            return false;
        }
        MakeStatusToken(t, *lpOwner, nStatus);
        if (EvalError != 0) return false;
        tokens.push_back(t);
        return true;
    }
    const int32_t nSystem = FindName(kSystemNames, word);
    if (nSystem >= 0 && MakeSystemToken(t, nSystem)) {
        tokens.push_back(t);
        return true;
    }
    t.m_nKind = 0;
    t.m_nValue = LeadingNumber(word.c_str());
    tokens.push_back(t);
    return true;
}

// The effects of "=" beyond the write itself.
void AfterAssignment(const EvalToken& left, cCharaBase* lpExecuting)
{
    cPlayState* lpState = PlayState();
    if (left.m_nKind == 2 && left.m_lpObject != nullptr) {
        cCharaBase& o = *left.m_lpObject;
        switch (left.m_nNumber) {
        case 8:
            if (&o != lpExecuting && o.m_nHP <= 0 && lpState != nullptr) lpState->m_bDeathPending = 1;
            break;
        case 10: {
            const int32_t nMax = o.m_Def.m_nMaxHP;
            if (o.m_nHP > nMax) o.m_nHP = nMax;
            if (o.m_nHP < 1) o.m_nHP = 1;
            break;
        }
        case 11: {
            const int32_t nMax = o.m_Def.m_nMaxSP;
            if (o.m_nSP > nMax) o.m_nSP = nMax;
            if (o.m_nSP < 1) o.m_nSP = 1;
            break;
        }
        case 15:
            if (o.m_nSide == 0) {
                o.m_nSightRadius = o.m_Def.m_nSight * 16;
                BuildSightMask(&SystemSurfaces[kSightMaskSurface], &SystemSurfaces[kSightDiscSurface]);
            }
            break;
        default: break;
        }
    } else if (left.m_nKind == 3 && lpState != nullptr) {
        if (left.m_nNumber == 1) lpState->m_ScrollX.SetSpeed(g_Stage.m_bAutoScrollX, g_Stage.m_nAutoScrollSpeedX);
        if (left.m_nNumber == 2) lpState->m_ScrollY.SetSpeed(g_Stage.m_bAutoScrollY, g_Stage.m_nAutoScrollSpeedY);
    }
}

// Finds the ")" that closes the "(" at nOpen; npos when the text ends first.
size_t MatchingClose(const std::string& str, size_t nOpen)
{
    int32_t nDepth = 0;
    for (size_t i = nOpen; i < str.size(); ++i) {
        if (str[i] == '(') ++nDepth;
        if (str[i] == ')' && --nDepth == 0) return i;
    }
    return std::string::npos;
}

std::string Spliced(const std::string& str, size_t nFrom, size_t nTo, int32_t nValue)
{
    char szValue[16];
    std::snprintf(szValue, sizeof(szValue), "%d", nValue);
    return Limited(str.substr(0, nFrom) + szValue + str.substr(nTo));
}

}  // namespace

int32_t EvaluateCode(const std::string& strText, cCharaBase* lpObject)
{
    EvalError = 0;
    EvalDepth = 0;
    const int32_t nHP = lpObject != nullptr ? lpObject->m_nHP : 0;
    const int32_t nSP = lpObject != nullptr ? lpObject->m_nSP : 0;
    std::string str = strText;
    TruncateAtNul(str);
    ReduceParentheses(str, lpObject);
    if (EvalError != 0) return 0;
    if (lpObject != nullptr) {
        if (lpObject->m_nHP != nHP) lpObject->ShowHPGauge(Wrap32(static_cast<int64_t>(lpObject->m_nHP) - nHP));
        if (lpObject->m_nSP != nSP) lpObject->ShowSPGauge(Wrap32(static_cast<int64_t>(lpObject->m_nSP) - nSP));
    }
    return 1;
}

int32_t ReduceParentheses(std::string strText, cCharaBase* lpObject)
{
    if (EvalDepth >= kDepthLimit) {
        WriteReportTrace("コードの括弧が深すぎます (%d)", EvalDepth);
        EvalError = 1;
        return 0;
    }
    struct DepthGuard {
        DepthGuard() { ++EvalDepth; }
        ~DepthGuard() { --EvalDepth; }
    } guard;

    std::string str = Limited(strText);
    size_t nPos = 0;
    size_t nWordStart = 0;
    while (nPos < str.size()) {
        const char ch = str[nPos];
        if (ch == ' ') {
            nWordStart = ++nPos;
            continue;
        }
        if (ch != '(') {
            ++nPos;
            continue;
        }
        if (nPos == nWordStart) {
            // A group: its value replaces it.
            const size_t nClose = MatchingClose(str, nPos);
            if (nClose == std::string::npos) {
                ErrorBoxF("\")\"が見つかりません！");
                EvalError = 1;
                return 0;
            }
            const int32_t nValue = ReduceParentheses(str.substr(nPos + 1, nClose - nPos - 1), lpObject);
            if (EvalError != 0) return 0;
            str = Spliced(str, nPos, nClose + 1, nValue);
            nPos = nWordStart;
            continue;
        }
        // A name before the "(": a call when, at one of the "(" met up to the first ")", the
        // name collected so far (without the "(") is a function.
        std::string name;
        size_t nCallOpen = std::string::npos;
        int32_t nFunction = -1;
        for (size_t k = nWordStart; k < str.size() && str[k] != ')'; ++k) {
            if (str[k] != '(') {
                name += str[k];
                continue;
            }
            nFunction = FindName(kFunctions, name);
            if (nFunction >= 0) {
                nCallOpen = k;
                break;
            }
        }
        if (nFunction < 0) {
            ++nPos;
            continue;
        }
        // The arguments, split at the commas outside nested groups; empty ones are dropped.
        std::vector<std::string> vArgs;
        std::string arg;
        int32_t nDepth = 0;
        size_t nCallClose = std::string::npos;
        for (size_t k = nCallOpen + 1; k < str.size(); ++k) {
            const char c = str[k];
            if (c == ')' && nDepth == 0) {
                nCallClose = k;
                break;
            }
            if (c == '(') ++nDepth;
            if (c == ')') --nDepth;
            if (c == ',' && nDepth == 0) {
                if (!arg.empty()) vArgs.push_back(arg);
                arg.clear();
                continue;
            }
            arg += c;
        }
        if (nCallClose == std::string::npos) {
            ErrorBoxF("関数 %s で\")\"が見つかりません！", name.c_str());
            EvalError = 1;
            return 0;
        }
        if (!arg.empty()) vArgs.push_back(arg);
        std::vector<int32_t> vValues;
        for (const std::string& a : vArgs) {
            vValues.push_back(ReduceParentheses(a, lpObject));
            if (EvalError != 0) return 0;
        }
        if (vValues.size() != 2) {
            ErrorBoxF("関数 %s の引数が不正です！", name.c_str());
            EvalError = 1;
            return 0;
        }
        const int32_t nValue = RandomBetween(vValues[0], vValues[1]);
        str = Spliced(str, nWordStart, nCallClose + 1, nValue);
        nPos = nWordStart;
    }
    return EvaluateTokens(str, lpObject);
}

int32_t EvaluateTokens(const std::string& strText, cCharaBase* lpObject)
{
    const std::string str = Limited(strText);
    std::vector<EvalToken> tokens;
    int32_t nResult = 0;

    std::string word;
    int32_t nPrefix = -1;
    auto finish = [&]() {
        if (word.empty() && nPrefix < 0) return true;
        const bool bOk = MakeToken(word, nPrefix, lpObject, tokens);
        if (bOk && tokens.back().m_nKind != 4) nResult = tokens.back().m_nValue;
        word.clear();
        nPrefix = -1;
        return bOk;
    };
    for (size_t i = 0; i <= str.size(); ++i) {
        const char ch = i < str.size() ? str[i] : ' ';
        if (ch == ' ') {
            if (!finish()) return 0;
            continue;
        }
        if (ch == '.') {
            nPrefix = FindName(kPrefixes, word);
            if (nPrefix < 0) {
                ErrorBoxF("オブジェクト \"%s.\" が認識できません！", word.c_str());
                EvalError = 1;
                return 0;
            }
            word.clear();
            continue;
        }
        word += ch;
    }

    for (int32_t nLevel = 0; nLevel <= 2; ++nLevel) {
        size_t i = 0;
        while (i < tokens.size()) {
            const EvalToken& op = tokens[i];
            if (op.m_nKind != 4 || op.m_nNumber < 0 || op.m_nNumber > 5) {
                if (op.m_nKind == 4) {
                    DebugErrorBoxF("演算子のエラー（未定義？）");
                    EvalError = 1;
                    return 0;
                }
                ++i;
                continue;
            }
            if (kOperatorLevel[op.m_nNumber] != nLevel) {
                ++i;
                continue;
            }
            const int32_t nOp = op.m_nNumber;
            // An operator at either end has no neighbour there: reported like a bad index.
            const EvalToken left = CheckedAt(tokens, static_cast<int32_t>(i) - 1);
            const EvalToken right = CheckedAt(tokens, static_cast<int32_t>(i) + 1);
            const int64_t a = left.m_nValue, b = right.m_nValue;
            int32_t nValue = 0;
            switch (nOp) {
            case 1: nValue = Wrap32(a + b); break;
            case 2: nValue = Wrap32(a - b); break;
            case 3: nValue = Wrap32(a * b); break;
            case 4:
            case 5:
                if (b == 0) {
                    ErrorBoxF("0除算が行われました！(%s)", str.c_str());
                    EvalError = 1;
                    return 0;
                }
                nValue = Wrap32(nOp == 4 ? a / b : a % b);
                break;
            default: {
                int64_t n = b;
                if (n < left.m_nMin) n = left.m_nMin;
                if (n > left.m_nMax) n = left.m_nMax;
                nValue = static_cast<int32_t>(n);
                // Only a variable, a status or a system value can be assigned to.
                if (left.m_nKind >= 1 && left.m_nKind <= 3 && left.m_lpTarget != nullptr) {
                    WriteTarget(left, nValue);
                    AfterAssignment(left, lpObject);
                }
                break;
            }
            }
            EvalToken result;
            result.m_nValue = nValue;
            nResult = nValue;
            const size_t nFrom = i > 0 ? i - 1 : 0;
            const size_t nTo = i + 2 < tokens.size() ? i + 2 : tokens.size();
            tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(nFrom),
                         tokens.begin() + static_cast<std::ptrdiff_t>(nTo));
            tokens.insert(tokens.begin() + static_cast<std::ptrdiff_t>(nFrom), result);
            i = 0;
        }
    }
    return nResult;
}

int32_t TruncateAtNul(std::string& str)
{
    char szBuffer[kTextLimit + 1];
    std::strncpy(szBuffer, str.c_str(), kTextLimit);
    szBuffer[kTextLimit] = '\0';
    str = szBuffer;
    return static_cast<int32_t>(str.size());
}

std::string SafeSubstr(const std::string& str, int32_t nStart, int32_t nLength)
{
    int64_t nFrom = nStart, nCount = nLength;
    if (nFrom < 0) {
        nCount += nFrom;
        nFrom = 0;
    }
    const int64_t nSize = static_cast<int64_t>(str.size());
    if (nFrom > nSize || nCount <= 0) return std::string();
    if (nFrom + nCount > nSize) nCount = nSize - nFrom;
    return str.substr(static_cast<size_t>(nFrom), static_cast<size_t>(nCount));
}
