// Anti-aliased drawing primitives on an Image: every shape is sampled 4 x 4 per pixel.
#pragma once

#include <functional>
#include <vector>

#include "image.h"

namespace content {

struct Point {
    double x, y;
};

using Inside = std::function<bool(double x, double y)>;
using Paint = std::function<Colour(int x, int y)>;

// Covers the pixels of the box [x0, x1) x [y0, y1) where inside() holds, painting each with
// paint().
void fill_shape(Image& img, int x0, int y0, int x1, int y1, const Inside& inside,
                const Paint& paint);

void fill_rect(Image& img, int x, int y, int w, int h, Colour c);
void fill_round_rect(Image& img, double x, double y, double w, double h, double radius,
                     const Paint& paint);
void fill_round_rect(Image& img, double x, double y, double w, double h, double radius, Colour c);
void stroke_round_rect(Image& img, double x, double y, double w, double h, double radius,
                       double thickness, Colour c);
void fill_circle(Image& img, double cx, double cy, double r, Colour c);
void fill_ellipse(Image& img, double cx, double cy, double rx, double ry, Colour c);
void stroke_circle(Image& img, double cx, double cy, double r, double thickness, Colour c);
void fill_polygon(Image& img, const std::vector<Point>& points, Colour c);
void draw_line(Image& img, double x0, double y0, double x1, double y1, double width, Colour c);

// A vertical gradient from top to bottom colour over [y0, y1).
Paint vertical_gradient(int y0, int y1, Colour top, Colour bottom);
Paint solid(Colour c);

// Deterministic value noise in [0, 1): the same on every run and machine.
double hash_noise(int x, int y, int seed);
double smooth_noise(double x, double y, int seed); // bilinear value noise

// A five-pointed star.
std::vector<Point> star_points(double cx, double cy, double outer, double inner, int points = 5);

} // namespace content
