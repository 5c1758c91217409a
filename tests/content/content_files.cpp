#include "content_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/picture.h"
#include "tests/support/wav.h"

namespace content_test {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

std::string resolve(const std::string& windows_path) {
    fs::path here = LUDORA_DIST_DIR;
    size_t start = 0;
    while (start <= windows_path.size()) {
        size_t end = windows_path.find('\\', start);
        if (end == std::string::npos) end = windows_path.size();
        std::string part = windows_path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        std::error_code ec;
        if (!fs::is_directory(here, ec)) return "";
        fs::path found;
        for (const auto& entry : fs::directory_iterator(here, ec))
            if (lower(entry.path().filename().string()) == lower(part)) found = entry.path();
        if (found.empty()) return "";
        here = found;
    }
    return here.string();
}

std::vector<char> read_bytes(const std::string& windows_path) {
    const std::string bytes = testkit::ReadText(resolve(windows_path));
    return std::vector<char>(bytes.begin(), bytes.end());
}

std::string numbered(const std::string& prefix, int n, const std::string& suffix) {
    std::string name = prefix;
    name.append(std::to_string(n)).append(suffix);
    return name;
}

std::vector<std::string> read_lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool load_picture(const std::string& windows_path, Picture& out) {
    const std::string path = resolve(windows_path);
    const std::vector<uint8_t> d = testkit::ReadBytes(path);
    // The programs' pictures: the 40-byte header, one plane, no compression, bottom-up.
    if (d.size() < 54 || testkit::Little(d, 14, 4) != 40 || testkit::Little(d, 26, 2) != 1 ||
        testkit::Little(d, 30, 4) != 0 || int32_t(testkit::Little(d, 22, 4)) <= 0)
        return false;
    const testkit::Picture read = testkit::ReadBmp(path);
    if (!read.Loaded()) return false;
    out.width = read.width, out.height = read.height;
    out.pixels.clear();
    for (const testkit::Rgb& pixel : read.pixels)
        out.pixels.push_back(pixel.Packed());
    return true;
}

Picture picture(const std::string& windows_path) {
    Picture p;
    EXPECT_TRUE(load_picture(windows_path, p)) << windows_path << " is not a readable 24-bit BMP";
    return p;
}

bool load_wave(const std::string& windows_path, Wave& out) {
    testkit::WavFile wav;
    if (!testkit::ReadWavFile(resolve(windows_path), wav) || !wav.whole || wav.bits != 16)
        return false;
    out.format = wav.format, out.channels = wav.channels, out.rate = wav.rate, out.bits = wav.bits;
    out.samples.resize(wav.data.size() / 2);
    for (size_t i = 0; i < out.samples.size(); ++i)
        out.samples[i] = int16_t(testkit::Little(wav.data, 2 * i, 2));
    return true;
}

FontCut cut_font(const Picture& font) {
    FontCut cut;
    cut.height = font.height;
    auto empty_column = [&](int x) {
        for (int y = 0; y < font.height; ++y)
            if (!font.keyed(x, y)) return false;
        return true;
    };
    int x = 0, widest = 0;
    for (int glyph = 0; glyph < 94; ++glyph) {
        while (x < font.width && empty_column(x))
            ++x;
        if (x >= font.width) return cut;
        int start = x;
        while (x < font.width && !empty_column(x))
            ++x;
        if (x >= font.width) return cut; // no closing key column: the glyph never ends
        cut.widths.push_back(x - start);
        widest = std::max(widest, x - start);
        ++x;
    }
    cut.space_width = int(float(widest) * 0.5f);
    cut.gap = int(float(widest) * 0.1f);
    cut.ok = true;
    return cut;
}

Picture frame_of(const Picture& strip, int count, int index) {
    Picture f;
    f.width = strip.width / count, f.height = strip.height;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x)
            f.pixels.push_back(strip.at(index * f.width + x, y));
    return f;
}

bool same_pixels(const Picture& a, const Picture& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

} // namespace content_test
