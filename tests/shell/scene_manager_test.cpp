// The scene manager with scenes that write down what is done to them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/scene_manager.h"
#include "shell/start_up.h"

namespace {

std::vector<std::string> journal;

class NotingScene : public Scene {
public:
    NotingScene(const char* sceneName, int32_t frameResult = 0, const char* switchTo = nullptr)
        : result(frameResult), next(switchTo) {
        SetName(sceneName);
        label = sceneName;
    }
    void Activate(IDirectDraw* directDrawObject, IDirectDrawSurface* back) override {
        journal.push_back("Activate " + label);
        givenDirectDraw = directDrawObject;
        givenBack = back;
    }
    void Destroy() override { journal.push_back("Destroy " + label); }
    int32_t OnMessage(HWND, UINT message, WPARAM, LPARAM) override {
        journal.push_back("Message " + label + " " + std::to_string(message));
        return 40 + static_cast<int32_t>(message);
    }
    int32_t Frame(int32_t active) override {
        journal.push_back("Frame " + label + " " + std::to_string(active));
        if (next) {
            g_SceneManager.SwitchTo(next);
        }
        return result;
    }

    std::string label;
    int32_t result;
    const char* next;
    IDirectDraw* givenDirectDraw = nullptr;
    IDirectDrawSurface* givenBack = nullptr;
};

class Scenes : public ::testing::Test {
protected:
    void SetUp() override {
        g_SceneManager.Reset();
        journal.clear();
    }
    void TearDown() override { g_SceneManager.Reset(); }
};

TEST_F(Scenes, NothingHappensWithoutACurrentScene) {
    NotingScene games("Ludora");
    EXPECT_EQ(g_SceneManager.AddScene(&games), 1);
    EXPECT_EQ(g_SceneManager.RunFrame(1), 0);
    EXPECT_EQ(g_SceneManager.ForwardMessage(nullptr, WM_MOUSEMOVE, 0, 0), 1);
    EXPECT_EQ(g_SceneManager.SwitchTo("title"), nullptr);
    EXPECT_TRUE(journal.empty());
}

TEST_F(Scenes, SwitchingActivatesWithTheContextAndDestroysTheOldScene) {
    NotingScene games("Ludora");
    NotingScene title("title");
    EXPECT_EQ(g_SceneManager.AddScene(&games), 1);
    EXPECT_EQ(g_SceneManager.AddScene(&title), 2);
    auto* directDraw = reinterpret_cast<IDirectDraw*>(0x1000);
    auto* back = reinterpret_cast<IDirectDrawSurface*>(0x2000);
    g_SceneManager.SetContext(directDraw, back);

    EXPECT_EQ(g_SceneManager.SwitchTo("Ludora"), &games);
    EXPECT_EQ(games.givenDirectDraw, directDraw);
    EXPECT_EQ(games.givenBack, back);
    EXPECT_EQ(g_SceneManager.SwitchTo("title"), &title);
    EXPECT_EQ(g_SceneManager.Current(), &title);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"Activate Ludora", "Destroy Ludora", "Activate title"}));
}

TEST_F(Scenes, SwitchingToTheCurrentSceneReloadsIt) {
    NotingScene treasure("treasure");
    g_SceneManager.AddScene(&treasure);
    g_SceneManager.SwitchTo("treasure");
    journal.clear();
    EXPECT_EQ(g_SceneManager.SwitchTo("treasure"), &treasure);
    EXPECT_EQ(journal, (std::vector<std::string>{"Destroy treasure", "Activate treasure"}));
}

TEST_F(Scenes, AnUnknownNameChangesNothingAndNamesMatchExactly) {
    NotingScene treasure("treasure");
    g_SceneManager.AddScene(&treasure);
    g_SceneManager.SwitchTo("treasure");
    journal.clear();
    EXPECT_EQ(g_SceneManager.SwitchTo("title"), &treasure);
    EXPECT_EQ(g_SceneManager.SwitchTo("Treasure"), &treasure);
    EXPECT_EQ(g_SceneManager.SwitchTo("treasure "), &treasure);
    EXPECT_EQ(g_SceneManager.SwitchTo(""), &treasure);
    EXPECT_TRUE(journal.empty());
}

