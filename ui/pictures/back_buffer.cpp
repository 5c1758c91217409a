#include "ui/pictures/back_buffer.h"

#include "zq.h"

IDirectDrawSurface* BackBuffer() {
    IDirectDrawSurface* back = nullptr;
    ZQGetDDInfo(nullptr, &back);
    return back;
}
