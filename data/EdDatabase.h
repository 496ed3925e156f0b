#pragma once
// The database: the ten lists of named resources that definitions, stages, shots and commands
// refer to by index. Each list is a record file of its own in "data\database\"; the player reads
// them once at start-up and never writes them.
#include <cstdint>
#include <vector>

#include "data/EdAnime.h"
#include "data/EdCharaEffect.h"
#include "data/EdEffect.h"
#include "data/EdMediaEntry.h"
#include "data/EdSwordType.h"
#include "data/FieldListRecord.h"

class cEdDatabase : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdDatabase)
    cEdDatabase();
    // The contents of a new project.
    void SetDefaults();
    void RegisterFields(uint32_t nVersion) override;

    // Reads the ten files in list order. 0 at the first file that cannot be read (after an error
    // box naming it); the lists read before keep what they loaded, the others what they held.
    int LoadDatabase();
    // Gives entry 0 of both effect lists kind 0 (no effect).
    void ClearNoneEffectKinds();

    std::vector<cEdAnimeSet> m_vAnimeSet;
    std::vector<cEdAnime> m_vAnime;
    std::vector<cEdBmpCharaExc> m_vBmpCharaExc;
    std::vector<cEdSwordType> m_vSwordType;
    std::vector<cEdEffect> m_vEffect;
    std::vector<cEdCharaEffect> m_vCharaEffect;
    std::vector<cEdScrEffect> m_vScrEffect;
    std::vector<cEdPicture> m_vPicture;
    std::vector<cEdSound> m_vSound;
    std::vector<cEdBgm> m_vBgm;
};

// The file of list i (0 animation sets .. 9 music, the loading order): the project path table's
// "data\" entry of that list.
const char* DatabaseFilePath(int32_t nList);

// Reads one list file into one list: 1 when read whole, 0 when the file cannot be opened or is
// damaged (the list then keeps what it held). Shows no box.
template <class T>
int LoadDatabaseList(std::vector<T>& list, const char* path, const T& prototype);

extern cEdDatabase g_Database;
// Copies of the two effect lists that the reversed effect set-up rewrites, so that the database
// lists stay as loaded.
extern std::vector<cEdCharaEffect> g_CharaEffectWork;
extern std::vector<cEdScrEffect> g_ScrEffectWork;

// Makes g_CharaEffectWork and g_ScrEffectWork copies of the loaded effect lists.
void CopyEffectWorkLists();

// Lets the records that refer to database entries and to the project settings check their
// references against g_Database and g_System. LoadDatabase installs them once g_Database has
// loaded. Deleted flows are kept when the project settings say so; test play, which keeps them
// too, belongs to the shell, which may install its own hook over this one.
void InstallProjectReferenceHooks();
