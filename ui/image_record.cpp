#include "ui/image_record.h"

#include <cstring>

#include "ui/colour_key.h"
#include "zq.h"

ImageRecord::ImageRecord(const char* fileName) {
    if (fileName == nullptr) return;
    surface = ZQLoadBitmap(fileName, 16);
    SetBlueKey(surface);
    SetName(fileName);
    SurfaceSize(surface, &width, &height);
}

ImageRecord::~ImageRecord() {
    if (surface != nullptr) surface->Release();
}

void ImageRecord::SetName(const char* text) {
    if (text == nullptr) text = "";
    const size_t length = std::strlen(text);
    const size_t kept = length < sizeof name - 1 ? length : sizeof name - 1;
    std::memmove(name, text, kept);
    name[kept] = '\0';
}
