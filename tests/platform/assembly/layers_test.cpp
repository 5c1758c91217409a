// scripts/check-layers on the layer as it stands and on small made-up trees:
// an area may use the areas of lower layers and those listed before it in its
// own layer, never one after it or above it, and never a weak symbol.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exit_code = -1;
    std::string said;
};

Outcome check_layers(const std::string& source_folder) {
    const std::string said_path =
        ::testing::TempDir() + "check_layers_said_" + std::to_string(::getpid()) + ".txt";
    const std::string command = "'" LUDORA_SOURCE_DIR "/scripts/check-layers' '" + source_folder +
                                "' > '" + said_path + "' 2>&1";
    const int status = std::system(command.c_str());
    Outcome outcome;
    outcome.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(said_path);
    outcome.said.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return outcome;
}

// A tree with every area and one file in `area` that includes `line`.
class MadeUpTree : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::path(::testing::TempDir()) / ("layers-" + std::to_string(::getpid()));
        fs::remove_all(root);
        for (const char* area : {"core", "pixels", "kernel", "ddraw", "gdi", "window", "dinput",
                                 "dsound", "mci", "assembly"}) {
            fs::create_directories(root / area);
            std::ofstream(root / area / "own.h") << "#pragma once\n";
        }
    }
    void TearDown() override { fs::remove_all(root); }

    void write(const std::string& file, const std::string& text) {
        fs::create_directories((root / file).parent_path());
        std::ofstream(root / file) << text;
    }

    fs::path root;
};

} // namespace

TEST(Layers, TheLayerAsItStandsKeepsItsOrder) {
    const Outcome outcome = check_layers(LUDORA_SOURCE_DIR "/platform/src");
    EXPECT_EQ(outcome.exit_code, 0) << outcome.said;
}

TEST_F(MadeUpTree, DownwardAndEarlierNeighboursAreAllowed) {
    write("pixels/canvas.cpp", "#include \"core/clock.h\"\n#include \"pixels/own.h\"\n");
    write("window/present.cpp", "#include \"pixels/own.h\"\n#include \"kernel/own.h\"\n"
                                "#include \"ddraw/own.h\"\n#include <windows.h>\n");
    write("mci/player.cpp", "#include \"dsound/own.h\"\n#include \"window/own.h\"\n");
    write("assembly/table.cpp", "#include \"mci/own.h\"\n#include \"gdi/own.h\"\n");
    write("dinput/device.cpp", "#include \"ludora/harness_window.h\"\n");
    const Outcome outcome = check_layers(root.string());
    EXPECT_EQ(outcome.exit_code, 0) << outcome.said;
}

TEST_F(MadeUpTree, UpwardAndLaterNeighboursFail) {
    struct Case {
        const char* file;
        const char* include;
    };
    // Each names an area after the includer in the order core, pixels, kernel,
    // ddraw, gdi, window, dinput, dsound, mci, assembly.
    for (const Case& c :
         {Case{"core/clock.cpp", "kernel/own.h"}, Case{"pixels/canvas.h", "kernel/own.h"},
          Case{"ddraw/surface.cpp", "gdi/own.h"}, Case{"gdi/bitmaps.cpp", "window/own.h"},
          Case{"window/sdl_driver.cpp", "dinput/own.h"}, Case{"dsound/mixer.cpp", "mci/own.h"},
          Case{"kernel/files.cpp", "assembly/own.h"}}) {
        SetUp();
        write(c.file, std::string("#include \"core/own.h\"\n  #  include \"") + c.include + "\"\n");
        const Outcome outcome = check_layers(root.string());
        EXPECT_NE(outcome.exit_code, 0) << c.file << " including " << c.include;
        EXPECT_NE(outcome.said.find(c.file), std::string::npos) << outcome.said;
    }
}

TEST_F(MadeUpTree, WeakSymbolsAndUnknownAreasFail) {
    write("ddraw/geometry.cpp", "#pragma weak GetClientRect\n");
    EXPECT_NE(check_layers(root.string()).exit_code, 0);
    SetUp();
    write("dsound/delivery.cpp", "BOOL WINAPI SetEvent(HANDLE) __attribute__((weak));\n");
    EXPECT_NE(check_layers(root.string()).exit_code, 0);
    SetUp();
    write("video/new_area.cpp", "#include \"core/own.h\"\n");
    const Outcome outcome = check_layers(root.string());
    EXPECT_NE(outcome.exit_code, 0);
    EXPECT_NE(outcome.said.find("video"), std::string::npos) << outcome.said;
}
