#include "data/EdSystem.h"

#include <cstring>

#include "core/CheckedAccess.h"
#include "core/Log.h"
#include "core/Text.h"
#include "data/EdDatabase.h"
#include "data/RecordStream.h"

cEdSystem g_System;

namespace {

// The longest stored string read back; anything longer is taken for a damaged file.
constexpr uint32_t kMaxTextBytes = 16u * 1024 * 1024;

template <class T>
void ResizeTo(std::vector<T>& v, size_t n)
{
    v.resize(n);
}

}  // namespace

bool LoadText(FILE* fp, std::string& text)
{
    uint32_t nLength = 0;
    if (!ReadU32(fp, nLength)) {
        ReportRecordReadError(fp, "text length");
        return false;
    }
    if (nLength == 1) {
        text.clear();
        return true;
    }
    if (nLength == 0 || nLength > kMaxTextBytes || !RecordCountFits(fp, nLength, 1)) {
        ReportRecordReadError(fp, "text length out of range");
        return false;
    }
    std::vector<char> buffer(nLength);
    if (!ReadRecordBytes(fp, buffer.data(), nLength)) {
        ReportRecordReadError(fp, "text");
        return false;
    }
    const char* lpEnd = static_cast<const char*>(std::memchr(buffer.data(), 0, nLength));
    text.assign(buffer.data(), lpEnd ? static_cast<size_t>(lpEnd - buffer.data()) : nLength);
    return true;
}

bool SaveText(FILE* fp, std::string& text)
{
    const size_t nNul = text.find('\0');
    if (nNul != std::string::npos) text.resize(nNul);
    if (!WriteU32(fp, static_cast<uint32_t>(text.size() + 1))) return false;
    return text.empty() || WriteRecordBytes(fp, text.c_str(), text.size() + 1);
}

bool LoadTextVector(FILE* fp, std::vector<std::string>& v)
{
    uint32_t nCount = 0;
    if (!ReadU32(fp, nCount) || !RecordCountFits(fp, nCount, 4)) {
        ReportRecordReadError(fp, "text count");
        return false;
    }
    std::vector<std::string> texts(nCount);
    for (std::string& text : texts) {
        if (!LoadText(fp, text)) return false;
    }
    v.swap(texts);
    return true;
}

bool SaveTextVector(FILE* fp, std::vector<std::string>& v)
{
    if (!WriteU32(fp, static_cast<uint32_t>(v.size()))) return false;
    for (std::string& text : v) {
        if (!SaveText(fp, text)) return false;
    }
    return true;
}

cEdSystem::cEdSystem()
{
    RegisterFields(kCurrentDataVersion);
    SetDefaults();
}

