// The shell as a player meets it: the toolkit program started headless in a
// folder of its own, driven by an input script, read back through its trace,
// the message log and shots.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <windows.h>

#include "tests/programs/shell/toolkit_run.h"

namespace {

using namespace shell_test;

const std::string GameProgram = LUDORA_TOOLKIT_PROGRAM;
const std::string LauncherProgram = LUDORA_TOOLKIT_LAUNCHER;

const std::string HighColourMessage =
    "Error|TovikGames need the desktop display set to High Color (16 bits or higher).";
const std::string DirectXMessage =
    "Error|DirectX not installed. Program needs DirectX 5 or higher to run";

// Enough time for the start-up, the splash (5000 clock ms) and a few frames, also
// in a slow sanitizer build; then the close box.
const std::string SplashThenClose = "wait 12000\nclose\n";

// A click held long enough for a frame of a slow (sanitizer) build to see the button down.
std::string Click(int x, int y) {
    return HeldClick(x, y, 400);
}

int Number(const std::string& text) {
    return std::atoi(text.c_str());
}

// The "a,b" after key in the trace line that starts with line.
std::pair<int, int> Pair(const RunResult& result, const std::string& line, const std::string& key) {
    if (!result.HasPrefix(line)) return {-1, -1};
    const std::string text = line + result.After(line);
    const size_t at = text.find(key);
    if (at == std::string::npos) return {-1, -1};
    int first = -1, second = -1;
    std::sscanf(text.c_str() + at + key.size(), "%d,%d", &first, &second);
    return {first, second};
}

unsigned long Hex(const RunResult& result, const std::string& key) {
    for (const std::string& line : result.trace) {
        const size_t at = line.find(key);
        if (at != std::string::npos)
            return std::stoul(line.substr(at + key.size(), 8), nullptr, 16);
    }
    return 0xDEADBEEF;
}

// ---------------- start-up ----------------

TEST(ProgramStartUp, AnEightBitDesktopShowsOnlyTheHighColourMessage) {
    ProgramFolder folder;
    for (const std::string& program : {GameProgram, LauncherProgram}) {
        // A missing DirectX as well: its check comes only after the colour check.
        const RunResult result =
            RunProgram(program, folder, SplashThenClose,
                       {{"LUDORA_DESKTOP", "1024x768x8"}, {"LUDORA_TEST_NO_DIRECTX", "1"}});
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 0);
        ASSERT_EQ(result.messages.size(), 1u) << program;
        EXPECT_EQ(result.messages[0], HighColourMessage);
        EXPECT_TRUE(result.Has("start-up refused"));
        EXPECT_FALSE(result.Has("main loop"));
    }
}

TEST(ProgramStartUp, AFifteenBitDesktopIsHighColourEnough) {
    ProgramFolder folder;
    const RunResult result =
        RunProgram(GameProgram, folder, SplashThenClose, {{"LUDORA_DESKTOP", "1024x768x15"}});
    ASSERT_TRUE(result.finished);
    EXPECT_TRUE(result.messages.empty());
    EXPECT_TRUE(result.Has("main loop"));
    EXPECT_TRUE(result.HasPrefix("end at"));
}

TEST(ProgramStartUp, WithoutDirectXTheProgramSaysSoAndEnds) {
    ProgramFolder folder;
    for (const std::string& program : {GameProgram, LauncherProgram}) {
        const RunResult result =
            RunProgram(program, folder, SplashThenClose, {{"LUDORA_TEST_NO_DIRECTX", "1"}});
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 0);
        ASSERT_EQ(result.messages.size(), 1u);
        EXPECT_EQ(result.messages[0], DirectXMessage);
        EXPECT_TRUE(result.Has("start-up refused"));
        EXPECT_FALSE(result.Has("main loop"));
    }
}

