// The user's input as the hardware gives it. Drivers, the script and the
// harness inject events here; while the program pumps its queue they are
// applied in order, each once the messages of the one before have been taken:
// the physical state (GetAsyncKeyState, DirectInput) changes and the message
// is posted together.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ludora::window {

void inject_key(int dik, bool down);
// Client coordinates of `hwnd` (null: the main window).
void inject_mouse_move(HWND hwnd, int x, int y);
// 0 left, 1 right, 2 middle, 3 fourth.
void inject_mouse_button(int button, bool down);
// The same from the user's own hardware (the drivers): a release waits until
// the program has seen the press (release_hold.h).
void inject_hand_key(int dik, bool down);
void inject_hand_mouse_button(int button, bool down);
void inject_activate(bool active);
void inject_close(HWND hwnd);
void inject_maximize(HWND hwnd, bool maximized);

// Turns pending events into messages; runs inside PeekMessage/GetMessage.
void process_input();
void reset_input();

// Keyboard state by DirectInput code, bit 7 for down.
void keyboard_state(uint8_t out[256]);
struct MouseState {
    int64_t x_total, y_total; // motion since start, in screen pixels
    uint8_t buttons[4];
};
MouseState mouse_state();
POINT cursor_position();

// GetKeyState follows the key messages the program has taken from its queue.
void note_retrieved_message(const MSG& msg);

} // namespace ludora::window