TEST_F(Scenes, OfTwoScenesWithOneNameTheFirstAddedWins) {
    NotingScene first("title");
    NotingScene second("title");
    first.label = "first";
    second.label = "second";
    g_SceneManager.AddScene(&first);
    g_SceneManager.AddScene(&second);
    EXPECT_EQ(g_SceneManager.SwitchTo("title"), &first);
    EXPECT_EQ(g_SceneManager.SwitchTo("title"), &first);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"Activate first", "Destroy first", "Activate first"}));
}

TEST_F(Scenes, FramesAndMessagesGoToTheCurrentScene) {
    NotingScene games("Ludora", 3);
    NotingScene title("title", 5);
    g_SceneManager.AddScene(&games);
    g_SceneManager.AddScene(&title);
    g_SceneManager.SwitchTo("title");
    journal.clear();
    EXPECT_EQ(g_SceneManager.RunFrame(1), 5);
    EXPECT_EQ(g_SceneManager.ForwardMessage(nullptr, WM_KEYUP, 0, 0), 40 + WM_KEYUP);
    EXPECT_EQ(journal, (std::vector<std::string>{"Frame title 1",
                                                 "Message title " + std::to_string(WM_KEYUP)}));
}

TEST_F(Scenes, AFrameThatSwitchesScenesStillHandsBackItsResult) {
    NotingScene title("title", FrameQuit, "Ludora");
    NotingScene games("Ludora", 0);
    g_SceneManager.AddScene(&games);
    g_SceneManager.AddScene(&title);
    g_SceneManager.SwitchTo("title");
    journal.clear();
    EXPECT_EQ(g_SceneManager.RunFrame(1), 7);
    EXPECT_EQ(g_SceneManager.Current(), &games);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"Frame title 1", "Destroy title", "Activate Ludora"}));
    journal.clear();
    EXPECT_EQ(g_SceneManager.RunFrame(1), 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"Frame Ludora 1"}));
}

TEST_F(Scenes, DestroyAllDestroysEverySceneInOrderAndKeepsTheCurrentOne) {
    NotingScene games("Ludora");
    NotingScene title("title");
    NotingScene extra("extra");
    g_SceneManager.AddScene(&games);
    g_SceneManager.AddScene(&title);
    g_SceneManager.AddScene(&extra);
    g_SceneManager.SwitchTo("title");
    journal.clear();
    g_SceneManager.DestroyAll();
    EXPECT_EQ(journal,
              (std::vector<std::string>{"Destroy Ludora", "Destroy title", "Destroy extra"}));
    EXPECT_EQ(g_SceneManager.Current(), &title);
}

TEST_F(Scenes, ManyScenesAreKept) {
    std::vector<std::unique_ptr<NotingScene>> scenes;
    for (int i = 0; i < 40; ++i) {
        scenes.push_back(std::make_unique<NotingScene>(("scene" + std::to_string(i)).c_str()));
        EXPECT_EQ(g_SceneManager.AddScene(scenes.back().get()), i + 1);
    }
    EXPECT_EQ(g_SceneManager.SwitchTo("scene37"), scenes[37].get());
}

// The window class every program registers.
TEST(WindowClass, MembersOfDirectXClass) {
    WNDCLASSA windowClass;
    FillWindowClass(windowClass);
    EXPECT_EQ(windowClass.style, 3u); // CS_HREDRAW | CS_VREDRAW
    EXPECT_EQ(windowClass.lpfnWndProc, &WindowProc);
    EXPECT_EQ(windowClass.hIcon, nullptr);
    EXPECT_EQ(windowClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(windowClass.hbrBackground, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(windowClass.lpszMenuName, nullptr);
    EXPECT_STREQ(windowClass.lpszClassName, "DirectX Class");
    EXPECT_EQ(windowClass.cbClsExtra, 0);
    EXPECT_EQ(windowClass.cbWndExtra, 0);
}

} // namespace