TEST(ProgramStartUp, TheDefaultWindowIsCentredAndCaptioned) {
    ProgramFolder folder;
    const RunResult result = RunProgram(GameProgram, folder, SplashThenClose);
    ASSERT_TRUE(result.Has("main loop"));
    // Centred on the 1024 x 768 desktop: 1024 / 2 - 400, 768 / 2 - 300.
    EXPECT_EQ(Pair(result, "place=", "place="), std::make_pair(112, 84));
    EXPECT_EQ(Pair(result, "place=", "size="), std::make_pair(800, 600));
    const unsigned long style = Hex(result, "style=");
    EXPECT_EQ(style & 0x100B0000ul, 0x100B0000ul); // visible, system menu, minimise, maximise
    EXPECT_EQ(style & 0x80000000ul, 0ul);
    EXPECT_TRUE(result.HasPrefix("caption=Pearl Wreck pointer="));
    // The game's display is its client area.
    EXPECT_EQ(Pair(result, "fullscreen=", "display="), Pair(result, "place=", "client="));
    EXPECT_TRUE(result.HasPrefix("fullscreen=0 "));
}

TEST(ProgramStartUp, FullScreenIsAnEightHundredBySixHundredPopUp) {
    ProgramFolder folder;
    folder.Setup("fullscreen=1\r\n");
    const RunResult result = RunProgram(GameProgram, folder, SplashThenClose);
    ASSERT_TRUE(result.Has("main loop"));
    EXPECT_EQ(Hex(result, "style=") & ~0x10000000ul, 0x80000000ul);
    EXPECT_EQ(Pair(result, "fullscreen=", "display="), std::make_pair(800, 600));
    EXPECT_TRUE(result.HasPrefix("fullscreen=1 "));
    EXPECT_EQ(Pair(result, "place=", "outer="), std::make_pair(112, 84));
}

TEST(ProgramStartUp, NoWindowMeansNoCaptionEvenInFullScreen) {
    for (const std::string& keys :
         {std::string("nowindow=1\r\n"), std::string("nowindow=1\r\nfullscreen=1\r\n")}) {
        ProgramFolder folder;
        folder.Setup(keys);
        const RunResult result = RunProgram(GameProgram, folder, SplashThenClose);
        ASSERT_TRUE(result.Has("main loop")) << keys;
        EXPECT_EQ(Hex(result, "style="), 0x90000000ul) << keys;
        EXPECT_TRUE(result.HasPrefix("caption= pointer=")) << keys;
        EXPECT_EQ(Pair(result, "place=", "client="), std::make_pair(800, 600)) << keys;
        // The display still follows "fullscreen".
        const bool fullScreen = keys.find("fullscreen=1") != std::string::npos;
        EXPECT_TRUE(result.HasPrefix(fullScreen ? "fullscreen=1" : "fullscreen=0")) << keys;
    }
}

TEST(ProgramStartUp, TheGameTakesItsGeometryKeysOneByOne) {
    ProgramFolder folder;
    folder.Setup("w=640\r\n");
    RunResult result = RunProgram(GameProgram, folder, SplashThenClose);
    ASSERT_TRUE(result.Has("main loop"));
    // No "x": the default place stays based on an 800-wide window.
    EXPECT_EQ(Pair(result, "place=", "place="), std::make_pair(112, 84));
    EXPECT_EQ(Pair(result, "place=", "size="), std::make_pair(640, 600));
    EXPECT_EQ(Pair(result, "place=", "outer="), std::make_pair(112, 84));

    folder.Setup("x=10\r\ny=20\r\nh=500\r\nw=-1\r\n");
    result = RunProgram(GameProgram, folder, SplashThenClose);
    ASSERT_TRUE(result.Has("main loop"));
    EXPECT_EQ(Pair(result, "place=", "place="), std::make_pair(10, 20));
    EXPECT_EQ(Pair(result, "place=", "size="), std::make_pair(800, 500));
}