void cEdSystem::RegisterFields(uint32_t nVersion)
{
    ClearFields();
    AddStringField(&m_strGameTitle);
    if (nVersion >= 185) AddInt32Field(&m_bExtraLifeByScore);
    AddInt32Field(&m_nExtraLifeScore);
    AddInt32Field(&m_bDrawFrontBackgrounds);
    AddInt32Field(&m_bLetterPictures);
    if (nVersion >= 205) AddInt32Field(&m_nFontFace);
    if (nVersion >= 170) AddInt32Field(&m_bCentreGlyphs);
    if (nVersion >= 113) AddInt32Field(&m_bKeepDeletedFlows);
    if (nVersion >= 184) AddInt32Field(&m_bReplay);
    if (nVersion >= 157) AddInt32Field(&m_bTitleMenuPicture);
    AddInt32Field(&m_bStoryCarryLives);
    if (nVersion >= 191) {
        AddInt32Field(&m_bStoryRetryPrompt);
        AddInt32Field(&m_bMapShowLives);
    }
    AddInt32Field(&m_nChallengeStages);
    AddInt32Field(&m_bChallengeAllOpen);
    if (nVersion >= 167) {
        AddInt32Field(&m_bStoryShowHighScore);
        AddInt32Field(&m_bStoryShowTotalScore);
    }
    if (nVersion >= 188) AddInt32Field(&m_bStoryRetryRestore);
    if (nVersion >= 224) AddInt32Field(&m_bStoryPauseRetry);
    if (nVersion >= 167) {
        AddInt32Field(&m_bChallengeShowHighScore);
        AddInt32Field(&m_bChallengeShowTotalScore);
    }
    if (nVersion >= 188) AddInt32Field(&m_bChallengeRetryRestore);
    if (nVersion >= 224) AddInt32Field(&m_bChallengePauseRetry);
    if (nVersion >= 188) AddInt32Field(&m_bFreeRetryRestore);
    if (nVersion >= 192) AddInt32Field(&m_bDirectStageRetryRestore);
    if (nVersion >= 187) {
        AddInt32Field(&m_bFullColour);
        AddInt8Field(&m_byTransRed);
        AddInt8Field(&m_byTransGreen);
        AddInt8Field(&m_byTransBlue);
    }
    if (nVersion >= 214) AddInt32Field(&m_bLegacy214);
    if (nVersion >= 221 && nVersion <= 259) AddInt32Field(&m_nDroppedMember);
    if (nVersion >= 261) AddInt32Field(&m_bLegacy261);
    if (nVersion >= 272) AddInt32Field(&m_bSwitch272);
    if (nVersion >= 287) AddInt32Field(&m_bSwitch287);
    if (nVersion >= 515) AddInt32Field(&m_nPaletteCycleStep);
    if (nVersion >= 289) AddInt32Field(&m_bPaletteCycle);
    if (nVersion >= 525) AddInt32Field(&m_bLegacy525);
    if (nVersion >= 555) AddInt32Field(&m_bLegacy555);
    if (nVersion >= 637) AddInt32Field(&m_bLegacy637);
    if (nVersion >= 669) AddInt32Field(&m_bLegacy669);
    if (nVersion >= 677) AddInt32Field(&m_bLegacy677);
    if (nVersion >= 695) AddInt32Field(&m_bLegacy695);
    if (nVersion >= 696) AddInt32Field(&m_bLegacy696);
    if (nVersion >= 697) AddInt32Field(&m_bLegacy697);
    if (nVersion >= 721) AddInt32Field(&m_bLegacy721);
    if (nVersion >= 728) AddInt32Field(&m_bLegacy728);
    if (nVersion >= 733) AddInt32Field(&m_bLegacy733);
    if (nVersion >= 744) AddInt32Field(&m_bLegacy744);
    if (nVersion >= 749) AddInt32Field(&m_bLegacy749);
    if (nVersion >= 670) {
        AddInt32Field(&m_nDepthFullColour);
        AddInt32Field(&m_nDepthPalette);
    }
}

