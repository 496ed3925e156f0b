#include <gtest/gtest.h>

#include "data/EdSystem.h"
#include "frontend/ChallengeSelectScene.h"
#include "frontend/MenuScene.h"
#include "shell/SceneManager.h"

namespace {

TEST(TitleItems, OfferedItemsAndTheStartRow)
{
    const cEdSystem saved = g_System;
    const struct {
        const char* name;
        std::vector<int32_t> enabled;   // enable flags of the seven title entries
        int32_t titleChoice;
        std::vector<int32_t> wantItems;
        int32_t wantRow;
    } cases[] = {
        {"all offered, back from the options", {1, 1, 1, 1, 1, 1, 1}, 5, {0, 1, 2, 3, 4, 5, 6}, 5},
        {"none offered gives new story alone", {0, 0, 0, 0, 0, 0, 0}, 0, {0}, 0},
        {"the last choice keeps its item", {1, 0, 1, 0, 0, 1, 1}, 5, {0, 2, 5, 6}, 2},
        {"a choice not offered starts on its raw value", {1, 0, 1, 0, 0, 0, 1}, 4, {0, 2, 6}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_System.m_vTitleMenu.assign(7, cEdSystemText());
        for (size_t i = 0; i < 7; ++i) g_System.m_vTitleMenu[i].m_bEnabled = c.enabled[i];
        const std::vector<int32_t> items = BuildTitleItems();
        EXPECT_EQ(items, c.wantItems);
        EXPECT_EQ(TitleStartRow(items, c.titleChoice), c.wantRow);
    }
    g_System = saved;
}

TEST(TitleItems, ChoicesWhoseSceneCannotBeMadeAreRefused)
{
    // Free play and replay go through the main window's file choosers and exit hands over to
    // nothing, so they are never refused here; the others need their scene.
    RegisterFrontendScenes();
    const struct {
        int32_t choice;
        int32_t scene;
    } cases[] = {
        {0, kSceneWorldMap}, {1, kSceneWorldMap}, {2, kSceneChallengeSelect}, {3, -1},
        {4, -1},             {5, kSceneOptions},  {6, -1},                    {7, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice);
        EXPECT_EQ(TitleChoiceScene(c.choice), c.scene);
    }
    // The front end makes the world map and the challenge select, so every choice is offered.
    for (int32_t choice = 0; choice < 8; ++choice) EXPECT_TRUE(TitleChoiceAvailable(choice)) << choice;
    // Without a world map they would fade out to nothing: refused; likewise challenge.
    RegisterSceneFactory(kSceneChallengeSelect, nullptr);
    EXPECT_FALSE(TitleChoiceAvailable(2));
    RegisterSceneFactory(kSceneWorldMap, nullptr);
    EXPECT_FALSE(TitleChoiceAvailable(0));
    EXPECT_FALSE(TitleChoiceAvailable(1));
    EXPECT_TRUE(TitleChoiceAvailable(5));
    RegisterFrontendScenes();
    EXPECT_TRUE(TitleChoiceAvailable(0));
}

}  // namespace