TEST(ProgramStartUp, TheLauncherIgnoresTheGamesKeysAndIsTwoPixelsNarrower) {
    ProgramFolder folder;
    folder.Setup("x=10\r\ny=20\r\nw=640\r\nh=480\r\nontop=1\r\n");
    const RunResult result = RunProgram(LauncherProgram, folder, SplashThenClose);
    ASSERT_TRUE(result.Has("main loop"));
    EXPECT_EQ(Pair(result, "place=", "place="), std::make_pair(112, 84));
    EXPECT_EQ(Pair(result, "place=", "size="), std::make_pair(800, 600));
    EXPECT_EQ(Hex(result, "exstyle=") & WS_EX_TOPMOST, 0ul);
    const auto client = Pair(result, "place=", "client=");
    const auto display = Pair(result, "fullscreen=", "display=");
    EXPECT_EQ(display, std::make_pair(client.first - 2, client.second));
    EXPECT_TRUE(result.HasPrefix("caption=TovikGames Ludora pointer="));
}

TEST(ProgramStartUp, OnTopTwoKeepsTheGameAboveOthersAndZeroDoesNot) {
    ProgramFolder folder;
    folder.Setup("ontop=2\r\n");
    RunResult result = RunProgram(GameProgram, folder, SplashThenClose);
    EXPECT_NE(Hex(result, "exstyle=") & WS_EX_TOPMOST, 0ul);
    folder.Setup("ontop=0\r\n");
    result = RunProgram(GameProgram, folder, SplashThenClose);
    EXPECT_EQ(Hex(result, "exstyle=") & WS_EX_TOPMOST, 0ul);
}

TEST(ProgramStartUp, EachProgramReadsItsMusicSwitchesWhereTheyAreWritten) {
    ProgramFolder folder;
    // The shared file above the game; the launcher's own beside it.
    folder.SharedOptions("music=N\r\nSFX=Y\r\n");
    folder.OwnOptions("music=Y\r\nSFX=N\r\n");
    RunResult result = RunProgram(GameProgram, folder, SplashThenClose);
    EXPECT_TRUE(result.HasPrefix("music=0 sfx=1 ")) << result.After("music=");
    result = RunProgram(LauncherProgram, folder, SplashThenClose);
    EXPECT_TRUE(result.HasPrefix("music=1 sfx=0 ")) << result.After("music=");

    // Only an upper-case Y switches on.
    folder.SharedOptions("music=yes\r\nSFX=Yes\r\n");
    result = RunProgram(GameProgram, folder, SplashThenClose);
    EXPECT_TRUE(result.HasPrefix("music=0 sfx=1 "));
}

TEST(ProgramStartUp, ThePointerFollowsWindowMessagesOnlyAndIsNotDrawn) {
    ProgramFolder folder;
    const RunResult result = RunProgram(GameProgram, folder, SplashThenClose);
    const std::string pointer = result.After("caption=Pearl Wreck ");
    EXPECT_NE(pointer.find("messagesOnly=1 visible=0"), std::string::npos) << pointer;
}

TEST(ProgramStartUp, LongSettingsAndCommandLinesAreCutNotOverrun) {
    ProgramFolder folder;
    folder.Setup("fullscreen=" + std::string(500, '1') + "\r\nx=" + std::string(400, '9') + "\r\n");
    const std::string longLine(1000, 'p');
    const RunResult result = RunProgram(GameProgram, folder, SplashThenClose, {}, {longLine});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(result.Has("main loop"));
    EXPECT_TRUE(result.HasPrefix("fullscreen=0 ")); // "111...1" is not 1
}

// ---------------- splash, loop and window procedure ----------------

