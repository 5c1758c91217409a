// The global repaint bookkeeping: what moved is copied back from the
// background, rectangle by rectangle, on the buffer it was drawn on.
#pragma once

#include <cstdint>

#include <windows.h>
#include <ddraw.h>

#include "ui/pictures/pointer_list.h"

enum RedrawFlag : int32_t {
    RedrawOneShot = 1,             // deleted after it has been applied once
    RedrawBothLists = 2,           // goes into both buffers' lists
    RedrawFromBackground = 0x1000, // restore from the background surface
    RedrawFromPristine = 0x2000,   // first restore the background from the pristine copy
};

struct RedrawEntry {
    int32_t x, y, width, height;
    int32_t flags;
    IDirectDrawSurface* background; // the surfaces current when it was registered
    IDirectDrawSurface* pristine;
};

class RedrawList {
public:
    RedrawList();
    virtual ~RedrawList();

    // Also drops every one-shot entry of the list in use.
    virtual void SetBackground(IDirectDrawSurface* surface);
    virtual void SetPristine(IDirectDrawSurface* surface);
    IDirectDrawSurface* Background() const { return background; }
    IDirectDrawSurface* Pristine() const { return pristine; }

    // Copies the whole pristine surface onto the background and registers a
    // one-shot restore of the full background area.
    virtual void RestoreAll();
    // Copies the rectangle from pristine onto the background now, and
    // registers a one-shot restore of it.
    virtual void Restore(int32_t x, int32_t y, int32_t width, int32_t height);
    // Registers an entry (the toolkit passes RedrawOneShot | RedrawFromBackground).
    virtual void Mark(int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags);
    virtual void Flip();
    // Applies the list in use onto the back buffer, then frees its one-shot entries.
    virtual void Apply(IDirectDrawSurface* backBuffer);

    void SetAlwaysPermanent(int32_t on) { alwaysPermanent = on; }
    int32_t InUse() const { return index; }
    const PointerList<RedrawEntry>& List(int32_t which) const { return lists[which & 1]; }
    // Frees every entry of both lists and forgets the surfaces.
    void Reset();

private:
    PointerList<RedrawEntry> lists[2];
    int32_t index = 0;
    IDirectDrawSurface* background = nullptr;
    IDirectDrawSurface* pristine = nullptr;
    int32_t alwaysPermanent = 0;
};

extern RedrawList g_RedrawList;
