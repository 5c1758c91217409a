// Runs the shell's toolkit program the way a player meets it: in a folder of
// its own, headless, driven by an input script, and read back through what it
// leaves (its trace, the message log, shots). On the test kit.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/input_script.h"
#include "tests/support/picture.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wav.h"

namespace shell_test {

using namespace testkit;

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

// A launcher folder (top) holding the program's folder (top/Game).
class ProgramFolder {
public:
    ProgramFolder() : folder("ludora-program") {
        top = folder.path.string();
        game = top + "/Game";
        std::filesystem::create_directories(game + "/Title");
        std::filesystem::create_directories(game + "/sounds");
        WritePictures();
    }

    std::string In(const std::string& name) const { return game + "/" + name; }
    void Setup(const std::string& keys) { WriteText(In("setup.ini"), "[setup]\r\n" + keys); }
    void SharedOptions(const std::string& keys) {
        WriteText(top + "/options.ini", "[setup]\r\n" + keys);
    }
    void OwnOptions(const std::string& keys) { WriteText(In("options.ini"), "[setup]\r\n" + keys); }

    TempFolder folder;
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

    // The test's settings first (an empty value leaves the setting out), then the run's own.
    Launch launch{program, folder.game, arguments, {}, {}};
    for (const auto& [name, value] : extra)
        launch.settings.push_back(value.empty() ? name : name + "=" + value);
    for (const std::string& setting :
         {std::string("LUDORA_VIDEO=headless"), "LUDORA_SCRIPT=" + scriptPath,
          std::string("LUDORA_TIME_SCALE=10"), "LUDORA_MESSAGE_LOG=" + messagePath,
          "LUDORA_TEST_TRACE=" + tracePath, std::string("LUDORA_AUDIO=none"),
          std::string("LUDORA_SEED=7")})
        launch.settings.push_back(setting);
    const Outcome outcome = Run(launch, 60);
    result.finished = outcome.finished;
    if (outcome.finished && outcome.status < 128) result.exitCode = outcome.status;
    // Every run ends by itself and cleanly (a sanitizer's report would make it fail).
    EXPECT_TRUE(result.finished) << "still running after a minute";
    EXPECT_EQ(result.exitCode, 0);
    result.trace = Lines(ReadText(tracePath));
    result.messages = Lines(ReadText(messagePath));
    return result;
}

} // namespace shell_test
