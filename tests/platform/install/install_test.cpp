// `cmake --install` into a temporary prefix, then a WinMain program compiled
// and linked with nothing but what pkg-config says of that prefix, and run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

int run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string read_text(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(Install, AProgramBuildsAndRunsFromAnyPrefix) {
    const fs::path prefix =
        fs::path(::testing::TempDir()) / ("ludora-prefix-" + std::to_string(::getpid()));
    fs::remove_all(prefix);
    const std::string log = prefix.string() + ".log";
    ASSERT_EQ(run("'" LUDORA_CMAKE "' --install '" LUDORA_BUILD_DIR "' --prefix '" +
                  prefix.string() + "' --component ludora_platform > '" + log + "' 2>&1"),
              0)
        << read_text(log);

    // The installed file names no prefix of its own: it is found from where it lies.
    fs::path pc_file;
    for (const auto& entry : fs::recursive_directory_iterator(prefix))
        if (entry.path().filename() == "ludora-platform.pc") pc_file = entry.path();
    ASSERT_FALSE(pc_file.empty());
    const std::string pc = read_text(pc_file);
    EXPECT_EQ(pc.find("/usr/local"), std::string::npos) << pc;
    EXPECT_EQ(pc.rfind("prefix=${pcfiledir}/", 0), 0u) << pc;

    // Moved after installing, it still works: the program is built from the new place.
    const fs::path moved = prefix.string() + "-moved";
    fs::remove_all(moved);
    fs::rename(prefix, moved);
    const fs::path pc_folder = moved / fs::relative(pc_file.parent_path(), prefix);
    const std::string program = (moved / "installed_program").string();
    const std::string flags =
        "PKG_CONFIG_PATH='" + pc_folder.string() + "' pkg-config --cflags --libs ludora-platform";
    ASSERT_EQ(run("'" LUDORA_CXX "' -std=c++20 " LUDORA_PROGRAM_FLAGS " -o '" + program +
                  "' '" LUDORA_INSTALLED_PROGRAM "' $(" + flags + ") > '" + log + "' 2>&1"),
              0)
        << read_text(log);
    // Its library is the installed one, found through the path pkg-config gave.
    EXPECT_EQ(run("ldd '" + program + "' | grep -q '" + (moved / "").string() + "'"), 0);
    // WM_QUIT carries 40 plus the length of "one two".
    EXPECT_EQ(run("LUDORA_VIDEO=headless '" + program + "' one two"), 47);
    fs::remove_all(moved);
    fs::remove(log);
}
