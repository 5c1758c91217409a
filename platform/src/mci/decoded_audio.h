// Music files decoded whole into 16-bit PCM for the MCI player.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ludora::mci {

struct DecodedAudio {
    std::vector<int16_t> samples; // interleaved
    uint32_t rate = 0;
    uint16_t channels = 0;

    uint32_t frames() const {
        return channels == 0 ? 0 : static_cast<uint32_t>(samples.size() / channels);
    }
};

enum class DecodeResult { ok, not_found, invalid };

// The longest music kept: fifteen minutes at 48 kHz stereo.
constexpr size_t kMaxDecodedSamples = size_t{15} * 60 * 48000 * 2;

// A PCM WAV file (8 or 16 bits, mono or stereo) or an MP3 file, told apart by content.
DecodeResult decode_audio_file(const std::string& host_path, DecodedAudio& audio);
DecodeResult decode_wav(const std::vector<uint8_t>& bytes, DecodedAudio& audio);
DecodeResult decode_mp3(const std::string& host_path, DecodedAudio& audio);

} // namespace ludora::mci
