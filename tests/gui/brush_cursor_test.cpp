// The brush cursor drawn over the view, without a window: brushes too small
// to see get a marker ring.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/canvas.h"
#include "gui/coords.h"
#include "gui/globals.h"
#include "gui/pixel.h"

namespace {

// Whether the pixel at `angle` on the 5-pixel ring around `centre` is drawn
// in the brush's black (`want_red` false) or in red.
bool ring_piece_drawn(cairo_surface_t *surface, double centre, double angle, bool want_red) {
  guchar a = 0, r = 0, g = 0, b = 0;
  cairoimagesurface_get_pixel(surface, (int)(centre + 5 * std::cos(angle)),
                              (int)(centre + 5 * std::sin(angle)), &a, &r, &g, &b);
  return a > 0 && (want_red ? r > 0 && g == 0 : r == 0);
}

TEST(BrushCursor, TinyBrushesGetAlternatingMarkerRing) {
  const struct {
    double scale, radius;
    bool ring;  // brush at most 1.5 screen pixels in radius
  } brushes[] = {{1.0, 0.5, true}, {1.0, 2.0, false}, {0.25, 5.0, true},
                 {4.0, 0.5, false}, {1.0, 1.5, true}};
  red = green = blue = 0;  // black brush, so the red pieces stand apart
  cursor_x = cursor_y = 20;
  for (const auto &brush : brushes) {
    SCOPED_TRACE(::testing::Message() << "scale " << brush.scale << " radius " << brush.radius);
    scale = brush.scale;
    radius = brush.radius;
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 60, 60);
    cairo_t *cr = cairo_create(surface);
    draw_brush(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    // Middles of the ring's first piece (brush colour) and second (red).
    const double centre = 20 + (brush_diameter_is_odd(radius) ? 0.5 * scale : 0);
    EXPECT_EQ(ring_piece_drawn(surface, centre, M_PI / 8, false), brush.ring);
    EXPECT_EQ(ring_piece_drawn(surface, centre, 3 * M_PI / 8, true), brush.ring);
    cairo_surface_destroy(surface);
  }
}

}  // namespace
