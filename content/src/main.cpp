// The content generator: draws every picture, font, sound, music loop and island map of the
// launcher folder and its game folder, the same bytes on every run.
//
//   ludora_content <launcher folder> <contact sheet .bmp> <contact sheet .png> <manifest>
#include <cstdio>
#include <filesystem>
#include <string>

#include "icons.h"
#include "output.h"
#include "text.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s <launcher folder> <sheet.bmp> <sheet.png> <manifest>\n",
                     argv[0]);
        return 2;
    }
    if (!content::open_fonts()) {
        std::fprintf(stderr,
                     "content: a font file is missing (fonts-dejavu-core, fonts-liberation2)\n");
        return 1;
    }
    content::Output out(argv[1]);
    content::make_ludora_content(out);
    content::make_pearlwreck_content(out);
    content::Image sheet = content::contact_sheet(out.pictures());
    bool ok = out.ok() && sheet.write_bmp(argv[2]) && sheet.write_png(argv[3]);
    FILE* manifest = std::fopen(argv[4], "wb");
    if (manifest) {
        for (const std::string& line : out.manifest())
            std::fprintf(manifest, "%s\n", line.c_str());
        ok = std::fclose(manifest) == 0 && ok;
    } else {
        ok = false;
    }
    // The icons go to icons/ beside the contact sheet.
    const std::filesystem::path icons = std::filesystem::path(argv[2]).parent_path() / "icons";
    ok = content::write_icons(out, icons.string()) && ok;
    content::close_fonts();
    return ok ? 0 : 1;
}
