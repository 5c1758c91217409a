// The game's costs: one step of the sonar (two rings marked and the changed
// cells painted), and a scripted minute of the staged program measured from
// outside: its resident memory and how soon the chart is on screen after the
// splash is clicked away.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <sys/wait.h>
#include <unistd.h>

#include "game/game_board.h"
#include "tests/game/reference_deal.h"
#include "tests/support/files.h"
#include "tests/support/picture.h"
#include "tests/support/staged_copy.h"

namespace {

class QuietHost : public BoardHost {
public:
    int32_t Now() override { return clock; }
    void Sleep(int32_t milliseconds) override { clock += milliseconds; }
    void PlaySound(const char*) override {}
    void StopSound(const char*) override {}
    void PresentFrame() override {}
    IDirectDrawSurface* BoardSurface() override { return nullptr; }
    void ShowTurnBonusPicture(int32_t) override {}
    void AddScorePopup(int32_t, int32_t) override {}
    int32_t clock = 0;
};

std::string Dist() {
    return LUDORA_DIST_DIR;
}

// One pass of the sonar at the given radius around the middle of the chart.
void BM_SonarStep(benchmark::State& state) {
    QuietHost host;
    auto board = std::make_unique<GameBoard>();
    board->SetHost(&host);
    const std::string islands = Dist() + "/Pearlwreck/islands.dat";
    board->LoadIslands(islands.c_str());
    board->SelectMap();
    board->ClearBoard();
    const int32_t centre = reference::Index(19, 18);
    const int32_t radius = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        board->probing = true;
        board->SweepRing(centre, radius, Ring);
        board->probing = false;
        board->SweepRing(centre, radius - 1, Cleared);
        board->DrawBoard(false);
        benchmark::DoNotOptimize(board->probeHit);
    }
}
BENCHMARK(BM_SonarStep)->Arg(1)->Arg(10)->Arg(30);

// A minute of play by the staged program at the layer's own pace.
void BM_ScriptedMinute(benchmark::State& state) {
    if (!std::filesystem::exists(Dist() + "/Pearlwreck/Pearlwreck")) {
        state.SkipWithError("no staged game");
        return;
    }
    for (auto _ : state) {
        testkit::StagedCopy copy(Dist());
        const auto root = [&copy](const std::string& name) { return (copy.dist / name).string(); };
        testkit::WriteText(root("options.ini"), "[setup]\nmusic=N\n");
        constexpr int ShotEvery = 20, Shots = 60;
        std::ostringstream script;
        script << "click 400 300 left 30\n"; // ends the splash as soon as it is up
        for (int i = 0; i < Shots; ++i)
            script << "wait " << ShotEvery << "\nshot "
                   << root("s" + std::to_string(i) + ".bmp") << "\n";
        script << "wait 1000\nclick 754 506 left 60\nwait 1500\nclick 400 300 left 60\nwait 800\n";
        for (int i = 0; i < 110; ++i) {
            const int cell = reference::Index(4 + (i * 7) % 30, 4 + (i * 11) % 29);
            script << "click " << reference::CellX(cell) + 9 << " " << reference::CellY(cell) + 9
                   << " left 60\nwait 500\n";
        }
        script << "click 754 552 left 60\nwait 6000\n";
        testkit::WriteText(root("script.txt"), script.str());

        const std::string program = (copy.Game() / "Pearlwreck").string();
        const std::string folder = copy.Game().string();
        timespec started{};
        clock_gettime(CLOCK_REALTIME, &started);
        const pid_t child = fork();
        if (child == 0) {
            if (chdir(folder.c_str()) != 0) _exit(126);
            setenv("LUDORA_VIDEO", "headless", 1);
            setenv("LUDORA_SEED", "7", 1);
            setenv("LUDORA_SCRIPT", root("script.txt").c_str(), 1);
            unsetenv("LUDORA_TIME_SCALE");
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);

        // The first shot that shows the chart's status panel instead of the splash.
        const testkit::Picture background = testkit::ReadBmp(copy.Game() / "background.bmp");
        int firstChart = -1;
        for (int i = 0; i < Shots && firstChart < 0; ++i) {
            const testkit::Picture shot =
                testkit::ReadBmp(root("s" + std::to_string(i) + ".bmp"));
            if (shot.Loaded() && background.Loaded() &&
                testkit::DifferentPixels(shot, 610, 130, background, 610, 130, 150, 20) == 0)
                firstChart = i;
        }
        state.counters["exit_status"] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        state.counters["max_resident_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
        // From the process's start to the shot that first showed the chart.
        double startToChart = -1;
        struct stat shotFile {};
        if (firstChart >= 0 &&
            stat(root("s" + std::to_string(firstChart) + ".bmp").c_str(), &shotFile) == 0)
            startToChart = static_cast<double>(shotFile.st_mtim.tv_sec - started.tv_sec) * 1000.0 +
                           static_cast<double>(shotFile.st_mtim.tv_nsec - started.tv_nsec) / 1e6;
        state.counters["start_to_chart_ms"] = startToChart;
        state.counters["click_to_chart_ms"] =
            firstChart < 0 ? -1 : 30 + (firstChart + 1) * ShotEvery;
        state.counters["cpu_seconds"] =
            static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
}
BENCHMARK(BM_ScriptedMinute)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
