#pragma once
// "System.dat" written byte by byte for any format version, from the member table of the file
// format, so that loads can be checked against files of every version boundary.
#include <cstdint>
#include <string>
#include <vector>

#include "data/EdSystem.h"
#include "tests/data/RecordTestUtil.h"

struct SystemScalar {
    const char* name;
    uint32_t from;                        // first version that stores it
    int32_t cEdSystem::* member32;        // one of the two is set
    uint8_t cEdSystem::* member8;
};

// The scalar members in file order (the dropped member of 221 to 259 is written separately).
inline const std::vector<SystemScalar>& SystemScalars()
{
    static const std::vector<SystemScalar> table = {
        {"ExtraLifeByScore", 185, &cEdSystem::m_bExtraLifeByScore, nullptr},
        {"ExtraLifeScore", 0, &cEdSystem::m_nExtraLifeScore, nullptr},
        {"DrawFrontBackgrounds", 0, &cEdSystem::m_bDrawFrontBackgrounds, nullptr},
        {"LetterPictures", 0, &cEdSystem::m_bLetterPictures, nullptr},
        {"FontFace", 205, &cEdSystem::m_nFontFace, nullptr},
        {"CentreGlyphs", 170, &cEdSystem::m_bCentreGlyphs, nullptr},
        {"KeepDeletedFlows", 113, &cEdSystem::m_bKeepDeletedFlows, nullptr},
        {"Replay", 184, &cEdSystem::m_bReplay, nullptr},
        {"TitleMenuPicture", 157, &cEdSystem::m_bTitleMenuPicture, nullptr},
        {"StoryCarryLives", 0, &cEdSystem::m_bStoryCarryLives, nullptr},
        {"StoryRetryPrompt", 191, &cEdSystem::m_bStoryRetryPrompt, nullptr},
        {"MapShowLives", 191, &cEdSystem::m_bMapShowLives, nullptr},
        {"ChallengeStages", 0, &cEdSystem::m_nChallengeStages, nullptr},
        {"ChallengeAllOpen", 0, &cEdSystem::m_bChallengeAllOpen, nullptr},
        {"StoryShowHighScore", 167, &cEdSystem::m_bStoryShowHighScore, nullptr},
        {"StoryShowTotalScore", 167, &cEdSystem::m_bStoryShowTotalScore, nullptr},
        {"StoryRetryRestore", 188, &cEdSystem::m_bStoryRetryRestore, nullptr},
        {"StoryPauseRetry", 224, &cEdSystem::m_bStoryPauseRetry, nullptr},
        {"ChallengeShowHighScore", 167, &cEdSystem::m_bChallengeShowHighScore, nullptr},
        {"ChallengeShowTotalScore", 167, &cEdSystem::m_bChallengeShowTotalScore, nullptr},
        {"ChallengeRetryRestore", 188, &cEdSystem::m_bChallengeRetryRestore, nullptr},
        {"ChallengePauseRetry", 224, &cEdSystem::m_bChallengePauseRetry, nullptr},
        {"FreeRetryRestore", 188, &cEdSystem::m_bFreeRetryRestore, nullptr},
        {"DirectStageRetryRestore", 192, &cEdSystem::m_bDirectStageRetryRestore, nullptr},
        {"FullColour", 187, &cEdSystem::m_bFullColour, nullptr},
        {"TransRed", 187, nullptr, &cEdSystem::m_byTransRed},
        {"TransGreen", 187, nullptr, &cEdSystem::m_byTransGreen},
        {"TransBlue", 187, nullptr, &cEdSystem::m_byTransBlue},
        {"Legacy214", 214, &cEdSystem::m_bLegacy214, nullptr},
        {"Legacy261", 261, &cEdSystem::m_bLegacy261, nullptr},
        {"Switch272", 272, &cEdSystem::m_bSwitch272, nullptr},
        {"Switch287", 287, &cEdSystem::m_bSwitch287, nullptr},
        {"PaletteCycleStep", 515, &cEdSystem::m_nPaletteCycleStep, nullptr},
        {"PaletteCycle", 289, &cEdSystem::m_bPaletteCycle, nullptr},
        {"Legacy525", 525, &cEdSystem::m_bLegacy525, nullptr},
        {"Legacy555", 555, &cEdSystem::m_bLegacy555, nullptr},
        {"Legacy637", 637, &cEdSystem::m_bLegacy637, nullptr},
        {"Legacy669", 669, &cEdSystem::m_bLegacy669, nullptr},
        {"Legacy677", 677, &cEdSystem::m_bLegacy677, nullptr},
        {"Legacy695", 695, &cEdSystem::m_bLegacy695, nullptr},
        {"Legacy696", 696, &cEdSystem::m_bLegacy696, nullptr},
        {"Legacy697", 697, &cEdSystem::m_bLegacy697, nullptr},
        {"Legacy721", 721, &cEdSystem::m_bLegacy721, nullptr},
        {"Legacy728", 728, &cEdSystem::m_bLegacy728, nullptr},
        {"Legacy733", 733, &cEdSystem::m_bLegacy733, nullptr},
        {"Legacy744", 744, &cEdSystem::m_bLegacy744, nullptr},
        {"Legacy749", 749, &cEdSystem::m_bLegacy749, nullptr},
        {"DepthFullColour", 670, &cEdSystem::m_nDepthFullColour, nullptr},
        {"DepthPalette", 670, &cEdSystem::m_nDepthPalette, nullptr},
    };
    return table;
}

