#include "ui/pictures/redraw_list.h"

#include <new>

#include "ui/pictures/clipped_blit.h"
#include "ui/pictures/colour_key.h"

RedrawList g_RedrawList;

namespace {

void FreeEntries(PointerList<RedrawEntry>& list) {
    for (RedrawEntry* entry : list) {
        delete entry;
    }
    list.Clear();
}

// Background copies are plain: blue in a background picture is a colour, not a hole.
void CopyRectangle(IDirectDrawSurface* target, IDirectDrawSurface* source, const RedrawEntry& e) {
    if (target == nullptr || source == nullptr) return;
    const RECT area = {e.x, e.y, e.x + e.width, e.y + e.height};
    ClippedBlit(target, e.x, e.y, source, area, PlainBlit);
}

} // namespace

RedrawList::RedrawList() = default;

RedrawList::~RedrawList() {
    FreeEntries(lists[0]);
    FreeEntries(lists[1]);
}

void RedrawList::SetBackground(IDirectDrawSurface* surface) {
    background = surface;
    PointerList<RedrawEntry>& list = lists[index];
    for (int32_t i = 0; i < list.Count();) {
        RedrawEntry* entry = list.At(i);
        if (entry->flags & RedrawOneShot) {
            list.RemoveAt(i);
            delete entry;
        } else {
            ++i;
        }
    }
}

void RedrawList::SetPristine(IDirectDrawSurface* surface) {
    pristine = surface;
}

void RedrawList::RestoreAll() {
    int32_t width = 0, height = 0;
    if (!SurfaceSize(background, &width, &height)) return;
    if (pristine != nullptr) {
        const RECT whole = {0, 0, width, height};
        ClippedBlit(background, 0, 0, pristine, whole, PlainBlit);
    }
    Mark(0, 0, width, height, RedrawOneShot | RedrawFromBackground);
}

void RedrawList::Restore(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (background != nullptr && pristine != nullptr) {
        const RECT area = {x, y, x + width, y + height};
        ClippedBlit(background, x, y, pristine, area, PlainBlit);
    }
    Mark(x, y, width, height, RedrawOneShot | RedrawFromBackground);
}

void RedrawList::Mark(int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags) {
    RedrawEntry* entry =
        new (std::nothrow) RedrawEntry{x, y, width, height, flags, background, pristine};
    if (entry == nullptr) return;
    if ((flags & RedrawBothLists) || alwaysPermanent) {
        RedrawEntry* copy = new (std::nothrow) RedrawEntry(*entry);
        if (!lists[0].Add(entry)) delete entry;
        if (copy != nullptr && !lists[1].Add(copy)) delete copy;
        return;
    }
    if (!lists[index].Add(entry)) delete entry;
}

void RedrawList::Flip() {
    index = 1 - index;
}

void RedrawList::Apply(IDirectDrawSurface* backBuffer) {
    PointerList<RedrawEntry>& list = lists[index];
    for (RedrawEntry* entry : list) {
        const bool backgroundCurrent = entry->background == background;
        if (entry->flags & RedrawFromPristine) {
            if (entry->pristine == pristine) CopyRectangle(background, pristine, *entry);
            if (backgroundCurrent) CopyRectangle(backBuffer, background, *entry);
        } else if (entry->flags & RedrawFromBackground) {
            if (backgroundCurrent) CopyRectangle(backBuffer, background, *entry);
        }
    }
    // One-shot entries go whether they were applied or not.
    for (int32_t i = 0; i < list.Count();) {
        RedrawEntry* entry = list.At(i);
        if (entry->flags & RedrawOneShot) {
            list.RemoveAt(i);
            delete entry;
        } else {
            ++i;
        }
    }
}

void RedrawList::Reset() {
    FreeEntries(lists[0]);
    FreeEntries(lists[1]);
    index = 0;
    background = nullptr;
    pristine = nullptr;
    alwaysPermanent = 0;
}
