// The message queue: posting, sending, retrieval in Windows' order (posted
// and input messages, then the quit message, then paint), translation of keys
// into characters, and the default window procedure.
#include "core/clock.h"
#include "core/rest.h"
#include "core/settings.h"
#include "window/driver.h"
#include "window/idle_wait.h"
#include "window/input.h"
#include "window/keys.h"
#include "window/present.h"
#include "window/script.h"
#include "window/window_system.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace ludora::window {

namespace {

bool matches(const MSG& m, HWND filter, UINT low, UINT high) {
    if (filter == reinterpret_cast<HWND>(-1)) {
        if (m.hwnd) return false;
    } else if (filter && m.hwnd != filter) {
        return false;
    }
    if (low == 0 && high == 0) return true;
    return m.message >= low && m.message <= high;
}

bool admits(UINT message, UINT low, UINT high) {
    return (low == 0 && high == 0) || (message >= low && message <= high);
}

MSG stamp(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    MSG m{};
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wparam;
    m.lParam = lparam;
    m.time = clock_ms();
    m.pt = cursor_position();
    return m;
}

// The UI thread is the one that pumps; other threads only read the queue.
std::atomic<std::thread::id> g_ui_thread{};

// The queue's generation when this thread last found nothing to take.
thread_local uint64_t t_generation_when_empty = 0;
// Calls of wake_idle_wait so far (guarded by the system's mutex), and their
// count when this thread last found nothing to take.
uint64_t g_wakes = 0;
thread_local uint64_t t_wakes_when_empty = 0;

bool take(MSG* out, HWND filter, UINT low, UINT high, bool remove) {
    System& s = system();
    std::lock_guard lock(s.mutex);
    t_generation_when_empty = s.queue_generation;
    t_wakes_when_empty = g_wakes;
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
        if (it->hwnd && !s.windows.count(it->hwnd)) continue;
        if (!matches(*it, filter, low, high)) continue;
        *out = *it;
        if (remove) s.queue.erase(it);
        s.last_message_time = out->time;
        return true;
    }
    if (s.quit_pending) {
        // WM_QUIT comes whatever the filter says.
        *out = stamp(nullptr, WM_QUIT, static_cast<WPARAM>(s.quit_code), 0);
        if (remove) s.quit_pending = false;
        return true;
    }
    if (admits(WM_PAINT, low, high)) {
        for (auto& [h, w] : s.windows) {
            if (!w->visible || !w->needs_paint) continue;
            if (filter && filter != h) continue;
            // WM_PAINT stays until the window is validated.
            *out = stamp(h, WM_PAINT, 0, 0);
            return true;
        }
    }
    return false;
}

std::atomic<unsigned> g_idle_waits{0};
// The idle wait is waiting for the host's events through the driver.
std::atomic<bool> g_waiting_for_host{false};

// After this many idle peeks in a row (a quarter of a second) the program is at rest.
constexpr unsigned kPeeksBeforeRest = 64;

// At rest: waits for a message, the host's next event, a wake_idle_wait or
// the script's next command, whichever comes first; and no longer than
// kRestWakeUs, as something may change that nothing announces (a window
// invalidated from another thread).
void wait_at_rest(uint64_t seen) {
    System& s = system();
    if (clock_held()) {
        // A held clock moves only when the test moves it, perhaps from this
        // very thread: wait a real moment, as an idle program does before rest.
        std::unique_lock lock(s.mutex);
        s.queue_changed.wait_for(lock, std::chrono::milliseconds(8),
                                 [&] { return s.queue_generation != seen; });
        return;
    }
    const uint64_t now = clock_us();
    const uint64_t deadline = std::min(script_next_due_us(), now + kRestWakeUs);
    if (deadline <= now) return;
    const uint64_t wakes = t_wakes_when_empty;
    g_waiting_for_host = true;
    bool posted;
    {
        std::lock_guard lock(s.mutex);
        posted = s.queue_generation != seen || g_wakes != wakes;
    }
    const auto real =
        std::chrono::duration_cast<std::chrono::milliseconds>(clock_real_slice(deadline - now));
    const bool waited = posted || driver().wait_for_events(static_cast<int>(std::max<int64_t>(
                                      1, std::min<int64_t>(real.count(), kRestWakeUs / 1000))));
    g_waiting_for_host = false;
    if (waited) return;
    // No host events to wait for (headless): messages and wakes alone.
    std::unique_lock lock(s.mutex);
    clock_wait_until(s.queue_changed, lock, deadline,
                     [&] { return s.queue_generation != seen || g_wakes != wakes; });
}

} // namespace

void wake_idle_wait() {
    System& s = system();
    {
        std::lock_guard lock(s.mutex); // a waiter between its check and its wait hears it
        ++g_wakes;
    }
    s.queue_changed.notify_all();
    if (g_waiting_for_host.load()) driver().wake();
}

