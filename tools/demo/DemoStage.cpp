#include "tools/demo/DemoStage.h"

#include <vector>

#include "data/EdPalette.h"
#include "data/EdStage.h"
#include "data/ProjectPaths.h"
#include "tools/demo/DemoFlows.h"
#include "tools/demo/DemoPalette.h"
#include "tools/demo/DemoProject.h"

namespace {

struct BlockKind {
    int16_t graphic;
    const char* name;
    int8_t hit;   // 0 none, 1 solid, 2 solid and deadly for the hero
};

const BlockKind kBlocks[] = {
    {BlockGrass, "草地", 1},       {BlockEarth, "土", 1},          {BlockMossStone, "コケ石", 1},
    {BlockStone, "石", 1},         {BlockCrystal, "水晶", 1},   {BlockIce, "氷", 1},
    {BlockWood, "木", 1},          {BlockBlue, "青ブロック", 1},   {BlockGreen, "緑ブロック", 1},
    {BlockPurple, "紫ブロック", 1}, {BlockSpikes, "トゲ", 2},       {BlockCloud, "雲", 1},
    {BlockLadder, "はしご", 0},    {BlockWater, "水", 0},
};

struct CharaKind {
    int16_t graphic;
    const char* name;
    int8_t controller;   // 0 player, 1 computer
    int8_t flying;
    int32_t hp, power, score;
};

const CharaKind kCharas[] = {
    {CharaHero, "主人公", 0, 0, 10, 1, 0},
    {CharaSlime, "スライム", 1, 0, 2, 1, 100},
    {CharaBat, "コウモリ", 1, 1, 2, 1, 150},
    {CharaBeetle, "マルムシ", 1, 0, 3, 1, 200},
    {CharaRobot, "ロボット", 1, 0, 6, 2, 500},
    {CharaGhost, "おばけ", 1, 1, 4, 1, 300},
};

struct ItemKind {
    int16_t graphic;
    const char* name;
};

const ItemKind kItems[] = {
    {ItemAcorn, "どんぐり"}, {ItemHeart, "ハート"}, {ItemStar, "スター"}, {ItemGem, "宝石"},
    {ItemKey, "カギ"},    {ItemPotion, "くすり"}, {ItemLife, "1UP"},    {ItemFruit, "リンゴ"},
};

cEdBlock MakeBlock(const BlockKind& k)
{
    cEdBlock b;
    b.SetDefaults();
    b.m_strName = k.name;
    b.m_nGraphicKind = 0;
    b.m_nGraphicIndex = k.graphic;
    b.m_nHit = k.hit;
    // Ladders and water are drawn over the characters that pass them.
    b.m_nLayer = (k.graphic == BlockWater) ? 1 : 0;
    return b;
}

cEdChara MakeChara(const CharaKind& k)
{
    cEdChara c;
    c.SetDefaults();
    c.m_strName = k.name;
    c.m_nGraphicKind = 1;
    c.m_nGraphicIndex = k.graphic;
    c.m_nController = k.controller;
    c.m_nHitGroup = k.controller == 0 ? 0 : 1;
    c.m_nFlying = k.flying;
    c.m_nMaxHP = k.hp;
    c.m_nPower = k.power;
    c.m_nScore = k.score;
    c.m_nStartDir = k.controller == 0 ? 1 : 0;   // the hero looks into the stage, enemies at him
    AddDemoFlows(c);
    return c;
}

cEdItem MakeItem(const ItemKind& k)
{
    cEdItem i;
    i.SetDefaults();
    i.m_strName = k.name;
    i.m_nGraphicKind = 2;
    i.m_nGraphicIndex = k.graphic;
    AddDemoItemCommands(i, false);
    return i;
}

const BlockKind& FindBlock(int16_t graphic)
{
    for (const BlockKind& k : kBlocks) {
        if (k.graphic == graphic) return k;
    }
    return kBlocks[0];
}

const CharaKind& FindChara(int16_t graphic)
{
    for (const CharaKind& k : kCharas) {
        if (k.graphic == graphic) return k;
    }
    return kCharas[0];
}

const ItemKind& FindItem(int16_t graphic)
{
    for (const ItemKind& k : kItems) {
        if (k.graphic == graphic) return k;
    }
    return kItems[0];
}

// A stage drawn as text, one letter per block: '#' grass on top of earth, 'E' earth, 'B' mossy stones,
// 'S' stone, 'X' crystal block, 'I' ice, 'W' wood, 'C' cloud, 'H' ladder, '~' water, '^' spikes,
// 'b' 'g' 'p' blue, green and purple blocks; 'P' the hero; 's' slime, 'v' bat, 'm' beetle,
// 'r' robot, 'o' ghost; 'c' acorn, 'h' heart, '*' star, 'd' gem, 'k' key, 'l' extra life,
// 'f' fruit, 'G' the goal (a key that clears the stage); 'M' a cloud that carries the hero left
// and right. Everything else is empty.
bool BuildStage(cEdStage& stage, const std::vector<const char*>& rows, int16_t nBackground)
{
    stage.SetDefaults();
    const int32_t height = static_cast<int32_t>(rows.size());
    const int32_t width = static_cast<int32_t>(std::string(rows[0]).size());
    stage.m_nWidth = width;
    stage.m_nHeight = height;
    stage.m_nBgm = 1;
    stage.m_bBgmLoop = 1;
    stage.m_bTimeLimit = 1;
    stage.m_nTimeLimit = 300;
    stage.m_bScrollLimitLeft = 1;
    stage.m_bScrollLimitRight = 1;
    stage.m_bScrollLimitTop = 1;
    stage.m_bScrollLimitBottom = 1;
    stage.m_nScrollLimitLeft = 0;
    stage.m_nScrollLimitRight = width - 1;
    stage.m_nScrollLimitTop = 0;
    stage.m_nScrollLimitBottom = height - 1;
    // Backgrounds: the sky far away, hills closer.
    stage.m_vBackground.clear();
    cEdStageBackground sky;
    sky.SetDefaults();
    sky.m_strFile = nBackground == 0 ? "bmp\\back\\Sky.bmp" : "bmp\\back\\Hills.bmp";
    sky.m_dFactorX = 0.2;
    sky.m_dFactorY = 0.0;
    stage.m_vBackground.push_back(sky);

    for (int32_t y = 0; y < height; ++y) {
        const std::string row = rows[static_cast<size_t>(y)];
        if (static_cast<int32_t>(row.size()) != width) return false;
        for (int32_t x = 0; x < width; ++x) {
            const char ch = row[static_cast<size_t>(x)];
            int16_t block = 0, chara = 0, item = 0;
            switch (ch) {
            case '#': block = BlockGrass; break;
            case 'E': block = BlockEarth; break;
            case 'B': block = BlockMossStone; break;
            case 'S': block = BlockStone; break;
            case 'X': block = BlockCrystal; break;
            case 'I': block = BlockIce; break;
            case 'W': block = BlockWood; break;
            case 'C': block = BlockCloud; break;
            case 'H': block = BlockLadder; break;
            case '~': block = BlockWater; break;
            case '^': block = BlockSpikes; break;
            case 'b': block = BlockBlue; break;
            case 'g': block = BlockGreen; break;
            case 'p': block = BlockPurple; break;
            case 'P': chara = CharaHero; break;
            case 's': chara = CharaSlime; break;
            case 'v': chara = CharaBat; break;
            case 'm': chara = CharaBeetle; break;
            case 'r': chara = CharaRobot; break;
            case 'o': chara = CharaGhost; break;
            case 'c': item = ItemAcorn; break;
            case 'h': item = ItemHeart; break;
            case '*': item = ItemStar; break;
            case 'd': item = ItemGem; break;
            case 'k': item = ItemKey; break;
            case 'l': item = ItemLife; break;
            case 'f': item = ItemFruit; break;
            case 'G': item = ItemKey; break;
            default: break;
            }
            if (block) {
                cEdBlock b = MakeBlock(FindBlock(block));
                b.m_nX = static_cast<int16_t>(x);
                b.m_nY = static_cast<int16_t>(y);
                stage.m_vBlock.push_back(b);
            }
            if (ch == 'M') {
                cEdChara c = DemoCloudPlatform();
                c.m_nX = static_cast<int16_t>(x);
                c.m_nY = static_cast<int16_t>(y);
                stage.m_vChara.push_back(c);
            }
            if (chara) {
                cEdChara c = MakeChara(FindChara(chara));
                c.m_nX = static_cast<int16_t>(x);
                c.m_nY = static_cast<int16_t>(y);
                c.m_nCarriedItem = -1;
                stage.m_vChara.push_back(c);
            }
            if (item) {
                cEdItem i = MakeItem(FindItem(item));
                i.m_nX = static_cast<int16_t>(x);
                i.m_nY = static_cast<int16_t>(y);
                if (ch == 'G') AddDemoItemCommands(i, true);
                stage.m_vItem.push_back(i);
            }
        }
    }
    return true;
}

// Stage 1, the meadow: 60 x 15 blocks.
const std::vector<const char*> kStage1 = {
    "                                                            ",
    "                                                            ",
    "                                                            ",
    "                        c c c                               ",
    "                       BBBBBBB           v        l         ",
    "            c                                   CCCC        ",
    "          BBXBB              v                              ",
    "                                      ccc                   ",
    "                   ccc               SSSSS           *      ",
    "    c c           WWWWW             M               ggg     ",
    "                                 S              h        S  ",
    "                               c SS     r     bbb       SS  ",
    "  P       s   s        m s    SSSSSS   ^^^     s    o  SSS G",
    "############################  #####################  #######",
    "EEEEEEEEEEEEEEEEEEEEEEEEEEEE~~EEEEEEEEEEEEEEEEEEEEE~~EEEEEEE",
};

// Stage 2, the rocky castle: 50 x 15 blocks.
const std::vector<const char*> kStage2 = {
    "SSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSS",
    "S                                                S",
    "S                   o                d           S",
    "S        ccc                       SSSSS         S",
    "S       SSSSS             v                      S",
    "S                      BBBBB              o      S",
    "S   c              H                 c c c       S",
    "S  BBB    v        H   k           BBBBBBBB      S",
    "S                  H  SSS                        S",
    "S         IIIIII   H                      *      S",
    "S                  H         r           ppp     S",
    "S P     s       SSSSS    m  SSS    s          lG S",
    "SSSSSSSSSS^^^SSSSSSSSSSSSSSSSSSSSSSSSSSS^^^SSSSSSS",
    "SSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSS",
    "SSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSS",
};

// Stage 3, the riverside path: 40 x 15 blocks.
const std::vector<const char*> kStage3 = {
    "                                        ",
    "                                        ",
    "                                        ",
    "                                        ",
    "                     c c c              ",
    "                    WWWWWWW       l     ",
    "          v                     CCCC    ",
    "       ccc                              ",
    "      WWWWW           v          c c    ",
    "                                WWWWW   ",
    "                  c      f              ",
    "  P     s      WWWWW    s     m     *   ",
    "###########  ##########  ###############",
    "EEEEEEEEEEE~~EEEEEEEEEE~~EEEEEEEEEEEEEEE",
    "EEEEEEEEEEE~~EEEEEEEEEE~~EEEEEEEEEEEEEEE",
};

// Challenges 1, the slime meadow, and 2, the bat valley: 24 x 15 blocks each.
const std::vector<const char*> kChallenge1 = {
    "                        ",
    "                        ",
    "                        ",
    "                        ",
    "                        ",
    "                        ",
    "           ccc          ",
    "          BBBBB         ",
    "                        ",
    "      c c         c c   ",
    "     WWWWW       WWWWW  ",
    "                        ",
    "  P    s    s   s   s G ",
    "########################",
    "EEEEEEEEEEEEEEEEEEEEEEEE",
};

const std::vector<const char*> kChallenge2 = {
    "SSSSSSSSSSSSSSSSSSSSSSSS",
    "S                      S",
    "S      v        v      S",
    "S    c c c             S",
    "S          *           S",
    "S         SSS     v    S",
    "S    v                 S",
    "S   SSS          SSS   S",
    "S                      S",
    "S         M            S",
    "S                  r   S",
    "S               SSSSS  S",
    "S P     ^^^^^^^      G S",
    "SSSSSSSSSSSSSSSSSSSSSSSS",
    "SSSSSSSSSSSSSSSSSSSSSSSS",
};

}   // namespace


