// Pure coordinate arithmetic of the canvas: no window needed.
#include "gui/coords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Rectangles as (x, y, width, height), to compare and print whole.
std::vector<int> v(pixel_rect r) { return {r.x, r.y, r.width, r.height}; }
std::vector<double> v(selection_rect r) { return {r.left, r.top, r.width, r.height}; }

TEST(Coords, WindowPointsSnapToThePixelGridAndMapBack) {
  // Hand-worked: ix = trunc(wx / scale), plus 0.5 when trunc(2 r) is odd.
  const struct {
    double scale, radius, wx, wy, ix, iy;
  } cases[] = {
      {1.0, 2.5, 37.0, 12.0, 37.5, 12.5},    // size 5: centres (size 10: corners)
      {0.5, 5.0, 75.0, 75.0, 150.0, 150.0},  // 50 %: one window pixel = 2
      {1.0, 1.5, 3.9, 4.2, 3.5, 4.5},        // size 3: odd, truncated first
      {2.0, 5.0, 100.0, 101.0, 50.0, 50.0},  // 200 %: 101 / 2 truncates to 50
      {2.0, 5.0, -3.0, -1.0, -1.0, 0.0},     // left of the view: toward zero
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << "scale " << c.scale << " radius " << c.radius);
    snap_grid grid{c.scale, c.radius};
    double ix = -99, iy = -99, wx = -99, wy = -99;
    get_storable_coords(grid, c.wx, c.wy, &ix, &iy);
    EXPECT_DOUBLE_EQ(ix, c.ix);
    EXPECT_DOUBLE_EQ(iy, c.iy);
    // The window point of the pixel's corner snaps to the same point again.
    convert_storable_coords(grid, c.ix, c.iy, &wx, &wy);
    EXPECT_DOUBLE_EQ(wx, std::floor(c.ix) * c.scale);
    get_storable_coords(grid, wx, wy, &ix, &iy);
    EXPECT_DOUBLE_EQ(ix, c.ix);
    EXPECT_DOUBLE_EQ(iy, c.iy);
  }
}

TEST(Coords, DragGivesSelectionAndRegion) {
  const struct {
    double scale, ax, ay, cx, cy;  // anchor and moving corner
    selection_rect sel;
    pixel_rect region;
  } cases[] = {
      // At scale 2 the region is half the selection; reversed, the same.
      {2.0, 29, 59, 10, 20, {10, 20, 20, 40}, {5, 10, 10, 20}},
      // Beyond the picture, negative corners kept and rounded to the nearest
      // pixel like positive ones, so clipping keeps only the selected pixels.
      {1.0, 5, 5, -10, 300, {-10, 5, 16, 296}, {-10, 5, 16, 296}},
      {2.0, 5, 5, -7, -3, {-7, -3, 13, 9}, {-3, -1, 7, 5}},
      // Shorter than half a picture pixel at 400 %: width and height 0.
      {4.0, 40, 40, 40, 40, {40, 40, 1, 1}, {10, 10, 0, 0}},
      // Sub-pixel anchor from a press: rounded to whole window pixels.
      {1.0, 10.6, 20.2, 29, 59, {11, 20, 19, 40}, {11, 20, 19, 40}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << "scale " << c.scale << " from " << c.ax << "," << c.ay
                                      << " to " << c.cx << "," << c.cy);
    selection_rect sel = selection_from_drag(c.ax, c.ay, c.cx, c.cy);
    EXPECT_EQ(v(sel), v(c.sel));
    EXPECT_EQ(v(region_from_selection(sel, c.scale)), v(c.region));
  }
}

}  // namespace
