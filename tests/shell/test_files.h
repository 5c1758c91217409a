// Small files the shell's tests write for themselves: PCM WAV sounds and
// 24-bit BMP pictures, laid out byte by byte.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace shell_test {

inline void PutWord(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

// 16-bit mono PCM at 22050 Hz: a square wave of the given amplitude.
inline bool WriteWav(const std::string& path, uint32_t frames, int16_t amplitude = 8000) {
    const uint32_t dataBytes = frames * 2;
    std::vector<uint8_t> bytes;
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    PutWord(bytes, 36 + dataBytes, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutWord(bytes, 16, 4);
    PutWord(bytes, 1, 2);         // PCM
    PutWord(bytes, 1, 2);         // mono
    PutWord(bytes, 22050, 4);     // samples per second
    PutWord(bytes, 22050 * 2, 4); // bytes per second
    PutWord(bytes, 2, 2);         // block align
    PutWord(bytes, 16, 2);        // bits per sample
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    PutWord(bytes, dataBytes, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        const int16_t value = (i / 25) % 2 ? amplitude : static_cast<int16_t>(-amplitude);
        PutWord(bytes, static_cast<uint16_t>(value), 2);
    }
    return WriteBytes(path, bytes);
}

struct Rgb {
    uint8_t red, green, blue;
    bool operator==(const Rgb& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
};

// A bottom-up 24-bit BMP whose pixel (x, y) is colour(x, y).
inline bool WriteBmp(const std::string& path, int width, int height,
                     const std::function<Rgb(int, int)>& colour) {
    const int rowBytes = (width * 3 + 3) & ~3;
    std::vector<uint8_t> bytes;
    bytes.insert(bytes.end(), {'B', 'M'});
    PutWord(bytes, 54 + rowBytes * height, 4);
    PutWord(bytes, 0, 4);
    PutWord(bytes, 54, 4);
    PutWord(bytes, 40, 4);
    PutWord(bytes, static_cast<uint32_t>(width), 4);
    PutWord(bytes, static_cast<uint32_t>(height), 4);
    PutWord(bytes, 1, 2);
    PutWord(bytes, 24, 2);
    PutWord(bytes, 0, 4);
    PutWord(bytes, static_cast<uint32_t>(rowBytes * height), 4);
    PutWord(bytes, 2835, 4);
    PutWord(bytes, 2835, 4);
    PutWord(bytes, 0, 4);
    PutWord(bytes, 0, 4);
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < width; ++x) {
            const Rgb pixel = colour(x, row);
            bytes.insert(bytes.end(), {pixel.blue, pixel.green, pixel.red});
        }
        for (int pad = width * 3; pad < rowBytes; ++pad) {
            bytes.push_back(0);
        }
    }
    return WriteBytes(path, bytes);
}

inline bool WriteSolidBmp(const std::string& path, int width, int height, Rgb colour) {
    return WriteBmp(path, width, height, [colour](int, int) { return colour; });
}

// A 24-bit BMP read back (the shots the layer writes): pixel (x, y) from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline bool ReadBmp(const std::string& path, Picture& picture) {
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        return false;
    }
    auto word = [&](size_t at, int size) {
        uint32_t value = 0;
        for (int i = 0; i < size; ++i) {
            value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
        }
        return value;
    };
    const uint32_t offset = word(10, 4);
    const int width = static_cast<int32_t>(word(18, 4));
    const int32_t rawHeight = static_cast<int32_t>(word(22, 4));
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (word(28, 2) != 24 || width <= 0 || height <= 0) {
        return false;
    }
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    if (offset + rowBytes * height > bytes.size()) {
        return false;
    }
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(static_cast<size_t>(width) * height, Rgb{0, 0, 0});
    for (int y = 0; y < height; ++y) {
        const int row = rawHeight < 0 ? y : height - 1 - y;
        const uint8_t* line = bytes.data() + offset + rowBytes * row;
        for (int x = 0; x < width; ++x) {
            picture.pixels[static_cast<size_t>(y) * width + x] =
                Rgb{line[x * 3 + 2], line[x * 3 + 1], line[x * 3]};
        }
    }
    return true;
}

} // namespace shell_test
