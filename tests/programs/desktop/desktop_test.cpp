// The programs on a real X display, driven the way a player's hardware drives
// them: each test starts its own Xvfb, runs the staged programs with the SDL
// driver, sends real X events with xdotool (a click is a press and a release
// with nothing between, as a touchpad tap gives), and checks the screen as
// `import` sees it and the files the programs leave.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

#include "tests/game/reference_deal.h"
#include "tests/support/files.h"
#include "tests/support/picture.h"
#include "tests/support/staged_copy.h"

namespace {

namespace fs = std::filesystem;
using testkit::Picture;

constexpr uint32_t Seed = 1313;

void Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool", "import"})
            if (!testkit::Installed(tool))
                GTEST_SKIP() << tool << " is not installed (scripts/install-deps installs it)";
        if (!fs::exists(testkit::StagedDist() / "Ludora"))
            GTEST_SKIP() << "no staged programs in " << testkit::StagedDist();
        ASSERT_TRUE(folder.Ready());
    }
    void TearDown() override {
        if (x11) XCloseDisplay(x11);
        if (xvfb > 0) kill(xvfb, SIGTERM), waitpid(xvfb, nullptr, 0);
    }

    // Xvfb on a free display: it writes the number it took, then a line break.
    void StartDisplay(int width, int height) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        xvfb = testkit::Start(
            {"Xvfb",
             {},
             {"-displayfd", std::to_string(ready[1]), "-screen", "0", screen, "-nolisten", "tcp"}});
        close(ready[1]);
        for (char c = 0; read(ready[0], &c, 1) == 1 && c != '\n';)
            display += c;
        close(ready[0]);
        display = ":" + display;
        setenv("DISPLAY", display.c_str(), 1);
        x11 = XOpenDisplay(display.c_str());
        ASSERT_NE(x11, nullptr) << "Xvfb did not start";
    }

    // The staged program with the SDL driver; its window, focused, and its place.
    void Start(const fs::path& where, const fs::path& program) {
        pid = folder.Start(where, program, {}, "",
                           {"LUDORA_VIDEO=sdl", "LUDORA_TIME_SCALE=1",
                            "LUDORA_SEED=" + std::to_string(Seed), "SDL_VIDEODRIVER=x11"});
        for (int tries = 0; tries < 200 && !window; ++tries, Pause(50))
            window = std::strtoul(Xdo("search --onlyvisible --pid " + std::to_string(pid)).c_str(),
                                  nullptr, 10);
        ASSERT_NE(window, 0u) << "no window";
        std::sscanf(Xdo("getwindowgeometry --shell " + std::to_string(window)).c_str(),
                    "WINDOW=%*u X=%d Y=%d", &x, &y);
        Xdo("windowfocus --sync " + std::to_string(window));
    }

    std::string Xdo(const std::string& arguments) const {
        std::string printed;
        if (FILE* out = popen(("xdotool " + arguments + " 2>/dev/null").c_str(), "r")) {
            for (char buffer[256]; fgets(buffer, sizeof buffer, out);)
                printed += buffer;
            pclose(out);
        }
        return printed;
    }
    // Moves to "X Y" of the client area and does the rest.
    void At(const std::string& place, const std::string& then) const {
        Xdo("mousemove --window " + std::to_string(window) + " " + place + " " + then);
    }
    void At(int atX, int atY, const std::string& then) const {
        At(std::to_string(atX) + " " + std::to_string(atY), then);
    }
    Picture Shot() const {
        std::system(("import -window root bmp3:" + (folder.root / "screen.bmp").string()).c_str());
        return testkit::ReadBmp(folder.root / "screen.bmp");
    }
    // Shots until one passes (the programs go at their own pace on a busy machine).
    template <class Passes> Picture ShotWhen(Passes passes) const {
        Picture shot = Shot();
        for (int tries = 0; tries < 60 && !(shot.Loaded() && passes(shot)); ++tries, Pause(150))
            shot = Shot();
        return shot;
    }
    // Pixels of a picture (or part) that differ from the screen at (px, py) of the client area.
    int Differs(const Picture& shot, const Picture& picture, int px, int py, int from = 0,
                int width = 0) const {
        return testkit::DifferentPixels(shot, x + px, y + py, picture, from, 0,
                                        width ? width : picture.width, picture.height);
    }
    // The close box, as a window manager asks: WM_DELETE_WINDOW.
    testkit::Outcome Close() const {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(x11, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(x11, "WM_DELETE_WINDOW", False));
        XSendEvent(x11, window, False, NoEventMask, &event);
        XFlush(x11);
        return folder.Finish(pid, 20000);
    }

    testkit::StagedCopy folder;
    std::string display;
    pid_t xvfb = -1, pid = -1;
    Display* x11 = nullptr;
    unsigned long window = 0;
    int x = 0, y = 0;
};

