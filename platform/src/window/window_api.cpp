// The exported window API: window classes and windows, their creation,
// showing, geometry, activation and destruction, over the registry.
#include "window/window_system.h"

#include "core/settings.h"
#include "window/driver.h"

#include <algorithm>
#include <limits>
#include <cctype>
#include <cstring>

using namespace ludora::window;

namespace {

std::string lower(const char* text) {
    std::string s = text ? text : "";
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A class name may be given as an atom (MAKEINTATOM).
std::string class_key(LPCSTR name) {
    System& s = system();
    if (name && IS_INTRESOURCE(name)) {
        const ATOM atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(name));
        for (auto& [key, cls] : s.classes)
            if (cls.atom == atom) return key;
        return std::string();
    }
    return lower(name);
}

ATOM register_class(UINT style, WNDPROC proc, HINSTANCE instance, HCURSOR cursor, HBRUSH brush,
                    LPCSTR name) {
    if (!proc || !name || IS_INTRESOURCE(name) || !*name) return 0;
    System& s = system();
    std::lock_guard lock(s.mutex);
    const std::string key = lower(name);
    if (s.classes.count(key)) return 0; // ERROR_CLASS_ALREADY_EXISTS
    WindowClass cls;
    cls.name = name;
    cls.proc = proc;
    cls.style = style;
    cls.instance = instance;
    cls.cursor = cursor;
    cls.background = brush;
    cls.atom = s.next_atom++;
    s.classes[key] = cls;
    return cls.atom;
}

} // namespace

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA* c) {
    if (!c) return 0;
    return register_class(c->style, c->lpfnWndProc, c->hInstance, c->hCursor, c->hbrBackground,
                          c->lpszClassName);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* c) {
    if (!c || c->cbSize != sizeof(WNDCLASSEXA)) return 0;
    return register_class(c->style, c->lpfnWndProc, c->hInstance, c->hCursor, c->hbrBackground,
                          c->lpszClassName);
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE) {
    System& s = system();
    std::lock_guard lock(s.mutex);
    const std::string key = class_key(name);
    auto it = s.classes.find(key);
    if (it == s.classes.end()) return FALSE;
    for (auto& [h, w] : s.windows)
        if (lower(w->class_name.c_str()) == key) return FALSE; // still in use
    s.classes.erase(it);
    return TRUE;
}

// A window's rectangle from its corner and size: a negative size is empty, and
// a window that would reach past the coordinates' range is moved back to end
// at its end, keeping its size, instead of wrapping.
static RECT rect_at(LONG x, LONG y, LONG width, LONG height) {
    auto span = [](LONG& from, LONG size) {
        const LONG kept = std::max<LONG>(0, size);
        const LONG last = std::numeric_limits<LONG>::max();
        if (from > last - kept) from = last - kept;
        return from + kept;
    };
    const LONG right = span(x, width);
    const LONG bottom = span(y, height);
    return RECT{x, y, right, bottom};
}

// Overlapped and sizable windows are held between the smallest and the
// largest tracking size, as the system holds them when they are made or sized.
// The sizes are read before the window lock is taken: they come from the
// screen's mode, which has its own lock.
struct TrackingSizes {
    int min_width, min_height, max_width, max_height;
};

static TrackingSizes tracking_sizes() {
    return {GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK),
            GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
}

static void hold_to_tracking_size(const TrackingSizes& sizes, DWORD style, int& width,
                                  int& height) {
    if (!(style & WS_THICKFRAME) && (style & (WS_POPUP | WS_CHILD))) return;
    width = std::max(std::min(width, sizes.max_width), sizes.min_width);
    height = std::max(std::min(height, sizes.max_height), sizes.min_height);
}

HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    System& s = system();
    const TrackingSizes tracking = tracking_sizes();
    HWND hwnd;
    {
        std::lock_guard lock(s.mutex);
        auto it = s.classes.find(class_key(class_name));
        if (it == s.classes.end()) return nullptr;
        if (parent && !find(parent)) return nullptr;
        const auto desk = ludora::settings::desktop();
        if (x == CW_USEDEFAULT) x = y = 0;
        if (width == CW_USEDEFAULT) {
            width = desk.width * 3 / 4;
            height = desk.height * 3 / 4;
        }
        hold_to_tracking_size(tracking, style, width, height);
        auto w = std::make_unique<Window>();
        hwnd = reinterpret_cast<HWND>(s.next_handle);
        s.next_handle += kWindowHandleStep;
        w->handle = hwnd;
        w->class_name = it->second.name;
        w->proc = it->second.proc;
        w->title = window_name ? window_name : "";
        w->style = style & ~static_cast<DWORD>(WS_VISIBLE); // set again when shown
        w->ex_style = ex_style;
        w->parent = parent;
        w->instance = instance;
        w->topmost = ex_style & WS_EX_TOPMOST;
        w->rect = rect_at(x, y, width, height);
        s.windows[hwnd] = std::move(w);
        s.last_created = hwnd;
    }
    CREATESTRUCTA cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = static_cast<LONG>(style);
    cs.lpszName = window_name;
    cs.lpszClass = class_name;
    cs.dwExStyle = ex_style;
    if (!send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        std::lock_guard lock(s.mutex);
        s.windows.erase(hwnd);
        return nullptr;
    }
    if (window_alive(hwnd) && send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!window_alive(hwnd)) return nullptr;
    if (style & WS_VISIBLE) ShowWindow(hwnd, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    return window_alive(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    System& s = system();
    {
        std::lock_guard lock(s.mutex);
        Window* w = find(hwnd);
        if (!w) return FALSE;
        if (w->destroying) return TRUE;
        w->destroying = true;
        w->visible = false;
    }
    driver().window_shown(hwnd, false);
    // Children go first, as on Windows.
    std::vector<HWND> children;
    {
        std::lock_guard lock(s.mutex);
        for (auto& [h, w] : s.windows)
            if (w->parent == hwnd) children.push_back(h);
    }
    for (HWND child : children)
        DestroyWindow(child);
    // The application loses the foreground with its active window.
    deactivate_if_active(hwnd);
    bool had_focus = false;
    {
        std::lock_guard lock(s.mutex);
        had_focus = s.focus == hwnd;
        if (had_focus) s.focus = nullptr;
    }
    if (had_focus) send(hwnd, WM_KILLFOCUS, 0, 0);
    send(hwnd, WM_DESTROY, 0, 0);
    send(hwnd, WM_NCDESTROY, 0, 0);
    {
        std::lock_guard lock(s.mutex);
        s.windows.erase(hwnd);
        if (s.active == hwnd) s.active = nullptr;
        if (s.focus == hwnd) s.focus = nullptr;
        if (s.capture == hwnd) s.capture = nullptr;
        // Messages for a destroyed window are dropped.
        std::erase_if(s.queue, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
    }
    driver().window_destroyed(hwnd);
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmd) {
    System& s = system();
    bool was_visible, first_show;
    bool activate = false;
    bool is_child;
    {
        std::lock_guard lock(s.mutex);
        Window* w = find(hwnd);
        if (!w) return FALSE;
        was_visible = w->visible;
        first_show = !w->sized_once;
        is_child = w->parent != nullptr;
    }
    switch (cmd) {
    case SW_HIDE:
        if (!was_visible) return FALSE;
        send(hwnd, WM_SHOWWINDOW, FALSE, 0);
        {
            std::lock_guard lock(s.mutex);
            if (Window* w = find(hwnd)) {
                w->visible = false;
                w->style &= ~static_cast<DWORD>(WS_VISIBLE);
            }
        }
        driver().window_shown(hwnd, false);
        deactivate_if_active(hwnd);
        return TRUE;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: {
        {
            std::lock_guard lock(s.mutex);
            if (Window* w = find(hwnd)) w->minimized = true;
        }
        send_size_and_move(hwnd);
        deactivate_if_active(hwnd);
        return was_visible;
    }
    default:
        break;
    }
    activate = !is_child && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE;
    if (!was_visible) {
        send(hwnd, WM_SHOWWINDOW, TRUE, 0);
        {
            std::lock_guard lock(s.mutex);
            if (Window* w = find(hwnd)) {
                w->visible = true;
                w->style |= WS_VISIBLE;
                w->needs_paint = true;
            }
        }
        driver().window_shown(hwnd, true);
    }
    if (activate && window_alive(hwnd)) activate_window(hwnd, WA_ACTIVE);
    bool restored = false;
    {
        std::lock_guard lock(s.mutex);
        if (Window* w = find(hwnd)) {
            if (w->minimized && cmd != SW_SHOWMAXIMIZED) {
                w->minimized = false;
                restored = true;
            }
        }
    }
    if (cmd == SW_SHOWMAXIMIZED) {
        set_maximized(hwnd, true);
    } else if ((cmd == SW_RESTORE || cmd == SW_SHOWNORMAL) && IsZoomed(hwnd)) {
        set_maximized(hwnd, false);
    } else if (first_show || restored) {
        send_size_and_move(hwnd);
    }
    return was_visible;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    enum { Gone, Painted, NeedsPaint };
    const int state = with_window(hwnd, int(Gone), [](Window& w) {
        return w.needs_paint && w.visible ? NeedsPaint : Painted;
    });
    if (state == Gone) return FALSE;
    if (state == NeedsPaint) send(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) {
    return window_alive(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    return with_window(hwnd, FALSE, [](Window& w) { return w.visible; });
}

BOOL WINAPI IsIconic(HWND hwnd) {
    return with_window(hwnd, FALSE, [](Window& w) { return w.minimized; });
}

BOOL WINAPI IsZoomed(HWND hwnd) {
    return with_window(hwnd, FALSE, [](Window& w) { return w.maximized; });
}

// The desktop window's client area and outer rectangle are the whole screen.
BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    if (!rect) return FALSE;
    if (hwnd == desktop_window()) {
        *rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return TRUE;
    }
    return with_window(hwnd, FALSE, [&](Window& w) {
        *rect = client_rect_of(w);
        return TRUE;
    });
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    if (!rect) return FALSE;
    if (hwnd == desktop_window()) return GetClientRect(hwnd, rect);
    return with_window(hwnd, FALSE, [&](Window& w) {
        *rect = w.rect;
        return TRUE;
    });
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    bool moved = false, sized = false, show = false, hide = false;
    const TrackingSizes tracking = tracking_sizes();
    const bool found = with_window(hwnd, false, [&](Window& window) {
        Window* w = &window;
        RECT r = w->rect;
        if (!(flags & SWP_NOMOVE)) {
            moved = r.left != x || r.top != y;
            r = rect_at(x, y, r.right - r.left, r.bottom - r.top);
        }
        if (!(flags & SWP_NOSIZE)) {
            hold_to_tracking_size(tracking, w->style, cx, cy);
            sized = r.right - r.left != cx || r.bottom - r.top != cy;
            r = rect_at(r.left, r.top, cx, cy);
        }
        w->rect = r;
        if (!(flags & SWP_NOZORDER)) {
            if (after == HWND_TOPMOST) w->topmost = true;
            if (after == HWND_NOTOPMOST) w->topmost = false;
        }
        show = (flags & SWP_SHOWWINDOW) && !w->visible;
        hide = (flags & SWP_HIDEWINDOW) && w->visible;
        if (sized) w->needs_paint = true;
        return true;
    });
    if (!found) return FALSE;
    if (show) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (hide) ShowWindow(hwnd, SW_HIDE);
    if ((moved || sized) && window_alive(hwnd)) {
        RECT client;
        POINT origin;
        window_client(hwnd, client, origin);
        if (sized)
            send(hwnd, WM_SIZE, IsZoomed(hwnd) ? SIZE_MAXIMIZED : SIZE_RESTORED,
                 MAKELPARAM(client.right, client.bottom));
        if (moved) send(hwnd, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
        driver().window_geometry(hwnd);
    }
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD ex_style) {
    if (!rect) return FALSE;
    const FrameSize f = frame_size(style, ex_style);
    rect->left -= f.left;
    rect->top -= f.top;
    rect->right += f.right;
    rect->bottom += f.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) {
    return AdjustWindowRectEx(rect, style, menu, 0);
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!with_window(hwnd, FALSE, [&](Window& w) {
            w.title = text ? text : "";
            return TRUE;
        }))
        return FALSE;
    driver().window_title(hwnd);
    return TRUE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    return with_window(hwnd, 0, [&](Window& w) {
        const int n = std::min<int>(size - 1, static_cast<int>(w.title.size()));
        std::memcpy(buffer, w.title.data(), n);
        buffer[n] = 0;
        return n;
    });
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    return with_window(hwnd, LONG_PTR(0), [&](Window& w) -> LONG_PTR {
        switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w.proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w.instance);
        case GWL_STYLE:
            return static_cast<LONG>(w.style);
        case GWL_EXSTYLE:
            // A window placed topmost reports WS_EX_TOPMOST, as on Windows.
            return static_cast<LONG>((w.ex_style & ~static_cast<DWORD>(WS_EX_TOPMOST)) |
                                     (w.topmost ? WS_EX_TOPMOST : 0));
        case GWLP_USERDATA:
            return w.user_data;
        default:
            return 0;
        }
    });
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    return with_window(hwnd, LONG_PTR(0), [&](Window& w) {
        LONG_PTR old = 0;
        switch (index) {
        case GWLP_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(w.proc);
            if (value) w.proc = reinterpret_cast<WNDPROC>(value);
            break;
        case GWL_STYLE:
            old = static_cast<LONG>(w.style);
            w.style = static_cast<DWORD>(value) & ~static_cast<DWORD>(WS_VISIBLE);
            if (w.visible) w.style |= WS_VISIBLE;
            break;
        case GWL_EXSTYLE:
            old = static_cast<LONG>(w.ex_style);
            w.ex_style = static_cast<DWORD>(value);
            break;
        case GWLP_USERDATA:
            old = w.user_data;
            w.user_data = value;
            break;
        default:
            break;
        }
        return old;
    });
}

// 32-bit Windows keeps these in a LONG; a pointer-sized value needs the Ptr forms.
LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(hwnd, index));
}
LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrA(hwnd, index, value));
}

