// Writes what the mixer produces to a WAV file (LUDORA_AUDIO_OUT), so tests
// and people can listen to a headless run.
#pragma once

#include "dsound/output_format.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace ludora::audio {

class WavCapture {
public:
    WavCapture() = default;
    WavCapture(const WavCapture&) = delete;
    WavCapture& operator=(const WavCapture&) = delete;
    ~WavCapture() { close(); }

    // Starts a new file (anything already at the path is replaced).
    bool open(const std::string& path, const OutputFormat& format);
    bool is_open() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }
    const OutputFormat& format() const { return format_; }
    void write(const uint8_t* bytes, size_t size);
    // Makes the header describe everything written so far.
    void fix_header();
    void close();

private:
    FILE* file_ = nullptr;
    std::string path_;
    OutputFormat format_;
    uint64_t data_bytes_ = 0;
    uint64_t unfixed_bytes_ = 0;
};

} // namespace ludora::audio