void cEdSystem::SetDefaults()
{
    ResetFields();

    m_nExtraLifeScore = 100;
    m_bDrawFrontBackgrounds = 1;
    m_bLetterPictures = 0;
    m_nFontFace = 60;
    m_bReplay = 1;
    m_bTitleMenuPicture = 1;
    m_bStoryRetryRestore = 1;
    m_bChallengeRetryRestore = 1;
    m_bFreeRetryRestore = 1;
    m_bStoryPauseRetry = 1;
    m_bChallengePauseRetry = 1;
    m_nPaletteCycleStep = 16;

    m_vCarryOver.assign(SystemStatusGroups, 0);
    for (int nGroup : {0, 1, 13, 14, 16, 17, 19, 20, 21}) m_vCarryOver[nGroup] = 1;
    m_vCarryReset.assign(SystemStatusGroups, 0);
    m_vCarryReset[11] = 1;
    m_vCarryReset[12] = 1;

    m_vStatus.assign(SystemStatusEntries, cEdSystemStatus());
    static const struct {
        int32_t nDigits;
        const char* name;
    } status[SystemStatusEntries] = {{4, "スコア"}, {3, "スコア"}, {0, "HP"}, {0, "SP"}, {2, "人"}};
    for (int i = 0; i < SystemStatusEntries; ++i) {
        m_vStatus[i].m_bShow = 1;
        m_vStatus[i].m_bIcon = 1;
        m_vStatus[i].m_nDigits = status[i].nDigits;
        m_vStatus[i].m_strName = status[i].name;
    }

    m_vRanking.assign(SystemGameModes, cEdRankingSetting());
    for (int nMode = 0; nMode < 3; ++nMode) {
        m_vRanking[nMode].m_bEnabled = 1;
        m_vRanking[nMode].m_vKind.assign(5, 1);
    }
    m_vRanking[3].m_bEnabled = 0;
    m_vRanking[3].m_vKind.assign(5, 0);

    static const char* const titleMenu[SystemTitleMenuItems] = {
        "はじめから", "つづきから", "チャレンジ", "フリー", "リプレイ", "オプション", "しゅうりょう"};
    m_vTitleMenu.assign(SystemTitleMenuItems, cEdSystemText());
    for (int i = 0; i < SystemTitleMenuItems; ++i) m_vTitleMenu[i].m_strText = titleMenu[i];

    static const char* const mapMenu[SystemMapMenuItems] = {"セーブ", "オートセーブ", "もどる", "タイトルへ"};
    m_vMapMenu.assign(SystemMapMenuItems, cEdSystemText());
    for (int i = 0; i < SystemMapMenuItems; ++i) m_vMapMenu[i].m_strText = mapMenu[i];

    static const char* const optionMenu[5] = {"BGM", "SE", "ランキング登録", "ランキング登録名", "もどる"};
    m_vOptionMenu.assign(SystemOptionMenuItems, cEdSystemText());
    for (int i = 0; i < 5; ++i) m_vOptionMenu[i].m_strText = optionMenu[i];

    m_vRankingModeName = {"手動登録（登録名入力）", "手動登録（登録名固定）", "自動登録（登録名入力）",
                          "自動登録（登録名固定）"};

    m_bStoryCarryLives = 1;
    m_bStoryRetryPrompt = 1;
    m_bMapShowLives = 1;
    m_nChallengeStages = 40;
    m_bChallengeAllOpen = 1;

    m_vStartLives = {5, 5, 5, 99};
    m_vInfiniteLives = {1, 1, 1, 1};

    m_bStoryShowHighScore = 1;
    m_bStoryShowTotalScore = 1;
    m_bChallengeShowHighScore = 1;
    m_bChallengeShowTotalScore = 1;

    m_vText = {"ワールド",
               "ステージ",
               "スコア",
               "ハイスコア",
               "トータルスコア",
               "スコア",
               "残り時間",
               "クリア時間",
               "残りHP",
               "残りSP",
               "ステージに挑む",
               "やっぱりやめる",
               "セーブする",
               "やっぱりやめる",
               "オートセーブＯＮ",
               "オートセーブＯＦＦ",
               "保存先が不明です！一度は「セーブ」して下さい！",
               "タイトルへ戻る",
               "やっぱりやめる",
               "しゅうりょう",
               "つづける",
               "リトライ",
               "リトライ",
               "マップへ戻る",
               "Vキーでジャンルの切り替え",
               "スペースキーでタイトルへ戻る",
               "スペースキーで終了",
               "F3キーでランキングへ登録"};

    m_vSoundFile.assign(SystemSoundCount, std::string());
    m_vSystemBgm.assign(SystemBgmSlots, 0);
    m_vSystemBgmLoop.assign(SystemBgmSlots, 1);

    m_vOption.assign(SystemOptionCount, cEdSystemOption());
    m_vOption[0].SetNumber("Direct3D", 2);
    m_vOption[1].SetNumber("WindowMode", 0);
    m_vOption[2].SetNumber("Bpp", 0);
    m_vOption[3].SetNumber("VSync", 2);
    m_vOption[4].SetNumber("D3D_FontCache", 0);
    m_vOption[5].SetNumber("DD_FontCache", 1);
    m_vOption[6].SetNumber("DD_VideoStretch", 0);
    m_vOption[7].SetNumber("ShowFps", 1);
    m_vOption[8].SetText("FreeStage", "");
    m_vOption[9].SetNumber("English", 0);

    m_nDepthFullColour = 0;
    m_nDepthPalette = 2;
}

