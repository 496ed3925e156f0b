#pragma once
// The parts a block and an item definition store alike after their fields: the cell the
// definition is placed at, its inherit flags and its conditions; and the shot-sheet cell
// numbering of older files.
#include <cstdint>
#include <cstdio>

#include "data/EdCondition.h"
#include "data/FieldListRecord.h"
#include "data/RecordStream.h"

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
