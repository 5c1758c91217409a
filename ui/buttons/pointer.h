// The mouse pointer: its picture (keyed on black), the pictures saved under
// it on each back buffer, its position and button bits, and the pending
// clicks counted by the clock's device poll.
#pragma once

#include <atomic>
#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#include "ui/pictures/image_record.h"
#include "ui/pictures/pointer_list.h"

struct PointerReading {
    int32_t x, y;
    int32_t buttons; // bit 0 left, bit 1 right
    int32_t pendingLeft, pendingRight;
};

class Pointer {
public:
    Pointer();
    virtual ~Pointer();
    Pointer(const Pointer&) = delete;
    Pointer& operator=(const Pointer&) = delete;

    virtual void SetImage(const char* fileName);
    virtual void SelectImage(int32_t index);
    virtual void Hide();
    virtual void SetDoubleBuffered(int32_t flag);
    virtual void SetPosition(int32_t x, int32_t y);
    virtual void SetLeft(int32_t down);
    virtual void SetRight(int32_t down);
    virtual void SetButtonQueue(int32_t flag);
    virtual PointerReading Read();
    virtual void DrawAndSave(IDirectDrawSurface* backBuffer);
    virtual void RestoreSaved(IDirectDrawSurface* backBuffer);
    // Runs on the clock's timer thread every 10 ms: reads the mouse buttons
    // from the input library unless messagesOnly or !pollDevice.
    virtual void PollDevice();
    // Releases the pictures and both save surfaces (shut-down).
    virtual void Release();

    int32_t Buttons() const { return buttons.load(); }
    int32_t X() const { return x.load(); }
    int32_t Y() const { return y.load(); }

    // Fields in declaration order. Position, buttons and pending clicks are
    // written by the window procedure and the timer thread.
    ImageRecord* current = nullptr;
    PointerList<ImageRecord> images;
    IDirectDrawSurface* saveSurfaces[2] = {nullptr, nullptr};
    int32_t bufferIndex = 0;
    int32_t savedX[2] = {-1, -1};
    int32_t savedY[2] = {-1, -1};
    int32_t width = 0, height = 0;
    int32_t visible = 0;
    int32_t doubleBuffered = 0;
    std::atomic<int32_t> x{0}, y{0};
    std::atomic<int32_t> buttons{0};
    std::atomic<int32_t> pendingLeft{0}, pendingRight{0};
    std::atomic<int32_t> pollDevice{1};
    std::atomic<int32_t> messagesOnly{0};
    std::atomic<int32_t> polledButtons{0}; // the device's buttons at the previous poll
    struct ButtonQueue;
    ButtonQueue* buttonQueue = nullptr; // button words, oldest first; absent by default
};

extern Pointer g_Pointer;

// g_Pointer.PollDevice, in the shape of the clock's tick hook.
void PollPointerDevice();
