// The window area's shared state: classes, windows, the message queue,
// activation and focus. One process-wide instance, guarded by one mutex that
// is never held while a window procedure runs.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace ludora::window {

// Window handles count up from here, above the desktop's, in steps of 4.
constexpr uintptr_t kDesktopWindowHandle = 0x10010;
constexpr uintptr_t kFirstWindowHandle = 0x20000;
constexpr uintptr_t kWindowHandleStep = 4;
inline HWND desktop_window() {
    return reinterpret_cast<HWND>(kDesktopWindowHandle);
}

struct WindowClass {
    std::string name;
    WNDPROC proc = nullptr;
    UINT style = 0;
    HINSTANCE instance = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    ATOM atom = 0;
};

struct Window {
    HWND handle = nullptr;
    std::string class_name;
    WNDPROC proc = nullptr;
    std::string title;
    DWORD style = 0;
    DWORD ex_style = 0;
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
    RECT rect{};         // outer rectangle, screen coordinates
    RECT restore_rect{}; // outer rectangle before maximising
    bool visible = false;
    bool maximized = false;
    bool minimized = false;
    bool topmost = false;
    bool sized_once = false; // WM_SIZE/WM_MOVE went out on the first show
    bool needs_paint = false;
    bool destroying = false;
    LONG_PTR user_data = 0;
};

struct System {
    std::mutex mutex;
    std::condition_variable queue_changed;
    std::map<std::string, WindowClass> classes; // by lower-case name
    ATOM next_atom = 0xC000;
    std::map<HWND, std::unique_ptr<Window>> windows;
    uintptr_t next_handle = kFirstWindowHandle;
    std::deque<MSG> queue;
    uint64_t queue_generation = 0; // bumped whenever a message is queued
    bool quit_pending = false;
    int quit_code = 0;
    HWND active = nullptr;
    HWND last_active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND last_created = nullptr;
    std::atomic<bool> foreground{false};
    // Bumped whenever the application loses the foreground: foreground
    // DirectInput devices acquired before it have lost their acquisition.
    std::atomic<uint32_t> foreground_generation{0};
    DWORD last_message_time = 0;
};

System& system();

// The window of a handle, or null; the caller holds the lock.
Window* find(HWND hwnd);

// Runs `use` on the window under the lock and returns what it returns; `fail`
// when there is no such window.
template <class Result, class Use> Result with_window(HWND hwnd, Result fail, Use use) {
    std::lock_guard lock(system().mutex);
    Window* w = find(hwnd);
    return w ? static_cast<Result>(use(*w)) : fail;
}

// Window geometry
struct FrameSize {
    int left, top, right, bottom;
};
FrameSize frame_size(DWORD style, DWORD ex_style);
RECT client_rect_of(const Window& w);    // client size, origin 0,0
POINT client_origin_of(const Window& w); // client top-left in screen coordinates

// Copies of window facts, taken under the lock.
bool window_alive(HWND hwnd);
WNDPROC window_proc(HWND hwnd);
bool window_client(HWND hwnd, RECT& client, POINT& origin);

// The window that scripted and driver input goes to: the active window, else
// the last created visible window, else the last created one.
HWND main_window();

// Messages
LRESULT send(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
void post(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
// Runs the driver, the script and pending input; called by PeekMessage/GetMessage.
void pump();
// How many times PeekMessageA has waited because the program was idle.
unsigned idle_waits();

// Activation, with the messages Windows sends.
void activate_window(HWND hwnd, int how);
void deactivate_application();
// The same, only while `hwnd` is the active window (checked under the lock).
void deactivate_if_active(HWND hwnd);
void reactivate_application();
void set_focus(HWND hwnd);
void set_maximized(HWND hwnd, bool maximized);

// Sends WM_SIZE and WM_MOVE with the window's current client geometry.
void send_size_and_move(HWND hwnd);

void reset_windows();

} // namespace ludora::window