TEST(ProgramLoop, TheSplashLastsFiveThousandClockMillisecondsUnlessClicked) {
    ProgramFolder folder;
    RunResult result = RunProgram(GameProgram, folder, SplashThenClose);
    const int waited = Number(result.After("started clock="));
    EXPECT_GE(waited, 5000);
    EXPECT_LT(waited, 9000); // start-up itself takes a little clock time too

    // The button goes down at 500 and stays down: the splash ends as soon as it looks.
    result = RunProgram(GameProgram, folder,
                        "wait 500\ndown left\nwait 4500\nup left\nwait 3000\nclose\n");
    const int clicked = Number(result.After("started clock="));
    EXPECT_GE(clicked, 400);
    EXPECT_LT(clicked, 5000);
}

TEST(ProgramLoop, ClosingDuringTheSplashEndsTheProgramThere) {
    ProgramFolder folder;
    const RunResult result = RunProgram(GameProgram, folder, "wait 1000\nclose\nwait 20000\n");
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0);
    // Everything was shut down already: the scenes never start on the released display.
    EXPECT_TRUE(result.Has("start-up refused"));
    EXPECT_FALSE(result.Has("main loop"));
}

TEST(ProgramLoop, ASplashAndCreditPictureThatAreMissingAreSkipped) {
    ProgramFolder folder;
    std::remove(folder.In("Title/TovikSplash.bmp").c_str());
    const RunResult result = RunProgram(GameProgram, folder, "wait 300\nclose\n");
    EXPECT_LT(Number(result.After("started clock=")), 2000);
    EXPECT_TRUE(result.messages.empty());
}

TEST(ProgramLoop, FOnePrintsTheFrameRateBeforeTheSceneDrawsAndFOneAgainStops) {
    ProgramFolder folder;
    const RunResult result = RunProgram(
        GameProgram, folder, "wait 12000\nkey press F1\nwait 500\nkey press F1\nwait 500\nclose\n");
    const size_t printed = result.IndexOf("frame rate printed showFps=1");
    const size_t gone = result.IndexOf("frame rate gone showFps=0");
    ASSERT_LT(printed, result.trace.size());
    ASSERT_LT(gone, result.trace.size());
    EXPECT_LT(printed, gone);
}

TEST(ProgramLoop, EscapeClosesThroughTheShutDownWithoutTheCredits) {
    ProgramFolder folder;
    const RunResult result =
        RunProgram(GameProgram, folder, "wait 12000\nkey press ESCAPE\nwait 20000\n");
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0);
    const long escape = std::atol(result.After("escape at ").c_str());
    const long end = std::atol(result.After("end at ").c_str());
    ASSERT_GT(escape, 0);
    ASSERT_GT(end, 0);
    EXPECT_LT(end - escape, 3000); // the credits would have taken 5000
    EXPECT_LT(result.IndexOf("escape at"), result.IndexOf("destroy"));
    EXPECT_LT(result.IndexOf("destroy"), result.IndexOf("end at"));
}

TEST(ProgramLoop, AFrameResultOfSevenShowsTheCreditsThenEnds) {
    ProgramFolder folder;
    using namespace layout;
    const std::string shot = folder.top + "/credits.bmp";
    const RunResult result = RunProgram(GameProgram, folder,
                                        "wait 12000\n" + Click(QuitButtonX + 30, QuitButtonY + 15) +
                                            "wait 1000\nshot " + shot + "\nwait 20000\n");
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 0);
    const long quit = std::atol(result.After("quit at ").c_str());
    const long end = std::atol(result.After("end at ").c_str());
    ASSERT_GT(quit, 0);
    EXPECT_GE(end - quit, 5000);
    Picture picture = ReadBmp(shot);
    ASSERT_TRUE(picture.Loaded());
    EXPECT_TRUE(Near(picture.At(picture.width / 2, picture.height / 2), CreditColour));
    EXPECT_TRUE(Near(picture.At(5, 5), CreditColour));
    EXPECT_LT(result.IndexOf("quit at"), result.IndexOf("destroy"));
}

