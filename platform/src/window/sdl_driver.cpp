// The SDL2 driver: one SDL window per shown top-level window, frames through
// a streaming texture scaled by whole factors (nearest neighbour), SDL's
// input turned into injected events, joysticks into the joystick registry.
#include "core/quiet_stderr.h"
#include "core/settings.h"
#include "window/direct_rendering.h"
#include "window/display_events.h"
#include "window/frame_pacer.h"
#include "window/joysticks.h"
#include "window/driver.h"
#include "window/input.h"
#include "window/message_box_buttons.h"
#include "window/window_system.h"

#include <SDL.h>
#include <dinput.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <string>
#include <thread>

namespace ludora::window {

namespace {

int sdl_dik_of(SDL_Scancode code) {
    if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return DIK_1 + (code - SDL_SCANCODE_1);
    if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F10)
        return DIK_F1 + (code - SDL_SCANCODE_F1);
    switch (code) {
    case SDL_SCANCODE_A:
        return DIK_A;
    case SDL_SCANCODE_B:
        return DIK_B;
    case SDL_SCANCODE_C:
        return DIK_C;
    case SDL_SCANCODE_D:
        return DIK_D;
    case SDL_SCANCODE_E:
        return DIK_E;
    case SDL_SCANCODE_F:
        return DIK_F;
    case SDL_SCANCODE_G:
        return DIK_G;
    case SDL_SCANCODE_H:
        return DIK_H;
    case SDL_SCANCODE_I:
        return DIK_I;
    case SDL_SCANCODE_J:
        return DIK_J;
    case SDL_SCANCODE_K:
        return DIK_K;
    case SDL_SCANCODE_L:
        return DIK_L;
    case SDL_SCANCODE_M:
        return DIK_M;
    case SDL_SCANCODE_N:
        return DIK_N;
    case SDL_SCANCODE_O:
        return DIK_O;
    case SDL_SCANCODE_P:
        return DIK_P;
    case SDL_SCANCODE_Q:
        return DIK_Q;
    case SDL_SCANCODE_R:
        return DIK_R;
    case SDL_SCANCODE_S:
        return DIK_S;
    case SDL_SCANCODE_T:
        return DIK_T;
    case SDL_SCANCODE_U:
        return DIK_U;
    case SDL_SCANCODE_V:
        return DIK_V;
    case SDL_SCANCODE_W:
        return DIK_W;
    case SDL_SCANCODE_X:
        return DIK_X;
    case SDL_SCANCODE_Y:
        return DIK_Y;
    case SDL_SCANCODE_Z:
        return DIK_Z;
    case SDL_SCANCODE_0:
        return DIK_0;
    case SDL_SCANCODE_RETURN:
        return DIK_RETURN;
    case SDL_SCANCODE_ESCAPE:
        return DIK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE:
        return DIK_BACK;
    case SDL_SCANCODE_TAB:
        return DIK_TAB;
    case SDL_SCANCODE_SPACE:
        return DIK_SPACE;
    case SDL_SCANCODE_MINUS:
        return DIK_MINUS;
    case SDL_SCANCODE_EQUALS:
        return DIK_EQUALS;
    case SDL_SCANCODE_LEFTBRACKET:
        return DIK_LBRACKET;
    case SDL_SCANCODE_RIGHTBRACKET:
        return DIK_RBRACKET;
    case SDL_SCANCODE_BACKSLASH:
        return DIK_BACKSLASH;
    case SDL_SCANCODE_SEMICOLON:
        return DIK_SEMICOLON;
    case SDL_SCANCODE_APOSTROPHE:
        return DIK_APOSTROPHE;
    case SDL_SCANCODE_GRAVE:
        return DIK_GRAVE;
    case SDL_SCANCODE_COMMA:
        return DIK_COMMA;
    case SDL_SCANCODE_PERIOD:
        return DIK_PERIOD;
    case SDL_SCANCODE_SLASH:
        return DIK_SLASH;
    case SDL_SCANCODE_CAPSLOCK:
        return DIK_CAPITAL;
    case SDL_SCANCODE_F11:
        return DIK_F11;
    case SDL_SCANCODE_F12:
        return DIK_F12;
    case SDL_SCANCODE_PRINTSCREEN:
        return DIK_SYSRQ;
    case SDL_SCANCODE_SCROLLLOCK:
        return DIK_SCROLL;
    case SDL_SCANCODE_PAUSE:
        return 0xC5;
    case SDL_SCANCODE_INSERT:
        return DIK_INSERT;
    case SDL_SCANCODE_HOME:
        return DIK_HOME;
    case SDL_SCANCODE_PAGEUP:
        return DIK_PRIOR;
    case SDL_SCANCODE_DELETE:
        return DIK_DELETE;
    case SDL_SCANCODE_END:
        return DIK_END;
    case SDL_SCANCODE_PAGEDOWN:
        return DIK_NEXT;
    case SDL_SCANCODE_RIGHT:
        return DIK_RIGHT;
    case SDL_SCANCODE_LEFT:
        return DIK_LEFT;
    case SDL_SCANCODE_DOWN:
        return DIK_DOWN;
    case SDL_SCANCODE_UP:
        return DIK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR:
        return DIK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE:
        return DIK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY:
        return DIK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS:
        return DIK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS:
        return DIK_ADD;
    case SDL_SCANCODE_KP_ENTER:
        return DIK_RETURN; // no separate virtual key
    case SDL_SCANCODE_KP_1:
        return DIK_NUMPAD1;
    case SDL_SCANCODE_KP_2:
        return DIK_NUMPAD2;
    case SDL_SCANCODE_KP_3:
        return DIK_NUMPAD3;
    case SDL_SCANCODE_KP_4:
        return DIK_NUMPAD4;
    case SDL_SCANCODE_KP_5:
        return DIK_NUMPAD5;
    case SDL_SCANCODE_KP_6:
        return DIK_NUMPAD6;
    case SDL_SCANCODE_KP_7:
        return DIK_NUMPAD7;
    case SDL_SCANCODE_KP_8:
        return DIK_NUMPAD8;
    case SDL_SCANCODE_KP_9:
        return DIK_NUMPAD9;
    case SDL_SCANCODE_KP_0:
        return DIK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD:
        return DIK_DECIMAL;
    case SDL_SCANCODE_NONUSBACKSLASH:
        return DIK_OEM_102;
    case SDL_SCANCODE_APPLICATION:
        return DIK_APPS;
    case SDL_SCANCODE_LCTRL:
        return DIK_LCONTROL;
    case SDL_SCANCODE_LSHIFT:
        return DIK_LSHIFT;
    case SDL_SCANCODE_LALT:
        return DIK_LMENU;
    case SDL_SCANCODE_LGUI:
        return DIK_LWIN;
    case SDL_SCANCODE_RCTRL:
        return DIK_RCONTROL;
    case SDL_SCANCODE_RSHIFT:
        return DIK_RSHIFT;
    case SDL_SCANCODE_RALT:
        return DIK_RMENU;
    case SDL_SCANCODE_RGUI:
        return DIK_RWIN;
    default:
        return 0;
    }
}

struct SdlWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texture_w = 0, texture_h = 0;
    int logical_w = 0, logical_h = 0;
    bool fullscreen = false;
    // The renderer waits for the display's refresh when it presents. Some
    // claim to and do not (a virtual display has no refresh to wait for): a
    // run of presents much faster than the refresh takes the claim back.
    bool vsync = false;
    int fast_presents = 0;
    std::chrono::steady_clock::time_point last_present{};
    // The texture no longer holds the last picture (new, resized, or the
    // window changed under it): the next frame goes up whole.
    bool stale = true;
};

