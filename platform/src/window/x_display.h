// The X display a window is on, and Xlib's functions for it. SDL has loaded
// Xlib already and keeps it for the program's life; the layer does not link
// it itself.
#pragma once

struct SDL_Window;

namespace ludora::window {

// The window's Xlib display, or null when it is not on X.
void* x_display_of(SDL_Window* window);

// An Xlib function by name, or null when Xlib is not loaded or lacks it.
void* xlib_function(const char* name);

template <typename Function> Function xlib_function(const char* name) {
    return reinterpret_cast<Function>(xlib_function(name));
}

} // namespace ludora::window