bool cEdSystem::Load(FILE* fp)
{
    const uint32_t nVersion = g_nFileVersion;
    if (!cFieldListRecord::Load(fp)) return false;
    // Each vector is read whole into a list of its own before it replaces the member, and the
    // caller reads the whole record into a copy, so a damaged file changes nothing.
    bool bOk = LoadByteVector(fp, m_vCarryOver);
    if (bOk && nVersion >= 501) bOk = LoadByteVector(fp, m_vCarryReset);
    if (bOk) bOk = LoadRecordVector(fp, m_vStatus, cEdSystemStatus());
    if (bOk) bOk = LoadIntVector(fp, m_vStartLives);
    if (bOk && nVersion >= 191) bOk = LoadIntVector(fp, m_vInfiniteLives);
    if (bOk && nVersion >= 186) bOk = LoadRecordVector(fp, m_vRanking, cEdRankingSetting());
    if (bOk) bOk = LoadTextVector(fp, m_vText);
    if (bOk) bOk = LoadTextVector(fp, m_vSoundFile);
    if (bOk) bOk = LoadIntVector(fp, m_vSystemBgm);
    if (bOk && nVersion >= 202) bOk = LoadByteVector(fp, m_vSystemBgmLoop);
    if (bOk) bOk = LoadRecordVector(fp, m_vTitleMenu, cEdSystemText());
    if (bOk) bOk = LoadRecordVector(fp, m_vMapMenu, cEdSystemText());
    if (bOk) bOk = LoadRecordVector(fp, m_vOptionMenu, cEdSystemText());
    if (bOk && nVersion >= 674) bOk = LoadTextVector(fp, m_vRankingModeName);
    if (bOk) bOk = LoadRecordVector(fp, m_vOption, cEdSystemOption());
    if (!bOk) return false;

    if (nVersion < kCurrentDataVersion) Migrate(nVersion);
    EnsureListSizes();
    ClampSystemBgm();
    return true;
}

void cEdSystem::InsertByteAt(std::vector<int8_t>& v, int32_t nIndex, int8_t nValue)
{
    for (int32_t k = static_cast<int32_t>(v.size()) - 1; k > nIndex; --k) v[k] = v[k - 1];
    CheckedAt(v, nIndex) = nValue;
}

void cEdSystem::InsertTextAt(std::vector<std::string>& v, int32_t nIndex, const std::string& text)
{
    for (int32_t k = static_cast<int32_t>(v.size()) - 1; k > nIndex; --k) v[k] = v[k - 1];
    CheckedAt(v, nIndex) = text;
}

void cEdSystem::InsertNumberOptionAt(int32_t nIndex, const std::string& name, int32_t nValue)
{
    for (int32_t k = static_cast<int32_t>(m_vOption.size()) - 1; k > nIndex; --k) m_vOption[k] = m_vOption[k - 1];
    CheckedAt(m_vOption, nIndex).SetNumber(name, nValue);
}

