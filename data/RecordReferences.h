#pragma once
// The list sizes that records check their references against after loading and before saving.
// The database, the palettes and the project settings are other records; whoever owns them
// installs these hooks once they are loaded. An empty hook means that list is not known yet: the
// references it would bound are left as stored (every use still goes through checked access).
#include <cstdint>

enum class DatabaseList : int32_t {
    AnimeSet,
    Anime,
    SwordType,
    Effect,
    CharaEffect,
    ScrEffect,
    Picture,
    Sound,
    Bgm,
};

enum class PaletteList : int32_t { Block, Chara, Item };

struct RecordReferenceHooks {
    // Number of entries of a database list.
    int32_t (*lpfnDatabaseCount)(DatabaseList list) = nullptr;
    // Sum of the durations (tenths of a second) of the entries of a sword type; only called with
    // an index below the sword-type count.
    int32_t (*lpfnSwordTypeTime)(int32_t nSwordType) = nullptr;
    // Number of definitions of one kind in a palette: 1 the common palette, 2 the stage palette.
    int32_t (*lpfnPaletteCount)(int32_t nPalette, PaletteList list) = nullptr;
    // True when flows marked as deleted stay in the lists being loaded (test play, or the
    // project keeps them).
    bool (*lpfnKeepDeletedFlows)() = nullptr;
};

extern RecordReferenceHooks g_RecordReferences;

// -1 when the list is not known.
int32_t DatabaseCount(DatabaseList list);
int32_t PaletteCount(int32_t nPalette, PaletteList list);
bool KeepDeletedFlows();
