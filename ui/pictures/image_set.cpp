// A screen's pictures described in an INI file: section "images" lists the
// sections image01, image02, ... and each section names its file and place.
#include "ui/pictures/scene.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int Scene::LoadImageSet(const char* iniFile) {
    if (iniFile == nullptr) return 0;
    int read = 0;
    // The numbering stops at the first gap; above 99 the keys take three digits.
    for (int counter = 1; counter < INT_MAX; ++counter) {
        char key[32];
        std::snprintf(key, sizeof key, "image%02d", counter);
        char section[256];
        GetPrivateProfileStringA("images", key, "none", section, sizeof section, iniFile);
        if (std::strcmp(section, "none") == 0) break;

        char fileName[256];
        GetPrivateProfileStringA(section, "file", "none", fileName, sizeof fileName, iniFile);
        if (std::strcmp(fileName, "none") == 0) {
            // A name too long for ".bmp" is cut at 255 characters like every text.
            const size_t length = std::strlen(section);
            const size_t kept = length < sizeof fileName - 5 ? length : sizeof fileName - 5;
            std::memcpy(fileName, section, kept);
            std::memcpy(fileName + kept, ".bmp", 5);
        }
        // Kept even when the file is missing: drawing it then draws nothing.
        ImageRecord* record = AddNamedImage(fileName, section);
        if (record == nullptr) break;

        char number[256];
        GetPrivateProfileStringA(section, "x", "", number, sizeof number, iniFile);
        record->x = std::atoi(number);
        GetPrivateProfileStringA(section, "y", "", number, sizeof number, iniFile);
        record->y = std::atoi(number);
        ++read;
    }
    return read;
}
