// The links between stage objects through every way an object leaves the stage. After each
// removal the survivors are stepped: every pointer they hold is written through, so a pointer
// left at a freed object is caught by the address sanitizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/EdFlow.h"
#include "objects/ObjectLinks.h"
#include "stage/CharaList.h"
#include "stage/ItemList.h"
#include "stage/PlayState.h"
#include "stage/Player.h"

namespace {

class ObjectLinksTest : public ::testing::Test {
public:
    void SetUp() override
    {
        lpPlayState = &m_State;
        ResetPlayers(1);
        Player[0].m_nKey = 100;
    }
    void TearDown() override
    {
        ClearStageObjects(m_State);
        ResetPlayers(0);
        lpPlayState = nullptr;
    }

    cHero& Hero() { return Player[0]; }

    // Built in a temporary and copied in, as stage set-up and the summons do.
    cChara& AddChara(int32_t nKey, int32_t nFaction, cCharaBase* lpTarget)
    {
        cChara temp;
        temp.m_nKey = nKey;
        temp.m_nFaction = nFaction;
        temp.m_lpTarget = lpTarget;
        cChara& stored = CharaList.Append(temp);
        stored.RegisterLinks();
        AddCharaToFaction(&stored, 0);
        return stored;
    }
    cShot& AddShot(int32_t nKey, int32_t nFaction, int32_t nOwnerKey, cCharaBase* lpTarget)
    {
        cShot temp;
        temp.m_nKey = nKey;
        temp.m_nFaction = nFaction;
        temp.m_Rec.m_nSide = static_cast<int8_t>(nFaction);
        temp.m_nOwnerKey = nOwnerKey;
        temp.m_lpTargetChara = lpTarget;
        cShot* lpStored = AddShotToStage(m_State.m_ShotList, temp);
        lpStored->RegisterLinks();
        return *lpStored;
    }
    cChara* Chara(int32_t nKey)
    {
        for (cChara& c : CharaList)
            if (c.m_nKey == nKey) return &c;
        return nullptr;
    }
    cShot* Shot(int32_t nKey)
    {
        for (cShot& s : m_State.m_ShotList)
            if (s.m_nKey == nKey) return &s;
        return nullptr;
    }

    // Hero H (faction 0) targets A; A (faction 1) targets H; B (faction 1) targets A; C (faction 2)
    // targets B and itself is targeted by nobody. Shots: 11 from A at H, 12 from H at A, 13 from C
    // at B, 14 from B at A.
    void BuildScene()
    {
        AddCharaToFaction(&Hero(), 0);
        cChara& a = AddChara(1, 1, &Hero());
        cChara& b = AddChara(2, 1, &a);
        AddChara(3, 2, &b);
        Hero().SetTarget(&a);
        AddShot(11, 1, 1, &Hero());
        AddShot(12, 0, 100, &a);
        AddShot(13, 2, 3, &b);
        AddShot(14, 1, 2, &a);
    }

    bool IsLiveChara(const cCharaBase* p)
    {
        for (cHero& h : Player)
            if (&h == p) return true;
        return CharaList.Holds(static_cast<const cChara*>(p));
    }

    // Every pointer of a live object points at a live object, and each side mirrors the other.
    void ExpectLinksConsistent()
    {
        std::vector<cCharaBase*> vCharas;
        for (cHero& h : Player) vCharas.push_back(&h);
        for (cChara& c : CharaList) vCharas.push_back(&c);
        for (cCharaBase* c : vCharas) {
            if (c->m_lpTarget != nullptr) {
                EXPECT_TRUE(IsLiveChara(c->m_lpTarget)) << c->m_nKey;
                EXPECT_TRUE(c->m_lpTarget->m_vTargetedBy.Contains(c)) << c->m_nKey;
            }
            for (cCharaBase* t : c->m_vTargetedBy) {
                EXPECT_TRUE(IsLiveChara(t)) << c->m_nKey;
                EXPECT_EQ(t->m_lpTarget, c) << c->m_nKey;
            }
            for (cShot* s : c->m_vShots) {
                EXPECT_TRUE(m_State.m_ShotList.Holds(s)) << c->m_nKey;
                EXPECT_EQ(s->m_lpTargetChara, c) << c->m_nKey;
            }
        }
        for (cShot& s : m_State.m_ShotList) {
            if (s.m_lpTargetChara == nullptr) continue;
            EXPECT_TRUE(IsLiveChara(s.m_lpTargetChara)) << s.m_nKey;
            EXPECT_TRUE(s.m_lpTargetChara->m_vShots.Contains(&s)) << s.m_nKey;
        }
        for (cLinkList<cCharaBase>& list : m_State.m_vFactionCharas)
            for (cCharaBase* c : list) EXPECT_TRUE(IsLiveChara(c)) << c->m_nKey;
        for (cLinkList<cShot>& list : m_State.m_vFactionShots)
            for (cShot* s : list) EXPECT_TRUE(m_State.m_ShotList.Holds(s)) << s->m_nKey;
    }