namespace {

// A program that finds its queue empty again without having shown a frame
// since it last did is idle (in the background, or waiting for the user): it
// waits a moment for a message rather than spinning, and a message queued
// meanwhile wakes it at once. A program idle for a while waits longer, 2, 4
// and 8 ms, and after a quarter of a second it is at rest: then it sleeps
// until a message, the host's next event or the script's next command (half
// a second at most). True when it waited.
bool wait_when_idle() {
    static const bool pacing = settings::pacing();
    if (!pacing) return false;
    thread_local uint64_t frames_when_last_empty = UINT64_MAX;
    const uint64_t frames = frames_presented();
    const bool idle = frames == frames_when_last_empty;
    frames_when_last_empty = frames;
    thread_local unsigned idle_run = 0;
    if (!idle) {
        idle_run = 0;
        return false;
    }
    g_idle_waits.fetch_add(1, std::memory_order_relaxed);
    const uint64_t seen = t_generation_when_empty;
    if (idle_run >= kPeeksBeforeRest) {
        set_resting(true);
        wait_at_rest(seen);
        return true;
    }
    const int wait_ms = 1 << std::min(3u, idle_run / 16);
    ++idle_run;
    System& s = system();
    std::unique_lock lock(s.mutex);
    s.queue_changed.wait_for(lock, std::chrono::milliseconds(wait_ms),
                             [&] { return s.queue_generation != seen; });
    return true;
}

} // namespace

unsigned idle_waits() {
    return g_idle_waits.load(std::memory_order_relaxed);
}

void post(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    System& s = system();
    {
        std::lock_guard lock(s.mutex);
        s.queue.push_back(stamp(hwnd, message, wparam, lparam));
        ++s.queue_generation;
    }
    s.queue_changed.notify_all();
    if (g_waiting_for_host.load()) driver().wake();
}

void pump() {
    const auto self = std::this_thread::get_id();
    std::thread::id expected{};
    g_ui_thread.compare_exchange_strong(expected, self);
    if (g_ui_thread.load() != self) return;
    driver().pump();
    script_tick();
    process_input();
}

} // namespace ludora::window

using namespace ludora::window;

extern "C" {

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT low, UINT high, UINT remove) {
    if (!msg) return FALSE;
    pump();
    if (!take(msg, hwnd, low, high, remove & PM_REMOVE)) {
        if (!wait_when_idle()) return FALSE;
        pump();
        if (!take(msg, hwnd, low, high, remove & PM_REMOVE)) return FALSE;
    }
    if (remove & PM_REMOVE) note_retrieved_message(*msg);
    return TRUE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT low, UINT high) {
    if (!msg) return -1;
    for (;;) {
        if (PeekMessageA(msg, hwnd, low, high, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
        System& s = system();
        std::unique_lock lock(s.mutex);
        // Short real waits: driver events and the script need polling.
        s.queue_changed.wait_for(lock, std::chrono::milliseconds(2));
    }
}

BOOL WINAPI WaitMessage(void) {
    MSG m;
    for (;;) {
        if (PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) return TRUE;
        System& s = system();
        std::unique_lock lock(s.mutex);
        s.queue_changed.wait_for(lock, std::chrono::milliseconds(2));
    }
}

DWORD WINAPI GetMessageTime(void) {
    std::lock_guard lock(system().mutex);
    return system().last_message_time;
}

BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    const bool down = msg->message == WM_KEYDOWN;
    const bool sys_down = msg->message == WM_SYSKEYDOWN;
    if (!down && !sys_down) return FALSE;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0 && !sys_down;
    const int c = char_for_key(static_cast<int>(msg->wParam), shift, control);
    if (!c) return FALSE;
    // The character is the next message the program takes.
    System& s = system();
    {
        std::lock_guard lock(s.mutex);
        MSG ch = *msg;
        ch.message = sys_down ? WM_SYSCHAR : WM_CHAR;
        ch.wParam = static_cast<WPARAM>(c);
        s.queue.push_front(ch);
        ++s.queue_generation;
    }
    s.queue_changed.notify_all();
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    return send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> targets;
        {
            std::lock_guard lock(system().mutex);
            for (auto& [h, w] : system().windows)
                if (!w->parent) targets.push_back(h);
        }
        for (HWND h : targets)
            post(h, message, wparam, lparam);
        return TRUE;
    }
    if (hwnd && !window_alive(hwnd)) return FALSE;
    post(hwnd, message, wparam, lparam);
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (hwnd == HWND_BROADCAST) {
        std::vector<HWND> targets;
        {
            std::lock_guard lock(system().mutex);
            for (auto& [h, w] : system().windows)
                if (!w->parent) targets.push_back(h);
        }
        for (HWND h : targets)
            send(h, message, wparam, lparam);
        return 0;
    }
    return send(hwnd, message, wparam, lparam);
}

void WINAPI PostQuitMessage(int code) {
    System& s = system();
    {
        std::lock_guard lock(s.mutex);
        s.quit_pending = true;
        ++s.queue_generation;
        s.quit_code = code;
    }
    s.queue_changed.notify_all();
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wparam,
                               LPARAM lparam) {
    return proc ? proc(hwnd, message, wparam, lparam) : 0;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT:
        ValidateRect(hwnd, nullptr);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SYSKEYDOWN:
        // Alt or F10 alone opens the window menu: the program hears SC_KEYMENU.
        if (wparam == VK_MENU || wparam == VK_F10)
            SendMessageA(hwnd, WM_SYSCOMMAND, SC_KEYMENU, 0);
        else if (wparam == VK_F4 && (lparam & (1 << 29)))
            PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        switch (wparam & 0xFFF0) {
        case SC_CLOSE:
            SendMessageA(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_SHOWMAXIMIZED);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        default:
            break; // SC_KEYMENU: there is no menu to open
        }
        return 0;
    case WM_GETTEXT:
        return GetWindowTextA(hwnd, reinterpret_cast<LPSTR>(lparam), static_cast<int>(wparam));
    case WM_SETTEXT:
        return SetWindowTextA(hwnd, reinterpret_cast<LPCSTR>(lparam));
    case WM_MOUSEACTIVATE:
        return 1; // MA_ACTIVATE
    default:
        return 0;
    }
}

} // extern "C"
