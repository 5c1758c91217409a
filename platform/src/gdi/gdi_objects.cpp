#include "gdi/gdi_objects.h"

#include <cstring>
#include <mutex>
#include <unordered_set>
#include <utility>

namespace ludora::gdi {

namespace {

std::mutex& objects_mutex() {
    static std::mutex m;
    return m;
}

std::unordered_set<GdiObject*>& objects() {
    static std::unordered_set<GdiObject*> live;
    return live;
}

// Pictures above this many pixels are refused rather than allocated.
constexpr int64_t kMaxPixels = 64ll * 1024 * 1024;
constexpr int kMaxSide = 32768;

} // namespace

pixels::Canvas Bitmap::canvas() {
    pixels::Canvas c;
    const int h = rows();
    c.width = width;
    c.height = h;
    c.format = format;
    if (height > 0) { // bottom-up: the top row is the last one in memory
        c.top = bits.data() + static_cast<ptrdiff_t>(stride) * (h - 1);
        c.pitch = -stride;
    } else {
        c.top = bits.data();
        c.pitch = stride;
    }
    if (format.indexed) {
        c.palette = palette_colours.data();
        c.palette_size = static_cast<int>(palette_colours.size());
    }
    return c;
}

void Bitmap::refresh_palette() {
    palette_colours.resize(colour_table.size());
    for (size_t i = 0; i < colour_table.size(); ++i) {
        const RGBQUAD& q = colour_table[i];
        palette_colours[i] = (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue;
    }
}

HGDIOBJ add_object(GdiObject* object) {
    std::lock_guard lock(objects_mutex());
    objects().insert(object);
    return object;
}

GdiObject* find_object(HGDIOBJ handle) {
    if (!handle) return nullptr;
    std::lock_guard lock(objects_mutex());
    auto* object = static_cast<GdiObject*>(handle);
    return objects().count(object) ? object : nullptr;
}

void remove_object(GdiObject* object) {
    {
        std::lock_guard lock(objects_mutex());
        objects().erase(object);
    }
    delete object;
}

Bitmap* make_bitmap(int width, int height, const pixels::PixelFormat& format, bool dib,
                    std::vector<uint8_t>* pixels) {
    const int rows = height < 0 ? -height : height;
    if (width <= 0 || rows <= 0 || width > kMaxSide || rows > kMaxSide ||
        static_cast<int64_t>(width) * rows > kMaxPixels) {
        return nullptr;
    }
    auto* b = new Bitmap();
    b->dib = dib;
    b->width = width;
    b->height = height;
    b->format = format;
    b->stride = ((width * format.bits + 31) / 32) * 4;
    const size_t bytes = static_cast<size_t>(b->stride) * rows;
    if (pixels && pixels->size() == bytes) {
        b->bits = std::move(*pixels); // a loaded picture: no need to clear what is replaced
    } else {
        b->bits.assign(bytes, 0);
    }
    if (format.indexed) {
        b->colour_table.assign(size_t(1) << format.bits, RGBQUAD{0, 0, 0, 0});
        b->refresh_palette();
    }
    add_object(b);
    return b;
}

namespace {

struct StockObjects {
    GdiObject* items[20] = {};
    Bitmap* mono = nullptr;

    StockObjects() {
        const COLORREF brushes[] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128),
                                    RGB(64, 64, 64), RGB(0, 0, 0)};
        for (int i = WHITE_BRUSH; i <= BLACK_BRUSH; ++i) {
            auto* b = new Brush();
            b->colour = brushes[i];
            items[i] = b;
        }
        auto* hollow = new Brush();
        hollow->hollow = true;
        items[NULL_BRUSH] = hollow;
        auto* white = new Pen();
        white->colour = RGB(255, 255, 255);
        items[WHITE_PEN] = white;
        items[BLACK_PEN] = new Pen();
        auto* null_pen = new Pen();
        null_pen->hollow = true;
        items[NULL_PEN] = null_pen;
        items[DC_BRUSH] = new Brush();
        items[DC_PEN] = new Pen();
        // Fonts: the face names map to the free metric-compatible faces.
        const struct {
            int index;
            LONG height;
            LONG weight;
            BYTE pitch;
            const char* face;
        } fonts[] = {
            {OEM_FIXED_FONT, 12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Terminal"},
            {ANSI_FIXED_FONT, 12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier"},
            {ANSI_VAR_FONT, 12, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif"},
            {SYSTEM_FONT, 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System"},
            {DEVICE_DEFAULT_FONT, 16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System"},
            {SYSTEM_FIXED_FONT, 16, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Fixedsys"},
            {DEFAULT_GUI_FONT, -11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif"},
        };
        for (const auto& f : fonts) {
            auto* font = new Font();
            font->logfont.lfHeight = f.height;
            font->logfont.lfWeight = f.weight;
            font->logfont.lfCharSet = ANSI_CHARSET;
            font->logfont.lfPitchAndFamily = f.pitch;
            std::strncpy(font->logfont.lfFaceName, f.face, LF_FACESIZE - 1);
            items[f.index] = font;
        }
        for (GdiObject* o : items) {
            if (o) {
                o->stock = true;
                add_object(o);
            }
        }
        mono = make_bitmap(1, 1, pixels::format_indexed(1), false);
        mono->stock = true;
        mono->colour_table[1] = RGBQUAD{255, 255, 255, 0};
        mono->refresh_palette();
    }
};

StockObjects& stock() {
    static StockObjects s;
    return s;
}

} // namespace

GdiObject* stock_object(int index) {
    if (index < 0 || index >= 20) return nullptr;
    return stock().items[index];
}

Bitmap* stock_bitmap() {
    return stock().mono;
}

} // namespace ludora::gdi
