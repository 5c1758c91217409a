// The fast paths give exactly the reference's pixels on random rectangles,
// clips and keys.
#include "pixels/blitter.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace ludora::pixels;

namespace {

struct Picture {
    std::vector<uint8_t> bytes;
    Canvas canvas;
    Picture(int w, int h, const PixelFormat& f, int extra_pitch = 6) {
        canvas.width = w;
        canvas.height = h;
        canvas.format = f;
        canvas.pitch = w * f.bytes_per_pixel() + extra_pitch;
        bytes.assign(static_cast<size_t>(canvas.pitch) * h, 0);
        canvas.top = bytes.data();
    }
    void randomise(std::mt19937& rng, uint32_t key, int key_share) {
        for (int y = 0; y < canvas.height; ++y) {
            for (int x = 0; x < canvas.width; ++x) {
                const bool keyed = static_cast<int>(rng() % 100) < key_share;
                write_raw(canvas, x, y, keyed ? key : rng() & depth_mask(canvas.format.bits));
            }
        }
        // Padding bytes too, so a path that writes past a row shows.
        for (int y = 0; y < canvas.height; ++y) {
            for (int i = canvas.width * canvas.format.bytes_per_pixel(); i < canvas.pitch; ++i) {
                bytes[static_cast<size_t>(y) * canvas.pitch + i] = static_cast<uint8_t>(rng());
            }
        }
    }
};

RECT random_rect(std::mt19937& rng, int w, int h) {
    const int l = static_cast<int>(rng() % w), t = static_cast<int>(rng() % h);
    const int r = l + 1 + static_cast<int>(rng() % (w - l));
    const int b = t + 1 + static_cast<int>(rng() % (h - t));
    return RECT{l, t, r, b};
}

// Bottom-up, as a DIB section lies in memory: the top row is the last one.
void make_bottom_up(Picture& p) {
    p.canvas.top = p.bytes.data() + p.canvas.pitch * (p.canvas.height - 1);
    p.canvas.pitch = -p.canvas.pitch;
}

using FastPath = bool (*)(const BlitRequest&);

// Runs `fast` and the reference on copies of one destination and compares every byte.
void expect_same_as_reference(const Picture& dest, const BlitRequest& base, FastPath fast,
                              bool must_apply) {
    Picture a = dest, b = dest;
    a.canvas.top = a.bytes.data();
    b.canvas.top = b.bytes.data();
    BlitRequest ra = base, rb = base;
    ra.dest = &a.canvas;
    rb.dest = &b.canvas;
    const bool applied = fast(ra);
    if (must_apply) {
        ASSERT_TRUE(applied);
    }
    if (!applied) return;
    blit_reference(rb);
    ASSERT_EQ(a.bytes, b.bytes);
}

TEST(Blitter, FastPathsMatchTheReferenceOnRandomRectanglesClipsAndKeys) {
    std::mt19937 rng(20260607);
    for (const PixelFormat& format : {format_rgb565(), format_rgb555(), format_xrgb32()}) {
        for (int round = 0; round < 150; ++round) {
            const uint32_t key = rng() & depth_mask(format.bits);
            // Every third round the pictures are one block of whole rows.
            const int padding = round % 3 ? 6 : 0;
            const int width = round % 3 ? 37 : 41;
            Picture source(width, 29, format, padding), dest(41, 33, format, padding);
            source.randomise(rng, key, 30);
            dest.randomise(rng, key, 10);
            BlitRequest r;
            r.source = &source.canvas;
            r.source_rect = round % 6 == 0 ? RECT{0, 0, width, 29} : random_rect(rng, width, 29);
            const int w = r.source_rect.right - r.source_rect.left;
            const int h = r.source_rect.bottom - r.source_rect.top;
            // Destinations may hang off any edge; the clip cuts them.
            const int x = static_cast<int>(rng() % 60) - 15, y = static_cast<int>(rng() % 50) - 12;
            r.dest_rect = RECT{x, y, x + w, y + h};
            r.clip = random_rect(rng, 41, 33);
            if (round % 6 == 0) { // whole rows from the left edge
                r.dest_rect = RECT{0, y, 41, y + h};
                r.clip = RECT{0, 0, 41, 33};
            }
            expect_same_as_reference(dest, r, blit_fast_copy, true);
            r.source_key = ColorKeyRange{true, key, key};
            expect_same_as_reference(dest, r, blit_fast_keyed16, format.bits == 16);
            BlitRequest fill;
            fill.fill = rng();
            fill.dest_rect = random_rect(rng, 41, 33);
            fill.clip = random_rect(rng, 41, 33);
            expect_same_as_reference(dest, fill, blit_fast_fill, true);
        }
    }
}

TEST(Blitter, FastPathsLeaveStretchingKeysRangesAndDestinationKeysToTheReference) {
    Picture source(8, 8, format_rgb565()), dest(8, 8, format_rgb565());
    BlitRequest r;
    r.source = &source.canvas;
    r.dest = &dest.canvas;
    r.source_rect = RECT{0, 0, 4, 4};
    r.dest_rect = RECT{0, 0, 8, 8};
    r.clip = RECT{0, 0, 8, 8};
    EXPECT_FALSE(blit_fast_copy(r));
    r.dest_rect = RECT{0, 0, 4, 4};
    r.source_key = ColorKeyRange{true, 1, 5};
    EXPECT_FALSE(blit_fast_keyed16(r));
    r.source_key = ColorKeyRange{};
    r.dest_key = ColorKeyRange{true, 0, 0};
    EXPECT_FALSE(blit_fast_copy(r));
    Picture other(8, 8, format_rgb555());
    r.dest = &other.canvas;
    r.dest_key = ColorKeyRange{};
    EXPECT_FALSE(blit_fast_copy(r)); // formats differ: the reference converts
}

// Pictures onto 16-bit surfaces, as the loaders blit them: 24-bit DIBs either way
// up, 32-bit 0x00RRGGBB and palettised ones (with short palettes, so some indices
// fall past the end), under random clips, source keys, destination keys and both.
TEST(Blitter, ConvertingCopiesOntoSixteenBitsMatchTheReference) {
    std::mt19937 rng(20261207);
    std::vector<uint32_t> palette(256);
    for (uint32_t& c : palette)
        c = rng() & 0xFFFFFF;
    const PixelFormat sources[] = {format_rgb24(), format_xrgb32(), format_indexed(8)};
    for (const PixelFormat& to : {format_rgb565(), format_rgb555()}) {
        for (const PixelFormat& from : sources) {
            for (int round = 0; round < 120; ++round) {
                const int width = 23 + round % 11;
                Picture source(width, 27, from, round % 4), dest(41, 33, to, round % 3 * 2);
                const uint32_t source_key = rng() & depth_mask(from.bits);
                const uint32_t dest_key = rng() & 0xFFFF;
                source.randomise(rng, source_key, 20);
                dest.randomise(rng, dest_key, 30);
                if (round % 2) make_bottom_up(source);
                if (from.indexed) {
                    source.canvas.palette = palette.data();
                    source.canvas.palette_size =
                        round % 3 ? 256 : 1 + static_cast<int>(rng() % 200);
                }
                BlitRequest r;
                r.source = &source.canvas;
                r.source_rect =
                    round % 5 == 0 ? RECT{0, 0, width, 27} : random_rect(rng, width, 27);
                const int w = r.source_rect.right - r.source_rect.left;
                const int h = r.source_rect.bottom - r.source_rect.top;
                const int x = static_cast<int>(rng() % 60) - 15;
                const int y = static_cast<int>(rng() % 50) - 12;
                r.dest_rect = RECT{x, y, x + w, y + h};
                r.clip = round % 5 == 0 ? RECT{0, 0, 41, 33} : random_rect(rng, 41, 33);
                switch (round % 4) {
                case 1:
                    r.source_key = ColorKeyRange{true, source_key, source_key};
                    break;
                case 2:
                    r.dest_key = ColorKeyRange{true, dest_key, dest_key | 0x0F0F};
                    break;
                case 3: {
                    const uint32_t low = source_key & 0xF0F0F0, high = source_key | 0x0F0F0F;
                    r.source_key = ColorKeyRange{true, low & depth_mask(from.bits),
                                                 high & depth_mask(from.bits)};
                    r.dest_key = ColorKeyRange{true, 0, 0x7FFF};
                    break;
                }
                default:
                    break;
                }
                SCOPED_TRACE(testing::Message()
                             << "from " << from.bits << " bits, to 5-"
                             << (to == format_rgb565() ? 6 : 5) << "-5, round " << round);
                expect_same_as_reference(dest, r, blit_fast_convert, true);
            }
        }
    }
}

TEST(Blitter, ConvertingCopiesLeaveOtherFormatsStretchingAndSharedMemoryToTheReference) {
    Picture rgb24(8, 8, format_rgb24()), xrgb(8, 8, format_xrgb32()), rgb565(8, 8, format_rgb565());
    Picture indexed4(8, 8, format_indexed(4));
    BlitRequest r;
    r.source_rect = RECT{0, 0, 8, 8};
    r.dest_rect = RECT{0, 0, 8, 8};
    r.clip = RECT{0, 0, 8, 8};
    r.source = &rgb24.canvas;
    r.dest = &xrgb.canvas; // 24 to 32 bits
    EXPECT_FALSE(blit_fast_convert(r));
    r.source = &indexed4.canvas;
    r.dest = &rgb565.canvas;
    EXPECT_FALSE(blit_fast_convert(r));
    r.source = &rgb24.canvas;
    r.dest_rect = RECT{0, 0, 16, 16}; // stretched
    EXPECT_FALSE(blit_fast_convert(r));
    // A 24-bit view of the surface's own bytes.
    Canvas alias = rgb565.canvas;
    alias.format = format_rgb24();
    alias.width = 4;
    r.source = &alias;
    r.source_rect = RECT{0, 0, 4, 8};
    r.dest_rect = RECT{4, 0, 8, 8};
    EXPECT_FALSE(blit_fast_convert(r));
}

TEST(PixelFormats, FullRangeChannelsComeBackFromTruncation) {
    // Expanding a channel to 8 bits and truncating it again is the identity, for
    // every value of the usual formats and for odd masks.
    std::mt19937 rng(5);
    std::vector<PixelFormat> formats = {format_rgb565(), format_rgb555()};
    PixelFormat odd;
    ASSERT_TRUE(format_from_masks(32, 0x7 << 29, 0x3FF << 10, 0x3 << 2, 0, odd));
    formats.push_back(odd);
    ASSERT_TRUE(format_from_masks(16, 0x000F, 0x0FF0, 0xF000, 0, odd));
    formats.push_back(odd);
    for (const PixelFormat& f : formats) {
        const PixelCodec codec(f);
        const uint32_t used = f.red_mask | f.green_mask | f.blue_mask;
        for (int i = 0; i < 70000; ++i) {
            const uint32_t raw = (f.bits == 16 ? static_cast<uint32_t>(i) : rng()) & used;
            const uint32_t xrgb = codec.decode(raw);
            // Ten-bit green cannot come back from 8 bits; the rest must.
            const uint32_t back = codec.encode(xrgb);
            const uint32_t exact = f.green_mask == (0x3FFu << 10) ? used & ~f.green_mask : used;
            ASSERT_EQ(back & exact, raw & exact) << std::hex << raw;
            if (f.bits == 16 && i == 0xFFFF) break;
        }
    }
}

TEST(Blitter, OverlappingCopiesWithinOneSurfaceReadTheOldPixels) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        Picture pic(30, 30, format_rgb565());
        pic.randomise(rng, 0, 0);
        const bool bottom_up = round % 2;
        Picture expected = pic;
        expected.canvas.top = expected.bytes.data();
        if (bottom_up) {
            make_bottom_up(pic);
            make_bottom_up(expected);
        }
        BlitRequest r;
        r.source_rect = random_rect(rng, 30, 30);
        const int w = r.source_rect.right - r.source_rect.left;
        const int h = r.source_rect.bottom - r.source_rect.top;
        const int x = static_cast<int>(rng() % (31 - w)), y = static_cast<int>(rng() % (31 - h));
        r.dest_rect = RECT{x, y, x + w, y + h};
        r.clip = RECT{0, 0, 30, 30};
        // The expected result reads from an untouched copy.
        Picture source_copy = expected;
        source_copy.canvas.top =
            source_copy.bytes.data() + (expected.canvas.top - expected.bytes.data());
        r.source = &source_copy.canvas;
        r.dest = &expected.canvas;
        blit_reference(r);
        r.source = &pic.canvas;
        r.dest = &pic.canvas;
        blit(r);
        ASSERT_EQ(pic.bytes, expected.bytes) << "round " << round;
        Picture again = source_copy;
        again.canvas.top = again.bytes.data() + (source_copy.canvas.top - source_copy.bytes.data());
        r.source = &again.canvas;
        r.dest = &again.canvas;
        blit_reference(r);
        ASSERT_EQ(again.bytes, expected.bytes) << "reference, round " << round;
    }
}

