// MCI on a held clock, with music files made for each test in a folder of its own.
#pragma once

#include "tests/support/audio_measure.h"
#include "tests/support/temp_folder.h"

#include <windows.h>
#include <ludora/harness.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace mci_test {

class MciTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Sends a command and returns its error; the reply lands in reply_.
    MCIERROR send(const std::string& command, HWND window = nullptr);
    std::string status(const std::string& alias, const char* item);
    // Mixes `ms` milliseconds of output and returns the left channel.
    std::vector<int16_t> listen(uint32_t ms);

    std::unique_ptr<testkit::WorkingFolder> folder_;
    std::string dir_; // the folder the test runs in
    char reply_[128] = {};
};

// A 16-bit WAV file of a sine tone: `period` frames a cycle.
void write_tone_wav(const std::string& path, uint32_t rate, uint16_t channels, uint32_t frames,
                    double period, double amplitude);
using audio_measure::rms;
using audio_measure::zero_crossings;

} // namespace mci_test