HWND WINAPI SetFocus(HWND hwnd) {
    HWND old;
    {
        std::lock_guard lock(system().mutex);
        old = system().focus;
        if (hwnd && !find(hwnd)) return nullptr;
    }
    set_focus(hwnd);
    return old;
}

HWND WINAPI GetFocus(void) {
    std::lock_guard lock(system().mutex);
    return system().focus;
}

HWND WINAPI GetActiveWindow(void) {
    std::lock_guard lock(system().mutex);
    return system().active;
}

HWND WINAPI SetActiveWindow(HWND hwnd) {
    HWND old = GetActiveWindow();
    if (window_alive(hwnd)) activate_window(hwnd, WA_ACTIVE);
    return old;
}

HWND WINAPI GetForegroundWindow(void) {
    std::lock_guard lock(system().mutex);
    return system().foreground ? system().active : nullptr;
}

BOOL WINAPI SetForegroundWindow(HWND hwnd) {
    if (!window_alive(hwnd)) return FALSE;
    activate_window(hwnd, WA_ACTIVE);
    return TRUE;
}

HWND WINAPI GetDesktopWindow(void) {
    return desktop_window();
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT*, BOOL) {
    std::lock_guard lock(system().mutex);
    if (!hwnd) {
        for (auto& [h, w] : system().windows)
            w->needs_paint = true;
        return TRUE;
    }
    Window* w = find(hwnd);
    if (!w) return FALSE;
    w->needs_paint = true;
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT*) {
    return with_window(hwnd, FALSE, [](Window& w) {
        w.needs_paint = false;
        return TRUE;
    });
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
    if (!point) return FALSE;
    return with_window(hwnd, FALSE, [&](Window& w) {
        const POINT origin = client_origin_of(w);
        point->x += origin.x;
        point->y += origin.y;
        return TRUE;
    });
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point) {
    if (!point) return FALSE;
    return with_window(hwnd, FALSE, [&](Window& w) {
        const POINT origin = client_origin_of(w);
        point->x -= origin.x;
        point->y -= origin.y;
        return TRUE;
    });
}

} // extern "C"