TEST(Blitter, StretchingPicksNearestSourcePixelsAndKeysCompareRawValues) {
    Picture source(2, 2, format_rgb565()), dest(4, 4, format_rgb565(), 0);
    write_raw(source.canvas, 0, 0, 0x1111);
    write_raw(source.canvas, 1, 0, 0x001F); // blue: the key
    write_raw(source.canvas, 0, 1, 0x3333);
    write_raw(source.canvas, 1, 1, 0x4444);
    BlitRequest r;
    r.source = &source.canvas;
    r.source_rect = RECT{0, 0, 2, 2};
    r.dest = &dest.canvas;
    r.dest_rect = RECT{0, 0, 4, 4};
    r.clip = RECT{0, 0, 4, 4};
    r.source_key = ColorKeyRange{true, 0x001F, 0x001F};
    blit(r);
    EXPECT_EQ(read_raw(dest.canvas, 1, 1), 0x1111u);
    EXPECT_EQ(read_raw(dest.canvas, 2, 0), 0u); // keyed: untouched
    EXPECT_EQ(read_raw(dest.canvas, 3, 1), 0u);
    EXPECT_EQ(read_raw(dest.canvas, 0, 3), 0x3333u);
    EXPECT_EQ(read_raw(dest.canvas, 3, 3), 0x4444u);
}