void cEdSystem::Migrate(uint32_t nVersion)
{
    if (nVersion < 113) m_bKeepDeletedFlows = 0;
    if (nVersion < 157) m_bTitleMenuPicture = 0;
    if (nVersion < 167) {
        m_bStoryShowHighScore = 1;
        m_bStoryShowTotalScore = 1;
        m_bChallengeShowHighScore = 1;
        m_bChallengeShowTotalScore = 1;
    }
    if (nVersion < 168) {
        ResizeTo(m_vCarryOver, SystemStatusGroups);
        InsertByteAt(m_vCarryOver, 16, 1);
    }
    if (nVersion < 169) {
        ResizeTo(m_vMapMenu, SystemMapMenuItems);
        for (int32_t k = static_cast<int32_t>(m_vMapMenu.size()) - 1; k > 1; --k) m_vMapMenu[k] = m_vMapMenu[k - 1];
        m_vMapMenu[1].m_bEnabled = 1;
        m_vMapMenu[1].m_strText = "オートセーブ";
        ResizeTo(m_vText, SystemTextCount);
        InsertTextAt(m_vText, 12, "保存先が不明です！一度は「セーブ」して下さい！");
        InsertTextAt(m_vText, 12, "オートセーブＯＦＦ");
        InsertTextAt(m_vText, 12, "オートセーブＯＮ");
    }
    if (nVersion < 170) m_bCentreGlyphs = 0;
    if (nVersion < 181) {
        // Files this old hold no ranking list; the settings are a new project's four entries.
        if (m_vRanking.size() < SystemGameModes) ResizeTo(m_vRanking, SystemGameModes);
        for (int nMode = 0; nMode < SystemGameModes; ++nMode) {
            std::vector<int8_t>& kinds = m_vRanking[nMode].m_vKind;
            kinds.resize(5, 0);
            kinds[3] = 0;
            kinds[4] = 0;
        }
        ResizeTo(m_vText, SystemTextCount);
        InsertTextAt(m_vText, 8, "残りHP");
        InsertTextAt(m_vText, 9, "残りSP");
    }
    if (nVersion < 184) m_bReplay = 1;
    if (nVersion < 185) m_bExtraLifeByScore = 1;
    if (nVersion < 187) {
        m_bFullColour = 0;
        m_byTransRed = 0;
        m_byTransGreen = 177;
        m_byTransBlue = 0;
    }
    if (nVersion < 188) {
        m_bStoryRetryRestore = 1;
        m_bChallengeRetryRestore = 1;
        m_bFreeRetryRestore = 1;
    }
    if (nVersion < 191) {
        m_vInfiniteLives.resize(SystemGameModes, 0);
        m_vInfiniteLives[0] = 0;
        m_vInfiniteLives[1] = 0;
        m_vInfiniteLives[2] = 0;
        m_vInfiniteLives[3] = 1;
        m_bStoryRetryPrompt = 0;
        m_bMapShowLives = 0;
    }
    if (nVersion < 192) m_bDirectStageRetryRestore = 1;
    if (nVersion < 193) {
        ResizeTo(m_vText, SystemTextCount);
        InsertTextAt(m_vText, 22, "リトライ");
        InsertTextAt(m_vText, 23, "マップへ戻る");
    }
    if (nVersion < 201) {
        ResizeTo(m_vCarryOver, SystemStatusGroups);
        InsertByteAt(m_vCarryOver, 14, 0);
    }
    if (nVersion < 202) m_vSystemBgmLoop.assign(SystemBgmSlots, 1);
    if (nVersion < 205) m_nFontFace = 60;
    if (nVersion < 210) {
        ResizeTo(m_vCarryOver, SystemStatusGroups);
        InsertByteAt(m_vCarryOver, 9, 0);
    }
    if (nVersion < 214) m_bLegacy214 = 1;
    if (nVersion < 224) {
        m_bStoryPauseRetry = 0;
        m_bChallengePauseRetry = 0;
    }
    if (nVersion < 261) m_bLegacy261 = 1;
    if (nVersion < 272) m_bSwitch272 = 0;
    if (nVersion < 286) {
        ResizeTo(m_vOption, SystemOptionCount);
        InsertNumberOptionAt(0, "Direct3D", 1);
        if (m_vOption[3].m_nValue >= 3) m_vOption[3].m_nValue = 2;
    }
    if (nVersion < 287) m_bSwitch287 = 0;
    if (nVersion < 289) m_bPaletteCycle = m_bFullColour == 0 ? 1 : 0;
    if (nVersion < 501) m_vCarryReset.assign(SystemStatusGroups, 0);
    if (nVersion < 515) m_nPaletteCycleStep = 16;
    if (nVersion < 525) m_bLegacy525 = 1;
    if (nVersion < 555) m_bLegacy555 = 1;
    if (nVersion < 567) {
        ResizeTo(m_vOption, SystemOptionCount);
        InsertNumberOptionAt(4, "DD_VideoStretch", 0);
    }
    if (nVersion < 568) {
        ResizeTo(m_vOption, SystemOptionCount);
        InsertNumberOptionAt(4, "D3D_FontCache", 0);
        InsertNumberOptionAt(5, "DD_FontCache", 1);
    }
    if (nVersion < 587) {
        ResizeTo(m_vStatus, SystemStatusEntries);
        for (int i : {2, 3}) {
            m_vStatus[i].m_nThreshold = 33;
            m_vStatus[i].m_bThresholdPercent = 1;
        }
    }
    if (nVersion < 637) m_bLegacy637 = nVersion <= 616 ? 1 : 0;
    if (nVersion < 669) m_bLegacy669 = 1;
    if (nVersion < 670) {
        m_nDepthFullColour = 0;
        m_nDepthPalette = 2;
    }
    if (nVersion < 672) {
        ResizeTo(m_vOption, SystemOptionCount);
        m_vOption[9].SetNumber("English", 0);
    }
    if (nVersion < 677) m_bLegacy677 = 1;
    if (nVersion < 695) m_bLegacy695 = 1;
    if (nVersion < 696) m_bLegacy696 = 1;
    if (nVersion < 697) m_bLegacy697 = 1;
    if (nVersion < 721) m_bLegacy721 = 1;
    if (nVersion < 728) m_bLegacy728 = 1;
    if (nVersion < 733) m_bLegacy733 = 1;
    if (nVersion < 744) m_bLegacy744 = 1;
    if (nVersion < 749) m_bLegacy749 = 1;
}

