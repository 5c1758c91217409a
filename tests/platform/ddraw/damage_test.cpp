// Surfaces that keep track of what was written to them show the same pixels as
// plain full copies: random sequences of blits (most of them repeats, as a
// program repeats its blits frame after frame, in the same order), fills, locked writes and GDI
// drawing on a primary and four off-screen surfaces, against a reference world
// where every blit is the reference blitter's full copy. After every
// presentation each surface and the presented frame are compared whole.
#include "ddraw_helpers.h"

#include "pixels/blitter.h"

#include <cstring>
#include <random>
#include <vector>

using namespace ddraw_test;
using namespace ludora::pixels;

namespace {

constexpr int kWidth = 64, kHeight = 48;
constexpr DWORD kSpriteKey = 0x1234, kBackKey = 0xF800;

// The surface's pixels as they lie, through a read-only lock (which notes no write).
Canvas canvas_of(IDirectDrawSurface* s) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    EXPECT_EQ(s->Lock(nullptr, &desc, DDLOCK_READONLY | DDLOCK_WAIT, nullptr), DD_OK);
    s->Unlock(nullptr);
    Canvas c;
    c.top = static_cast<uint8_t*>(desc.lpSurface);
    c.pitch = desc.lPitch;
    c.width = static_cast<int>(desc.dwWidth);
    c.height = static_cast<int>(desc.dwHeight);
    c.format = format_rgb565();
    return c;
}

struct Blit {
    bool fast = false;
    int source = -1; // -1: a colour fill
    int dest = 0;
    RECT from{}, to{};
    DWORD flags = 0;
    DWORD colour = 0;
    bool source_key = false, dest_key = false; // the flags asked for a key
};

RECT random_rect(std::mt19937& rng, int w, int h) {
    const LONG l = static_cast<LONG>(rng() % w), t = static_cast<LONG>(rng() % h);
    return RECT{l, t, l + 1 + static_cast<LONG>(rng() % (w - l)),
                t + 1 + static_cast<LONG>(rng() % (h - t))};
}

