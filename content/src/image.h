// A 24-bit picture in memory, drawn by the content generator and written as BMP.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace content {

// Colours are 0xRRGGBB.
using Colour = uint32_t;

constexpr Colour kKey = 0x0000FF; // the pure blue every picture is keyed on

constexpr Colour rgb(int r, int g, int b) {
    return (Colour(r & 255) << 16) | (Colour(g & 255) << 8) | Colour(b & 255);
}
inline int red(Colour c) {
    return int(c >> 16) & 255;
}
inline int green(Colour c) {
    return int(c >> 8) & 255;
}
inline int blue(Colour c) {
    return int(c) & 255;
}

// Linear mix: t = 0 gives a, t = 1 gives b.
Colour mix(Colour a, Colour b, double t);
Colour shade(Colour c, double factor); // factor < 1 darkens, > 1 lightens

class Image {
public:
    Image() = default;
    Image(int width, int height, Colour fill = kKey);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    Colour at(int x, int y) const { return pixels_[size_t(y) * width_ + x]; }
    Colour get(int x, int y, Colour outside = kKey) const {
        return contains(x, y) ? at(x, y) : outside;
    }
    void set(int x, int y, Colour c) {
        if (contains(x, y)) pixels_[size_t(y) * width_ + x] = c;
    }
    // Blends c over the pixel with coverage alpha (0..1); keyed pixels take c when alpha > 0.5.
    void blend(int x, int y, Colour c, double alpha);

    void fill(Colour c);
    // Copies src at (x, y); keyed source pixels are skipped when keyed is true.
    void paste(const Image& src, int x, int y, bool keyed = true);
    Image crop(int x, int y, int w, int h) const;
    Image scaled_down(int factor) const; // box filter, keyed pixels count as grey checks

    // Nudges every non-key pixel that a 15- or 16-bit display would turn into the key.
    void protect_key();

    bool write_bmp(const std::string& path) const;
    bool write_png(const std::string& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Colour> pixels_;
};

// Places several equal frames side by side.
Image strip(const std::vector<Image>& frames);

} // namespace content
