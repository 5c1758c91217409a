// Whether a window's display draws through the graphics hardware. An X
// server without direct rendering (a virtual display such as Xvfb, or a
// remote one) leaves OpenGL to a software rasteriser in our process, which
// costs far more memory and time than SDL's own software renderer drawing the
// same pixels.
#pragma once

struct SDL_Window;

namespace ludora::window {

// False only when the window is on an X server that offers neither DRI3 nor
// DRI2; true elsewhere, and whenever it cannot tell.
bool renders_directly(SDL_Window* window);

} // namespace ludora::window
