#include "ui/pictures/image_record.h"

#include <cstring>

#include "shell/core/copy_text.h"

#include "ui/pictures/colour_key.h"
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
    CopyText(name, sizeof name, text);
}
