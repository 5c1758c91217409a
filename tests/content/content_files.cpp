#include "content_files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace content_test {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

uint32_t le(const std::vector<char>& d, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(d[at + i]);
    return v;
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
    std::string path = resolve(windows_path);
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
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
    std::vector<char> d = read_bytes(windows_path);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return false;
    uint32_t offset = le(d, 10, 4), header = le(d, 14, 4);
    int32_t width = int32_t(le(d, 18, 4)), height = int32_t(le(d, 22, 4));
    if (header != 40 || le(d, 26, 2) != 1 || le(d, 28, 2) != 24 || le(d, 30, 4) != 0) return false;
    if (width <= 0 || height <= 0) return false;
    size_t row = (size_t(width) * 3 + 3) / 4 * 4;
    if (d.size() < offset + row * height) return false;
    out.width = width, out.height = height;
    out.pixels.assign(size_t(width) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            size_t at = offset + row * (height - 1 - y) + size_t(x) * 3;
            out.pixels[size_t(y) * width + x] =
                le(d, at + 2, 1) << 16 | le(d, at + 1, 1) << 8 | le(d, at, 1);
        }
    return true;
}

Picture picture(const std::string& windows_path) {
    Picture p;
    EXPECT_TRUE(load_picture(windows_path, p)) << windows_path << " is not a readable 24-bit BMP";
    return p;
}

bool load_wave(const std::string& windows_path, Wave& out) {
    std::vector<char> d = read_bytes(windows_path);
    if (d.size() < 12 || std::string(d.data(), 4) != "RIFF" ||
        std::string(d.data() + 8, 4) != "WAVE")
        return false;
    bool have_format = false;
    for (size_t at = 12; at + 8 <= d.size();) {
        std::string id(d.data() + at, 4);
        size_t size = le(d, at + 4, 4);
        if (at + 8 + size > d.size()) return false;
        if (id == "fmt " && size >= 16) {
            out.format = int(le(d, at + 8, 2)), out.channels = int(le(d, at + 10, 2));
            out.rate = int(le(d, at + 12, 4)), out.bits = int(le(d, at + 22, 2));
            have_format = true;
        } else if (id == "data" && have_format && out.bits == 16) {
            out.samples.resize(size / 2);
            for (size_t i = 0; i < out.samples.size(); ++i)
                out.samples[i] = int16_t(le(d, at + 8 + 2 * i, 2));
            return true;
        }
        at += 8 + size + (size & 1);
    }
    return false;
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
