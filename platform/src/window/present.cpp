// Presentation: the DirectDraw area hands over finished frames; the driver
// shows them and the last one is kept for the script's `shot`.
#include "window/present.h"

#include "core/rest.h"
#include "window/driver.h"
#include "window/frame_log.h"
#include "window/window_system.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <vector>

namespace ludora::window {

namespace {

struct LastFrame {
    std::mutex mutex;
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
};

LastFrame& last_frame() {
    static LastFrame* instance = new LastFrame;
    return *instance;
}

void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = v & 0xFF;
    out[at + 1] = (v >> 8) & 0xFF;
}
void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = (v >> (8 * i)) & 0xFF;
}

} // namespace

bool last_frame_size(int& width, int& height) {
    LastFrame& f = last_frame();
    std::lock_guard lock(f.mutex);
    width = f.width;
    height = f.height;
    return f.width > 0;
}

void forget_last_frame() {
    LastFrame& f = last_frame();
    std::lock_guard lock(f.mutex);
    f.pixels.clear();
    f.width = f.height = 0;
}

namespace {
std::atomic<uint64_t> g_frames_presented{0};
} // namespace

uint64_t frames_presented() {
    return g_frames_presented.load(std::memory_order_relaxed);
}

void present_whole_frame(HWND window, const uint32_t* xrgb, int width, int height, int pitch,
                         int fullscreen) {
    present_frame(window, xrgb, width, height, pitch, fullscreen, 0, height);
}

void present_frame(HWND window, const uint32_t* xrgb, int width, int height, int pitch,
                   int fullscreen, int changed_top, int changed_bottom) {
    // Frames beyond any real mode are refused rather than copied.
    if (!xrgb || width <= 0 || height <= 0 || width > 16384 || height > 16384 || pitch < width)
        return;
    int top = std::clamp(changed_top, 0, height), bottom = std::clamp(changed_bottom, 0, height);
    if (top >= bottom) top = bottom = 0;
    {
        LastFrame& f = last_frame();
        std::lock_guard lock(f.mutex);
        if (f.width != width || f.height != height) {
            top = 0;
            bottom = height;
        }
        f.pixels.resize(static_cast<size_t>(width) * height);
        for (int y = top; y < bottom; ++y)
            std::copy(xrgb + static_cast<size_t>(y) * pitch,
                      xrgb + static_cast<size_t>(y) * pitch + width,
                      f.pixels.begin() + static_cast<size_t>(y) * width);
        f.width = width;
        f.height = height;
    }
    g_frames_presented.fetch_add(1, std::memory_order_relaxed);
    set_resting(false);
    log_frame(xrgb, width, height, pitch);
    driver().present(window, xrgb, width, height, pitch, fullscreen != 0, top, bottom);
}

int client_on_screen(HWND window, RECT* client) {
    RECT area;
    POINT origin;
    if (!client || !window_client(window, area, origin)) return 0;
    *client = RECT{origin.x, origin.y, origin.x + area.right, origin.y + area.bottom};
    return 1;
}

int save_last_frame(const char* path) {
    if (!path || !*path) return 0;
    std::vector<uint32_t> pixels;
    int width, height;
    {
        LastFrame& f = last_frame();
        std::lock_guard lock(f.mutex);
        pixels = f.pixels;
        width = f.width;
        height = f.height;
    }
    if (width == 0) {
        // Nothing presented yet: the screen shows a black client area.
        HWND main = main_window();
        RECT client;
        POINT origin;
        if (!main || !window_client(main, client, origin) || client.right <= 0 ||
            client.bottom <= 0)
            return 0;
        width = client.right;
        height = client.bottom;
        pixels.assign(static_cast<size_t>(width) * height, 0);
    }
    const size_t row = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    const size_t image = row * height;
    std::vector<uint8_t> out(54 + image, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<uint32_t>(out.size()));
    put32(out, 10, 54);
    put32(out, 14, 40);
    put32(out, 18, static_cast<uint32_t>(width));
    put32(out, 22, static_cast<uint32_t>(height)); // positive: bottom-up rows
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 34, static_cast<uint32_t>(image));
    put32(out, 38, 2835); // 72 dots per inch
    put32(out, 42, 2835);
    for (int y = 0; y < height; ++y) {
        uint8_t* dst = out.data() + 54 + row * (height - 1 - y);
        const uint32_t* src = pixels.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            dst[3 * x] = src[x] & 0xFF;
            dst[3 * x + 1] = (src[x] >> 8) & 0xFF;
            dst[3 * x + 2] = (src[x] >> 16) & 0xFF;
        }
    }
    FILE* file = std::fopen(path, "wb");
    if (!file) return 0;
    const bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok ? 1 : 0;
}

} // namespace ludora::window

extern "C" int LudoraSaveShot(const char* path) {
    return path ? ludora::window::save_last_frame(path) : 0;
}
