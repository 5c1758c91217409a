#include "dsound/wav_capture.h"

#include <cstring>

namespace ludora::audio {
namespace {

void put32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}
void put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

constexpr size_t kHeaderBytes = 44;
// A RIFF size field cannot describe more than this.
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - kHeaderBytes;

} // namespace

bool WavCapture::open(const std::string& path, const OutputFormat& format) {
    close();
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) return false;
    path_ = path;
    format_ = format;
    data_bytes_ = 0;
    unfixed_bytes_ = 0;
    fix_header();
    return true;
}

void WavCapture::write(const uint8_t* bytes, size_t size) {
    if (file_ == nullptr || size == 0) return;
    if (data_bytes_ + size > kMaxDataBytes) return;
    if (std::fwrite(bytes, 1, size, file_) != size) return;
    data_bytes_ += size;
    unfixed_bytes_ += size;
    // Keep the file playable while the program runs: fix the header about once a second.
    const uint64_t second = uint64_t{format_.rate} * format_.block_align();
    if (unfixed_bytes_ >= second) fix_header();
}

void WavCapture::fix_header() {
    if (file_ == nullptr) return;
    uint8_t header[kHeaderBytes];
    const uint32_t data = static_cast<uint32_t>(data_bytes_);
    std::memcpy(header, "RIFF", 4);
    put32(header + 4, data + 36);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    put32(header + 16, 16);
    put16(header + 20, 1);
    put16(header + 22, format_.channels);
    put32(header + 24, format_.rate);
    put32(header + 28, format_.rate * format_.block_align());
    put16(header + 32, static_cast<uint16_t>(format_.block_align()));
    put16(header + 34, format_.bits);
    std::memcpy(header + 36, "data", 4);
    put32(header + 40, data);
    std::fseek(file_, 0, SEEK_SET);
    std::fwrite(header, 1, kHeaderBytes, file_);
    std::fseek(file_, 0, SEEK_END);
    std::fflush(file_);
    unfixed_bytes_ = 0;
}

void WavCapture::close() {
    if (file_ == nullptr) return;
    fix_header();
    std::fclose(file_);
    file_ = nullptr;
}

} // namespace ludora::audio