    // One sub-step's worth of writes through every pointer the survivors hold.
    void StepSurvivors()
    {
        auto step = [this](cCharaBase& c) {
            if (c.m_lpTarget != nullptr) c.m_lpTarget->m_nHP += 1;
            for (cCharaBase* t : c.m_vTargetedBy) t->m_nSP += 1;
            for (cShot* s : c.m_vShots) s->m_nStep += 1;
            (void)this;
        };
        for (cHero& h : Player) step(h);
        for (cChara& c : CharaList) step(c);
        for (cShot& s : m_State.m_ShotList) {
            if (s.m_lpTargetChara != nullptr) s.m_lpTargetChara->m_nHP += 1;
            // A shot finds its shooter by key; a removed shooter is not found.
            if (cCharaBase* lpOwner = FindCharaByKey(s.m_nOwnerKey)) lpOwner->m_nSP += 1;
        }
        for (cLinkList<cCharaBase>& list : m_State.m_vFactionCharas)
            for (cCharaBase* c : list) c->m_bMoved += 1;
        for (cLinkList<cShot>& list : m_State.m_vFactionShots)
            for (cShot* s : list) s->m_nStep += 1;
    }

    cPlayState m_State;
};

TEST_F(ObjectLinksTest, TheSceneIsLinkedBothWays)
{
    BuildScene();
    ExpectLinksConsistent();
    cChara* a = Chara(1);
    EXPECT_EQ(Hero().m_vTargetedBy.size(), 1u);
    EXPECT_EQ(a->m_vTargetedBy.size(), 2u);   // the hero and B
    EXPECT_EQ(a->m_vShots.size(), 2u);        // shots 12 and 14
    EXPECT_EQ(m_State.m_vFactionCharas[1].Count(), 2);
    EXPECT_EQ(m_State.m_vFactionShots[1].Count(), 2);
}

// Each way a character leaves the stage, applied to each character in turn.
TEST_F(ObjectLinksTest, EveryRemovalPathLeavesNoPointerToTheRemovedCharacter)
{
    using Path = std::function<void(ObjectLinksTest&, int32_t)>;
    struct Case {
        const char* lpName;
        Path remove;
    };
    const Case paths[] = {
        {"RemoveEnemy by position",
         [](ObjectLinksTest&, int32_t nKey) {
             for (auto it = CharaList.begin(); it != CharaList.end();) {
                 if (it->m_nKey == nKey)
                     it = RemoveEnemy(it);
                 else
                     ++it;
             }
         }},
        {"defeat, stepped, then removed after the defeat display",
         [](ObjectLinksTest& t, int32_t nKey) {
             cChara* lpVictim = t.Chara(nKey);
             lpVictim->UnlinkForDefeat();
             lpVictim->m_bDefeated = 1;
             t.StepSurvivors();
             t.ExpectLinksConsistent();
             RemoveEnemy(*lpVictim);
         }},
        {"lifetime, removed during a walk that also removes the next character",
         [](ObjectLinksTest& t, int32_t nKey) {
             for (auto it = CharaList.begin(); it != CharaList.end();) {
                 if (it->m_nKey == nKey) {
                     // The pass stands on the victim while a rule of it removes another one
                     // later in the list; both leave and the walk goes on.
                     for (cChara& c : CharaList)
                         if (c.m_nKey == 3 && c.m_nKey != nKey) RemoveEnemy(c);
                     it = RemoveEnemy(it);
                 } else {
                     ++it;
                 }
             }
             t.StepSurvivors();
         }},
        {"removal range, removed during a walk of its faction list",
         [](ObjectLinksTest& t, int32_t nKey) {
             for (cLinkList<cCharaBase>& list : t.m_State.m_vFactionCharas)
                 for (cCharaBase* c : list) {
                     if (c->m_nKey == nKey) RemoveEnemy(*static_cast<cChara*>(c));
                     else c->m_nHP += 1;
                 }
         }},
        {"vanish, removed by another character's flow while the pass walks",
         [](ObjectLinksTest& t, int32_t nKey) {
             for (cChara& runner : CharaList) {
                 if (runner.m_nKey == nKey) continue;
                 cChara* lpVictim = t.Chara(nKey);
                 if (lpVictim != nullptr) RemoveEnemy(*lpVictim);
                 runner.m_nHP += 1;
             }
         }},
    };
    for (const Case& path : paths) {
        for (int32_t nVictim : {1, 2, 3}) {
            SCOPED_TRACE(std::string(path.lpName) + ", victim " + std::to_string(nVictim));
            BuildScene();
            path.remove(*this, nVictim);
            EXPECT_EQ(Chara(nVictim), nullptr);
            EXPECT_EQ(FindCharaByKey(nVictim), nullptr);
            ExpectLinksConsistent();
            StepSurvivors();
            SweepStageObjects(m_State);
            ExpectLinksConsistent();
            StepSurvivors();
            ClearStageObjects(m_State);
        }
    }
}

TEST_F(ObjectLinksTest, ShotsLeaveTheirTargetAndFactionLists)
{
    struct Case {
        const char* lpName;
        std::function<void(ObjectLinksTest&)> remove;
        std::vector<int32_t> vGone;
    };
    const Case cases[] = {
        {"one shot removed after its move",
         [](ObjectLinksTest& t) { RemoveShotFromStage(*t.Shot(14)); }, {14}},
        {"vanish of a faction's shots while walking that faction list",
         [](ObjectLinksTest& t) {
             for (cShot* s : t.m_State.m_vFactionShots[1]) RemoveShotFromStage(*s);
         },
         {11, 14}},
        {"range removal while walking the shot list",
         [](ObjectLinksTest& t) {
             for (cShot& s : t.m_State.m_ShotList)
                 if (s.m_nKey == 12 || s.m_nKey == 13) RemoveShotFromStage(s);
         },
         {12, 13}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lpName);
        BuildScene();
        c.remove(*this);
        for (int32_t nKey : c.vGone) EXPECT_EQ(Shot(nKey), nullptr) << nKey;
        ExpectLinksConsistent();
        StepSurvivors();
        SweepStageObjects(m_State);
        ExpectLinksConsistent();
        StepSurvivors();
        ClearStageObjects(m_State);
    }
}

TEST_F(ObjectLinksTest, ATargetRemovedBeforeItsShotsLeavesThemWithoutATarget)
{
    BuildScene();
    RemoveEnemy(*Chara(1));
    EXPECT_EQ(Shot(12)->m_lpTargetChara, nullptr);
    EXPECT_EQ(Shot(14)->m_lpTargetChara, nullptr);
    EXPECT_EQ(Hero().m_lpTarget, nullptr);
    EXPECT_EQ(Chara(2)->m_lpTarget, nullptr);
    SweepStageObjects(m_State);
    RemoveShotFromStage(*Shot(12));   // nothing left to leave
    SweepStageObjects(m_State);
    StepSurvivors();
    ExpectLinksConsistent();
}

TEST_F(ObjectLinksTest, StageEndDropsEveryLinkWithoutWritingThroughOne)
{
    BuildScene();
    ClearStageObjects(m_State);
    EXPECT_EQ(CharaList.Count(), 0);
    EXPECT_EQ(m_State.m_ShotList.Count(), 0);
    EXPECT_EQ(Hero().m_lpTarget, nullptr);
    EXPECT_TRUE(Hero().m_vTargetedBy.empty());
    EXPECT_TRUE(Hero().m_vShots.empty());
    ASSERT_EQ(m_State.m_vFactionCharas.size(), 8u);
    for (cLinkList<cCharaBase>& list : m_State.m_vFactionCharas) EXPECT_TRUE(list.Empty());
    StepSurvivors();
    // A new stage rebuilds the heroes once nothing else is left.
    ResetPlayers(1);
    EXPECT_TRUE(Player[0].m_vTargetedBy.empty());
}

TEST_F(ObjectLinksTest, APlayStateThatEndsTakesTheStageWithIt)
{
    // The scene's shots die with it while characters name them as incoming shots.
    auto lpState = std::make_unique<cPlayState>();
    lpPlayState = lpState.get();
    cChara temp;
    temp.m_nKey = 5;
    cChara& c = CharaList.Append(temp);
    cShot shot;
    shot.m_lpTargetChara = &c;
    AddShotToStage(lpState->m_ShotList, shot)->RegisterLinks();
    Hero().SetTarget(&c);
    ASSERT_EQ(c.m_vShots.size(), 1u);
    lpState.reset();
    EXPECT_EQ(lpPlayState.load(), nullptr);
    EXPECT_EQ(CharaList.Count(), 0);
    EXPECT_EQ(Hero().m_lpTarget, nullptr);
    lpPlayState = &m_State;
}

TEST_F(ObjectLinksTest, ACopyTakesTheTargetButNoIncomingLinkUntilRegistered)
{
    BuildScene();
    cChara* a = Chara(1);
    cChara copy(*a);
    EXPECT_EQ(copy.m_lpTarget, &Hero());
    EXPECT_TRUE(copy.m_vTargetedBy.empty());
    EXPECT_TRUE(copy.m_vShots.empty());
    EXPECT_FALSE(Hero().m_vTargetedBy.Contains(&copy));
    // Stored and registered, the copy joins its target's list.
    cChara& stored = CharaList.Append(copy);
    EXPECT_FALSE(Hero().m_vTargetedBy.Contains(&stored));
    stored.RegisterLinks();
    stored.RegisterLinks();
    EXPECT_EQ(std::count(Hero().m_vTargetedBy.begin(), Hero().m_vTargetedBy.end(), &stored), 1);
    ExpectLinksConsistent();
}

TEST_F(ObjectLinksTest, SetTargetMovesTheCharacterBetweenTargetedByLists)
{
    BuildScene();
    cChara* b = Chara(2);
    cChara* c = Chara(3);
    b->SetTarget(c);
    EXPECT_FALSE(Chara(1)->m_vTargetedBy.Contains(b));
    EXPECT_TRUE(c->m_vTargetedBy.Contains(b));
    b->SetTarget(nullptr);
    EXPECT_FALSE(c->m_vTargetedBy.Contains(b));
    c->SetTarget(c);   // a character may aim at itself and still leave cleanly
    RemoveEnemy(*c);
    SweepStageObjects(m_State);
    ExpectLinksConsistent();
    StepSurvivors();
}

TEST_F(ObjectLinksTest, ACopiedCharacterRunsTheFlowsOfItsOwnDefinitions)
{
    std::unique_ptr<cChara> lpTemp = std::make_unique<cChara>();
    lpTemp->m_nKey = 7;
    lpTemp->m_Def.m_vFlow.resize(2);
    lpTemp->m_Def.m_vFlow[1].m_vKeyList.resize(2);
    lpTemp->m_Def.m_vFlow[1].m_vCommand.resize(3);
    lpTemp->m_vFlow.resize(3);   // one instance more than definitions
    lpTemp->m_vFlow[1].m_vCmd.resize(4);
    lpTemp->RelinkFlowInstances();
    cChara& stored = CharaList.Append(*lpTemp);
    lpTemp.reset();
    ASSERT_EQ(stored.m_vFlow.size(), 3u);
    EXPECT_EQ(stored.m_vFlow[0].m_lpFlow, &stored.m_Def.m_vFlow[0]);
    EXPECT_EQ(stored.m_vFlow[1].m_lpFlow, &stored.m_Def.m_vFlow[1]);
    EXPECT_EQ(stored.m_vFlow[2].m_lpFlow, nullptr);
    EXPECT_EQ(stored.m_vFlow[1].m_nIndex, 1);
    ASSERT_EQ(stored.m_vFlow[1].m_vKeySteps.size(), 2u);
    EXPECT_EQ(stored.m_vFlow[1].m_vKeySteps[1], &stored.m_Def.m_vFlow[1].m_vKeyList[1]);
    EXPECT_EQ(stored.m_vFlow[1].m_vCmd[2].m_lpCmd, &stored.m_Def.m_vFlow[1].m_vCommand[2]);
    EXPECT_EQ(stored.m_vFlow[1].m_vCmd[3].m_lpCmd, nullptr);
    // Written through after the temporary is gone.
    stored.m_vFlow[1].m_lpFlow->m_nTrigger = 3;
    stored.m_vFlow[1].m_vCmd[0].m_lpCmd->m_nKind = 2;
}

TEST_F(ObjectLinksTest, FindCharaByKeyPrefersAHeroAndSkipsRemovedCharacters)
{
    BuildScene();
    AddChara(100, 1, nullptr);   // the hero's key again
    EXPECT_EQ(FindCharaByKey(100), &Hero());
    EXPECT_EQ(FindCharaByKey(2), Chara(2));
    RemoveEnemy(*Chara(2));
    EXPECT_EQ(FindCharaByKey(2), nullptr);
    EXPECT_EQ(FindCharaByKey(999), nullptr);
}

TEST_F(ObjectLinksTest, SummonsGoToTheFrontOfTheirFactionList)
{
    BuildScene();
    cChara temp;
    temp.m_nKey = 9;
    temp.m_nFaction = 1;
    cChara& stored = CharaList.Append(temp);
    AddCharaToFaction(&stored, 1);
    std::vector<int32_t> vKeys;
    for (cCharaBase* c : m_State.m_vFactionCharas[1]) vKeys.push_back(c->m_nKey);
    EXPECT_EQ(vKeys, (std::vector<int32_t>{9, 1, 2}));
}

}  // namespace