struct SystemFile {
    struct Status {
        int32_t show, icon, digits, gauge, threshold, percent;
        std::string name;
    };
    struct Ranking {
        int32_t enabled;
        std::vector<uint8_t> kinds;
    };
    struct Item {
        int32_t enabled;
        std::string text;
    };
    struct Option {
        int32_t kind;
        std::string name;
        int32_t value;
        std::string text;
    };

    std::vector<int32_t> scalars;   // one per SystemScalars() entry
    int32_t dropped = 0;
    std::string title;
    std::vector<uint8_t> carryOver, carryReset;
    std::vector<Status> status;
    std::vector<int32_t> startLives, infiniteLives;
    std::vector<Ranking> ranking;
    std::vector<std::string> texts, soundFiles;
    std::vector<int32_t> systemBgm;
    std::vector<uint8_t> systemBgmLoop;
    std::vector<Item> titleMenu, mapMenu, optionMenu;
    std::vector<std::string> rankingModes;
    std::vector<Option> options;

    Bytes Body(uint32_t v) const
    {
        Bytes b;
        const std::vector<SystemScalar>& table = SystemScalars();
        uint32_t nFields = 0;
        for (const SystemScalar& s : table) nFields += v >= s.from ? 1 : 0;
        if (v >= 221 && v <= 259) ++nFields;
        AppendU32(b, nFields);
        for (size_t i = 0; i < table.size(); ++i) {
            if (v < table[i].from) continue;
            if (table[i].member8) AppendU8(b, static_cast<uint8_t>(scalars[i]));
            else AppendU32(b, static_cast<uint32_t>(scalars[i]));
            if (table[i].from == 214 && v >= 221 && v <= 259) AppendU32(b, static_cast<uint32_t>(dropped));
        }
        AppendU32(b, 1);
        AppendString(b, title);
        AppendBytes(b, carryOver);
        if (v >= 501) AppendBytes(b, carryReset);
        AppendU32(b, static_cast<uint32_t>(status.size()));
        for (const Status& s : status) {
            AppendU32(b, v >= 587 ? 6 : v >= 204 ? 4 : 3);
            AppendU32(b, s.show);
            AppendU32(b, s.icon);
            AppendU32(b, s.digits);
            if (v >= 204) AppendU32(b, s.gauge);
            if (v >= 587) {
                AppendU32(b, s.threshold);
                AppendU32(b, s.percent);
            }
            AppendU32(b, 1);
            AppendString(b, s.name);
        }
        AppendInts(b, startLives);
        if (v >= 191) AppendInts(b, infiniteLives);
        if (v >= 186) {
            AppendU32(b, static_cast<uint32_t>(ranking.size()));
            for (const Ranking& r : ranking) {
                AppendU32(b, 1);
                AppendU32(b, r.enabled);
                AppendU32(b, 0);
                AppendBytes(b, r.kinds);
            }
        }
        AppendTexts(b, texts);
        AppendTexts(b, soundFiles);
        AppendInts(b, systemBgm);
        if (v >= 202) AppendBytes(b, systemBgmLoop);
        for (const std::vector<Item>* menu : {&titleMenu, &mapMenu, &optionMenu}) {
            AppendU32(b, static_cast<uint32_t>(menu->size()));
            for (const Item& item : *menu) {
                AppendU32(b, 1);
                AppendU32(b, item.enabled);
                AppendU32(b, 1);
                AppendString(b, item.text);
            }
        }
        if (v >= 674) AppendTexts(b, rankingModes);
        AppendU32(b, static_cast<uint32_t>(options.size()));
        for (const Option& o : options) {
            AppendU32(b, 2);
            AppendU32(b, o.kind);
            AppendU32(b, o.value);
            AppendU32(b, 2);
            AppendString(b, o.name);
            AppendString(b, o.text);
        }
        return b;
    }

    Bytes File(uint32_t v) const
    {
        Bytes b;
        AppendU32(b, v);
        const Bytes body = Body(v);
        b.insert(b.end(), body.begin(), body.end());
        return b;
    }

