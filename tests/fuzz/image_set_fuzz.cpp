// A screen's image-set description: any INI file read by LoadImageSet. The
// answer is the number of pictures listed; each is found by its section's
// name and drawn at its place, whatever the numbers say.
#include "fuzz_display.h"

#include <cstring>

#include "ui/pictures/image_record.h"
#include "ui/pictures/scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IDirectDraw* directDraw = fuzz::Display();
    if (directDraw == nullptr) __builtin_trap();
    static const bool pictures = [] {
        // Descriptions may name these; anything else is a missing picture.
        fuzz::WriteSolidBmp("pic.bmp", 24, 16, 0xC08040);
        fuzz::WriteSolidBmp("wide.bmp", 700, 3, 0x4080C0);
        return true;
    }();
    (void)pictures;
    fuzz::WriteInput("images.ini", data, size);

    Scene scene;
    scene.Activate(directDraw, fuzz::BackSurface());
    const int listed = scene.LoadImageSet(".\\images.ini");
    if (listed < 0) __builtin_trap();
    if (scene.Images() == nullptr || scene.Images()->Count() != listed) __builtin_trap();
    for (ImageRecord* record : *scene.Images()) {
        if (record == nullptr || std::memchr(record->name, 0, sizeof record->name) == nullptr)
            __builtin_trap();
        // The first picture of that name is the one found.
        ImageRecord* found = scene.FindImage(record->name);
        if (found == nullptr || std::strcmp(found->name, record->name) != 0) __builtin_trap();
        if (scene.DrawImageAtHome(nullptr, record->name) != 1) __builtin_trap();
        fuzz::g_sink = static_cast<unsigned>(record->x) ^ static_cast<unsigned>(record->y) ^
                       static_cast<unsigned>(record->width);
    }
    scene.Destroy();
    return 0;
}
