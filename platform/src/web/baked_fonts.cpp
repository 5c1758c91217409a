// Fonts in the browser build: the faces baked by platform/web/font_bake.cpp
// from the desktop font engine, read once from /fonts/ludora-fonts.bin. A
// logical font gets the baked face of its height and weight class (every face
// stands in for Arial, the only face the programs ask for); a height never
// baked gets the nearest one.
#ifdef __EMSCRIPTEN__

#include "gdi/font_engine.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace ludora::gdi {

namespace {

class BakedFace final : public FontFace {
public:
    int height = 0;
    bool bold = false;
    TEXTMETRICA tm{};
    Glyph glyphs[256];

    const TEXTMETRICA& metrics() const override { return tm; }
    const Glyph& glyph(unsigned char c) override { return glyphs[c]; }
};

class Reader {
public:
    explicit Reader(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
    bool ok() const { return ok_; }
    int32_t number() {
        uint32_t value = 0;
        if (at_ + 4 > bytes_.size()) return ok_ = false;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<uint32_t>(bytes_[at_++]) << (8 * i);
        return static_cast<int32_t>(value);
    }
    bool take(void* out, size_t size) {
        if (size > bytes_.size() - at_) return ok_ = false;
        std::memcpy(out, bytes_.data() + at_, size);
        at_ += size;
        return true;
    }

private:
    std::vector<unsigned char> bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

std::vector<unsigned char> read_file(const char* path) {
    std::vector<unsigned char> bytes;
    FILE* file = std::fopen(path, "rb");
    if (!file) return bytes;
    unsigned char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    std::fclose(file);
    return bytes;
}

std::vector<BakedFace*> load_faces() {
    std::vector<BakedFace*> faces;
    Reader in(read_file("/fonts/ludora-fonts.bin"));
    char magic[4] = {};
    if (!in.take(magic, 4) || std::memcmp(magic, "LFNT", 4) != 0 ||
        in.number() != static_cast<int32_t>(sizeof(TEXTMETRICA))) {
        std::fprintf(stderr, "ludora: no baked fonts, text stays blank\n");
        return faces;
    }
    const int count = in.number();
    for (int i = 0; i < count && in.ok(); ++i) {
        auto* face = new BakedFace;
        face->height = in.number();
        face->bold = in.number() >= FW_SEMIBOLD;
        in.take(&face->tm, sizeof face->tm);
        for (Glyph& g : face->glyphs) {
            g.left = in.number();
            g.top = in.number();
            g.width = in.number();
            g.rows = in.number();
            g.advance = in.number();
            if (g.width < 0 || g.rows < 0 || g.width > 512 || g.rows > 512) return faces;
            g.mask.resize(static_cast<size_t>(g.width) * g.rows);
            in.take(g.mask.data(), g.mask.size());
        }
        if (in.ok()) faces.push_back(face);
    }
    return faces;
}

} // namespace

FontFace& face_for(const LOGFONTA& lf) {
    static std::mutex mutex;
    static std::vector<BakedFace*> faces = load_faces();
    static BakedFace blank;
    std::lock_guard lock(mutex);
    const int height = lf.lfHeight == 0 ? 12 : std::abs(static_cast<int>(lf.lfHeight));
    const bool bold = lf.lfWeight >= FW_SEMIBOLD;
    BakedFace* best = nullptr;
    for (BakedFace* face : faces) {
        if (face->bold != bold) continue;
        if (!best || std::abs(face->height - height) < std::abs(best->height - height)) best = face;
    }
    if (!best) return blank;
    return *best;
}

} // namespace ludora::gdi

#endif
