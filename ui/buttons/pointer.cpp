#include "ui/buttons/pointer.h"

#include "zq.h"

#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/colour_key.h"
#include "ui/pictures/redraw_list.h"

Pointer g_Pointer;

void PollPointerDevice() {
    g_Pointer.PollDevice();
}

// Button words waiting for the screen, oldest first. A ring of fixed size: if
// nothing reads it for 256 changes of the buttons, the oldest are dropped.
struct Pointer::ButtonQueue {
    static constexpr int32_t kCapacity = 256;
    int32_t words[kCapacity] = {};
    int32_t first = 0;
    int32_t count = 0;

    void Push(int32_t word) {
        if (count == kCapacity) {
            first = (first + 1) % kCapacity;
            --count;
        }
        words[(first + count) % kCapacity] = word;
        ++count;
    }
    int Pop(int32_t* word) {
        if (count == 0) {
            return 0;
        }
        *word = words[first];
        first = (first + 1) % kCapacity;
        --count;
        return 1;
    }
};

namespace {

// Takes one from a non-zero count; answers the count after that.
int32_t TakeOne(std::atomic<int32_t>& count) {
    int32_t seen = count.load();
    while (seen > 0 && !count.compare_exchange_weak(seen, seen - 1)) {
    }
    return seen > 0 ? seen - 1 : seen;
}

void ReleaseSurface(IDirectDrawSurface*& surface) {
    if (surface) {
        surface->Release();
        surface = nullptr;
    }
}

} // namespace

Pointer::Pointer() = default;

// The surfaces are released by Release at shut-down, while the display still
// exists; at process exit only the queue's memory is left to free.
Pointer::~Pointer() {
    SetButtonQueue(0);
}

void Pointer::SetImage(const char* fileName) {
    if (fileName) {
        ImageRecord* record = new (std::nothrow) ImageRecord(fileName);
        if (record && images.Add(record)) {
            // The pointer alone is keyed on black.
            if (record->surface) {
                SetColourKey(record->surface, 0, 0, 0);
            }
            width = record->width;
            height = record->height;
            ReleaseSurface(saveSurfaces[0]);
            ReleaseSurface(saveSurfaces[1]);
            if (width > 0 && height > 0) {
                saveSurfaces[0] = CreateOffscreenSurface(width, height);
                saveSurfaces[1] = CreateOffscreenSurface(width, height);
            }
        } else {
            delete record;
        }
    }
    bufferIndex = 0;
    savedX[0] = savedX[1] = -1;
    savedY[0] = savedY[1] = -1;
    pendingLeft.store(0);
    pendingRight.store(0);
    visible = 0;
    doubleBuffered = 0;
}

void Pointer::SelectImage(int32_t index) {
    if (ImageRecord* record = images.At(index)) {
        current = record;
    }
}

void Pointer::Hide() {
    visible = 0;
}

void Pointer::SetDoubleBuffered(int32_t flag) {
    doubleBuffered = flag;
}

void Pointer::SetPosition(int32_t newX, int32_t newY) {
    x.store(newX);
    y.store(newY);
}

void Pointer::SetLeft(int32_t down) {
    const int32_t word = down ? buttons.fetch_or(1) | 1 : buttons.fetch_and(~1) & ~1;
    if (buttonQueue) {
        buttonQueue->Push(word);
    }
}

void Pointer::SetRight(int32_t down) {
    const int32_t word = down ? buttons.fetch_or(2) | 2 : buttons.fetch_and(~2) & ~2;
    if (buttonQueue) {
        buttonQueue->Push(word);
    }
}

void Pointer::SetButtonQueue(int32_t flag) {
    if (flag && !buttonQueue) {
        buttonQueue = new (std::nothrow) ButtonQueue;
    } else if (!flag) {
        delete buttonQueue;
        buttonQueue = nullptr;
    }
}

PointerReading Pointer::Read() {
    PointerReading reading = {};
    reading.x = x.load();
    reading.y = y.load();
    reading.buttons = buttons.load();
    // Once the queued changes are used up the buttons read as they are now, so a
    // button held down stays down from frame to frame.
    if (buttonQueue) {
        int32_t word = 0;
        if (buttonQueue->Pop(&word)) {
            reading.buttons = word;
        }
    }
    reading.pendingLeft = TakeOne(pendingLeft);
    reading.pendingRight = TakeOne(pendingRight);
    return reading;
}

void Pointer::DrawAndSave(IDirectDrawSurface* backBuffer) {
    IDirectDrawSurface* save = saveSurfaces[bufferIndex];
    if (visible && backBuffer && current && current->surface && save) {
        const int32_t left = x.load(), top = y.load();
        // Only the part of the pointer's rectangle that lies on the back buffer
        // is saved, at its own place inside the save surface.
        int32_t backWidth = 0, backHeight = 0;
        SurfaceSize(backBuffer, &backWidth, &backHeight);
        RECT onBack = {left < 0 ? 0 : left, top < 0 ? 0 : top,
                       left + width > backWidth ? backWidth : left + width,
                       top + height > backHeight ? backHeight : top + height};
        if (onBack.left < onBack.right && onBack.top < onBack.bottom) {
            ClippedBlit(save, onBack.left - left, onBack.top - top, backBuffer, onBack, PlainBlit);
        }
        g_RedrawList.Mark(left, top, width, height, RedrawOneShot | RedrawFromBackground);
        savedX[bufferIndex] = left;
        savedY[bufferIndex] = top;
        RECT picture = {0, 0, current->width < width ? current->width : width,
                        current->height < height ? current->height : height};
        ClippedBlit(backBuffer, left, top, current->surface, picture);
    }
    bufferIndex = doubleBuffered ? 1 - bufferIndex : 0;
}

void Pointer::RestoreSaved(IDirectDrawSurface* backBuffer) {
    if (savedX[bufferIndex] == -1) {
        return;
    }
    if (backBuffer && saveSurfaces[bufferIndex]) {
        RECT whole = {0, 0, width, height};
        ClippedBlit(backBuffer, savedX[bufferIndex], savedY[bufferIndex], saveSurfaces[bufferIndex],
                    whole, PlainBlit);
    }
    savedX[bufferIndex] = -1;
}

void Pointer::PollDevice() {
    if (messagesOnly.load() == 1 || !pollDevice.load()) {
        return;
    }
    int dx = 0, dy = 0, deviceButtons = 0;
    ZQGetMouseData(&dx, &dy, &deviceButtons);
    buttons.store(deviceButtons);
    const int32_t previous = polledButtons.exchange(deviceButtons);
    if ((deviceButtons & 1) && !(previous & 1)) {
        pendingLeft.fetch_add(1);
    }
    if ((deviceButtons & 2) && !(previous & 2)) {
        pendingRight.fetch_add(1);
    }
}

void Pointer::Release() {
    for (ImageRecord* record : images) {
        delete record;
    }
    images.Clear();
    current = nullptr;
    ReleaseSurface(saveSurfaces[0]);
    ReleaseSurface(saveSurfaces[1]);
    width = height = 0;
    savedX[0] = savedX[1] = -1;
    savedY[0] = savedY[1] = -1;
}
