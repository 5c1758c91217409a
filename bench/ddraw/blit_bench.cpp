// What a frame of the games costs: fills, copies and keyed blits on 800x600
// 5-6-5 surfaces, and the conversion for presentation; memcpy of the same bytes
// and SDL2's colour-keyed blit at the same format for scale. Also what loading a
// picture costs: 24-bit, 32-bit and palettised pictures onto a 5-6-5 surface,
// through blit() and through the reference (the <true> runs).
#include "pixels/blitter.h"

#include <ddraw.h>

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kWidth = 800, kHeight = 600, kSprite = 17;
constexpr uint16_t kBlue = 0x001F;

// Round-ish sprites: the corners and a ring are transparent blue.
uint16_t sprite_pixel(int x, int y) {
    const int dx = x % kSprite - 8, dy = y % kSprite - 8;
    const int d = dx * dx + dy * dy;
    if (d > 64 || (d > 25 && d < 36)) return kBlue;
    return static_cast<uint16_t>(0x8000 + x * 7 + y * 13) | 0x0400;
}

struct DirectDrawScene {
    IDirectDraw* dd = nullptr;
    IDirectDrawSurface* back = nullptr;
    IDirectDrawSurface* picture = nullptr; // full screen, keyed blue
    IDirectDrawSurface* sprite = nullptr;

    IDirectDrawSurface* make(int w, int h) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = w;
        desc.dwHeight = h;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        IDirectDrawSurface* s = nullptr;
        dd->CreateSurface(&desc, &s, nullptr);
        DDSURFACEDESC lock{};
        lock.dwSize = sizeof(lock);
        s->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr);
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(lock.lpSurface) +
                                                    y * lock.lPitch);
            for (int x = 0; x < w; ++x)
                row[x] = sprite_pixel(x, y);
        }
        s->Unlock(nullptr);
        DDCOLORKEY key{kBlue, kBlue};
        s->SetColorKey(DDCKEY_SRCBLT, &key);
        return s;
    }

    DirectDrawScene() {
        DirectDrawCreate(nullptr, &dd, nullptr);
        dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
        back = make(kWidth, kHeight);
        picture = make(kWidth, kHeight);
        sprite = make(kSprite, kSprite);
    }
    ~DirectDrawScene() {
        sprite->Release();
        picture->Release();
        back->Release();
        dd->Release();
    }
};

DirectDrawScene& scene() {
    static DirectDrawScene s;
    return s;
}

constexpr int64_t kScreenBytes = int64_t(kWidth) * kHeight * 2;

void BM_ColourFill(benchmark::State& state) {
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = 0x1234;
    for (auto _ : state)
        scene().back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_ColourFill);

void BM_Memcpy(benchmark::State& state) {
    std::vector<uint8_t> a(kScreenBytes, 1), b(kScreenBytes, 2);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_Memcpy);

void BM_CopyUnkeyed(benchmark::State& state) {
    for (auto _ : state)
        scene().back->BltFast(0, 0, scene().picture, nullptr, DDBLTFAST_WAIT);
    state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_CopyUnkeyed);

