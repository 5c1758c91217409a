#include "raster.h"

#include <algorithm>
#include <cmath>

namespace content {

void fill_shape(Image& img, int x0, int y0, int x1, int y1, const Inside& inside,
                const Paint& paint) {
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, img.width()), y1 = std::min(y1, img.height());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            int hits = 0;
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i)
                    if (inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4)) ++hits;
            if (hits) img.blend(x, y, paint(x, y), hits / 16.0);
        }
}

void fill_rect(Image& img, int x, int y, int w, int h, Colour c) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx)
            img.set(xx, yy, c);
}

namespace {

bool in_round_rect(double px, double py, double x, double y, double w, double h, double r) {
    if (px < x || py < y || px >= x + w || py >= y + h) return false;
    double cx = std::clamp(px, x + r, x + w - r), cy = std::clamp(py, y + r, y + h - r);
    return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r;
}

} // namespace

void fill_round_rect(Image& img, double x, double y, double w, double h, double radius,
                     const Paint& paint) {
    fill_shape(
        img, int(std::floor(x)), int(std::floor(y)), int(std::ceil(x + w)), int(std::ceil(y + h)),
        [=](double px, double py) { return in_round_rect(px, py, x, y, w, h, radius); }, paint);
}

void fill_round_rect(Image& img, double x, double y, double w, double h, double radius, Colour c) {
    fill_round_rect(img, x, y, w, h, radius, solid(c));
}

void stroke_round_rect(Image& img, double x, double y, double w, double h, double radius, double t,
                       Colour c) {
    double inner = std::max(0.0, radius - t);
    fill_shape(
        img, int(std::floor(x)), int(std::floor(y)), int(std::ceil(x + w)), int(std::ceil(y + h)),
        [=](double px, double py) {
            return in_round_rect(px, py, x, y, w, h, radius) &&
                   !in_round_rect(px, py, x + t, y + t, w - 2 * t, h - 2 * t, inner);
        },
        solid(c));
}

void fill_ellipse(Image& img, double cx, double cy, double rx, double ry, Colour c) {
    fill_shape(
        img, int(std::floor(cx - rx)), int(std::floor(cy - ry)), int(std::ceil(cx + rx)) + 1,
        int(std::ceil(cy + ry)) + 1,
        [=](double px, double py) {
            double dx = (px - cx) / rx, dy = (py - cy) / ry;
            return dx * dx + dy * dy <= 1.0;
        },
        solid(c));
}

void fill_circle(Image& img, double cx, double cy, double r, Colour c) {
    fill_ellipse(img, cx, cy, r, r, c);
}

void stroke_circle(Image& img, double cx, double cy, double r, double t, Colour c) {
    fill_shape(
        img, int(std::floor(cx - r - t)), int(std::floor(cy - r - t)),
        int(std::ceil(cx + r + t)) + 1, int(std::ceil(cy + r + t)) + 1,
        [=](double px, double py) {
            double d = std::hypot(px - cx, py - cy);
            return std::abs(d - r) <= t / 2;
        },
        solid(c));
}

void fill_polygon(Image& img, const std::vector<Point>& pts, Colour c) {
    if (pts.size() < 3) return;
    double minx = pts[0].x, maxx = pts[0].x, miny = pts[0].y, maxy = pts[0].y;
    for (const Point& p : pts) {
        minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
        miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
    }
    fill_shape(
        img, int(std::floor(minx)), int(std::floor(miny)), int(std::ceil(maxx)) + 1,
        int(std::ceil(maxy)) + 1,
        [&pts](double px, double py) {
            bool in = false;
            for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
                if ((pts[i].y > py) != (pts[j].y > py) &&
                    px < (pts[j].x - pts[i].x) * (py - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x)
                    in = !in;
            }
            return in;
        },
        solid(c));
}

void draw_line(Image& img, double x0, double y0, double x1, double y1, double width, Colour c) {
    double r = width / 2;
    double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    fill_shape(
        img, int(std::floor(std::min(x0, x1) - r)), int(std::floor(std::min(y0, y1) - r)),
        int(std::ceil(std::max(x0, x1) + r)) + 1, int(std::ceil(std::max(y0, y1) + r)) + 1,
        [=](double px, double py) {
            double t =
                len2 > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0, 1.0) : 0.0;
            double ex = x0 + t * dx - px, ey = y0 + t * dy - py;
            return ex * ex + ey * ey <= r * r;
        },
        solid(c));
}

Paint vertical_gradient(int y0, int y1, Colour top, Colour bottom) {
    return [=](int, int y) { return mix(top, bottom, double(y - y0) / std::max(1, y1 - y0 - 1)); };
}

Paint solid(Colour c) {
    return [c](int, int) { return c; };
}

double hash_noise(int x, int y, int seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / double(0x1000000);
}

double smooth_noise(double x, double y, int seed) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    double fx = x - ix, fy = y - iy;
    fx = fx * fx * (3 - 2 * fx), fy = fy * fy * (3 - 2 * fy);
    double a = hash_noise(ix, iy, seed), b = hash_noise(ix + 1, iy, seed);
    double c = hash_noise(ix, iy + 1, seed), d = hash_noise(ix + 1, iy + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

std::vector<Point> star_points(double cx, double cy, double outer, double inner, int points) {
    std::vector<Point> out;
    for (int i = 0; i < points * 2; ++i) {
        double a = -M_PI / 2 + i * M_PI / points;
        double r = (i & 1) ? inner : outer;
        out.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return out;
}

} // namespace content
