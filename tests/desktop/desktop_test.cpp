// The programs on a real X display, driven the way a player's hardware drives
// them: each test starts its own Xvfb, runs the staged programs with the SDL
// driver, sends real X events with xdotool (a click is a press and a release
// with nothing between, as a touchpad tap gives), and checks the screen as
// `import` sees it and the files the programs leave.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "../game/program_run.h"
#include "../game/reference_deal.h"
#include "../robustness/program_runner.h"

namespace {

namespace fs = std::filesystem;
using program_run::Picture;

std::string Dist() {
    return LUDORA_DIST_DIR;
}

bool Installed(const char* tool) {
    return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

void Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// An Xvfb of its own on a free display, which it names itself.
class VirtualDisplay {
public:
    VirtualDisplay(int width, int height) {
        int ready[2];
        if (pipe(ready) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            const std::string fd = std::to_string(ready[1]);
            const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        // The number, then a line break: read to the end of the line before closing.
        std::string number;
        for (char c = 0; read(ready[0], &c, 1) == 1 && c != '\n';)
            number += c;
        close(ready[0]);
        if (!number.empty()) name_ = ":" + number;
        if (!name_.empty()) x_ = XOpenDisplay(name_.c_str());
    }
    ~VirtualDisplay() {
        if (x_) XCloseDisplay(x_);
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool Ready() const { return x_ != nullptr; }
    const std::string& Name() const { return name_; }

    // Runs an X tool on this display; answers what it printed.
    std::string Tool(const std::string& command) const {
        std::string printed;
        if (FILE* out = popen(("DISPLAY=" + name_ + " " + command + " 2>/dev/null").c_str(), "r")) {
            char buffer[256];
            while (fgets(buffer, sizeof buffer, out))
                printed += buffer;
            pclose(out);
        }
        return printed;
    }

    Picture Shot(const fs::path& file) const {
        Tool("import -window root bmp3:" + file.string());
        return program_run::ReadBmp(file.string());
    }

    // The window's close box, as a window manager sends it.
    void RequestClose(unsigned long window) const {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(x_, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(x_, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(x_, window, False, NoEventMask, &event);
        XFlush(x_);
    }

    // Another program's window raised over everything, holding the focus.
    unsigned long RaiseOther() const {
        const Window root = DefaultRootWindow(x_);
        const Window other = XCreateSimpleWindow(x_, root, 0, 0, 200, 200, 0, 0, 0);
        XMapRaised(x_, other);
        XSync(x_, False);
        XSetInputFocus(x_, other, RevertToParent, CurrentTime);
        XSync(x_, False);
        return other;
    }
    void Remove(unsigned long other) const {
        XDestroyWindow(x_, other);
        XSync(x_, False);
    }

private:
    pid_t pid_ = -1;
    std::string name_;
    Display* x_ = nullptr;
};

// A staged program running on a display, with its window's place on the screen.
struct RunningProgram {
    const VirtualDisplay& display;
    const robust::StagedFolder& folder;
    pid_t pid = -1;
    unsigned long window = 0;
    int x = 0, y = 0;

    RunningProgram(const VirtualDisplay& on, const robust::StagedFolder& staged,
                   const fs::path& where, const fs::path& program, const std::string& script = "")
        : display(on), folder(staged) {
        setenv("DISPLAY", on.Name().c_str(), 1);
        pid = staged.Start(where, program, {}, script,
                           {"LUDORA_VIDEO=sdl", "LUDORA_TIME_SCALE=1", "SDL_VIDEODRIVER=x11"});
        for (int tries = 0; tries < 200 && !window; ++tries, Pause(50)) {
            const std::string found =
                on.Tool("xdotool search --onlyvisible --pid " + std::to_string(pid));
            window = std::strtoul(found.c_str(), nullptr, 10);
        }
        const std::string place = on.Tool("xdotool getwindowgeometry --shell " + Id());
        std::sscanf(place.c_str(), "WINDOW=%*u X=%d Y=%d", &x, &y);
        on.Tool("xdotool windowfocus --sync " + Id());
    }
    std::string Id() const { return std::to_string(window); }
    // xdotool arguments in the window's own coordinates.
    void Do(const std::string& arguments) const { display.Tool("xdotool " + arguments); }
    void Tap(int atX, int atY) const {
        Do("mousemove --window " + Id() + " " + std::to_string(atX) + " " + std::to_string(atY) +
           " click 1");
    }
    robust::Outcome Close() const {
        display.RequestClose(window);
        return folder.Finish(pid, 20000);
    }
};

// Pixels of the 800 x 600 client area at (x, y) that differ between two shots.
int ChangedPixels(const Picture& a, const Picture& b, int x, int y, int width = 800,
                  int height = 600) {
    if (!a.Loaded() || !b.Loaded()) return -1;
    int changed = 0;
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            changed +=
                std::equal(a.At(column, row), a.At(column, row) + 3, b.At(column, row)) ? 0 : 1;
    return changed;
}

// Shots until the client area differs from `before` (the program is working
// at its own pace on a busy machine); the last shot taken.
Picture ShotAfterChange(const RunningProgram& program, const Picture& before,
                        const fs::path& file) {
    Picture now;
    for (int tries = 0; tries < 100; ++tries, Pause(100)) {
        now = program.display.Shot(file);
        if (now.Loaded() &&
            (!before.Loaded() || ChangedPixels(before, now, program.x, program.y) > 0))
            break;
    }
    Pause(500); // the rest of the screen drawn
    return program.display.Shot(file);
}

// Waits until the picture shows at (x, y) of the client area; answers the
// pixels that still differ.
int WaitForPicture(const RunningProgram& program, const Picture& picture, int x, int y,
                   const fs::path& file) {
    int different = -1;
    for (int tries = 0; tries < 60 && different != 0; ++tries, Pause(100)) {
        const Picture now = program.display.Shot(file);
        if (now.Loaded())
            different = program_run::DifferentPixels(now, program.x + x, program.y + y, picture, 0,
                                                     0, picture.width, picture.height);
    }
    return different;
}

// The middle of a chart cell without a piece near (x, y), over open sea on
// the chart of the game's deal number `deals` (start-up is the first) with
// the runner's seed.
std::string EmptyCellNear(int x, int y, int deals) {
    reference::Rand rand(1313);
    reference::Chart sea;
    for (int deal = 0; deal < deals; ++deal) {
        sea = reference::ChartOfMap({}, 0);
        reference::Place(sea, rand);
    }
    int best = -1, bestDistance = 1 << 30;
    for (int i = 0; i < reference::Cells; ++i) {
        const int dx = reference::CellX(i) - x, dy = reference::CellY(i) - y;
        if (!sea.hidden[i] && !sea.treasure[i] && dx * dx + dy * dy < bestDistance) {
            best = i;
            bestDistance = dx * dx + dy * dy;
        }
    }
    return std::to_string(reference::CellX(best) + 9) + " " +
           std::to_string(reference::CellY(best) + 9);
}

// The game's searches counter: three digits of the staged number font centred at x 712.
int CounterDifferences(const Picture& shot, const RunningProgram& game, const Picture& font,
                       const std::string& digits) {
    const int step = font.width / 10;
    int different = 0;
    for (int i = 0; i < 3; ++i)
        different +=
            program_run::DifferentPixels(shot, game.x + 712 - 3 * step / 2 + i * step, game.y + 165,
                                         font, (digits[i] - '0') * step, 0, step, font.height);
    return different;
}

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool", "import"})
            if (!Installed(tool))
                GTEST_SKIP() << tool << " is not installed (scripts/install-deps installs it)";
        if (!fs::exists(Dist() + "/Ludora")) GTEST_SKIP() << "no staged programs in " << Dist();
    }
};

} // namespace

// Taps on the game pages and the title page, a name typed with no delay
// between keys, and the close box: the launcher takes its buttons from
// window messages only, so each tap must come as a press and a release in
// frames of their own.
TEST_F(Desktop, LauncherTapsTypingAndTheCloseBox) {
    VirtualDisplay display(1024, 768);
    ASSERT_TRUE(display.Ready());
    robust::StagedFolder folder(Dist());
    ASSERT_TRUE(folder.Ready());
    robust::WriteFile(folder.dist / "options.ini", "[Player1]\nname=\n");
    RunningProgram launcher(display, folder, folder.dist, folder.dist / "Ludora");
    ASSERT_NE(launcher.window, 0u);
    const fs::path shot = folder.root / "screen.bmp";

    const Picture splash = ShotAfterChange(launcher, Picture(), shot);
    launcher.Tap(400, 60);
    const Picture pages = ShotAfterChange(launcher, splash, shot);
    launcher.Tap(14 + 125, 140 + 50); // slot 1: Pearlwreck's title page
    const Picture title = ShotAfterChange(launcher, pages, shot);
    EXPECT_GT(ChangedPixels(pages, title, launcher.x, launcher.y), 10000);
    launcher.Tap(400, 340); // "Players"
    const Picture players = ShotAfterChange(launcher, title, shot);
    launcher.Do("type --delay 0 'zephyr quokka'");
    Pause(1500);
    launcher.Tap(53 + 474 + 50, 18 + 471 + 20); // "enter"
    ShotAfterChange(launcher, players, shot);

    const robust::Outcome outcome = launcher.Close();
    EXPECT_EQ(outcome.status, 0) << outcome.printed;
    const std::string options = robust::ReadFile(folder.dist / "options.ini");
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
    VirtualDisplay display(1024, 768);
    ASSERT_TRUE(display.Ready());
    robust::StagedFolder folder(Dist());
    ASSERT_TRUE(folder.Ready());
    fs::remove(folder.Game() / "islands.dat"); // open sea: every cell is a search
    fs::remove(folder.Game() / "hiscore.dat");
    const Picture font = program_run::ReadBmp((folder.Game() / "NumberFont.bmp").string());
    const Picture round1 = program_run::ReadBmp((folder.Game() / "round1.bmp").string());
    ASSERT_TRUE(font.Loaded() && round1.Loaded());
    RunningProgram game(display, folder, folder.Game(), folder.Game() / "Pearlwreck");
    ASSERT_NE(game.window, 0u);
    const fs::path shot = folder.root / "screen.bmp";

    const Picture splash = ShotAfterChange(game, Picture(), shot);
    game.Tap(400, 300);
    ShotAfterChange(game, splash, shot);
    const auto newGameLooks = [&](int shots) {
        std::vector<Picture> seen;
        for (int i = 0; i < shots; ++i, Pause(250))
            seen.push_back(display.Shot(shot));
        int changes = 0;
        for (int i = 1; i < shots; ++i)
            changes += ChangedPixels(seen[i - 1], seen[i], game.x + 720, game.y + 485, 68, 42) > 0;
        return changes;
    };
    const unsigned long other = display.RaiseOther();
    Pause(600);
    EXPECT_EQ(newGameLooks(6), 0) << "paused in the background";
    display.Remove(other);
    game.Do("windowfocus --sync " + game.Id());
    Pause(600);
    EXPECT_GT(newGameLooks(6), 0) << "running again";

    // Each step given time, as a hand takes it.
    const auto at = [&](int x, int y) {
        return "mousemove " + std::to_string(game.x + x) + " " + std::to_string(game.y + y) +
               " sleep 0.2 ";
    };
    game.Do(at(754, 506) + "mousedown 1 sleep 0.2 " + at(880, 650) + "mouseup 1");
    Pause(800);
    EXPECT_GT(program_run::DifferentPixels(display.Shot(shot), game.x + 135, game.y + 153, round1,
                                           0, 0, round1.width, round1.height),
              1000)
        << "released off the window: no new game";
    game.Do(at(754, 506) + "mousedown 1 sleep 0.2 " + at(880, 650) + at(754, 506) + "mouseup 1");
    EXPECT_EQ(WaitForPicture(game, round1, 135, 153, shot), 0)
        << "dragged back onto \"newgame\": the round's picture";
    game.Do("key space");
    Pause(1000);
    EXPECT_EQ(CounterDifferences(display.Shot(shot), game, font, "025"), 0) << "a new game";

    game.Do("mousemove --window " + game.Id() + " " + EmptyCellNear(130, 230, 2) + " click 1");
    Pause(2500); // the sonar runs out over open sea
    EXPECT_EQ(CounterDifferences(display.Shot(shot), game, font, "024"), 0) << "one tap";
    // A new game, and a double click on its round's picture: the first click
    // closes it, the second searches the cell under it.
    game.Tap(754, 506);
    EXPECT_EQ(WaitForPicture(game, round1, 135, 153, shot), 0);
    game.Do("mousemove --window " + game.Id() + " " + EmptyCellNear(320, 300, 3) +
            " click --repeat 2 --delay 90 1");
    Pause(2500);
    EXPECT_EQ(CounterDifferences(display.Shot(shot), game, font, "024"), 0) << "a double click";

    const robust::Outcome outcome = game.Close();
    EXPECT_EQ(outcome.status, 0) << outcome.printed;
    EXPECT_FALSE(fs::exists(folder.Game() / "hiscore.dat"));
}

// Full screen from setup.ini: the X screen keeps its size, and the frame is
// shown scaled by a whole number (each pixel a 2 x 2 block), centred, with
// black around it.
TEST_F(Desktop, LauncherFullScreenIsScaledByAWholeNumberAndCentred) {
    VirtualDisplay display(1700, 1300);
    ASSERT_TRUE(display.Ready());
    robust::StagedFolder folder(Dist());
    ASSERT_TRUE(folder.Ready());
    robust::WriteFile(folder.dist / "setup.ini", "[setup]\nfullscreen=1\n");
    RunningProgram launcher(display, folder, folder.dist, folder.dist / "Ludora");
    ASSERT_NE(launcher.window, 0u);
    // The splash fades in, then stays until a click: two shots alike.
    Picture screen, next = display.Shot(folder.root / "screen.bmp");
    for (int tries = 0; tries < 40 && (!next.Loaded() || next.rgb != screen.rgb); ++tries) {
        screen = next;
        Pause(250);
        next = display.Shot(folder.root / "screen.bmp");
    }
    ASSERT_TRUE(screen.Loaded());
    EXPECT_EQ(screen.width, 1700);
    EXPECT_EQ(screen.height, 1300);
    // Scale 2 fits (3 does not): 1600 x 1200 at (50, 50).
    int unevenBlocks = 0, lit = 0, around = 0;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) {
            const uint8_t* shown = screen.At(x, y);
            if (x < 50 || y < 50 || x >= 1650 || y >= 1250) {
                around += shown[0] || shown[1] || shown[2];
            } else {
                const uint8_t* block = screen.At(x - (x - 50) % 2, y - (y - 50) % 2);
                unevenBlocks += !std::equal(shown, shown + 3, block);
                lit += shown[0] || shown[1] || shown[2];
            }
        }
    EXPECT_EQ(unevenBlocks, 0);
    EXPECT_EQ(around, 0) << "black around the picture";
    EXPECT_GT(lit, 1600 * 1200 / 2);
    const robust::Outcome outcome = launcher.Close();
    EXPECT_EQ(outcome.status, 0) << outcome.printed;
}
