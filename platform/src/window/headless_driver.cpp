// The headless driver: windows exist only as state, input comes from the
// script and the harness, and presented frames are kept for `shot`. It shows
// frames as fast as they come, so tests run as fast as they can, unless
// LUDORA_HEADLESS_REFRESH gives it a refresh rate to keep.
#include "core/settings.h"
#include "window/driver.h"
#include "window/frame_pacer.h"

#include <cstdio>

namespace ludora::window {

namespace {

class HeadlessDriver final : public Driver {
public:
    const char* name() const override { return "headless"; }
    void pump() override {}
    void window_shown(HWND, bool) override {}
    void window_destroyed(HWND) override {}
    void window_title(HWND) override {}
    void window_geometry(HWND) override {}
    void window_activated(HWND) override {}
    void warp_cursor(HWND, int, int) override {}
    void show_cursor(bool) override {}
    void present(HWND, const uint32_t*, int, int, int, bool, int, int) override {
        if (refresh_hz_ > 0) pacer_.wait_for_refresh(refresh_hz_);
    }
    int message_box(const char*, const char*, UINT) override { return 0; }

private:
    const int refresh_hz_ = settings::pacing() ? settings::headless_refresh() : 0;
    FramePacer pacer_;
};

} // namespace

Driver* make_headless_driver() {
    return new HeadlessDriver;
}

} // namespace ludora::window