class SdlDriver final : public Driver {
public:
    const char* name() const override { return "sdl"; }

    void pump() override {
        if (!windows_.empty()) display_events_.watch(windows_.begin()->second.window);
        if (!display_events_.worth_pumping()) return;
        SDL_Event e;
        while (SDL_PollEvent(&e))
            handle(e);
    }

    bool wait_for_events(int real_ms) override {
        if (windows_.empty()) return false;
        // SDL waits on the display's connection, except with joysticks, which
        // it polls every millisecond: then a short sleep, as SDL would read them.
        if (SDL_NumJoysticks() > 0) {
            SDL_Delay(static_cast<Uint32>(std::min(real_ms, 8)));
            return true;
        }
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, real_ms)) handle(e);
        return true;
    }

    void wake() override {
        SDL_Event e{};
        e.type = SDL_USEREVENT; // only ends the wait; handle() passes it by
        SDL_PushEvent(&e);
    }

    void window_shown(HWND hwnd, bool visible) override {
        if (!visible) {
            if (SdlWindow* w = find(hwnd)) SDL_HideWindow(w->window);
            return;
        }
        SdlWindow* w = ensure(hwnd);
        if (w) SDL_ShowWindow(w->window);
    }

    void window_destroyed(HWND hwnd) override {
        auto it = windows_.find(hwnd);
        if (it == windows_.end()) return;
        SdlWindow& w = it->second;
        if (w.texture) SDL_DestroyTexture(w.texture);
        if (w.renderer) SDL_DestroyRenderer(w.renderer);
        if (w.window) SDL_DestroyWindow(w.window);
        windows_.erase(it);
    }

    void window_title(HWND hwnd) override {
        if (SdlWindow* w = find(hwnd)) SDL_SetWindowTitle(w->window, title_of(hwnd).c_str());
    }

    void window_geometry(HWND hwnd) override {
        SdlWindow* w = find(hwnd);
        if (!w || w->fullscreen || IsZoomed(hwnd)) return;
        RECT client;
        POINT origin;
        if (!window_client(hwnd, client, origin)) return;
        resize(*w, client.right, client.bottom);
    }

    void window_activated(HWND hwnd) override {
        if (SdlWindow* w = find(hwnd)) SDL_RaiseWindow(w->window);
    }

    void warp_cursor(HWND hwnd, int x, int y) override {
        SdlWindow* w = find(hwnd);
        if (!w || w->logical_w <= 0 || w->logical_h <= 0) return;
        int ww, wh;
        SDL_GetWindowSize(w->window, &ww, &wh);
        SDL_WarpMouseInWindow(w->window, x * ww / w->logical_w, y * wh / w->logical_h);
    }

    void show_cursor(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

    void present(HWND hwnd, const uint32_t* xrgb, int width, int height, int pitch, bool fullscreen,
                 int changed_top, int changed_bottom) override {
        SdlWindow* w = ensure(hwnd);
        if (!w) return;
        if (fullscreen != w->fullscreen) {
            w->fullscreen = fullscreen;
            // Fills the screen at its own mode; the display mode never changes.
            // The window is put over the whole screen first, which is all there
            // is to full screen where no window manager runs (Xvfb), and the
            // picture is scaled by a whole number there, centred.
            SDL_Rect screen;
            if (fullscreen &&
                SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(w->window), &screen) == 0) {
                SDL_SetWindowPosition(w->window, screen.x, screen.y);
                SDL_SetWindowSize(w->window, screen.w, screen.h);
            }
            SDL_RenderSetIntegerScale(w->renderer, fullscreen ? SDL_TRUE : SDL_FALSE);
            SDL_SetWindowFullscreen(w->window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
            if (!fullscreen) resize(*w, width, height);
            w->stale = true; // the window changed under the picture: draw it again
        }
        if (!w->texture || w->texture_w != width || w->texture_h != height) {
            if (w->texture) SDL_DestroyTexture(w->texture);
            w->texture = SDL_CreateTexture(w->renderer, SDL_PIXELFORMAT_RGB888,
                                           SDL_TEXTUREACCESS_STREAMING, width, height);
            w->texture_w = width;
            w->texture_h = height;
            w->stale = true;
        }
        if (w->logical_w != width || w->logical_h != height) {
            SDL_RenderSetLogicalSize(w->renderer, width, height);
            w->logical_w = width;
            w->logical_h = height;
            w->stale = true;
        }
        if (!w->texture) return;
        if (!pacing_) {
            SDL_UpdateTexture(w->texture, nullptr, xrgb, pitch * 4);
            draw(*w);
            return;
        }
        if (w->stale) {
            changed_top = 0;
            changed_bottom = height;
            w->stale = false;
        }
        // Only the rows that changed go up; the same picture again is neither
        // uploaded nor drawn, yet still waits for the refresh, so an
        // unchanging program keeps its pace.
        bool waited_for_refresh = false;
        if (changed_top < changed_bottom) {
            const SDL_Rect rows{0, changed_top, width, changed_bottom - changed_top};
            SDL_UpdateTexture(w->texture, &rows, xrgb + static_cast<ptrdiff_t>(changed_top) * pitch,
                              pitch * 4);
            draw(*w);
            waited_for_refresh = w->vsync && presented_at_refresh(*w);
        }
        if (!waited_for_refresh) pacer_.wait_for_refresh(refresh_rate(*w));
    }

    int message_box(const char* caption, const char* text, UINT type) override {
        Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
        if ((type & MB_ICONMASK) == MB_ICONHAND)
            flags = SDL_MESSAGEBOX_ERROR;
        else if ((type & MB_ICONMASK) == MB_ICONEXCLAMATION)
            flags = SDL_MESSAGEBOX_WARNING;
        const MessageBoxButtons box = message_box_buttons(type);
        SDL_MessageBoxButtonData buttons[3];
        for (int i = 0; i < box.count; ++i) {
            buttons[i].flags = 0;
            if (i == box.default_index) buttons[i].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
            if (box.buttons[i].id == box.cancel_id)
                buttons[i].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
            buttons[i].buttonid = box.buttons[i].id;
            buttons[i].text = box.buttons[i].label;
        }
        SDL_MessageBoxData data{};
        data.flags = flags;
        data.title = caption;
        data.message = text;
        data.numbuttons = box.count;
        data.buttons = buttons;
        int chosen = 0;
        if (SDL_ShowMessageBox(&data, &chosen) != 0) return 0;
        // Closed without a button: what Escape would answer, else the default.
        if (chosen > 0) return chosen;
        return box.cancel_id ? box.cancel_id : box.default_id();
    }

private:
    std::map<HWND, SdlWindow> windows_;
    FramePacer pacer_;
    DisplayEvents display_events_;
    const bool pacing_ = settings::pacing();

    SdlWindow* find(HWND hwnd) {
        auto it = windows_.find(hwnd);
        return it == windows_.end() ? nullptr : &it->second;
    }

    HWND hwnd_of(Uint32 window_id) {
        SDL_Window* sdl = SDL_GetWindowFromID(window_id);
        for (auto& [h, w] : windows_)
            if (w.window == sdl) return h;
        return nullptr;
    }

    static std::string title_of(HWND hwnd) {
        char title[256];
        GetWindowTextA(hwnd, title, sizeof title);
        return title;
    }

    static int scale_for(int width, int height) {
        if (int forced = settings::window_scale()) return forced;
        SDL_Rect usable;
        if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || width <= 0 || height <= 0) return 1;
        return std::max(1, std::min(usable.w / width, usable.h / height));
    }

    void resize(SdlWindow& w, int width, int height) {
        if (width <= 0 || height <= 0) return;
        const int scale = scale_for(width, height);
        SDL_SetWindowSize(w.window, width * scale, height * scale);
        SDL_RenderSetLogicalSize(w.renderer, width, height);
        w.logical_w = width;
        w.logical_h = height;
        w.stale = true;
    }

    SdlWindow* ensure(HWND hwnd) {
        if (SdlWindow* w = find(hwnd)) return w;
        if (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) return nullptr;
        RECT client;
        POINT origin;
        if (!window_client(hwnd, client, origin)) return nullptr;
        const int width = std::max<int>(1, client.right), height = std::max<int>(1, client.bottom);
        const DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
        const bool popup = style & WS_POPUP;
        if (popup && (style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
        if (!popup && (style & (WS_MAXIMIZEBOX | WS_THICKFRAME))) flags |= SDL_WINDOW_RESIZABLE;
        const int scale = scale_for(width, height);
        SdlWindow w;
        w.window = SDL_CreateWindow(title_of(hwnd).c_str(), SDL_WINDOWPOS_CENTERED,
                                    SDL_WINDOWPOS_CENTERED, width * scale, height * scale, flags);
        if (!w.window) return nullptr;
        w.renderer = create_renderer(w.window);
        if (!w.renderer) {
            SDL_DestroyWindow(w.window);
            return nullptr;
        }
        SDL_RendererInfo info{};
        w.vsync =
            SDL_GetRendererInfo(w.renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC);
        SDL_RenderSetLogicalSize(w.renderer, width, height);
        w.logical_w = width;
        w.logical_h = height;
        SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);
        SDL_RenderClear(w.renderer);
        SDL_RenderPresent(w.renderer);
        return &(windows_[hwnd] = w);
    }

    SDL_Renderer* create_renderer(SDL_Window* window) const {
        // Without direct rendering, OpenGL would be a software rasteriser in
        // this process: SDL's own software renderer draws the same pixels
        // straight to the window for a fraction of the memory and time, and
        // the layer paces it. SDL_RENDER_DRIVER, when set, has the last word.
        const char* asked = SDL_getenv("SDL_RENDER_DRIVER");
        if (!(asked && *asked) && !renders_directly(window)) {
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            if (SDL_Renderer* software = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE))
                return software;
        }
        SDL_Renderer* renderer =
            SDL_CreateRenderer(window, -1, pacing_ ? SDL_RENDERER_PRESENTVSYNC : 0);
        return renderer ? renderer : SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    }

    static void draw(SdlWindow& w) {
        SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);
        SDL_RenderClear(w.renderer);
        if (w.texture) SDL_RenderCopy(w.renderer, w.texture, nullptr, nullptr);
        SDL_RenderPresent(w.renderer);
    }

    // The display's refresh rate; 60 when it does not say.
    static int refresh_rate(const SdlWindow& w) {
        SDL_DisplayMode mode{};
        if (SDL_GetWindowDisplayMode(w.window, &mode) != 0 || mode.refresh_rate <= 0) return 60;
        return mode.refresh_rate;
    }

    // After a present on a renderer that claims to wait for the refresh:
    // whether it did, judged by the time since the one before.
    static bool presented_at_refresh(SdlWindow& w) {
        using namespace std::chrono;
        const auto now = steady_clock::now();
        const auto half_period = microseconds(500'000 / refresh_rate(w));
        w.fast_presents = now - w.last_present < half_period ? w.fast_presents + 1 : 0;
        w.last_present = now;
        if (w.fast_presents >= 10) w.vsync = false;
        return w.vsync;
    }

    void handle(const SDL_Event& e) {
        switch (e.type) {
        case SDL_WINDOWEVENT: {
            HWND hwnd = hwnd_of(e.window.windowID);
            if (!hwnd) break;
            switch (e.window.event) {
            case SDL_WINDOWEVENT_CLOSE:
                inject_close(hwnd);
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                inject_activate(true);
                break;
            case SDL_WINDOWEVENT_FOCUS_LOST:
                inject_activate(false);
                break;
            case SDL_WINDOWEVENT_MAXIMIZED:
                inject_maximize(hwnd, true);
                break;
            case SDL_WINDOWEVENT_RESTORED:
                inject_maximize(hwnd, false);
                break;
            case SDL_WINDOWEVENT_EXPOSED:
                InvalidateRect(hwnd, nullptr, FALSE);
                if (SdlWindow* w = find(hwnd)) draw(*w);
                break;
            default:
                break;
            }
            break;
        }
        case SDL_MOUSEMOTION:
            if (HWND hwnd = hwnd_of(e.motion.windowID))
                inject_mouse_move(hwnd, e.motion.x, e.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            HWND hwnd = hwnd_of(e.button.windowID);
            if (!hwnd) break;
            int button = -1;
            switch (e.button.button) {
            case SDL_BUTTON_LEFT:
                button = 0;
                break;
            case SDL_BUTTON_RIGHT:
                button = 1;
                break;
            case SDL_BUTTON_MIDDLE:
                button = 2;
                break;
            case SDL_BUTTON_X1:
                button = 3;
                break;
            default:
                break;
            }
            if (button < 0) break;
            inject_mouse_move(hwnd, e.button.x, e.button.y);
            inject_hand_mouse_button(button, e.type == SDL_MOUSEBUTTONDOWN);
            break;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (int dik = sdl_dik_of(e.key.keysym.scancode))
                inject_hand_key(dik, e.type == SDL_KEYDOWN);
            break;
        case SDL_JOYDEVICEADDED: {
            SDL_Joystick* joy = SDL_JoystickOpen(e.jdevice.which);
            if (!joy) break;
            const char* name = SDL_JoystickName(joy);
            joystick_attach(name ? name : "Joystick", SDL_JoystickNumAxes(joy),
                            SDL_JoystickNumButtons(joy), SDL_JoystickNumHats(joy),
                            SDL_JoystickInstanceID(joy));
            break;
        }
        case SDL_JOYDEVICEREMOVED:
            if (int id = joystick_by_sdl_instance(e.jdevice.which)) {
                joystick_detach(id);
                SDL_JoystickClose(SDL_JoystickFromInstanceID(e.jdevice.which));
            }
            break;
        case SDL_JOYAXISMOTION:
            if (int id = joystick_by_sdl_instance(e.jaxis.which))
                joystick_set_axis(id, e.jaxis.axis, e.jaxis.value);
            break;
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            if (int id = joystick_by_sdl_instance(e.jbutton.which))
                joystick_set_button(id, e.jbutton.button, e.type == SDL_JOYBUTTONDOWN);
            break;
        case SDL_JOYHATMOTION:
            if (int id = joystick_by_sdl_instance(e.jhat.which)) {
                // Hundredths of a degree clockwise from north; centred is -1.
                DWORD pov = 0xFFFFFFFF;
                switch (e.jhat.value) {
                case SDL_HAT_UP:
                    pov = 0;
                    break;
                case SDL_HAT_RIGHTUP:
                    pov = 4500;
                    break;
                case SDL_HAT_RIGHT:
                    pov = 9000;
                    break;
                case SDL_HAT_RIGHTDOWN:
                    pov = 13500;
                    break;
                case SDL_HAT_DOWN:
                    pov = 18000;
                    break;
                case SDL_HAT_LEFTDOWN:
                    pov = 22500;
                    break;
                case SDL_HAT_LEFT:
                    pov = 27000;
                    break;
                case SDL_HAT_LEFTUP:
                    pov = 31500;
                    break;
                default:
                    break;
                }
                joystick_set_pov(id, e.jhat.hat, pov);
            }
            break;
        default:
            break;
        }
    }
};

} // namespace

Driver* make_sdl_driver() {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    {
        // Without a display, the libraries SDL tries say so in their own
        // words; the caller says it in one line.
        QuietStderr quiet;
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    }
    // SDL settles for its offscreen driver when there is no display at all;
    // that shows nothing, so it counts as no display unless asked for by name.
    const std::string video = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    const char* requested = SDL_getenv("SDL_VIDEODRIVER");
    if ((video == "offscreen" || video == "dummy") && !(requested && video == requested)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_InitSubSystem(SDL_INIT_JOYSTICK); // no joystick support is no reason to stop
    return new SdlDriver;
}

} // namespace ludora::window
