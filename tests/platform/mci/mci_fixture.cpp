#include "mci_fixture.h"

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>

#include "tests/support/wav.h"

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
    folder_ = std::make_unique<testkit::WorkingFolder>("ludora-mci");
    ASSERT_TRUE(folder_->Made());
    dir_ = folder_->path.string();
    std::filesystem::create_directories(dir_ + "/sounds");
}

void MciTest::TearDown() {
    mciSendStringA("close all", nullptr, 0, nullptr);
    LudoraReleaseClock();
    folder_.reset();
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
    std::vector<int16_t> samples;
    for (uint32_t f = 0; f < frames; ++f) {
        const int16_t v =
            static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * f / period)));
        samples.insert(samples.end(), channels, v);
    }
    ASSERT_TRUE(testkit::WriteWav(path, channels, static_cast<int>(rate), samples));
}

} // namespace mci_test