TEST(ProgramLoop, AltAloneOpensNoMenuAndTheProgramGoesOn) {
    ProgramFolder folder;
    const RunResult result =
        RunProgram(GameProgram, folder,
                   "wait 12000\nkey press MENU\nwait 300\nkey press F1\nwait 500\nclose\n");
    EXPECT_TRUE(result.Has("keymenu"));
    // Keys still reach the program after Alt.
    EXPECT_TRUE(result.Has("frame rate printed showFps=1"));
}

TEST(ProgramLoop, SwitchingAwayPausesTheMp3AndComingBackResumesIt) {
    ProgramFolder folder;
    ASSERT_TRUE(WriteSquareWav(folder.In("sounds/music.mp3"), 22050 * 30));
    const RunResult result = RunProgram(
        GameProgram, folder, "wait 12000\nactivate 0\nwait 500\nactivate 1\nwait 500\nclose\n",
        {{"LUDORA_AUDIO", ""}});
    EXPECT_TRUE(result.HasPrefix("music=1 sfx=1 mp3=playing stream=0"));
    EXPECT_TRUE(result.Has("focus lost active=0 music=paused"));
    EXPECT_TRUE(result.Has("focus back active=1 music=playing"));
    EXPECT_LT(result.IndexOf("focus lost active=0"), result.IndexOf("focus back active=1"));
}

TEST(ProgramLoop, TheMp3StartsAgainWhenItEnds) {
    ProgramFolder folder;
    ASSERT_TRUE(WriteSquareWav(folder.In("sounds/music.mp3"), 22050 / 2)); // half a second
    const RunResult result =
        RunProgram(GameProgram, folder, "wait 16000\nclose\n", {{"LUDORA_AUDIO", ""}});
    EXPECT_TRUE(result.Has("music ended"));
    EXPECT_TRUE(result.Has("music after restart=playing"));
}

TEST(ProgramLoop, SwitchingToTheCurrentSceneReloadsIt) {
    ProgramFolder folder;
    const RunResult result =
        RunProgram(GameProgram, folder, SplashThenClose, {{"LUDORA_TEST_RELOAD", "1"}});
    const size_t first = result.IndexOf("activate 1");
    const size_t destroyed = result.IndexOf("destroy");
    const size_t second = result.IndexOf("activate 2");
    ASSERT_LT(second, result.trace.size());
    EXPECT_LT(first, destroyed);
    EXPECT_LT(destroyed, second);
}

TEST(ProgramLoop, KeysReachTheTextFieldThroughTheKeyQueue) {
    ProgramFolder folder;
    using namespace layout;
    const std::string field = Click(FieldX + 1, FieldY + 5);
    const RunResult result = RunProgram(GameProgram, folder,
                                        "wait 12000\n" + field + "wait 200\n" + field +
                                            "wait 200\ntype b@\nwait 500\nclose\n");
    // The first click selects, the second starts editing; Shift with 2 types "@".
    EXPECT_TRUE(result.Has("field \"Ab@\" selected=1 focused=1"));
}

// ---------------- what the screen shows ----------------

// The scene as the toolkit program draws it, buttons in the given looks.
Picture SceneAsDrawn(int width, int height, Rgb menuLook, Rgb fieldFont) {
    using namespace layout;
    Picture scene(width, height, Background);
    scene.Fill(SpriteX, SpriteY, SpriteSize, SpriteSize, SpriteColour);
    scene.Fill(SpriteX + HoleFrom, SpriteY + HoleFrom, HoleTo - HoleFrom, HoleTo - HoleFrom,
               Background);
    // 'A' is glyph 32 of the font: a block of 4 x 10.
    scene.Fill(FieldX, FieldY, GlyphWidth, GlyphHeight, fieldFont);
    scene.Fill(MenuButtonX, MenuButtonY, ButtonWidth, ButtonHeight, menuLook);
    scene.Fill(QuitButtonX, QuitButtonY, ButtonWidth, ButtonHeight, ButtonNormal);
    return scene;
}

