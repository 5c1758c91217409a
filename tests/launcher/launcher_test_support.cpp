#include "launcher_test_support.h"

#include <csignal>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace launchertest {

namespace {

uint32_t Le32(const std::string& d, size_t at) {
    return uint8_t(d[at]) | uint8_t(d[at + 1]) << 8 | uint8_t(d[at + 2]) << 16 |
           uint32_t(uint8_t(d[at + 3])) << 24;
}

} // namespace

Picture ReadBmp(const fs::path& path) {
    Picture picture;
    const std::string d = ReadText(path);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M' || (uint8_t(d[28]) | uint8_t(d[29]) << 8) != 24)
        return picture;
    const uint32_t offset = Le32(d, 10);
    const int width = int(Le32(d, 18));
    const int height = int(Le32(d, 22));
    const int rows = height < 0 ? -height : height;
    const size_t rowBytes = (size_t(width) * 3 + 3) / 4 * 4;
    if (d.size() < offset + rowBytes * rows) return picture;
    picture.width = width;
    picture.height = rows;
    picture.pixels.resize(size_t(width) * rows);
    for (int y = 0; y < rows; ++y) {
        const int stored = height > 0 ? rows - 1 - y : y;
        for (int x = 0; x < width; ++x) {
            const size_t at = offset + rowBytes * stored + size_t(x) * 3;
            picture.pixels[size_t(y) * width + x] = uint32_t(uint8_t(d[at + 2])) << 16 |
                                                    uint32_t(uint8_t(d[at + 1])) << 8 |
                                                    uint8_t(d[at]);
        }
    }
    return picture;
}

uint32_t Quantised(uint32_t rgb) {
    return ((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F);
}

int CountColour(const Picture& shot, int x, int y, int width, int height, uint32_t colour) {
    int count = 0;
    for (int row = y; row < y + height && row < shot.height; ++row)
        for (int column = x; column < x + width && column < shot.width; ++column)
            if (Quantised(shot.At(column, row)) == Quantised(colour)) ++count;
    return count;
}

bool SameArea(const Picture& a, const Picture& b, int x, int y, int width, int height) {
    if (!a.Loaded() || !b.Loaded()) return false;
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            if (a.At(column, row) != b.At(column, row)) return false;
    return true;
}

std::pair<int, int> MatchFrame(const Picture& shot, const Picture& strip, int frames, int frame,
                               int x, int y) {
    const int frameWidth = strip.width / frames;
    int matched = 0, compared = 0;
    for (int row = 0; row < strip.height; ++row) {
        for (int column = 0; column < frameWidth; ++column) {
            const uint32_t pixel = strip.At(frame * frameWidth + column, row);
            if (pixel == 0x0000FF || x + column >= shot.width || y + row >= shot.height) continue;
            ++compared;
            if (Quantised(pixel) == Quantised(shot.At(x + column, y + row))) ++matched;
        }
    }
    return {matched, compared};
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> ReadLines(const fs::path& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadText(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back(); // settings files end lines with CR LF
        lines.push_back(line);
    }
    return lines;
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

Point SlotCentre(int slot) {
    const int xs[3] = {14, 271, 528};
    const int ys[4] = {140, 247, 355, 461};
    return {xs[(slot - 1) % 3] + 125, ys[(slot - 1) / 3] + 50};
}

std::string Click(Point p) {
    return "click " + std::to_string(p.x) + " " + std::to_string(p.y) + "\nwait 250\n";
}

std::string Shot(const fs::path& path) {
    return "shot " + path.string() + "\n";
}

std::string LauncherProgram::SiteLine() {
    return std::string("open|") + LUDORA_SITE_URL + "||";
}

void LauncherProgram::SetUp() {
    const fs::path staged = LUDORA_DIST_DIR;
    if (!fs::exists(staged / "Ludora") || !fs::exists(staged / "Pearlwreck" / "LudoraButton.bmp"))
        GTEST_SKIP() << "no staged launcher folder at " << staged;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const fs::path root =
        fs::temp_directory_path() /
        ("launcher-" + std::string(info->name()) + "-" + std::to_string(std::random_device{}()));
    dist_ = root / "dist";
    shots_ = root / "shots";
    shellLog_ = root / "shell.log";
    fs::create_directories(shots_);
    fs::copy(staged, dist_, fs::copy_options::recursive);
    // Each test decides its own games: only Pearlwreck comes with the folder.
    dist_ = fs::canonical(dist_);
}

void LauncherProgram::TearDown() {
    if (dist_.empty()) return;
    StopProgramsInFolder(); // programs started by the programs under test
    std::error_code ignored;
    fs::remove_all(dist_.parent_path(), ignored);
}

void LauncherProgram::AddGame(const std::string& name) {
    fs::create_directories(dist_ / name);
    fs::copy_file(dist_ / "Pearlwreck" / "LudoraButton.bmp", dist_ / name / "LudoraButton.bmp",
                  fs::copy_options::overwrite_existing);
}

int LauncherProgram::Run(const std::string& script, const std::vector<std::string>& arguments) {
    const fs::path scriptFile = dist_.parent_path() / "script.txt";
    // The splash picture waits for a click; the program is closed at the end
    // (a click first ends the credit picture of a program that quit by itself).
    WriteText(scriptFile, "wait 300\nclick 400 60\nwait 400\n" + script +
                              "wait 100\nclick 400 60\nwait 100\nclose\n");
    const int status = RunProgram(scriptFile.string(), arguments, false);
    // WinMain answers 0; a crash or a sanitizer's report ends it otherwise.
    EXPECT_EQ(status, 0) << "the launcher did not end normally";
    return status;
}

int LauncherProgram::RunProgram(const std::string& script,
                                const std::vector<std::string>& arguments, bool startPrograms) {
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(dist_.c_str()) != 0) _exit(126);
        setenv("LUDORA_VIDEO", "headless", 1);
        setenv("LUDORA_AUDIO", "none", 1);
        setenv("LUDORA_SCRIPT", script.c_str(), 1);
        setenv("LUDORA_SHELL_LOG", shellLog_.c_str(), 1);
        if (startPrograms)
            setenv("LUDORA_SHELL_RUN", "1", 1);
        else
            unsetenv("LUDORA_SHELL_RUN");
        unsetenv("LUDORA_TIME_SCALE");
        std::vector<char*> argv{const_cast<char*>("./Ludora")};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv("./Ludora", argv.data());
        _exit(127);
    }
    // A program that does not end is stopped after a minute.
    int status = 0;
    for (int waited = 0; waited < 60000; waited += 5) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        usleep(5000);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

void LauncherProgram::StopProgramsInFolder() {
    if (dist_.empty()) return;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
        const std::string pid = entry.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        const fs::path program = fs::read_symlink(entry.path() / "exe", error);
        if (!error && program.string().rfind(dist_.string() + "/", 0) == 0)
            kill(pid_t(std::stoi(pid)), SIGKILL);
    }
}

} // namespace launchertest