// The middle of a chart cell without a piece near (x, y), over open sea, on
// the chart of deal number `deals` (start-up's is the first) with the programs' seed.
std::string EmptyCellNear(int x, int y, int deals) {
    reference::Rand rand(Seed);
    reference::Chart sea;
    for (int deal = 0; deal < deals; ++deal) {
        sea = reference::ChartOfMap({}, 0);
        reference::Place(sea, rand);
    }
    int best = 0;
    const auto distance = [&](int i) {
        return (reference::CellX(i) - x) * (reference::CellX(i) - x) +
               (reference::CellY(i) - y) * (reference::CellY(i) - y);
    };
    for (int i = 0; i < reference::Cells; ++i)
        if (!sea.hidden[i] && !sea.treasure[i] && distance(i) < distance(best)) best = i;
    return std::to_string(reference::CellX(best) + 9) + " " +
           std::to_string(reference::CellY(best) + 9);
}

} // namespace

// Taps on the game pages and the title page, a name typed with no delay
// between keys ("kk" too), and the close box: the launcher takes its buttons
// from window messages only, so each tap must come as a press and a release
// in frames of their own.
TEST_F(Desktop, LauncherTapsTypingAndTheCloseBox) {
    StartDisplay(1024, 768);
    testkit::WriteText(folder.dist / "options.ini", "[Player1]\nname=\n");
    Start(folder.dist, folder.dist / "Ludora");
    Picture before =
        ShotWhen([&](const Picture& shot) { return shot.At(x + 400, y + 300).red > 0; });
    // Each tap once the screen before it has changed and settled.
    for (auto [tapX, tapY] : {std::pair{400, 60}, {14 + 125, 140 + 50}, {400, 340}}) {
        Pause(700);
        At(tapX, tapY, "click 1"); // the splash, slot 1 (Pearlwreck's title page), "Players"
        before = ShotWhen([&](const Picture& shot) {
            return testkit::DifferentPixels(shot, x, y, before, x, y, 794, 575) > 10000;
        });
    }
    Pause(700);
    Xdo("type --delay 0 'zephyr quokka'");
    Pause(1500);
    At(53 + 474 + 50, 18 + 471 + 20, "click 1"); // "enter"
    Pause(1000);

    const testkit::Outcome outcome = Close();
    EXPECT_EQ(outcome.status, 0) << outcome.printed;
    const std::string options = testkit::ReadText(folder.dist / "options.ini");
    const size_t name = options.find("name=zephyr quokka");
    ASSERT_NE(name, std::string::npos) << options;
    EXPECT_TRUE(options[name + 18] == '\r' || options[name + 18] == '\n') << options;
    EXPECT_LT(options.find("[Player1]"), name);
    EXPECT_GT(options.find("[Player2]"), name);
}

