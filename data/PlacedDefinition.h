#pragma once
// The parts the block, item and character definitions keep beside their listed fields: the cell
// the definition is placed at, its inherit flags and its conditions (blocks and items also store
// them alike); and the shot-sheet cell numbering of older files.
#include <cstdint>
#include <cstdio>

#include "data/EdCondition.h"
#include "data/FieldListRecord.h"
#include "data/RecordStream.h"

template <class T>
void CopyPlacedParts(T& to, const T& from)
{
    to.m_nX = from.m_nX;
    to.m_nY = from.m_nY;
    to.m_vInherit = from.m_vInherit;
    CopyConditionList(to.m_vCondition, from.m_vCondition);
}

template <class T>
bool LoadPlacedParts(FILE* fp, T& definition, const char* lpWhat)
{
    if (!ReadRecordBytes(fp, &definition.m_nX, 2) || !ReadRecordBytes(fp, &definition.m_nY, 2)) {
        ReportRecordReadError(fp, lpWhat);
        return false;
    }
    return LoadByteVector(fp, definition.m_vInherit) && LoadConditionList(fp, definition.m_vCondition);
}

template <class T>
bool SavePlacedParts(FILE* fp, T& definition)
{
    return WriteRecordBytes(fp, &definition.m_nX, 2) && WriteRecordBytes(fp, &definition.m_nY, 2) &&
           SaveByteVector(fp, definition.m_vInherit) && SaveRecordVector(fp, definition.m_vCondition);
}

// Shot sheets of files before version 219 had one more leading cell.
template <class T>
void ShiftOldShotSheetCell(T& definition)
{
    if (g_nFileVersion >= 219 || definition.m_nGraphicKind != 3) return;
    definition.m_nGraphicIndex = static_cast<int16_t>(definition.m_nGraphicIndex + 1);
    if (definition.m_nGraphicIndex > 119) definition.m_nGraphicIndex = 119;
}