void cEdSystem::EnsureListSizes()
{
    // The game indexes these lists by fixed positions. A file that holds fewer entries than that
    // (hand-edited or damaged) gets the missing ones as blank entries instead of ending the game
    // at the first access; longer lists are kept as stored.
    bool bGrown = false;
    auto grow = [&bGrown](auto& v, size_t n) {
        if (v.size() < n) {
            v.resize(n);
            bGrown = true;
        }
    };
    grow(m_vCarryOver, SystemStatusGroups);
    grow(m_vCarryReset, SystemStatusGroups);
    grow(m_vStatus, SystemStatusEntries);
    grow(m_vStartLives, SystemGameModes);
    grow(m_vInfiniteLives, SystemGameModes);
    grow(m_vRanking, SystemGameModes);
    grow(m_vText, SystemTextCount);
    grow(m_vSoundFile, SystemSoundCount);
    grow(m_vSystemBgm, SystemBgmSlots);
    grow(m_vSystemBgmLoop, SystemBgmSlots);
    grow(m_vTitleMenu, SystemTitleMenuItems);
    grow(m_vMapMenu, SystemMapMenuItems);
    grow(m_vOptionMenu, SystemOptionMenuItems);
    grow(m_vRankingModeName, SystemRankingModes);
    grow(m_vOption, SystemOptionCount);
    if (bGrown) WriteReportTrace("System.dat : a list held fewer entries than the game needs; blank entries added");
}

void cEdSystem::ClampSystemBgm()
{
    const uint32_t nCount = static_cast<uint32_t>(g_Database.m_vBgm.size());
    for (int32_t& nBgm : m_vSystemBgm) {
        if (static_cast<uint32_t>(nBgm) >= nCount) nBgm = 0;
    }
}

bool cEdSystem::Save(FILE* fp)
{
    ClampSystemBgm();
    return cFieldListRecord::Save(fp) && SaveByteVector(fp, m_vCarryOver) && SaveByteVector(fp, m_vCarryReset) &&
           SaveRecordVector(fp, m_vStatus) && SaveIntVector(fp, m_vStartLives) &&
           SaveIntVector(fp, m_vInfiniteLives) && SaveRecordVector(fp, m_vRanking) &&
           SaveTextVector(fp, m_vText) && SaveTextVector(fp, m_vSoundFile) && SaveIntVector(fp, m_vSystemBgm) &&
           SaveByteVector(fp, m_vSystemBgmLoop) && SaveRecordVector(fp, m_vTitleMenu) &&
           SaveRecordVector(fp, m_vMapMenu) && SaveRecordVector(fp, m_vOptionMenu) &&
           SaveTextVector(fp, m_vRankingModeName) && SaveRecordVector(fp, m_vOption);
}

int cEdSystem::CountRankingKinds(int32_t nMode)
{
    const cEdRankingSetting& setting = CheckedAt(m_vRanking, nMode);
    if (setting.m_bEnabled == 0) return 0;
    int nCount = 0;
    for (int8_t nFlag : setting.m_vKind) {
        if (nFlag != 0) ++nCount;
    }
    return nCount;
}

int cEdSystem::IsWithinThreshold(int32_t nStatus, int32_t nValue, int32_t nMaximum)
{
    const cEdSystemStatus& status = CheckedAt(m_vStatus, nStatus);
    if (status.m_bThresholdPercent == 0) return nValue <= status.m_nThreshold ? 1 : 0;
    // With no maximum the percentage is infinite for a positive value and undefined for 0, and
    // neither is within any mark; only a negative value is.
    if (nMaximum == 0) return nValue < 0 ? 1 : 0;
    const double dPercent = nValue * 100.0 / nMaximum;
    return static_cast<double>(status.m_nThreshold) >= dPercent ? 1 : 0;
}

int cEdSystem::CenterTextColumn(int32_t nX, int32_t nFirst, int32_t nCount, int32_t bFlag)
{
    int32_t nChars = 0;
    for (int32_t i = 0; i < nCount; ++i) {
        const int32_t n = CountChars(CheckedAt(m_vText, nFirst + i).c_str());
        if (n > nChars) nChars = n;
    }
    if (bFlag != 0) ++nChars;
    return nX - (nChars * 16) / 2;
}