class World {
public:
    // Surface 0 is the primary (its reference: a surface the size of the client area).
    World() {
        place_fake_window(0, 0, kWidth, kHeight);
        dd_ = create_windowed();
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface* primary = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &primary, nullptr), DD_OK);
        IDirectDrawClipper* clipper = nullptr;
        dd_->CreateClipper(0, &clipper, nullptr);
        clipper->SetHWnd(0, fake_window());
        primary->SetClipper(clipper);
        clipper->Release();
        tracked_.push_back(primary);
        reference_.push_back(create_surface(dd_, kWidth, kHeight));
        const SIZE sizes[] = {{kWidth, kHeight}, {24, 20}, {24, 20}, {40, 30}};
        for (const SIZE& size : sizes) {
            tracked_.push_back(create_surface(dd_, size.cx, size.cy));
            reference_.push_back(create_surface(dd_, size.cx, size.cy));
        }
        DDCOLORKEY sprite{kSpriteKey, kSpriteKey}, back{kBackKey, kBackKey};
        for (auto* world : {&tracked_, &reference_}) {
            (*world)[2]->SetColorKey(DDCKEY_SRCBLT, &sprite);
            (*world)[1]->SetColorKey(DDCKEY_DESTBLT, &back);
        }
    }
    ~World() {
        for (auto* world : {&tracked_, &reference_})
            for (auto* s : *world)
                s->Release();
        dd_->Release();
    }

    int count() const { return static_cast<int>(tracked_.size()); }
    SIZE size(int i) const {
        const Canvas c = canvas_of(reference_[i]);
        return SIZE{c.width, c.height};
    }

    void blit(const Blit& b) {
        DDBLTFX fx{};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = b.colour;
        RECT to = b.to, from = b.from;
        IDirectDrawSurface* source = b.source >= 0 ? tracked_[b.source] : nullptr;
        if (b.fast) {
            ASSERT_EQ(tracked_[b.dest]->BltFast(to.left, to.top, source, &from, b.flags), DD_OK);
        } else {
            ASSERT_EQ(tracked_[b.dest]->Blt(&to, source, &from, b.flags, &fx), DD_OK);
        }
        // The reference: the reference blitter's full copy, keys as DirectDraw reads them.
        const Canvas dest = canvas_of(reference_[b.dest]);
        Canvas from_canvas;
        BlitRequest r;
        r.dest = &dest;
        r.dest_rect = b.fast ? RECT{to.left, to.top, to.left + from.right - from.left,
                                    to.top + from.bottom - from.top}
                             : to;
        r.clip = canvas_rect(dest);
        r.fill = b.colour;
        if (b.source >= 0) {
            from_canvas = canvas_of(reference_[b.source]);
            r.source = &from_canvas;
            r.source_rect = from;
            if (b.source_key && b.source == 2) r.source_key = {true, kSpriteKey, kSpriteKey};
            if (b.dest_key && b.dest == 1) r.dest_key = {true, kBackKey, kBackKey};
        }
        blit_reference(r);
    }

    // Random pixels written through a lock of a random rectangle.
    void locked_write(std::mt19937& rng, int i) {
        const SIZE s = size(i);
        RECT r = random_rect(rng, s.cx, s.cy);
        const Canvas reference = canvas_of(reference_[i]);
        DDSURFACEDESC desc{sizeof(desc)};
        ASSERT_EQ(tracked_[i]->Lock(&r, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        Canvas locked = reference;
        locked.top = static_cast<uint8_t*>(desc.lpSurface);
        locked.pitch = desc.lPitch;
        for (int n = 0; n < 6; ++n) {
            const int x = static_cast<int>(rng() % (r.right - r.left));
            const int y = static_cast<int>(rng() % (r.bottom - r.top));
            const uint32_t v = rng() & 0xFFFF;
            write_raw(locked, x, y, v);
            write_raw(reference, r.left + x, r.top + y, v);
        }
        tracked_[i]->Unlock(nullptr);
    }

    // The same drawing through GDI on both.
    void gdi_write(std::mt19937& rng, int i) {
        const SIZE s = size(i);
        const int kind = static_cast<int>(rng() % 3);
        const int x = static_cast<int>(rng() % s.cx) - 4, y = static_cast<int>(rng() % s.cy) - 4;
        const COLORREF colour = RGB(rng() & 0xFF, rng() & 0xFF, rng() & 0xFF);
        const bool opaque = rng() % 2;
        for (IDirectDrawSurface* surface : {tracked_[i], reference_[i]}) {
            HDC dc = nullptr;
            ASSERT_EQ(surface->GetDC(&dc), DD_OK);
            if (kind == 0) {
                SetPixel(dc, x + 4, y + 4, colour);
            } else if (kind == 1) {
                SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
                SetTextColor(dc, colour);
                TextOutA(dc, x, y, "Wg", 2);
            } else {
                BitBlt(dc, x, y, 7, 5, nullptr, 0, 0, opaque ? BLACKNESS : WHITENESS);
            }
            surface->ReleaseDC(dc);
        }
    }

    // Every surface, and what the window shows, equal to the reference.
    void expect_same() {
        for (int i = 0; i < count(); ++i) {
            const Canvas t = canvas_of(tracked_[i]), r = canvas_of(reference_[i]);
            for (int y = 0; y < r.height; ++y)
                ASSERT_EQ(std::memcmp(t.row(y), r.row(y), size_t(r.width) * 2), 0) << i << "," << y;
        }
        ASSERT_GT(frame_count(), 0);
        const Canvas screen = canvas_of(reference_[0]);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(last_frame().at(x, y), read_xrgb(screen, x, y)) << x << "," << y;
    }

    IDirectDrawSurface* tracked(int i) { return tracked_[i]; }

private:
    IDirectDraw* dd_ = nullptr;
    std::vector<IDirectDrawSurface*> tracked_, reference_;
};

Blit random_blit(std::mt19937& rng, World& world) {
    Blit b;
    b.dest = static_cast<int>(rng() % world.count());
    const SIZE d = world.size(b.dest);
    if (rng() % 5 == 0) {
        b.to = random_rect(rng, d.cx, d.cy);
        b.colour = rng() % 3 == 0 ? kBackKey : rng() & 0xFFFF;
        b.flags = DDBLT_COLORFILL | DDBLT_WAIT;
        return b;
    }
    do {
        b.source = 1 + static_cast<int>(rng() % (world.count() - 1));
    } while (b.source == b.dest);
    const SIZE s = world.size(b.source);
    b.from = random_rect(rng, std::min(s.cx, d.cx), std::min(s.cy, d.cy));
    const LONG w = b.from.right - b.from.left, h = b.from.bottom - b.from.top;
    const LONG x = static_cast<LONG>(rng() % (d.cx - w + 1)),
               y = static_cast<LONG>(rng() % (d.cy - h + 1));
    b.to = RECT{x, y, x + w, y + h};
    b.source_key = rng() % 2;
    b.dest_key = rng() % 4 == 0;
    b.fast = b.dest != 0 && rng() % 3 == 0; // the primary has a clipper: no BltFast
    b.flags =
        b.fast
            ? (b.source_key ? DDBLTFAST_SRCCOLORKEY : 0) | (b.dest_key ? DDBLTFAST_DESTCOLORKEY : 0)
            : DDBLT_WAIT | (b.source_key ? DDBLT_KEYSRC : 0) | (b.dest_key ? DDBLT_KEYDEST : 0);
    if (!b.fast && rng() % 6 == 0) b.to = random_rect(rng, d.cx, d.cy); // stretched
    return b;
}

} // namespace

