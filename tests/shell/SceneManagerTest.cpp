// The scene switch and the colour pulse helper.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/SceneManager.h"

namespace {

std::vector<std::string> Events;

template <int Id>
class RecordingScene : public cScene {
public:
    RecordingScene() { Events.push_back("make " + std::to_string(Id)); }
    ~RecordingScene() override { Events.push_back("delete " + std::to_string(Id)); }
    int RunFrame() override { return 1; }
};

template <int Id>
cScene* Make()
{
    return new RecordingScene<Id>();
}

class SceneSwitch : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterSceneFactory(0, Make<0>);
        RegisterSceneFactory(1, Make<1>);
        RegisterSceneFactory(2, Make<2>);
        RegisterSceneFactory(4, Make<4>);
        Events.clear();
    }
    void TearDown() override
    {
        m_Manager.DeleteAllScenes();
        for (int i = 0; i < SceneCount; ++i) RegisterSceneFactory(i, nullptr);
    }
    cSceneManager m_Manager;
};

}  // namespace

TEST_F(SceneSwitch, OnlyTheNamedSceneExistsAfterASwitch)
{
    m_Manager.UpdateScene(0);
    m_Manager.UpdateScene(0);   // the running scene is left alone
    EXPECT_EQ(Events, (std::vector<std::string>{"make 0"}));
    m_Manager.UpdateScene(2);
    EXPECT_EQ(Events, (std::vector<std::string>{"make 0", "delete 0", "make 2"}));
    EXPECT_EQ(m_Manager.Scene(0), nullptr);
    EXPECT_NE(m_Manager.Scene(2), nullptr);
    // An id outside 0..5, or a scene this build does not have, leaves no scene at all.
    m_Manager.UpdateScene(9);
    EXPECT_EQ(m_Manager.Scene(2), nullptr);
    m_Manager.UpdateScene(3);
    EXPECT_EQ(m_Manager.Scene(3), nullptr);
}

TEST_F(SceneSwitch, StagePlayPointerNeverOutlivesTheScene)
{
    m_Manager.UpdateScene(4);
    ASSERT_NE(lpStagePlayScene.load(), nullptr);
    EXPECT_EQ(lpStagePlayScene.load(), m_Manager.Scene(4));
    m_Manager.UpdateScene(1);
    EXPECT_EQ(lpStagePlayScene.load(), nullptr);
    m_Manager.UpdateScene(4);
    m_Manager.DeleteAllScenes();
    EXPECT_EQ(lpStagePlayScene.load(), nullptr);
    EXPECT_EQ(m_Manager.Scene(4), nullptr);
}

TEST(PingPong, StaysInBoundsAndReportsEachCycleOnceAtTheBottom)
{
    struct Step {
        int32_t value, direction, step;
        int result;
        int32_t valueAfter, directionAfter;
    };
    const Step steps[] = {
        {0, 0, 100, 0, 100, 0},      // upwards
        {200, 0, 100, 0, 200, 1},    // would reach the top: undone, turns
        {100, 1, 100, 1, 100, 0},    // would reach the bottom: undone, turns, reports
        {150, 1, 100, 0, 50, 1},     // downwards
        {254, 0, 1, 0, 254, 1},      // reaching high exactly turns
    };
    for (const Step& s : steps) {
        int32_t value = s.value, direction = s.direction;
        EXPECT_EQ(PingPong(value, direction, s.step, 0, 255), s.result);
        EXPECT_EQ(value, s.valueAfter);
        EXPECT_EQ(direction, s.directionAfter);
    }
    // A whole cycle at step 5 reports exactly once.
    int32_t value = 0, direction = 0, reports = 0;
    for (int i = 0; i < 102; ++i) {
        reports += PingPong(value, direction, 5, 0, 255);
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 255);
    }
    EXPECT_EQ(reports, 1);
}
