// The window registry and the foreground: looking windows up, their geometry,
// activation and focus, with the messages a Windows program receives for each.
#include "window/window_system.h"

#include "window/driver.h"
#include "window/foreground.h"

#include <algorithm>

namespace ludora::window {

System& system() {
    static System* instance = new System; // lives until exit: other threads may still post
    return *instance;
}

namespace {

// Who must hear that the application left the foreground.
struct Departure {
    HWND active = nullptr;
    HWND focus = nullptr;
};

// With the lock held: the application leaves the foreground, and foreground
// DirectInput devices acquired before it lose their acquisition. False when it
// was not in the foreground.
bool leave_foreground_locked(System& s, Departure& departure) {
    if (!s.foreground) return false;
    departure = Departure{s.active, s.focus};
    s.foreground = false;
    s.foreground_generation++;
    s.active = nullptr;
    s.focus = nullptr;
    s.capture = nullptr;
    return true;
}

void announce_departure(const Departure& departure) {
    if (departure.active && window_alive(departure.active)) {
        send(departure.active, WM_ACTIVATE, WA_INACTIVE, 0);
        send(departure.active, WM_ACTIVATEAPP, FALSE, 0);
    }
    if (departure.focus && window_alive(departure.focus)) send(departure.focus, WM_KILLFOCUS, 0, 0);
}

} // namespace

Window* find(HWND hwnd) {
    auto it = system().windows.find(hwnd);
    return it == system().windows.end() ? nullptr : it->second.get();
}

FrameSize frame_size(DWORD style, DWORD ex_style) {
    FrameSize f{0, 0, 0, 0};
    const bool child = style & WS_CHILD;
    // Overlapped windows always get a caption and border from the system.
    const bool captioned = (style & WS_CAPTION) == WS_CAPTION || (!child && !(style & WS_POPUP));
    int fx = 0, fy = 0;
    if (style & WS_THICKFRAME) {
        fx = GetSystemMetrics(SM_CXFRAME);
        fy = GetSystemMetrics(SM_CYFRAME);
    } else if (captioned || (style & WS_DLGFRAME)) {
        fx = GetSystemMetrics(SM_CXFIXEDFRAME);
        fy = GetSystemMetrics(SM_CYFIXEDFRAME);
    } else if (style & WS_BORDER) {
        fx = GetSystemMetrics(SM_CXBORDER);
        fy = GetSystemMetrics(SM_CYBORDER);
    }
    if (ex_style & WS_EX_CLIENTEDGE) {
        fx += 2;
        fy += 2;
    }
    f.left = f.right = fx;
    f.top = f.bottom = fy;
    if (captioned) f.top += GetSystemMetrics(SM_CYCAPTION);
    return f;
}

RECT client_rect_of(const Window& w) {
    const FrameSize f = frame_size(w.style, w.ex_style);
    RECT r{0, 0, 0, 0};
    r.right = std::max<LONG>(0, w.rect.right - w.rect.left - f.left - f.right);
    r.bottom = std::max<LONG>(0, w.rect.bottom - w.rect.top - f.top - f.bottom);
    return r;
}

POINT client_origin_of(const Window& w) {
    const FrameSize f = frame_size(w.style, w.ex_style);
    return POINT{w.rect.left + f.left, w.rect.top + f.top};
}

bool window_alive(HWND hwnd) {
    return with_window(hwnd, false, [](Window&) { return true; });
}

WNDPROC window_proc(HWND hwnd) {
    return with_window(hwnd, WNDPROC(nullptr), [](Window& w) { return w.proc; });
}

bool window_client(HWND hwnd, RECT& client, POINT& origin) {
    return with_window(hwnd, false, [&](Window& w) {
        client = client_rect_of(w);
        origin = client_origin_of(w);
        return true;
    });
}

HWND main_window() {
    System& s = system();
    std::lock_guard lock(s.mutex);
    if (s.active && find(s.active)) return s.active;
    if (s.last_active && find(s.last_active)) return s.last_active;
    HWND best = nullptr;
    for (auto& [h, w] : s.windows) {
        if (w->parent) continue;
        if (w->visible) best = h; // handles grow: the last visible one wins
    }
    if (best) return best;
    return s.last_created && find(s.last_created) ? s.last_created : nullptr;
}

LRESULT send(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    WNDPROC proc = window_proc(hwnd);
    return proc ? proc(hwnd, msg, wparam, lparam) : 0;
}

void send_size_and_move(HWND hwnd) {
    RECT client;
    POINT origin;
    bool maximized = false, minimized = false;
    {
        std::lock_guard lock(system().mutex);
        Window* w = find(hwnd);
        if (!w) return;
        client = client_rect_of(*w);
        origin = client_origin_of(*w);
        maximized = w->maximized;
        minimized = w->minimized;
        w->sized_once = true;
    }
    const WPARAM kind = minimized ? SIZE_MINIMIZED : maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
    send(hwnd, WM_SIZE, kind, MAKELPARAM(client.right, client.bottom));
    send(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
}

void set_focus(HWND hwnd) {
    System& s = system();
    HWND old;
    {
        std::lock_guard lock(s.mutex);
        if (hwnd && !find(hwnd)) return;
        if (s.focus == hwnd) return;
        old = s.focus;
        s.focus = hwnd;
    }
    if (old && window_alive(old)) send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd) send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

void activate_window(HWND hwnd, int how) {
    System& s = system();
    HWND previous;
    bool app_was_inactive;
    bool minimized = false;
    {
        std::lock_guard lock(s.mutex);
        Window* w = find(hwnd);
        if (!w || w->parent) return;
        if (s.active == hwnd && s.foreground) return;
        previous = s.active;
        app_was_inactive = !s.foreground;
        minimized = w->minimized;
        s.foreground = true;
        s.active = hwnd;
        s.last_active = hwnd;
    }
    if (previous && previous != hwnd && window_alive(previous))
        send(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
    if (app_was_inactive) send(hwnd, WM_ACTIVATEAPP, TRUE, 0);
    send(hwnd, WM_ACTIVATE, MAKEWPARAM(how, minimized ? 1 : 0),
         reinterpret_cast<LPARAM>(previous != hwnd ? previous : nullptr));
    if (window_alive(hwnd)) set_focus(hwnd);
    driver().window_activated(hwnd);
}

void deactivate_application() {
    System& s = system();
    Departure departure;
    {
        std::lock_guard lock(s.mutex);
        if (!leave_foreground_locked(s, departure)) return;
    }
    announce_departure(departure);
}

void deactivate_if_active(HWND hwnd) {
    System& s = system();
    Departure departure;
    {
        std::lock_guard lock(s.mutex);
        if (!hwnd || s.active != hwnd || !leave_foreground_locked(s, departure)) return;
    }
    announce_departure(departure);
}

ForegroundState foreground_state() {
    System& s = system();
    std::lock_guard lock(s.mutex);
    return ForegroundState{s.foreground ? s.active : nullptr, s.foreground_generation.load()};
}

void reactivate_application() {
    HWND target = main_window();
    if (target) activate_window(target, WA_ACTIVE);
}

void set_maximized(HWND hwnd, bool maximized) {
    {
        std::lock_guard lock(system().mutex);
        Window* w = find(hwnd);
        if (!w || w->maximized == maximized) return;
        w->maximized = maximized;
        w->minimized = false;
        if (maximized) {
            w->restore_rect = w->rect;
            // Maximised: the client area fills the screen (a display mode's, if one
            // is set), the frame just off it.
            const FrameSize f = frame_size(w->style, w->ex_style);
            w->rect = RECT{-f.left, -(f.top - GetSystemMetrics(SM_CYCAPTION)),
                           GetSystemMetrics(SM_CXSCREEN) + f.right,
                           GetSystemMetrics(SM_CYSCREEN) + f.bottom};
        } else {
            w->rect = w->restore_rect;
        }
        w->needs_paint = true;
    }
    send_size_and_move(hwnd);
}

void reset_windows() {
    System& s = system();
    std::lock_guard lock(s.mutex);
    for (auto& [h, w] : s.windows)
        driver().window_destroyed(h);
    s.windows.clear();
    s.classes.clear();
    s.queue.clear();
    s.quit_pending = false;
    s.quit_code = 0;
    Departure ignored; // the windows are gone: nobody hears it
    leave_foreground_locked(s, ignored);
    s.active = s.last_active = s.focus = s.capture = s.last_created = nullptr;
}

} // namespace ludora::window