TEST(Blitter, PresentationConversionMatchesTheReference) {
    std::mt19937 rng(99);
    for (const PixelFormat& format :
         {format_rgb565(), format_xrgb32(), format_rgb555(), format_rgb24()}) {
        Picture pic(64, 20, format);
        pic.randomise(rng, 0, 0);
        const RECT r{3, 2, 61, 19};
        std::vector<uint32_t> fast(58 * 17), reference(58 * 17);
        convert_to_xrgb(pic.canvas, r, fast.data(), 58);
        convert_to_xrgb_reference(pic.canvas, r, reference.data(), 58);
        EXPECT_EQ(fast, reference);
    }
    // Every 5-6-5 value.
    Picture all(256, 256, format_rgb565(), 0);
    for (int i = 0; i < 65536; ++i)
        write_raw(all.canvas, i % 256, i / 256, i);
    std::vector<uint32_t> fast(65536), reference(65536);
    convert_to_xrgb(all.canvas, RECT{0, 0, 256, 256}, fast.data(), 256);
    convert_to_xrgb_reference(all.canvas, RECT{0, 0, 256, 256}, reference.data(), 256);
    EXPECT_EQ(fast, reference);
    EXPECT_EQ(fast[0xFFFF], 0xFFFFFFu);
    EXPECT_EQ(fast[0x001F], 0x0000FFu);
}

TEST(PixelFormats, ChannelsScaleToTheFullRangeAndTruncateBack) {
    EXPECT_EQ(decode_pixel(format_rgb565(), 0xF800), 0xFF0000u);
    EXPECT_EQ(decode_pixel(format_rgb555(), 0x7FFF), 0xFFFFFFu);
    EXPECT_EQ(encode_pixel(format_rgb565(), 0x0000FF), 0x001Fu);
    EXPECT_EQ(encode_pixel(format_rgb555(), 0xFF8000), 0x7E00u);
    EXPECT_EQ(encode_pixel(format_xrgb32(), 0x123456), 0x123456u);
    PixelFormat f;
    EXPECT_FALSE(format_from_masks(16, 0xF800, 0x0FE0, 0x001F, 0, f)); // overlapping
    EXPECT_FALSE(format_from_masks(16, 0xF000, 0x0A00, 0x001F, 0, f)); // not contiguous
    EXPECT_TRUE(format_from_masks(32, 0xFF, 0xFF00, 0xFF0000, 0, f));
    EXPECT_EQ(decode_pixel(f, 0x0000FF), 0xFF0000u);
}

} // namespace
