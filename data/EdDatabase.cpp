#include "data/EdDatabase.h"

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/MessageBox.h"
#include "data/EdSystem.h"
#include "data/ProjectPaths.h"
#include "data/RecordReferences.h"
#include "data/RecordStream.h"

cEdDatabase g_Database;
std::vector<cEdCharaEffect> g_CharaEffectWork;
std::vector<cEdScrEffect> g_ScrEffectWork;

const char* DatabaseFilePath(int32_t nList)
{
    return ProjectPathTable[15 + 2 * nList];
}

cEdDatabase::cEdDatabase()
{
    RegisterFields(kCurrentDataVersion);
    SetDefaults();
}

void cEdDatabase::RegisterFields(uint32_t)
{
    ClearFields();
}

void cEdDatabase::SetDefaults()
{
    ResetFields();
    m_vAnimeSet.assign(1, cEdAnimeSet());
    m_vAnime.assign(2, cEdAnime());
    m_vAnime[0].m_strName = "なし";
    m_vAnime[1].m_strName = "アクションA";
    m_vBmpCharaExc.assign(2, cEdBmpCharaExc());
    m_vSwordType.assign(1, cEdSwordType());
    m_vEffect.assign(2, cEdEffect());
    m_vCharaEffect.assign(2, cEdCharaEffect());
    m_vScrEffect.assign(2, cEdScrEffect());
    m_vPicture.assign(2, cEdPicture());
    m_vSound.assign(2, cEdSound());
    m_vBgm.assign(2, cEdBgm());
}

template <class T>
int LoadDatabaseList(std::vector<T>& list, const char* path, const T& prototype)
{
    FILE* fp = OpenRecordFileForRead(path);
    if (fp == nullptr) return 0;
    // Read into a list of its own: a damaged file must not leave half a list behind.
    std::vector<T> loaded;
    bool bRead = LoadRecordVector(fp, loaded, prototype);
    CloseRecordFile(fp);
    if (!bRead) {
        WriteReportTrace("%s : not loaded, the file is damaged", path);
        return 0;
    }
    if (g_bStripCR) {
        // A copied record carries no field lists, so each element registers its own first.
        for (T& element : loaded) {
            element.RegisterFields(kCurrentDataVersion);
            element.StripCR();
        }
    }
    list.swap(loaded);
    return 1;
}

template int LoadDatabaseList(std::vector<cEdAnimeSet>&, const char*, const cEdAnimeSet&);
template int LoadDatabaseList(std::vector<cEdAnime>&, const char*, const cEdAnime&);
template int LoadDatabaseList(std::vector<cEdBmpCharaExc>&, const char*, const cEdBmpCharaExc&);
template int LoadDatabaseList(std::vector<cEdSwordType>&, const char*, const cEdSwordType&);
template int LoadDatabaseList(std::vector<cEdEffect>&, const char*, const cEdEffect&);
template int LoadDatabaseList(std::vector<cEdCharaEffect>&, const char*, const cEdCharaEffect&);
template int LoadDatabaseList(std::vector<cEdScrEffect>&, const char*, const cEdScrEffect&);
template int LoadDatabaseList(std::vector<cEdPicture>&, const char*, const cEdPicture&);
template int LoadDatabaseList(std::vector<cEdSound>&, const char*, const cEdSound&);
template int LoadDatabaseList(std::vector<cEdBgm>&, const char*, const cEdBgm&);

namespace {

template <class T>
bool LoadOneList(std::vector<T>& list, int nIndex, const T& prototype)
{
    const char* path = DatabaseFilePath(nIndex);
    if (LoadDatabaseList(list, path, prototype)) return true;
    ErrorBoxF("%s のロードに失敗！", path);
    return false;
}

}  // namespace