void BM_KeyedFullScreen(benchmark::State& state) {
    for (auto _ : state) {
        scene().back->BltFast(0, 0, scene().picture, nullptr,
                              DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
    }
    state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_KeyedFullScreen);

// 1000 sprites a frame, spread over the screen.
void BM_KeyedSprites17(benchmark::State& state) {
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const DWORD x = (i * 37) % (kWidth - kSprite), y = (i * 53) % (kHeight - kSprite);
            scene().back->BltFast(x, y, scene().sprite, nullptr,
                                  DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_KeyedSprites17);

void BM_PresentConversion(benchmark::State& state) {
    DDSURFACEDESC lock{};
    lock.dwSize = sizeof(lock);
    scene().picture->Lock(nullptr, &lock, DDLOCK_WAIT, nullptr);
    ludora::pixels::Canvas c;
    c.top = static_cast<uint8_t*>(lock.lpSurface);
    c.pitch = lock.lPitch;
    c.width = kWidth;
    c.height = kHeight;
    c.format = ludora::pixels::format_rgb565();
    scene().picture->Unlock(nullptr);
    std::vector<uint32_t> out(size_t(kWidth) * kHeight);
    for (auto _ : state) {
        ludora::pixels::convert_to_xrgb(c, RECT{0, 0, kWidth, kHeight}, out.data(), kWidth);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_PresentConversion);

// A loaded picture onto a 5-6-5 surface, 1:1: a bottom-up 24-bit DIB, a 32-bit
// one and a palettised one, through blit() and through the reference.
struct Picture {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> palette;
    ludora::pixels::Canvas canvas;
    Picture(const ludora::pixels::PixelFormat& format, bool bottom_up) {
        const int stride = ((kWidth * format.bits + 31) / 32) * 4;
        bytes.resize(size_t(stride) * kHeight);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
        canvas.width = kWidth;
        canvas.height = kHeight;
        canvas.format = format;
        canvas.top = bytes.data() + (bottom_up ? ptrdiff_t(stride) * (kHeight - 1) : 0);
        canvas.pitch = bottom_up ? -stride : stride;
        if (format.indexed) {
            palette.resize(256);
            for (uint32_t i = 0; i < 256; ++i)
                palette[i] = (i * 0x010203u) & 0xFFFFFF;
            canvas.palette = palette.data();
            canvas.palette_size = 256;
        }
    }
};

template <bool Reference> void convert_picture(benchmark::State& state, const Picture& from) {
    Picture to(ludora::pixels::format_rgb565(), false);
    ludora::pixels::BlitRequest r;
    r.source = &from.canvas;
    r.source_rect = RECT{0, 0, kWidth, kHeight};
    r.dest = &to.canvas;
    r.dest_rect = r.source_rect;
    r.clip = r.source_rect;
    for (auto _ : state) {
        if (Reference) {
            ludora::pixels::blit_reference(r);
        } else {
            ludora::pixels::blit(r);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

template <bool Reference> void BM_Picture24To565(benchmark::State& state) {
    convert_picture<Reference>(state, Picture(ludora::pixels::format_rgb24(), true));
}
BENCHMARK(BM_Picture24To565<false>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Picture24To565<true>)->Unit(benchmark::kMicrosecond);

template <bool Reference> void BM_Picture32To565(benchmark::State& state) {
    convert_picture<Reference>(state, Picture(ludora::pixels::format_xrgb32(), true));
}
BENCHMARK(BM_Picture32To565<false>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Picture32To565<true>)->Unit(benchmark::kMicrosecond);

template <bool Reference> void BM_Picture8To565(benchmark::State& state) {
    convert_picture<Reference>(state, Picture(ludora::pixels::format_indexed(8), true));
}
BENCHMARK(BM_Picture8To565<false>)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Picture8To565<true>)->Unit(benchmark::kMicrosecond);

struct SdlScene {
    SDL_Surface* back;
    SDL_Surface* picture;
    SDL_Surface* sprite;
    static SDL_Surface* make(int w, int h) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
        SDL_LockSurface(s);
        for (int y = 0; y < h; ++y) {
            auto* row =
                reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
            for (int x = 0; x < w; ++x)
                row[x] = sprite_pixel(x, y);
        }
        SDL_UnlockSurface(s);
        SDL_SetColorKey(s, SDL_TRUE, kBlue);
        return s;
    }
    SdlScene()
        : back(make(kWidth, kHeight)), picture(make(kWidth, kHeight)),
          sprite(make(kSprite, kSprite)) {}
};

SdlScene& sdl() {
    static SdlScene s;
    return s;
}

void BM_SdlKeyedFullScreen(benchmark::State& state) {
    for (auto _ : state)
        SDL_BlitSurface(sdl().picture, nullptr, sdl().back, nullptr);
    state.SetBytesProcessed(state.iterations() * kScreenBytes);
}
BENCHMARK(BM_SdlKeyedFullScreen);

void BM_SdlKeyedSprites17(benchmark::State& state) {
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            SDL_Rect at{(i * 37) % (kWidth - kSprite), (i * 53) % (kHeight - kSprite), kSprite,
                        kSprite};
            SDL_BlitSurface(sdl().sprite, nullptr, sdl().back, &at);
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_SdlKeyedSprites17);

} // namespace
