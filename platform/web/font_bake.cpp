// Bakes the programs' fonts for the browser build, which has no FreeType:
// each face rendered here by the desktop font engine, its metrics and the
// masks of its 256 glyphs, goes into one file the browser build reads
// (platform/src/web/baked_fonts.cpp). Same engine, same pixels.
//   font_bake OUT.bin
#include "gdi/font_engine.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

void put(std::vector<unsigned char>& out, int32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(static_cast<uint32_t>(value) >> (8 * i)));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: font_bake OUT.bin\n");
        return 2;
    }
    // zq's seven Arial sizes, plain and bold.
    const int heights[] = {8, 10, 12, 14, 16, 24, 36};
    const int weights[] = {FW_NORMAL, FW_BOLD};
    std::vector<unsigned char> out = {'L', 'F', 'N', 'T'};
    put(out, static_cast<int32_t>(sizeof(TEXTMETRICA)));
    put(out, static_cast<int32_t>(std::size(heights) * std::size(weights)));
    for (int weight : weights) {
        for (int height : heights) {
            LOGFONTA lf{};
            lf.lfHeight = height;
            lf.lfWeight = weight;
            lf.lfCharSet = ANSI_CHARSET;
            lf.lfQuality = DRAFT_QUALITY;
            lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
            std::strcpy(lf.lfFaceName, "Arial");
            ludora::gdi::FontFace& face = ludora::gdi::face_for(lf);
            put(out, height);
            put(out, weight);
            const auto* metrics = reinterpret_cast<const unsigned char*>(&face.metrics());
            out.insert(out.end(), metrics, metrics + sizeof(TEXTMETRICA));
            for (int c = 0; c < 256; ++c) {
                const ludora::gdi::Glyph& g = face.glyph(static_cast<unsigned char>(c));
                for (int value : {g.left, g.top, g.width, g.rows, g.advance})
                    put(out, value);
                out.insert(out.end(), g.mask.begin(), g.mask.end());
            }
        }
    }
    FILE* file = std::fopen(argv[1], "wb");
    if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file)) {
        std::fprintf(stderr, "font_bake: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
