#pragma once
// The character searches of commands and shots: the first character that passes a filter and
// the nearest one.
#include <cstdint>

class cCharaBase;
template <class T>
class cLinkList;

struct CharaFilter {
    int32_t bById = 0;
    int32_t nId = 0;
    int32_t bByVariable = 0;
    int32_t nVariable = 0;
    int32_t nValue = 0;
    int32_t nOperator = 0;
    int32_t bExcludeKey = 0;
    int32_t bExcludeShotHit = 0;    // shot-pass setting 1
    int32_t bExcludeShotPass = 0;   // shot-pass setting 2
    int32_t bExcludeSolid = 0;      // block characters
    int32_t nKey = 0;
};

// Defined in CharaSearch.cpp.
cCharaBase* FindChara(cLinkList<cCharaBase>& list, const CharaFilter& filter);
// nScope: 0 on-screen first, then the others; 1 any; 2 on screen only.
cCharaBase* FindNearestChara(double x, double y, cLinkList<cCharaBase>& list, int32_t nScope,
                             const CharaFilter& filter);
cCharaBase* FindNearestFromPoint(double x, double y, cLinkList<cCharaBase>& list);
