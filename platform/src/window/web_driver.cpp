// The browser driver: the main window's picture in the page's <canvas>, the
// page's pointer and key events turned into injected events, and the main
// loop handing the browser its turn where the layer waits anyway: each
// presentation waits for the page's next animation frame, and a program that
// polls its queue without showing frames sleeps a little at each poll. The
// page side (ludora_page.js) queues the events; the pump takes them here, on
// the program's own thread, so nothing runs inside the program meanwhile.
#ifdef __EMSCRIPTEN__

#include "core/rest.h"
#include "window/driver.h"
#include "window/input.h"
#include "window/present.h"
#include "window/window_system.h"

#include <emscripten.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

// Types of the queued page events: see ludora_page.js.
EM_JS(int, ludora_web_next_event, (int* values), {
    const event = Module.ludoraEvents && Module.ludoraEvents.shift();
    if (!event) return 0;
    HEAP32[values >> 2] = event[1] | 0;
    HEAP32[(values >> 2) + 1] = event[2] | 0;
    return event[0];
});

EM_JS(void, ludora_web_show, (const unsigned char* rgba, int width, int height),
      { Module.ludoraShow(HEAPU8.slice(rgba, rgba + width * height * 4), width, height); });

EM_JS(int, ludora_web_events_waiting, (),
      { return Module.ludoraEvents ? Module.ludoraEvents.length : 0; });

EM_JS(void, ludora_web_cursor, (int visible), { Module.ludoraCursor(visible); });

// Resumes at the page's next event, a wake from another thread, or after `ms`.
EM_JS(void, ludora_web_rest, (int ms),
      { Asyncify.handleSleep(function(wakeUp) { Module.ludoraRest(wakeUp, ms); }); });

// Resumes at the display's next refresh; `shown`: a changed picture was just
// put on the canvas (see ludoraNextFrame).
EM_JS(void, ludora_web_wait_frame, (int shown),
      { Asyncify.handleSleep(function(wakeUp) { Module.ludoraNextFrame(wakeUp, shown); }); });

namespace ludora::window {

namespace {

enum PageEvent { kNone, kMove, kButton, kKey, kVisible, kClose };

class WebDriver final : public Driver {
public:
    const char* name() const override { return "web"; }

    void pump() override {
        int values[2];
        while (int type = ludora_web_next_event(values)) {
            switch (type) {
            case kMove:
                if (shown_) inject_mouse_move(shown_, values[0], values[1]);
                break;
            case kButton:
                inject_hand_mouse_button(values[0], values[1] != 0);
                break;
            case kKey:
                inject_hand_key(values[0], values[1] != 0);
                break;
            case kVisible:
                inject_activate(values[0] != 0);
                break;
            case kClose:
                if (shown_) inject_close(shown_);
                break;
            default:
                break;
            }
        }
        // Polling with no frame shown since the last poll: the program waits
        // for the user (or is in the background); the page gets the time. At
        // rest the idle wait gives it (wait_for_events).
        const uint64_t frames = frames_presented();
        if (frames != frames_at_last_pump_)
            idle_run_ = 0;
        else if (++idle_run_ > 2 && !resting())
            emscripten_sleep(idle_run_ < 64 ? 1 : 8);
        frames_at_last_pump_ = frames;
    }

    void window_shown(HWND, bool) override {}
    void window_destroyed(HWND hwnd) override {
        if (hwnd == shown_) shown_ = nullptr;
    }
    void window_title(HWND) override {}
    void window_geometry(HWND) override {}
    void window_activated(HWND) override {}
    void warp_cursor(HWND, int, int) override {} // a page cannot move the pointer
    void show_cursor(bool visible) override { ludora_web_cursor(visible ? 1 : 0); }

    // Only the changed rows are converted; the page is given the whole picture.
    void present(HWND hwnd, const uint32_t* xrgb, int width, int height, int pitch, bool,
                 int changed_top, int changed_bottom) override {
        if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) return;
        const size_t pixels = static_cast<size_t>(width) * height;
        if (hwnd != shown_ || width != width_ || rgba_.size() != pixels) {
            shown_ = hwnd;
            width_ = width;
            rgba_.assign(pixels, 0);
            changed_top = 0;
            changed_bottom = height;
        }
        changed_top = std::max(changed_top, 0);
        changed_bottom = std::min(changed_bottom, height);
        for (int y = changed_top; y < changed_bottom; ++y) {
            const uint32_t* row = xrgb + static_cast<size_t>(y) * pitch;
            uint32_t* out = rgba_.data() + static_cast<size_t>(y) * width;
            // 0x00RRGGBB to the bytes R, G, B, 255.
            for (int x = 0; x < width; ++x) {
                const uint32_t p = row[x];
                out[x] = 0xFF000000u | ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
            }
        }
        const bool changed = changed_top < changed_bottom;
        if (changed)
            ludora_web_show(reinterpret_cast<const unsigned char*>(rgba_.data()), width, height);
        ludora_web_wait_frame(changed ? 1 : 0);
    }

    // At rest: the browser has its turn, in one sleep, until the page queues
    // an event, another thread calls wake(), or the time is up. The page's
    // events are queued on this very thread, so a blocking wait here would
    // never see one.
    bool wait_for_events(int real_ms) override {
        if (ludora_web_events_waiting() > 0 || woken_.exchange(false)) return true;
        ludora_web_rest(real_ms);
        woken_ = false;
        return true;
    }
    // A wake before the sleep is seen by the check above; one after it ends
    // the sleep, as the page's thread runs the call only once it sleeps.
    void wake() override {
        woken_ = true;
        MAIN_THREAD_ASYNC_EM_ASM({ Module.ludoraRestEnd(); });
    }

    // The page shows no boxes of its own: the default answer, as with no
    // display, and the text on the page's console.
    int message_box(const char* caption, const char* text, UINT) override {
        std::fprintf(stderr, "ludora: %s: %s\n", caption ? caption : "Error", text ? text : "");
        return 0;
    }

private:
    HWND shown_ = nullptr;
    int width_ = 0;
    std::atomic<bool> woken_{false};
    std::vector<uint32_t> rgba_;
    uint64_t frames_at_last_pump_ = 0;
    unsigned idle_run_ = 0;
};

} // namespace

Driver* make_web_driver() {
    return new WebDriver;
}

} // namespace ludora::window

#endif
