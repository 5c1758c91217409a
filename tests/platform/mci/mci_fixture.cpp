#include "mci_fixture.h"

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace mci_test {
namespace {

// The tests never open a real sound device, however they are started.
class HeadlessAudio : public ::testing::Environment {
public:
    void SetUp() override { setenv("LUDORA_VIDEO", "headless", 1); }
};
const auto* const kHeadlessAudio = ::testing::AddGlobalTestEnvironment(new HeadlessAudio);

} // namespace

void MciTest::SetUp() {
    LudoraHoldClock();
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
    old_dir_ = cwd;
    dir_ = std::string(::testing::TempDir()) + "ludora_mci_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(dir_ + "/sounds");
    ASSERT_EQ(chdir(dir_.c_str()), 0);
}

void MciTest::TearDown() {
    mciSendStringA("close all", nullptr, 0, nullptr);
    LudoraReleaseClock();
    ASSERT_EQ(chdir(old_dir_.c_str()), 0);
    std::filesystem::remove_all(dir_);
}

MCIERROR MciTest::send(const std::string& command, HWND window) {
    return mciSendStringA(command.c_str(), reply_, sizeof(reply_), window);
}

std::string MciTest::status(const std::string& alias, const char* item) {
    const MCIERROR error = send("status " + alias + " " + item);
    return error == 0 ? std::string(reply_) : "error " + std::to_string(error);
}

std::vector<int16_t> MciTest::listen(uint32_t ms) {
    const uint32_t frames = 44100 * ms / 1000;
    std::vector<int16_t> stereo(size_t{frames} * 2);
    EXPECT_EQ(LudoraPumpAudio(frames, stereo.data()), frames);
    std::vector<int16_t> left;
    for (size_t i = 0; i < stereo.size(); i += 2)
        left.push_back(stereo[i]);
    return left;
}

void write_tone_wav(const std::string& path, uint32_t rate, uint16_t channels, uint32_t frames,
                    double period, double amplitude) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    const uint32_t data = frames * channels * 2;
    auto put32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, file); };
    auto put16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, file); };
    std::fwrite("RIFF", 1, 4, file);
    put32(36 + data);
    std::fwrite("WAVEfmt ", 1, 8, file);
    put32(16);
    put16(1);
    put16(channels);
    put32(rate);
    put32(rate * channels * 2);
    put16(static_cast<uint16_t>(channels * 2));
    put16(16);
    std::fwrite("data", 1, 4, file);
    put32(data);
    for (uint32_t f = 0; f < frames; ++f) {
        const int16_t v =
            static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * f / period)));
        for (uint16_t c = 0; c < channels; ++c)
            put16(static_cast<uint16_t>(v));
    }
    std::fclose(file);
}


} // namespace mci_test