    static void AppendBytes(Bytes& b, const std::vector<uint8_t>& v)
    {
        AppendU32(b, static_cast<uint32_t>(v.size()));
        b.insert(b.end(), v.begin(), v.end());
    }
    static void AppendInts(Bytes& b, const std::vector<int32_t>& v)
    {
        AppendU32(b, static_cast<uint32_t>(v.size()));
        for (int32_t x : v) AppendU32(b, static_cast<uint32_t>(x));
    }
    static void AppendTexts(Bytes& b, const std::vector<std::string>& v)
    {
        AppendU32(b, static_cast<uint32_t>(v.size()));
        for (const std::string& s : v) AppendString(b, s);
    }
};

// The settings of a new project, written out from the list of built-in values.
inline SystemFile NewProjectSystemFile()
{
    SystemFile f;
    f.scalars.assign(SystemScalars().size(), 0);
    auto set = [&f](const char* name, int32_t value) {
        for (size_t i = 0; i < SystemScalars().size(); ++i) {
            if (std::string(SystemScalars()[i].name) == name) f.scalars[i] = value;
        }
    };
    set("ExtraLifeScore", 100);
    set("DrawFrontBackgrounds", 1);
    set("FontFace", 60);
    set("Replay", 1);
    set("TitleMenuPicture", 1);
    set("StoryRetryRestore", 1);
    set("ChallengeRetryRestore", 1);
    set("FreeRetryRestore", 1);
    set("StoryPauseRetry", 1);
    set("ChallengePauseRetry", 1);
    set("PaletteCycleStep", 16);
    set("StoryCarryLives", 1);
    set("StoryRetryPrompt", 1);
    set("MapShowLives", 1);
    set("ChallengeStages", 40);
    set("ChallengeAllOpen", 1);
    set("StoryShowHighScore", 1);
    set("StoryShowTotalScore", 1);
    set("ChallengeShowHighScore", 1);
    set("ChallengeShowTotalScore", 1);
    set("DepthPalette", 2);

    f.carryOver = {1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1, 1, 0, 1, 1, 1, 0, 0, 0};
    f.carryReset = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    f.status = {{1, 1, 4, 0, 0, 0, "スコア"},
                {1, 1, 3, 0, 0, 0, "スコア"},
                {1, 1, 0, 0, 0, 0, "HP"},
                {1, 1, 0, 0, 0, 0, "SP"},
                {1, 1, 2, 0, 0, 0, "人"}};
    f.startLives = {5, 5, 5, 99};
    f.infiniteLives = {1, 1, 1, 1};
    f.ranking = {{1, {1, 1, 1, 1, 1}}, {1, {1, 1, 1, 1, 1}}, {1, {1, 1, 1, 1, 1}}, {0, {0, 0, 0, 0, 0}}};
    f.texts = {"ワールド", "ステージ", "スコア", "ハイスコア", "トータルスコア", "スコア", "残り時間",
               "クリア時間", "残りHP", "残りSP", "ステージに挑む", "やっぱりやめる", "セーブする",
               "やっぱりやめる", "オートセーブＯＮ", "オートセーブＯＦＦ",
               "保存先が不明です！一度は「セーブ」して下さい！", "タイトルへ戻る", "やっぱりやめる",
               "しゅうりょう", "つづける", "リトライ", "リトライ", "マップへ戻る",
               "Vキーでジャンルの切り替え", "スペースキーでタイトルへ戻る", "スペースキーで終了",
               "F3キーでランキングへ登録"};
    f.soundFiles.assign(17, "");
    f.systemBgm = {0, 0, 0, 0};
    f.systemBgmLoop = {1, 1, 1, 1};
    f.titleMenu = {{1, "はじめから"}, {1, "つづきから"}, {1, "チャレンジ"}, {1, "フリー"},
                   {1, "リプレイ"},   {1, "オプション"}, {1, "しゅうりょう"}};
    f.mapMenu = {{1, "セーブ"}, {1, "オートセーブ"}, {1, "もどる"}, {1, "タイトルへ"}};
    f.optionMenu = {{1, "BGM"}, {1, "SE"}, {1, "ランキング登録"}, {1, "ランキング登録名"}, {1, "もどる"}, {1, ""}};
    f.rankingModes = {"手動登録（登録名入力）", "手動登録（登録名固定）", "自動登録（登録名入力）",
                      "自動登録（登録名固定）"};
    f.options = {{0, "Direct3D", 2, ""},      {0, "WindowMode", 0, ""},   {0, "Bpp", 0, ""},
                 {0, "VSync", 2, ""},         {0, "D3D_FontCache", 0, ""}, {0, "DD_FontCache", 1, ""},
                 {0, "DD_VideoStretch", 0, ""}, {0, "ShowFps", 1, ""},   {1, "FreeStage", 0, ""},
                 {0, "English", 0, ""}};
    return f;
}