bool WriteDemoStage(const std::string& path, const std::vector<const char*>& rows, const std::string& name,
                    std::string* error)
{
    cEdStage stage;
    if (rows.empty() || !BuildStage(stage, rows, 0)) {
        *error = "stage rows of unequal length in " + path;
        return false;
    }
    stage.m_strName = name;
    if (!stage.SaveToFile(path.c_str())) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool WriteDemoPaletteAndStages(std::string* error)
{
    cEdPalette palette;
    palette.m_vBlock.resize(1);
    palette.m_vChara.resize(1);
    palette.m_vItem.resize(1);
    for (const BlockKind& k : kBlocks) palette.m_vBlock.push_back(MakeBlock(k));
    for (const CharaKind& k : kCharas) palette.m_vChara.push_back(MakeChara(k));
    for (const ItemKind& k : kItems) palette.m_vItem.push_back(MakeItem(k));
    if (!palette.SaveToFile(ProjectPathTable[7])) {
        *error = std::string("cannot write ") + ProjectPathTable[7];
        return false;
    }
    // The stages' summons name entries of this palette, which saving checks against the common
    // palette: it is this one, as it will be when the player loads the stages.
    g_CommonPalette = palette;
    // The story's stages, then the challenge's, which are timed.
    struct StageFile {
        const char* lpPath;
        const std::vector<const char*>* lpRows;
        int16_t nBackground;
        const char* lpName;
        int32_t nTimeLimit;
    };
    const StageFile kFiles[6] = {
        {DemoStageFiles[0], &kStage1, 0, "はじまりの草原", 300},
        {DemoStageFiles[1], &kStage2, 1, "いわやまの城", 300},
        {DemoStageFiles[2], &kStage3, 0, "かわべのこみち", 300},
        {DemoChallengeFiles[0], &kChallenge1, 0, "スライムの原っぱ", 120},
        {DemoChallengeFiles[1], &kChallenge2, 1, "コウモリの谷", 120},
        {DemoChallengeFiles[2], &kStage2, 1, "チャレンジ3　城", 200},
    };
    for (const StageFile& file : kFiles) {
        cEdStage stage;
        if (!BuildStage(stage, *file.lpRows, file.nBackground)) {
            *error = std::string("stage rows of unequal length in ") + file.lpPath;
            return false;
        }
        stage.m_strName = file.lpName;
        stage.m_nTimeLimit = file.nTimeLimit;
        if (!stage.SaveToFile(file.lpPath)) {
            *error = std::string("cannot write ") + file.lpPath;
            return false;
        }
    }
    return true;
}