int cEdDatabase::LoadDatabase()
{
    // The reading prototypes: each class's defaults (an effect graphic without frames, an effect
    // of kind 1, a character bitmap of 32-pixel cells with a stored scale of 2).
    if (!LoadOneList(m_vAnimeSet, 0, cEdAnimeSet())) return 0;
    if (!LoadOneList(m_vAnime, 1, cEdAnime())) return 0;
    if (!LoadOneList(m_vBmpCharaExc, 2, cEdBmpCharaExc())) return 0;
    if (!LoadOneList(m_vSwordType, 3, cEdSwordType())) return 0;
    if (!LoadOneList(m_vEffect, 4, cEdEffect())) return 0;
    if (!LoadOneList(m_vCharaEffect, 5, cEdCharaEffect())) return 0;
    if (!LoadOneList(m_vScrEffect, 6, cEdScrEffect())) return 0;
    if (!LoadOneList(m_vPicture, 7, cEdPicture())) return 0;
    if (!LoadOneList(m_vSound, 8, cEdSound())) return 0;
    if (!LoadOneList(m_vBgm, 9, cEdBgm())) return 0;
    // Sound n is sound-table entry n + 16 after the seventeen system sounds, and sound 0 is the
    // "none" entry that is never loaded; a list without it would leave the table one short.
    if (m_vSound.empty()) {
        WriteReportTrace("%s : no entries, a none entry is added", DatabaseFilePath(8));
        m_vSound.emplace_back();
    }
    ClearNoneEffectKinds();
    if (this == &g_Database) InstallProjectReferenceHooks();
    return 1;
}

void cEdDatabase::ClearNoneEffectKinds()
{
    // Effect number 0 means no effect everywhere; a list stored without any entry gets one, so
    // that number 0 always finds its entry.
    if (m_vCharaEffect.empty()) {
        WriteReportTrace("%s : no entries, a none entry is added", DatabaseFilePath(5));
        m_vCharaEffect.emplace_back();
    }
    if (m_vScrEffect.empty()) {
        WriteReportTrace("%s : no entries, a none entry is added", DatabaseFilePath(6));
        m_vScrEffect.emplace_back();
    }
    m_vCharaEffect[0].m_nKind = 0;
    m_vScrEffect[0].m_nKind = 0;
}

void CopyEffectWorkLists()
{
    g_CharaEffectWork = g_Database.m_vCharaEffect;
    g_ScrEffectWork = g_Database.m_vScrEffect;
}

namespace {

int32_t CountOf(DatabaseList list)
{
    const cEdDatabase& db = g_Database;
    switch (list) {
    case DatabaseList::AnimeSet: return static_cast<int32_t>(db.m_vAnimeSet.size());
    case DatabaseList::Anime: return static_cast<int32_t>(db.m_vAnime.size());
    case DatabaseList::SwordType: return static_cast<int32_t>(db.m_vSwordType.size());
    case DatabaseList::Effect: return static_cast<int32_t>(db.m_vEffect.size());
    case DatabaseList::CharaEffect: return static_cast<int32_t>(db.m_vCharaEffect.size());
    case DatabaseList::ScrEffect: return static_cast<int32_t>(db.m_vScrEffect.size());
    case DatabaseList::Picture: return static_cast<int32_t>(db.m_vPicture.size());
    case DatabaseList::Sound: return static_cast<int32_t>(db.m_vSound.size());
    case DatabaseList::Bgm: return static_cast<int32_t>(db.m_vBgm.size());
    }
    return -1;
}

int32_t SwordTypeTime(int32_t nSwordType)
{
    int64_t nSum = 0;
    for (const cEdSwordTypeEntry& step : CheckedAt(g_Database.m_vSwordType, nSwordType).m_vSteps) nSum += step.m_nTime;
    if (nSum > INT32_MAX) return INT32_MAX;
    if (nSum < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(nSum);
}

bool ProjectKeepsDeletedFlows()
{
    return g_System.m_bKeepDeletedFlows != 0;
}

}  // namespace

void InstallProjectReferenceHooks()
{
    g_RecordReferences.lpfnDatabaseCount = CountOf;
    g_RecordReferences.lpfnSwordTypeTime = SwordTypeTime;
    g_RecordReferences.lpfnKeepDeletedFlows = ProjectKeepsDeletedFlows;
}