// The game: focus taken by another window pauses it (the "newgame" button
// stops blinking) and given back resumes it; a press dragged off the window
// and released there does nothing, dragged back it starts a game; the space
// bar tapped closes the round's picture; a tap on a chart cell costs one
// search; a double click on the round's picture closes it and searches.
TEST_F(Desktop, GameFocusDragTapAndDoubleClick) {
    StartDisplay(1024, 768);
    fs::remove(folder.Game() / "islands.dat"); // open sea: every cell is a search
    const Picture font = testkit::ReadBmp(folder.Game() / "NumberFont.bmp");
    const Picture round1 = testkit::ReadBmp(folder.Game() / "round1.bmp");
    ASSERT_TRUE(font.Loaded() && round1.Loaded());
    const int step = font.width / 10;
    // The searches counter: three digits of the number font centred at x 712.
    const auto counterShows = [&](const std::string& digits) {
        const Picture shot = Shot();
        int differs = 0;
        for (int i = 0; i < 3; ++i)
            differs += Differs(shot, font, 712 - 3 * step / 2 + i * step, 165,
                               (digits[i] - '0') * step, step);
        return differs == 0;
    };
    const auto roundShows = [&](const Picture& shot) {
        return Differs(shot, round1, 135, 153) == 0;
    };
    Start(folder.Game(), folder.Game() / "Pearlwreck");
    Pause(1500);
    At(400, 300, "click 1"); // the splash
    Pause(1500);

    // Changes of the blinking "newgame" button over six shots.
    const auto blinks = [&] {
        int changes = 0;
        Picture last = Shot();
        for (int i = 0; i < 5; ++i, Pause(250)) {
            const Picture now = Shot();
            changes +=
                testkit::DifferentPixels(now, x + 720, y + 485, last, x + 720, y + 485, 68, 42) > 0;
            last = now;
        }
        return changes;
    };
    const Window other = XCreateSimpleWindow(x11, DefaultRootWindow(x11), 0, 0, 200, 200, 0, 0, 0);
    XMapRaised(x11, other);
    XSync(x11, False);
    XSetInputFocus(x11, other, RevertToParent, CurrentTime);
    XSync(x11, False);
    Pause(600);
    EXPECT_EQ(blinks(), 0) << "paused behind another window";
    XDestroyWindow(x11, other);
    XSync(x11, False);
    Xdo("windowfocus --sync " + std::to_string(window));
    Pause(600);
    EXPECT_GT(blinks(), 0) << "running again";

    // Each step of a drag given time, as a hand takes it.
    const std::string newGame =
        "mousemove " + std::to_string(x + 754) + " " + std::to_string(y + 506) + " sleep 0.2 ";
    const std::string off =
        "mousemove " + std::to_string(x + 880) + " " + std::to_string(y + 650) + " sleep 0.2 ";
    Xdo(newGame + "mousedown 1 sleep 0.2 " + off + "mouseup 1");
    Pause(800);
    EXPECT_FALSE(roundShows(Shot())) << "released off the window: no new game";
    Xdo(newGame + "mousedown 1 sleep 0.2 " + off + newGame + "mouseup 1");
    EXPECT_TRUE(roundShows(ShotWhen(roundShows))) << "dragged back onto \"newgame\"";
    Xdo("key space");
    Pause(1000);
    EXPECT_TRUE(counterShows("025")) << "a new game";
    At(EmptyCellNear(130, 230, 2), "click 1");
    Pause(2500); // the sonar runs out over open sea
    EXPECT_TRUE(counterShows("024")) << "one tap";
    At(754, 506, "click 1");
    EXPECT_TRUE(roundShows(ShotWhen(roundShows))) << "a new game again";
    At(EmptyCellNear(320, 300, 3), "click --repeat 2 --delay 90 1");
    Pause(2500);
    EXPECT_TRUE(counterShows("024")) << "a double click";

    const testkit::Outcome outcome = Close();
    EXPECT_EQ(outcome.status, 0) << outcome.printed;
}

// Full screen from setup.ini: the X screen keeps its size, and the frame is
// shown scaled by a whole number (each pixel a 2 x 2 block), centred, with
// black around it.
TEST_F(Desktop, LauncherFullScreenIsScaledByAWholeNumberAndCentred) {
    StartDisplay(1700, 1300);
    testkit::WriteText(folder.dist / "setup.ini", "[setup]\nfullscreen=1\n");
    Start(folder.dist, folder.dist / "Ludora");
    // The splash fades in, then stays until a click: two shots alike.
    Picture last;
    const Picture screen = ShotWhen([&](const Picture& shot) {
        const bool settled = shot.pixels == last.pixels;
        last = shot;
        return settled;
    });
    ASSERT_EQ(screen.width, 1700);
    ASSERT_EQ(screen.height, 1300);
    // Scale 2 fits (3 does not): 1600 x 1200 at (50, 50).
    int unevenBlocks = 0, lit = 0, litAround = 0;
    for (int sy = 0; sy < screen.height; ++sy)
        for (int sx = 0; sx < screen.width; ++sx) {
            const testkit::Rgb shown = screen.At(sx, sy);
            if (sx < 50 || sy < 50 || sx >= 1650 || sy >= 1250) {
                litAround += shown != testkit::Black;
            } else {
                lit += shown != testkit::Black;
                unevenBlocks += shown != screen.At(sx - (sx - 50) % 2, sy - (sy - 50) % 2);
            }
        }
    EXPECT_EQ(unevenBlocks, 0);
    EXPECT_EQ(litAround, 0) << "black around the picture";
    EXPECT_GT(lit, 1600 * 1200 / 2);
    EXPECT_EQ(Close().status, 0);
}
