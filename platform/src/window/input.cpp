#include "window/input.h"

#include "core/clock.h"
#include "window/driver.h"
#include "window/keys.h"
#include "window/present.h"
#include "window/release_hold.h"
#include "window/window_system.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <mutex>

namespace ludora::window {

namespace {

struct Event {
    enum Kind { Key, Move, Button, Message, Activate, Close, Maximize } kind = Message;
    HWND hwnd = nullptr; // null: the focus window (keys) or the main window
    int code = 0;        // key code, button or x
    int code2 = 0;       // y
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    bool flag = false;
    bool hand = false; // a key or button from the user's hardware
};

struct InputState {
    std::mutex mutex;
    uint8_t dik[256] = {};
    uint8_t async[256] = {}; // bit 7 down, bit 0 pressed since the last query
    uint8_t sync[256] = {};  // bit 7 down, bit 0 toggled
    POINT cursor{};
    int64_t x_total = 0, y_total = 0;
    uint8_t buttons[4] = {};
    std::deque<Event> pending;
    ReleaseHold hold;
    // Keys as the hardware last gave them, when they arrive.
    bool hand_down[256] = {};
    uint64_t hand_pressed_us[256] = {};
};

InputState& state() {
    static InputState* instance = new InputState;
    return *instance;
}

void set_async(InputState& s, int vk, bool down) {
    if (vk <= 0 || vk > 255) return;
    if (down)
        s.async[vk] |= 0x81;
    else
        s.async[vk] &= 0x01;
}

bool async_down(const InputState& s, int vk) {
    return s.async[vk] & 0x80;
}

WPARAM mouse_key_flags(const InputState& s) {
    WPARAM flags = 0;
    if (s.buttons[0]) flags |= MK_LBUTTON;
    if (s.buttons[1]) flags |= MK_RBUTTON;
    if (s.buttons[2]) flags |= MK_MBUTTON;
    if (async_down(s, VK_SHIFT)) flags |= MK_SHIFT;
    if (async_down(s, VK_CONTROL)) flags |= MK_CONTROL;
    return flags;
}

} // namespace

// Events are applied one at a time, each once the program has taken the
// messages of the one before: a program that samples the key state once per
// message (as the toolkit's key queue does) sees every scripted key go down
// and up, however quickly the script typed.
namespace {

void push(const Event& e) {
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    s.pending.push_back(e);
}

// Key: updates the physical state and returns the message, or false when the
// key is unknown.
bool apply_key(int dik, bool down, Event& out) {
    const KeyInfo* key = key_by_dik(dik);
    if (!key) return false;
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    const bool was_down = s.dik[dik] & 0x80;
    const bool alt = async_down(s, VK_MENU);
    const bool control = async_down(s, VK_CONTROL);
    s.dik[dik] = down ? 0x80 : 0;
    set_async(s, key->vk_specific, down);
    if (key->vk != key->vk_specific) {
        // The generic code is down while either of its keys is.
        int left = 0, right = 0;
        switch (key->vk) {
        case VK_SHIFT:
            left = VK_LSHIFT;
            right = VK_RSHIFT;
            break;
        case VK_CONTROL:
            left = VK_LCONTROL;
            right = VK_RCONTROL;
            break;
        case VK_MENU:
            left = VK_LMENU;
            right = VK_RMENU;
            break;
        default:
            break;
        }
        set_async(s, key->vk, async_down(s, left) || async_down(s, right));
    }
    const bool is_alt = key->vk == VK_MENU;
    const bool alt_now = is_alt ? down : alt;
    // Alt (without Control) turns key messages into system key messages, as does F10.
    const bool system_key = ((is_alt || alt) && !control) || key->vk == VK_F10;
    out = Event{Event::Message};
    out.message =
        down ? (system_key ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system_key ? WM_SYSKEYUP : WM_KEYUP);
    out.wparam = static_cast<WPARAM>(key->vk);
    DWORD lparam = 1;                               // repeat count
    lparam |= static_cast<DWORD>(dik & 0x7F) << 16; // scan code
    if (dik & 0x80) lparam |= 1u << 24;             // extended key
    if (alt_now && system_key) lparam |= 1u << 29;  // context: Alt held
    if (down ? was_down : true) lparam |= 1u << 30; // previous state
    if (!down) lparam |= 1u << 31;                  // transition
    out.lparam = static_cast<LPARAM>(static_cast<LONG>(lparam));
    return true;
}

bool apply_mouse_move(HWND hwnd, int x, int y, Event& out) {
    if (!hwnd) hwnd = main_window();
    RECT client;
    POINT origin;
    if (!hwnd || !window_client(hwnd, client, origin)) return false;
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    const POINT screen{origin.x + x, origin.y + y};
    s.x_total += screen.x - s.cursor.x;
    s.y_total += screen.y - s.cursor.y;
    s.cursor = screen;
    out = Event{Event::Message};
    out.hwnd = hwnd;
    out.message = WM_MOUSEMOVE;
    out.wparam = mouse_key_flags(s);
    out.lparam = MAKELPARAM(x, y);
    return true;
}

bool apply_mouse_button(int button, bool down, Event& out) {
    HWND hwnd = main_window();
    RECT client;
    POINT origin;
    const bool have_window = hwnd && window_client(hwnd, client, origin);
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    s.buttons[button] = down ? 0x80 : 0;
    static const int kButtonKeys[4] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON, 0x05};
    set_async(s, kButtonKeys[button], down);
    if (!have_window || button == 3) return false;
    static const UINT kDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT kUp[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    out = Event{Event::Message};
    out.hwnd = hwnd;
    out.message = down ? kDown[button] : kUp[button];
    out.wparam = mouse_key_flags(s);
    out.lparam = MAKELPARAM(s.cursor.x - origin.x, s.cursor.y - origin.y);
    out.flag = down; // a press may activate the window first
    return true;
}

// True while input messages wait in the queue.
bool input_queued() {
    System& sys = system();
    std::lock_guard lock(sys.mutex);
    for (const MSG& m : sys.queue) {
        if ((m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) ||
            (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST))
            return true;
    }
    return false;
}

void deliver(const Event& e) {
    if (e.message >= WM_KEYFIRST && e.message <= WM_KEYLAST) {
        // Keys go to the focus window of the foreground application.
        if (!system().foreground) return;
        HWND target = GetFocus();
        if (!target) target = GetActiveWindow();
        if (target) post(target, e.message, e.wparam, e.lparam);
        return;
    }
    if (!window_alive(e.hwnd)) return;
    if (e.flag && !system().foreground) activate_window(e.hwnd, WA_CLICKACTIVE);
    HWND target = e.hwnd;
    {
        std::lock_guard lock(system().mutex);
        if (system().capture) target = system().capture;
    }
    post(target, e.message, e.wparam, e.lparam);
}

} // namespace

void inject_key(int dik, bool down) {
    if (!key_by_dik(dik)) return;
    Event e{Event::Key};
    e.code = dik;
    e.flag = down;
    push(e);
}

// A second press of a key soon after its first, with no release between, is
// a second stroke whose release the host merged away (X takes a release
// followed at once by a press for the key's own repeat): the release goes
// first. The keyboard's repeat starts far later than this.
constexpr uint64_t kSecondStrokeUs = 200'000;

void inject_hand_key(int dik, bool down) {
    if (!key_by_dik(dik)) return;
    const uint64_t now = clock_us();
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    Event e{Event::Key};
    e.code = dik;
    e.hand = true;
    const bool second_stroke =
        down && s.hand_down[dik] && now - s.hand_pressed_us[dik] < kSecondStrokeUs;
    if (second_stroke) s.pending.push_back(e); // its release
    if (down && (!s.hand_down[dik] || second_stroke)) s.hand_pressed_us[dik] = now;
    s.hand_down[dik] = down;
    e.flag = down;
    s.pending.push_back(e);
}

void inject_hand_mouse_button(int button, bool down) {
    if (button < 0 || button > 3) return;
    Event e{Event::Button};
    e.code = button;
    e.flag = down;
    e.hand = true;
    push(e);
}

void inject_mouse_move(HWND hwnd, int x, int y) {
    Event e{Event::Move};
    e.hwnd = hwnd;
    e.code = x;
    e.code2 = y;
    push(e);
}

void inject_mouse_button(int button, bool down) {
    if (button < 0 || button > 3) return;
    Event e{Event::Button};
    e.code = button;
    e.flag = down;
    push(e);
}

void inject_activate(bool active) {
    Event e{Event::Activate};
    e.flag = active;
    push(e);
}

void inject_close(HWND hwnd) {
    Event e{Event::Close};
    e.hwnd = hwnd;
    push(e);
}

void inject_maximize(HWND hwnd, bool maximized) {
    Event e{Event::Maximize};
    e.hwnd = hwnd;
    e.flag = maximized;
    push(e);
}

void process_input() {
    for (;;) {
        if (input_queued()) return;
        const uint64_t frames = frames_presented();
        const uint64_t now = clock_us();
        Event e;
        {
            InputState& s = state();
            std::lock_guard lock(s.mutex);
            if (s.pending.empty()) return;
            const Event& next = s.pending.front();
            if (next.hand) {
                // Everything after a held release waits behind it, so the order stays.
                const int id = next.kind == Event::Key ? ReleaseHold::key_id(next.code)
                                                       : ReleaseHold::button_id(next.code);
                if (next.flag)
                    s.hold.pressed(id, frames, now);
                else if (!s.hold.release_ready(id, frames, now))
                    return;
                else
                    s.hold.released(id);
            }
            e = next;
            s.pending.pop_front();
        }
        Event message;
        switch (e.kind) {
        case Event::Key:
            if (apply_key(e.code, e.flag, message)) deliver(message);
            break;
        case Event::Move:
            if (apply_mouse_move(e.hwnd, e.code, e.code2, message)) deliver(message);
            break;
        case Event::Button:
            if (apply_mouse_button(e.code, e.flag, message)) deliver(message);
            break;
        case Event::Message:
            deliver(e);
            break;
        case Event::Activate:
            if (e.flag)
                reactivate_application();
            else
                deactivate_application();
            break;
        case Event::Close: {
            HWND target = e.hwnd ? e.hwnd : main_window();
            const POINT at = cursor_position();
            if (target) send(target, WM_SYSCOMMAND, SC_CLOSE, MAKELPARAM(at.x, at.y));
            break;
        }
        case Event::Maximize:
            set_maximized(e.hwnd, e.flag);
            break;
        }
    }
}

void reset_input() {
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    std::memset(s.dik, 0, sizeof s.dik);
    std::memset(s.async, 0, sizeof s.async);
    std::memset(s.sync, 0, sizeof s.sync);
    std::memset(s.buttons, 0, sizeof s.buttons);
    s.pending.clear();
    s.hold.clear();
    std::memset(s.hand_down, 0, sizeof s.hand_down);
}

void keyboard_state(uint8_t out[256]) {
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    std::memcpy(out, s.dik, 256);
}

MouseState mouse_state() {
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    MouseState m{s.x_total, s.y_total, {}};
    std::memcpy(m.buttons, s.buttons, 4);
    return m;
}

POINT cursor_position() {
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    return s.cursor;
}

void note_retrieved_message(const MSG& msg) {
    InputState& s = state();
    auto set = [&](int vk, bool down) {
        if (vk <= 0 || vk > 255) return;
        if (down) {
            if (!(s.sync[vk] & 0x80)) s.sync[vk] ^= 0x01;
            s.sync[vk] |= 0x80;
        } else {
            s.sync[vk] &= 0x01;
        }
    };
    std::lock_guard lock(s.mutex);
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
        int dik = (msg.lParam >> 16) & 0x7F;
        if (msg.lParam & (1 << 24)) dik |= 0x80;
        const KeyInfo* key = key_by_dik(dik);
        set(static_cast<int>(msg.wParam), down);
        if (key && key->vk_specific != key->vk) set(key->vk_specific, down);
        break;
    }
    case WM_LBUTTONDOWN:
        set(VK_LBUTTON, true);
        break;
    case WM_LBUTTONUP:
        set(VK_LBUTTON, false);
        break;
    case WM_RBUTTONDOWN:
        set(VK_RBUTTON, true);
        break;
    case WM_RBUTTONUP:
        set(VK_RBUTTON, false);
        break;
    case WM_MBUTTONDOWN:
        set(VK_MBUTTON, true);
        break;
    case WM_MBUTTONUP:
        set(VK_MBUTTON, false);
        break;
    default:
        break;
    }
}

} // namespace ludora::window

