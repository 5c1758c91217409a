// MP3 music through libmpg123, decoded to 16-bit PCM at the file's own rate.
#include "mci/decoded_audio.h"

#include <mpg123.h>

#include <mutex>

namespace ludora::mci {
namespace {

struct Mpg123Handle {
    mpg123_handle* handle = nullptr;
    bool open = false;
    ~Mpg123Handle() {
        if (open) mpg123_close(handle);
        if (handle != nullptr) mpg123_delete(handle);
    }
};

} // namespace

DecodeResult decode_mp3(const std::string& host_path, DecodedAudio& audio) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    Mpg123Handle mh;
    int error = MPG123_OK;
    mh.handle = mpg123_new(nullptr, &error);
    if (mh.handle == nullptr) return DecodeResult::invalid;
    mpg123_param(mh.handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Only 16-bit output, at whatever rate and channel count the file has.
    mpg123_format_none(mh.handle);
    const long* rates = nullptr;
    size_t rate_count = 0;
    mpg123_rates(&rates, &rate_count);
    for (size_t i = 0; i < rate_count; ++i) {
        mpg123_format(mh.handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    }
    if (mpg123_open(mh.handle, host_path.c_str()) != MPG123_OK) return DecodeResult::invalid;
    mh.open = true;
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(mh.handle, &rate, &channels, &encoding) != MPG123_OK)
        return DecodeResult::invalid;

    std::vector<int16_t> samples;
    alignas(8) unsigned char block[16384];
    while (samples.size() < kMaxDecodedSamples) {
        size_t done = 0;
        const int result = mpg123_read(mh.handle, block, sizeof(block), &done);
        samples.insert(samples.end(), reinterpret_cast<int16_t*>(block),
                       reinterpret_cast<int16_t*>(block + done));
        if (result == MPG123_NEW_FORMAT) {
            long new_rate = 0;
            int new_channels = 0;
            mpg123_getformat(mh.handle, &new_rate, &new_channels, &encoding);
            // A stream that changes its format midway keeps the first part only.
            if (!samples.empty() && (new_rate != rate || new_channels != channels)) break;
            rate = new_rate;
            channels = new_channels;
            continue;
        }
        if (result != MPG123_OK) break;
    }
    if (channels < 1 || channels > 2 || rate <= 0) return DecodeResult::invalid;
    samples.resize(std::min(samples.size(), kMaxDecodedSamples) / channels * channels);
    if (samples.empty()) return DecodeResult::invalid;
    audio.samples = std::move(samples);
    audio.rate = static_cast<uint32_t>(rate);
    audio.channels = static_cast<uint16_t>(channels);
    return DecodeResult::ok;
}

} // namespace ludora::mci
