// Runs the shell's toolkit program the way a player meets it: in a folder of
// its own, headless, driven by an input script, and read back through what it
// leaves (its trace, the message log, shots).
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/shell/test_files.h"

extern char** environ;

namespace shell_test {

// Pure colours, exact in every display format.
constexpr Rgb Black{0, 0, 0};
constexpr Rgb White{255, 255, 255};
constexpr Rgb Red{255, 0, 0};
constexpr Rgb Green{0, 255, 0};
constexpr Rgb Blue{0, 0, 255}; // the toolkit's key colour
constexpr Rgb Yellow{255, 255, 0};
constexpr Rgb Cyan{0, 255, 255};
constexpr Rgb Magenta{255, 0, 255};

// Where the toolkit program puts things, and what its pictures hold.
namespace layout {
constexpr Rgb Background = Green;
constexpr Rgb SpriteColour = Red;
constexpr int SpriteX = 100, SpriteY = 100, SpriteSize = 40, HoleFrom = 15, HoleTo = 25;
constexpr int MenuButtonX = 120, MenuButtonY = 110, QuitButtonX = 300, QuitButtonY = 100;
constexpr int ButtonWidth = 60, ButtonHeight = 30;
constexpr Rgb ButtonNormal = Yellow, ButtonHover = Cyan, ButtonPressed = Magenta;
constexpr int FieldX = 100, FieldY = 300, GlyphWidth = 4, GlyphHeight = 10;
constexpr Rgb NormalFont = White, HighlightFont = Yellow;
constexpr int MenuWidth = 200, MenuHeight = 100, OkX = 20, OkY = 40, OkWidth = 60, OkHeight = 20;
constexpr Rgb MenuColour = Magenta, OkColour = White;
constexpr int PointerSize = 16, PointerHole = 8; // its top-left 8 x 8 is black: see-through
constexpr Rgb PointerColour = White;
constexpr Rgb SplashColour = Red, CreditColour = Magenta;
} // namespace layout

inline std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    return lines;
}

inline void WriteText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
}

// A launcher folder (top) holding the program's folder (top/Game).
class ProgramFolder {
public:
    ProgramFolder() {
        char pattern[] = "/tmp/ludora-program-XXXXXX";
        if (mkdtemp(pattern)) {
            top = pattern;
        }
        game = top + "/Game";
        mkdir(game.c_str(), 0755);
        mkdir((game + "/Title").c_str(), 0755);
        mkdir((game + "/sounds").c_str(), 0755);
        WritePictures();
    }
    ~ProgramFolder() {
        if (!top.empty() && std::getenv("LUDORA_KEEP_TEST_FOLDER") == nullptr) {
            [[maybe_unused]] int removed = std::system(("rm -rf '" + top + "'").c_str());
        }
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    std::string In(const std::string& name) const { return game + "/" + name; }
    void Setup(const std::string& keys) { WriteText(In("setup.ini"), "[setup]\r\n" + keys); }
    void SharedOptions(const std::string& keys) {
        WriteText(top + "/options.ini", "[setup]\r\n" + keys);
    }
    void OwnOptions(const std::string& keys) { WriteText(In("options.ini"), "[setup]\r\n" + keys); }

    std::string top;
    std::string game;

private:
    void WritePictures() {
        using namespace layout;
        WriteSolidBmp(In("background.bmp"), 800, 600, Background);
        WriteBmp(In("sprite.bmp"), SpriteSize, SpriteSize, [](int x, int y) {
            const bool hole = x >= HoleFrom && x < HoleTo && y >= HoleFrom && y < HoleTo;
            return hole ? Blue : SpriteColour;
        });
        WriteBmp(In("button.bmp"), ButtonWidth * 3, ButtonHeight, [](int x, int) {
            const int frame = x / ButtonWidth;
            return frame == 0 ? ButtonNormal : frame == 1 ? ButtonHover : ButtonPressed;
        });
        WriteSolidBmp(In("menu.bmp"), MenuWidth, MenuHeight, MenuColour);
        WriteSolidBmp(In("menubutton.bmp"), OkWidth, OkHeight, OkColour);
        WriteBmp(In("pointer.bmp"), PointerSize, PointerSize, [](int x, int y) {
            return x < PointerHole && y < PointerHole ? Black : PointerColour;
        });
        WriteFont(In("font_n.bmp"), NormalFont);
        WriteFont(In("font_h.bmp"), HighlightFont);
        WriteSolidBmp(In("blockcursor.bmp"), 4, GlyphHeight, White);
        WriteSolidBmp(In("Title/TovikSplash.bmp"), 800, 600, SplashColour);
        WriteSolidBmp(In("Title/TovikCredit.bmp"), 800, 600, CreditColour);
    }
    // 94 glyphs "!" to "~", each a solid block 4 wide, one blue column before each.
    static void WriteFont(const std::string& path, Rgb colour) {
        const int width = 1 + 94 * (layout::GlyphWidth + 1);
        WriteBmp(path, width, layout::GlyphHeight, [colour](int x, int) {
            return x % (layout::GlyphWidth + 1) == 0 ? Blue : colour;
        });
    }
};

struct RunResult {
    int exitCode = -1;
    bool finished = false;
    std::vector<std::string> trace;
    std::vector<std::string> messages;

