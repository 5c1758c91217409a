#include "image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <zlib.h>

namespace content {

Colour mix(Colour a, Colour b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    auto channel = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return rgb(channel(red(a), red(b)), channel(green(a), green(b)), channel(blue(a), blue(b)));
}

Colour shade(Colour c, double factor) {
    auto channel = [factor](int v) { return std::clamp(int(std::lround(v * factor)), 0, 255); };
    return rgb(channel(red(c)), channel(green(c)), channel(blue(c)));
}

Image::Image(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(size_t(width) * height, fill) {}

void Image::blend(int x, int y, Colour c, double alpha) {
    if (!contains(x, y) || alpha <= 0) return;
    Colour& p = pixels_[size_t(y) * width_ + x];
    if (p == kKey) {
        if (alpha > 0.5) p = c;
        return;
    }
    p = mix(p, c, alpha);
}

void Image::fill(Colour c) {
    std::fill(pixels_.begin(), pixels_.end(), c);
}

void Image::paste(const Image& src, int x, int y, bool keyed) {
    for (int sy = 0; sy < src.height(); ++sy)
        for (int sx = 0; sx < src.width(); ++sx) {
            Colour c = src.at(sx, sy);
            if (keyed && c == kKey) continue;
            set(x + sx, y + sy, c);
        }
}

Image Image::crop(int x, int y, int w, int h) const {
    Image out(w, h);
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx)
            out.set(xx, yy, get(x + xx, y + yy));
    return out;
}

Image Image::scaled_down(int factor) const {
    Image out(width_ / factor, height_ / factor);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            int r = 0, g = 0, b = 0;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) {
                    int px = x * factor + i, py = y * factor + j;
                    Colour c = at(px, py);
                    if (c == kKey)
                        c = ((px / 6 + py / 6) & 1) ? rgb(150, 150, 150) : rgb(120, 120, 120);
                    r += red(c), g += green(c), b += blue(c);
                }
            int n = factor * factor;
            out.set(x, y, rgb(r / n, g / n, b / n));
        }
    return out;
}

void Image::protect_key() {
    for (Colour& p : pixels_)
        if (p != kKey && blue(p) >= 248 && red(p) < 8 && green(p) < 8) p = rgb(red(p), 8, 240);
}

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void put32be(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(uint8_t(v >> s));
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

bool Image::write_bmp(const std::string& path) const {
    const uint32_t row = (uint32_t(width_) * 3 + 3) / 4 * 4;
    const uint32_t image_bytes = row * height_;
    std::vector<uint8_t> out;
    out.reserve(54 + image_bytes);
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + image_bytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, width_);
    put32(out, height_);
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, image_bytes);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            Colour c = at(x, y);
            out.push_back(uint8_t(blue(c)));
            out.push_back(uint8_t(green(c)));
            out.push_back(uint8_t(red(c)));
        }
        for (uint32_t pad = uint32_t(width_) * 3; pad < row; ++pad)
            out.push_back(0);
    }
    return write_file(path, out);
}

bool Image::write_png(const std::string& path) const {
    std::vector<uint8_t> raw;
    raw.reserve(size_t(height_) * (1 + width_ * 3));
    for (int y = 0; y < height_; ++y) {
        raw.push_back(1); // Sub filter: cheap and compresses flat areas well
        for (int x = 0; x < width_; ++x) {
            Colour c = at(x, y), l = x ? at(x - 1, y) : 0;
            raw.push_back(uint8_t(red(c) - red(l)));
            raw.push_back(uint8_t(green(c) - green(l)));
            raw.push_back(uint8_t(blue(c) - blue(l)));
        }
    }
    uLongf packed_size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), uLong(raw.size()), 6) != Z_OK)
        return false;
    packed.resize(packed_size);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&out](const char* type, const std::vector<uint8_t>& data) {
        put32be(out, uint32_t(data.size()));
        size_t start = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
        put32be(out, uint32_t(crc));
    };
    std::vector<uint8_t> header;
    put32be(header, width_);
    put32be(header, height_);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return write_file(path, out);
}

Image strip(const std::vector<Image>& frames) {
    if (frames.empty()) return Image();
    Image out(frames[0].width() * int(frames.size()), frames[0].height());
    for (size_t i = 0; i < frames.size(); ++i)
        out.paste(frames[i], int(i) * frames[0].width(), 0, false);
    return out;
}

} // namespace content