using namespace ludora::window;

namespace {
std::atomic<int> g_cursor_count{0}; // ShowCursor's display counter
HCURSOR const kArrow = reinterpret_cast<HCURSOR>(uintptr_t(0x10020));
HICON const kIcon = reinterpret_cast<HICON>(uintptr_t(0x10030));
} // namespace

extern "C" {

SHORT WINAPI GetAsyncKeyState(int vk) {
    if (vk <= 0 || vk > 255) return 0;
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    const uint8_t bits = s.async[vk];
    s.async[vk] &= 0x80;
    return static_cast<SHORT>(((bits & 0x80) ? 0x8000 : 0) | (bits & 0x01));
}

SHORT WINAPI GetKeyState(int vk) {
    if (vk <= 0 || vk > 255) return 0;
    InputState& s = state();
    std::lock_guard lock(s.mutex);
    const uint8_t bits = s.sync[vk];
    return static_cast<SHORT>(((bits & 0x80) ? 0xFF80 : 0) | (bits & 0x01));
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (!point) return FALSE;
    *point = cursor_position();
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    // Kept on the screen, which a program's display mode may have made smaller.
    x = std::clamp(x, 0, GetSystemMetrics(SM_CXSCREEN) - 1);
    y = std::clamp(y, 0, GetSystemMetrics(SM_CYSCREEN) - 1);
    {
        InputState& s = state();
        std::lock_guard lock(s.mutex);
        s.cursor = POINT{x, y};
    }
    // The window under the pointer hears of the move, as on Windows.
    HWND hwnd = main_window();
    RECT client;
    POINT origin;
    if (hwnd && window_client(hwnd, client, origin)) {
        const int cx = x - origin.x, cy = y - origin.y;
        driver().warp_cursor(hwnd, cx, cy);
        if (cx >= 0 && cy >= 0 && cx < client.right && cy < client.bottom) {
            InputState& s = state();
            std::lock_guard lock(s.mutex);
            Event e{Event::Message};
            e.hwnd = hwnd;
            e.message = WM_MOUSEMOVE;
            e.wparam = mouse_key_flags(s);
            e.lparam = MAKELPARAM(cx, cy);
            s.pending.push_back(e);
        }
    }
    return TRUE;
}

int WINAPI ShowCursor(BOOL show) {
    const int count = show ? ++g_cursor_count : --g_cursor_count;
    driver().show_cursor(count >= 0);
    return count;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    return cursor ? kArrow : nullptr;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    // Only the system cursors exist; a program's own cursor resources do not.
    if (instance || !name || !IS_INTRESOURCE(name)) return nullptr;
    return kArrow;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (instance || !name || !IS_INTRESOURCE(name)) return nullptr;
    return kIcon;
}

HWND WINAPI SetCapture(HWND hwnd) {
    std::lock_guard lock(system().mutex);
    HWND old = system().capture;
    system().capture = hwnd;
    return old;
}

BOOL WINAPI ReleaseCapture(void) {
    std::lock_guard lock(system().mutex);
    system().capture = nullptr;
    return TRUE;
}

} // extern "C"