    bool Has(const std::string& line) const {
        for (const std::string& entry : trace) {
            if (entry == line) return true;
        }
        return false;
    }
    // The first trace line that starts with the prefix, without it; empty when none.
    std::string After(const std::string& prefix) const {
        for (const std::string& entry : trace) {
            if (entry.compare(0, prefix.size(), prefix) == 0) return entry.substr(prefix.size());
        }
        return std::string();
    }
    bool HasPrefix(const std::string& prefix) const {
        for (const std::string& entry : trace) {
            if (entry.compare(0, prefix.size(), prefix) == 0) return true;
        }
        return false;
    }
    size_t IndexOf(const std::string& prefix) const {
        for (size_t i = 0; i < trace.size(); ++i) {
            if (trace[i].compare(0, prefix.size(), prefix) == 0) return i;
        }
        return trace.size();
    }
};

// Runs the program in folder.game with the script; extra holds further
// environment settings. The program is ended after a minute of real time.
inline RunResult RunProgram(const std::string& program, const ProgramFolder& folder,
                            const std::string& script,
                            const std::map<std::string, std::string>& extra = {},
                            const std::vector<std::string>& arguments = {}) {
    RunResult result;
    const std::string tracePath = folder.top + "/trace.txt";
    const std::string messagePath = folder.top + "/messages.txt";
    const std::string scriptPath = folder.top + "/script.txt";
    std::remove(tracePath.c_str());
    std::remove(messagePath.c_str());
    WriteText(scriptPath, script);

    std::map<std::string, std::string> settings;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const size_t equals = text.find('=');
        if (equals != std::string::npos && text.compare(0, 7, "LUDORA_") != 0) {
            settings[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    settings["LUDORA_VIDEO"] = "headless";
    settings["LUDORA_SCRIPT"] = scriptPath;
    settings["LUDORA_TIME_SCALE"] = "10";
    settings["LUDORA_MESSAGE_LOG"] = messagePath;
    settings["LUDORA_TEST_TRACE"] = tracePath;
    settings["LUDORA_AUDIO"] = "none";
    settings["LUDORA_SEED"] = "7";
    for (const auto& [name, value] : extra) {
        if (value.empty()) {
            settings.erase(name);
        } else {
            settings[name] = value;
        }
    }
    std::vector<std::string> environment;
    for (const auto& [name, value] : settings) {
        environment.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> argumentTexts{program};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& entry : argumentTexts)
        argv.push_back(entry.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.game.c_str());
    pid_t child = 0;
    const int error =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            result.finished = true;
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (result.finished && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    // Every run ends by itself and cleanly (a sanitizer's report would make it fail).
    EXPECT_TRUE(result.finished) << "still running after a minute";
    EXPECT_EQ(result.exitCode, 0);
    result.trace = Lines(ReadText(tracePath));
    result.messages = Lines(ReadText(messagePath));
    return result;
}

// Colours match when every channel is within a step of a 5-bit channel.
inline bool Near(Rgb a, Rgb b) {
    auto close = [](int x, int y) { return x - y <= 8 && y - x <= 8; };
    return close(a.red, b.red) && close(a.green, b.green) && close(a.blue, b.blue);
}

// Counts the pixels of the shot that differ from the expected picture.
inline int DifferingPixels(const Picture& shot, const Picture& expected, std::string& first) {
    if (shot.width != expected.width || shot.height != expected.height) {
        first = "sizes differ";
        return shot.width * shot.height + 1;
    }
    int differing = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const Rgb seen = shot.At(x, y);
            const Rgb wanted = expected.At(x, y);
            if (!Near(seen, wanted)) {
                if (differing == 0) {
                    first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                            std::to_string(seen.red) + "," + std::to_string(seen.green) + "," +
                            std::to_string(seen.blue) + " not " + std::to_string(wanted.red) + "," +
                            std::to_string(wanted.green) + "," + std::to_string(wanted.blue);
                }
                ++differing;
            }
        }
    }
    return differing;
}

// A picture composed by hand: fill, then rectangles in drawing order.
struct Composer {
    Picture picture;
    Composer(int width, int height, Rgb fill) {
        picture.width = width;
        picture.height = height;
        picture.pixels.assign(static_cast<size_t>(width) * height, fill);
    }
    void Fill(int left, int top, int width, int height, Rgb colour) {
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) {
                if (x >= 0 && y >= 0 && x < picture.width && y < picture.height) {
                    picture.pixels[static_cast<size_t>(y) * picture.width + x] = colour;
                }
            }
        }
    }
};

} // namespace shell_test