TEST(Damage, TrackedSurfacesShowWhatFullCopiesShow) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        clear_frames();
        World world;
        // zq's flip: the back buffer whole onto the client area.
        Blit flip;
        flip.source = 1;
        flip.from = flip.to = RECT{0, 0, kWidth, kHeight};
        flip.flags = DDBLT_WAIT;
        // A program's blits come back frame after frame: a few remembered, most repeated.
        std::vector<Blit> usual;
        for (int i = 0; i < 6; ++i)
            usual.push_back(random_blit(rng, world));
        for (int step = 0; step < 400; ++step) {
            const int what = static_cast<int>(rng() % 10);
            if (what < 2) {
                world.blit(usual[rng() % usual.size()]);
            } else if (what < 4) {
                // A frame: the remembered blits in their order, so a copy and
                // the blits drawn over it come back as a run.
                for (const Blit& b : usual)
                    world.blit(b);
            } else if (what < 6) {
                const Blit b = random_blit(rng, world);
                world.blit(b);
                usual[rng() % usual.size()] = b;
            } else if (what == 6) {
                world.locked_write(rng, static_cast<int>(rng() % world.count()));
            } else if (what == 7) {
                world.gdi_write(rng, static_cast<int>(rng() % world.count()));
            } else {
                world.blit(flip);
                world.expect_same();
                if (HasFatalFailure()) return;
                clear_frames();
                world.blit(flip);
            }
        }
    }
}

TEST(Damage, TheSameBlitOfUnchangedPicturesCopiesNothing) {
    World world;
    const Blit b{false, 3, 4, RECT{0, 0, 24, 20}, RECT{5, 5, 29, 25}, DDBLT_WAIT};
    world.blit(b);
    // Bytes changed behind DirectDraw's back (a read-only lock promised no
    // writes): a blit that copied anything would put them right.
    const Canvas dest = canvas_of(world.tracked(4));
    write_raw(dest, 10, 10, 0xBEEF);
    world.blit(b);
    EXPECT_EQ(read_raw(dest, 10, 10), 0xBEEFu);
    // A change to the source: only that part is copied again.
    set_pixel(world.tracked(3), 0, 0, 0x0F0F);
    world.blit(b);
    EXPECT_EQ(read_raw(dest, 5, 5), 0x0F0Fu);
    EXPECT_EQ(read_raw(dest, 10, 10), 0xBEEFu);
}

TEST(Damage, ACopyDrawnOverByTheSameBlitAgainCopiesNothing) {
    World world;
    // A background restored, then a keyed sprite drawn over it, then the
    // surface read (as a flip reads a back buffer), frame after frame.
    const Blit restore{false, 3, 4, RECT{0, 0, 24, 20}, RECT{0, 0, 24, 20}, DDBLT_WAIT};
    const Blit sprite{
        false, 2, 4, RECT{0, 0, 24, 20}, RECT{4, 4, 28, 24}, DDBLT_WAIT | DDBLT_KEYSRC, 0, true};
    set_pixel(world.tracked(2), 0, 0, kSpriteKey); // the sprite's corner shows what lies under it
    for (int frame = 0; frame < 3; ++frame) {
        world.blit(restore);
        world.blit(sprite);
        canvas_of(world.tracked(4));
    }
    const Canvas dest = canvas_of(world.tracked(4));
    write_raw(dest, 1, 1, 0xBEEF); // under the restore only
    write_raw(dest, 4, 4, 0xCAFE); // under the sprite's key
    world.blit(restore);
    world.blit(sprite);
    EXPECT_EQ(read_raw(dest, 1, 1), 0xBEEFu);
    EXPECT_EQ(read_raw(dest, 4, 4), 0xCAFEu);
    // The restore's source changes before the sprite comes: the copy is made
    // first, from the picture as it was.
    world.blit(restore);
    const uint32_t before = read_raw(canvas_of(world.tracked(3)), 4, 4);
    set_pixel(world.tracked(3), 4, 4, before ^ 0x0F0F);
    world.blit(sprite);
    EXPECT_EQ(read_raw(dest, 4, 4), before);
}
