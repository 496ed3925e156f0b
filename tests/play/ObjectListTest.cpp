// The stage's object lists: walks in insertion order that survive removals made while they run.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "objects/ObjectList.h"

namespace {

struct Thing {
    int32_t m_nKey = 0;
    int32_t m_bGone = 0;
};

std::vector<int32_t> Keys(cStageList<Thing>& list)
{
    std::vector<int32_t> v;
    for (Thing& t : list) v.push_back(t.m_nKey);
    return v;
}

cStageList<Thing>& Fill(cStageList<Thing>& list, int32_t n)
{
    for (int32_t i = 1; i <= n; ++i) list.Append(Thing{i, 0});
    return list;
}

TEST(ObjectListTest, AWalkSurvivesTheRemovalOfTheEntryItStandsOnAndOfTheNext)
{
    cStageList<Thing> list;
    Fill(list, 5);
    std::vector<int32_t> seen;
    for (auto it = list.begin(); it != list.end();) {
        seen.push_back(it->m_nKey);
        if (it->m_nKey == 2) {
            // A rule run for entry 2 removes entry 3, then entry 2 itself leaves.
            for (Thing& t : list)
                if (t.m_nKey == 3) list.Remove(t);
            it = list.Remove(it);
            continue;
        }
        ++it;
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 4, 5}));
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{1, 4, 5}));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.StoredCount(), 5u);   // freed only by the sweep
    list.Sweep();
    EXPECT_EQ(list.StoredCount(), 3u);
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{1, 4, 5}));
}

TEST(ObjectListTest, EntriesAppendedDuringAWalkAreVisitedInOrder)
{
    cStageList<Thing> list;
    Fill(list, 2);
    std::vector<int32_t> seen;
    for (Thing& t : list) {
        seen.push_back(t.m_nKey);
        if (t.m_nKey == 1) list.Append(Thing{10, 0});
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 10}));
}

TEST(ObjectListTest, StoredAddressesHoldUntilTheirOwnSweep)
{
    cStageList<Thing> list;
    Thing& first = list.Append(Thing{1, 0});
    Thing* lpFirst = &first;
    for (int32_t i = 2; i < 100; ++i) list.Append(Thing{i, 0});
    list.Remove(*std::next(list.begin(), 10));
    list.Sweep();
    EXPECT_EQ(lpFirst->m_nKey, 1);
    EXPECT_TRUE(list.Holds(lpFirst));
    list.Remove(*lpFirst);
    EXPECT_FALSE(list.Holds(lpFirst));
    EXPECT_EQ(lpFirst->m_nKey, 1);   // still readable until the sweep
    list.Sweep();
    EXPECT_EQ(list.Count(), 97);
}

TEST(ObjectListTest, RemovingTwiceCountsOnce)
{
    cStageList<Thing> list;
    Fill(list, 3);
    Thing& t = *list.begin();
    list.Remove(t);
    list.Remove(t);
    EXPECT_EQ(list.Count(), 2);
    list.Sweep();
    EXPECT_EQ(list.StoredCount(), 2u);
}

TEST(ObjectListTest, AnObjectFromElsewhereIsNotRemoved)
{
    cStageList<Thing> list;
    Fill(list, 2);
    Thing outsider{7, 0};
    list.Remove(outsider);
    EXPECT_EQ(outsider.m_bGone, 0);
    EXPECT_EQ(list.Count(), 2);
    list.Sweep();
    EXPECT_EQ(list.StoredCount(), 2u);
}

TEST(ObjectListTest, ADisplayThreadRemovesWhileTheGameThreadWaitsInsideAWalk)
{
    cStageList<Thing> list;
    Fill(list, 4);
    std::vector<int32_t> seen;
    for (Thing& t : list) {
        seen.push_back(t.m_nKey);
        if (t.m_nKey == 2) {
            // The game thread blocks in a join while the other thread finds entries 2 and 3
            // finished and removes them; the walk then goes on from where it stood.
            std::thread display([&list] {
                for (Thing& u : list)
                    if (u.m_nKey == 2 || u.m_nKey == 3) list.Remove(u);
            });
            display.join();
        }
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 4}));
    list.Sweep();
    EXPECT_EQ(Keys(list), (std::vector<int32_t>{1, 4}));
}

TEST(ObjectListTest, LinkListWalkSkipsRemovedPointersAndKeepsFrontInsertions)
{
    Thing a{1, 0}, b{2, 0}, c{3, 0};
    cLinkList<Thing> links;
    links.PushBack(&a);
    links.PushBack(&b);
    links.PushFront(&c);
    std::vector<int32_t> seen;
    for (Thing* p : links) {
        seen.push_back(p->m_nKey);
        if (p == &c) links.Remove(&a);   // removed ahead of the walk
        if (p == &b) links.Remove(&b);   // removed where the walk stands
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{3, 2}));
    EXPECT_EQ(links.Count(), 1);
    EXPECT_TRUE(links.Contains(&c));
    EXPECT_FALSE(links.Contains(&a));
    links.Sweep();
    EXPECT_EQ(links.Count(), 1);
}

}  // namespace
