// Without a sound device a program runs silently and says so in one line,
// instead of the complaints of the libraries tried on the way. The host's
// sound library is pointed at a configuration that does not exist, so no
// device can be found, whatever the machine has.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "tests/support/files.h"

namespace {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string read_all(const std::string& path) {
    return testkit::ReadText(path);
}

ProgramRun run_program(const std::string& settings, const std::string& name) {
    const std::string base = ::testing::TempDir() + name + "_" + std::to_string(getpid());
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u LUDORA_VIDEO -u LUDORA_AUDIO -u LUDORA_AUDIO_OUT "
        "SDL_AUDIODRIVER=alsa ALSA_CONFIG_PATH=/nonexistent/ludora-alsa.conf " +
        settings + " '" LUDORA_SOUNDLESS_PROGRAM "' > '" + base + ".out' 2> '" + base + ".err'";
    ProgramRun run;
    run.status = std::system(command.c_str());
    run.out = read_all(base + ".out");
    run.err = read_all(base + ".err");
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return run;
}

} // namespace

TEST(NoSoundDevice, TheProgramRunsSilentlyAndSaysSoInOneLine) {
    const ProgramRun run = run_program("", "no_device");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "created\n");
    EXPECT_EQ(run.err, "ludora: no sound device, running silently\n");
}

TEST(NoSoundDevice, SoundSwitchedOffStaysQuiet) {
    const ProgramRun run = run_program("LUDORA_AUDIO=none", "audio_none");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "refused\n");
    EXPECT_EQ(run.err, "");
}