TEST(ProgramScreen, SpritesUnderButtonsUnderThePointer) {
    ProgramFolder folder;
    using namespace layout;
    const std::string shot = folder.top + "/order.bmp";
    const int pointerX = MenuButtonX + 10, pointerY = MenuButtonY + 10;
    const RunResult result =
        RunProgram(GameProgram, folder,
                   "wait 12000\nmove " + std::to_string(pointerX) + " " + std::to_string(pointerY) +
                       "\nwait 500\nshot " + shot + "\nclose\n",
                   {{"LUDORA_TEST_POINTER", "1"}});
    Picture picture = ReadBmp(shot);
    ASSERT_TRUE(picture.Loaded());
    Picture expected = SceneAsDrawn(picture.width, picture.height, ButtonHover, NormalFont);
    expected.Fill(pointerX, pointerY, PointerSize, PointerSize, PointerColour);
    // The pointer's black corner lets the hovered button show through.
    expected.Fill(pointerX, pointerY, PointerHole, PointerHole, ButtonHover);
    std::string first;
    EXPECT_EQ(DifferingPixels(picture, expected, first), 0) << first;
}

TEST(ProgramScreen, AModalScreenShowsOverTheSceneAndEndsWithItsButton) {
    ProgramFolder folder;
    using namespace layout;
    const std::string shot = folder.top + "/modal.bmp";
    // The client area is the display: the screen is centred on it.
    RunResult probe = RunProgram(GameProgram, folder, SplashThenClose);
    const auto client = Pair(probe, "place=", "client=");
    const int menuX = client.first / 2 - MenuWidth / 2;
    const int menuY = client.second / 2 - MenuHeight / 2;
    const RunResult result =
        RunProgram(GameProgram, folder,
                   "wait 12000\n" + Click(MenuButtonX + 30, MenuButtonY + 15) + "wait 500\nshot " +
                       shot + "\n" + Click(menuX + OkX + 5, menuY + OkY + 5) + "wait 500\nclose\n");
    EXPECT_TRUE(result.Has("menu opened"));
    EXPECT_TRUE(result.Has("menu closed 1 \"ok\""));
    Picture picture = ReadBmp(shot);
    ASSERT_TRUE(picture.Loaded());
    ASSERT_EQ(picture.width, client.first);
    Picture expected = SceneAsDrawn(picture.width, picture.height, ButtonHover, NormalFont);
    expected.Fill(menuX, menuY, MenuWidth, MenuHeight, MenuColour);
    expected.Fill(menuX + OkX, menuY + OkY, OkWidth, OkHeight, OkColour);
    std::string first;
    EXPECT_EQ(DifferingPixels(picture, expected, first), 0) << first;
}

TEST(ProgramScreen, ASelectedFieldIsDrawnInItsHighlightFont) {
    ProgramFolder folder;
    using namespace layout;
    const std::string before = folder.top + "/before.bmp";
    const std::string after = folder.top + "/after.bmp";
    const RunResult result = RunProgram(GameProgram, folder,
                                        "wait 12000\nmove 600 500\nwait 300\nshot " + before +
                                            "\n" + Click(FieldX + 1, FieldY + 5) +
                                            "move 600 500\nwait 300\nshot " + after + "\nclose\n");
    Picture picture;
    std::string first;
    picture = ReadBmp(before);
    ASSERT_TRUE(picture.Loaded());
    EXPECT_EQ(DifferingPixels(picture,
                              SceneAsDrawn(picture.width, picture.height, ButtonNormal, NormalFont),
                              first),
              0)
        << first;
    picture = ReadBmp(after);
    ASSERT_TRUE(picture.Loaded());
    EXPECT_EQ(DifferingPixels(
                  picture, SceneAsDrawn(picture.width, picture.height, ButtonNormal, HighlightFont),
                  first),
              0)
        << first;
}

} // namespace
