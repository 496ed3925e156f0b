#include "data/RecordReferences.h"

RecordReferenceHooks g_RecordReferences;

int32_t DatabaseCount(DatabaseList list)
{
    return g_RecordReferences.lpfnDatabaseCount ? g_RecordReferences.lpfnDatabaseCount(list) : -1;
}

int32_t PaletteCount(int32_t nPalette, PaletteList list)
{
    return g_RecordReferences.lpfnPaletteCount ? g_RecordReferences.lpfnPaletteCount(nPalette, list) : -1;
}

bool KeepDeletedFlows()
{
    return g_RecordReferences.lpfnKeepDeletedFlows && g_RecordReferences.lpfnKeepDeletedFlows();
}
