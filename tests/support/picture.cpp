#include "tests/support/picture.h"

#include <cstdlib>

#include "tests/support/files.h"

namespace testkit {

Picture::Picture(int pictureWidth, int pictureHeight, Rgb fill)
    : width(pictureWidth), height(pictureHeight),
      pixels(static_cast<size_t>(pictureWidth) * pictureHeight, fill) {}

void Picture::Fill(int left, int top, int fillWidth, int fillHeight, Rgb colour) {
    for (int y = top; y < top + fillHeight; ++y)
        for (int x = left; x < left + fillWidth; ++x)
            if (x >= 0 && y >= 0 && x < width && y < height) Set(x, y, colour);
}

Picture ReadBmp(const fs::path& path) {
    Picture picture;
    const std::vector<uint8_t> bytes = ReadBytes(path);
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || Little(bytes, 28, 2) != 24)
        return picture;
    const uint32_t offset = Little(bytes, 10, 4);
    const int width = static_cast<int32_t>(Little(bytes, 18, 4));
    const int rawHeight = static_cast<int32_t>(Little(bytes, 22, 4));
    const int height = rawHeight < 0 ? -rawHeight : rawHeight;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    if (width <= 0 || height <= 0 || offset + stride * height > bytes.size()) return picture;
    picture = Picture(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &bytes[offset + stride * (rawHeight > 0 ? height - 1 - y : y)];
        for (int x = 0; x < width; ++x)
            picture.Set(x, y, Rgb{row[x * 3 + 2], row[x * 3 + 1], row[x * 3]});
    }
    return picture;
}

std::vector<uint8_t> BmpBytes(const Picture& picture) {
    const uint32_t stride = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t size = stride * static_cast<uint32_t>(picture.height);
    std::vector<uint8_t> bytes{'B', 'M'};
    PutLittle(bytes, 54 + size, 4);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, 54, 4);
    PutLittle(bytes, 40, 4);
    PutLittle(bytes, static_cast<uint32_t>(picture.width), 4);
    PutLittle(bytes, static_cast<uint32_t>(picture.height), 4);
    PutLittle(bytes, 1, 2);
    PutLittle(bytes, 24, 2);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, size, 4);
    PutLittle(bytes, 2835, 4);
    PutLittle(bytes, 2835, 4);
    PutLittle(bytes, 0, 4);
    PutLittle(bytes, 0, 4);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            const Rgb pixel = picture.At(x, y);
            bytes.insert(bytes.end(), {pixel.blue, pixel.green, pixel.red});
        }
        bytes.resize(bytes.size() + (stride - static_cast<uint32_t>(picture.width) * 3), 0);
    }
    return bytes;
}

bool WriteBmp(const fs::path& path, const Picture& picture) {
    return WriteBytes(path, BmpBytes(picture));
}

bool WriteBmp(const fs::path& path, int width, int height,
              const std::function<Rgb(int x, int y)>& colour) {
    Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Set(x, y, colour(x, y));
    return WriteBmp(path, picture);
}

bool WriteSolidBmp(const fs::path& path, int width, int height, Rgb colour) {
    return WriteBmp(path, Picture(width, height, colour));
}

uint32_t Quantised(Rgb colour) {
    return uint32_t(colour.red >> 3) << 11 | uint32_t(colour.green >> 2) << 5 | (colour.blue >> 3);
}

bool Near(Rgb a, Rgb b, int step) {
    auto close = [step](int x, int y) { return std::abs(x - y) <= step; };
    return close(a.red, b.red) && close(a.green, b.green) && close(a.blue, b.blue);
}

namespace {

std::string Describe(Rgb colour) {
    return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
           std::to_string(colour.blue);
}

} // namespace

int DifferingPixels(const Picture& shot, const Picture& expected, std::string& first) {
    if (shot.width != expected.width || shot.height != expected.height) {
        first = "sizes differ";
        return shot.width * shot.height + 1;
    }
    int differing = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            if (Near(shot.At(x, y), expected.At(x, y))) continue;
            if (differing++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + ") is " +
                        Describe(shot.At(x, y)) + " not " + Describe(expected.At(x, y));
        }
    return differing;
}

int DifferentPixels(const Picture& shot, int shotX, int shotY, const Picture& source, int sourceX,
                    int sourceY, int width, int height, int* compared) {
    int different = 0, count = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb wanted = source.At(sourceX + x, sourceY + y);
            if (wanted == Blue) continue;
            ++count;
            different += !Near(wanted, shot.At(shotX + x, shotY + y));
        }
    if (compared) *compared = count;
    return different;
}

int CountColour(const Picture& shot, int x, int y, int width, int height, Rgb colour) {
    int count = 0;
    for (int row = y; row < y + height && row < shot.height; ++row)
        for (int column = x; column < x + width && column < shot.width; ++column)
            count += Quantised(shot.At(column, row)) == Quantised(colour);
    return count;
}

bool SameArea(const Picture& a, const Picture& b, int x, int y, int width, int height) {
    if (!a.Loaded() || !b.Loaded()) return false;
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column)
            if (a.At(column, row) != b.At(column, row)) return false;
    return true;
}

std::pair<int, int> MatchFrame(const Picture& shot, const Picture& strip, int frames, int frame,
                               int x, int y) {
    const int frameWidth = strip.width / frames;
    int matched = 0, compared = 0;
    for (int row = 0; row < strip.height; ++row)
        for (int column = 0; column < frameWidth; ++column) {
            const Rgb pixel = strip.At(frame * frameWidth + column, row);
            if (pixel == Blue || x + column >= shot.width || y + row >= shot.height) continue;
            ++compared;
            matched += Quantised(pixel) == Quantised(shot.At(x + column, y + row));
        }
    return {matched, compared};
}

} // namespace testkit
