// Pure coordinate arithmetic of the canvas: no window needed.
#include "gui/coords.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct SnapCase {
  double scale, radius;     // view zoom, brush radius (size / 2)
  double wx, wy;            // pointer in window pixels
  double ix, iy;            // expected snapped picture point
};
void PrintTo(const SnapCase &c, std::ostream *os) {
  *os << "scale " << c.scale << " radius " << c.radius << " at " << c.wx << ","
      << c.wy;
}

// Hand-worked: ix = trunc(wx / scale), plus 0.5 when trunc(2 r) is odd.
const SnapCase kSnapCases[] = {
    {1.0, 5.0, 37.0, 12.0, 37.0, 12.0},    // size 10: corners
    {1.0, 2.5, 37.0, 12.0, 37.5, 12.5},    // size 5: centres
    {0.5, 5.0, 75.0, 75.0, 150.0, 150.0},  // 50 %: one window pixel = 2
    {1.0, 1.5, 3.9, 4.2, 3.5, 4.5},        // size 3: odd, truncated first
    {1.0, 2.0, 3.9, 4.2, 3.0, 4.0},        // size 4: even
    {2.0, 5.0, 100.0, 101.0, 50.0, 50.0},  // 200 %: 101 / 2 truncates to 50
    {4.0, 0.5, 7.0, 3.0, 1.5, 0.5},        // size 1 at 400 %
    {2.0, 5.0, -3.0, -1.0, -1.0, 0.0},     // left of the view: toward zero
};

class SnapTest : public ::testing::TestWithParam<SnapCase> {};

TEST_P(SnapTest, WindowPointSnapsToPixelGrid) {
  const SnapCase &c = GetParam();
  double ix = -99, iy = -99;
  get_storable_coords(snap_grid{c.scale, c.radius}, c.wx, c.wy, &ix, &iy);
  EXPECT_DOUBLE_EQ(ix, c.ix);
  EXPECT_DOUBLE_EQ(iy, c.iy);
}

TEST_P(SnapTest, SnappedPointMapsBackToItsPixelCorner) {
  const SnapCase &c = GetParam();
  snap_grid grid{c.scale, c.radius};
  double wx = 0, wy = 0, ix = 0, iy = 0;
  convert_storable_coords(grid, c.ix, c.iy, &wx, &wy);
  // The window point of the pixel's corner snaps to the same point again.
  get_storable_coords(grid, wx, wy, &ix, &iy);
  EXPECT_DOUBLE_EQ(ix, c.ix);
  EXPECT_DOUBLE_EQ(iy, c.iy);
  EXPECT_DOUBLE_EQ(wx, std::floor(c.ix) * c.scale);
}

INSTANTIATE_TEST_SUITE_P(Canvas, SnapTest, ::testing::ValuesIn(kSnapCases));

// Bounding box, in window pixels, of the brush cursor drawn at pointer
// (x, y): its disc (shifted half a picture pixel for odd diameters) or,
// for tiny brushes, the 5-pixel marker ring with its half-width line.
struct Box {
  double x0, y0, x1, y1;
};
Box cursor_box(double x, double y, snap_grid g) {
  double shift = brush_diameter_is_odd(g.radius) ? 0.5 * g.scale : 0.0;
  double r = std::max(g.scale * g.radius, g.scale * g.radius <= 1.5 ? 5.25 : 0);
  return Box{x + shift - r, y + shift - r, x + shift + r, y + shift + r};
}
// Whether the area holds every pixel the box overlaps, partly or whole.
bool contains(pixel_rect a, Box b) {
  return a.x <= std::floor(b.x0) && a.y <= std::floor(b.y0) &&
         a.x + a.width >= std::ceil(b.x1) && a.y + a.height >= std::ceil(b.y1);
}

struct CursorMove {
  int x, y;
  double px, py;
  snap_grid grid;
};

TEST(Coords, CursorRedrawAreaCoversOldAndNewCursor) {
  const CursorMove moves[] = {
      {100, 80, 90, 85, {1.0, 5.0}},    {10, 10, 200, 150, {2.0, 2.5}},
      {300, 40, 298, 44, {0.125, 40}},  {50, 50, 50, 50, {1.0, 0.5}},
      {60, 70, 20, 10, {4.0, 0.5}},     {30, 30, 31, 29, {0.25, 5}},
      {40, 40, 44, 41, {0.75, 2.0}},  // ring drawn at exactly 1.5
  };
  for (const CursorMove &m : moves) {
    pixel_rect area = cursor_redraw_area(m.x, m.y, m.px, m.py, m.grid);
    EXPECT_TRUE(contains(area, cursor_box(m.x, m.y, m.grid))) << m.x << "," << m.y;
    EXPECT_TRUE(contains(area, cursor_box(m.px, m.py, m.grid))) << m.px << "," << m.py;
  }
}

TEST(Coords, BrushRedrawAreaCoversTheBrushCursor) {
  const snap_grid grids[] = {{1.0, 5.0}, {2.0, 2.5},  {0.5, 100},
                             {4.0, 1.5}, {1.0, 0.5}, {0.125, 4}};
  for (const snap_grid &g : grids) {
    pixel_rect area = brush_redraw_area(120, 90, g.scale, g.radius);
    EXPECT_TRUE(contains(area, cursor_box(120, 90, g))) << g.scale << " " << g.radius;
  }
}

struct DragCase {
  double scale;
  double ax, ay, cx, cy;            // anchor and moving corner
  selection_rect sel;               // expected selection
  pixel_rect region;                // expected region
};
void PrintTo(const DragCase &c, std::ostream *os) {
  *os << "scale " << c.scale << " from " << c.ax << "," << c.ay << " to "
      << c.cx << "," << c.cy;
}

const DragCase kDragCases[] = {
    // At scale 1 the region is the selection; at scale 2 half of it.
    {1.0, 10, 20, 29, 59, {10, 20, 20, 40}, {10, 20, 20, 40}},
    {2.0, 10, 20, 29, 59, {10, 20, 20, 40}, {5, 10, 10, 20}},
    // Reversed drag: same rectangle.
    {1.0, 29, 59, 10, 20, {10, 20, 20, 40}, {10, 20, 20, 40}},
    {2.0, 29, 20, 10, 59, {10, 20, 20, 40}, {5, 10, 10, 20}},
    // Beyond the picture, negative corners kept and rounded to the nearest
    // pixel like positive ones, so clipping keeps only the selected pixels.
    {1.0, 5, 5, -10, 300, {-10, 5, 16, 296}, {-10, 5, 16, 296}},
    {2.0, 5, 5, -7, -3, {-7, -3, 13, 9}, {-3, -1, 7, 5}},
    // Shorter than half a picture pixel at 400 %: width and height 0.
    {4.0, 40, 40, 40, 40, {40, 40, 1, 1}, {10, 10, 0, 0}},
    // Sub-pixel anchor from a press: rounded to whole window pixels.
    {1.0, 10.6, 20.2, 29, 59, {11, 20, 19, 40}, {11, 20, 19, 40}},
};

class DragTest : public ::testing::TestWithParam<DragCase> {};

TEST_P(DragTest, DragGivesSelectionAndRegion) {
  const DragCase &c = GetParam();
  selection_rect sel = selection_from_drag(c.ax, c.ay, c.cx, c.cy);
  EXPECT_DOUBLE_EQ(sel.left, c.sel.left);
  EXPECT_DOUBLE_EQ(sel.top, c.sel.top);
  EXPECT_DOUBLE_EQ(sel.width, c.sel.width);
  EXPECT_DOUBLE_EQ(sel.height, c.sel.height);
  pixel_rect r = region_from_selection(sel, c.scale);
  EXPECT_EQ(r.x, c.region.x);
  EXPECT_EQ(r.y, c.region.y);
  EXPECT_EQ(r.width, c.region.width);
  EXPECT_EQ(r.height, c.region.height);
}

INSTANTIATE_TEST_SUITE_P(Canvas, DragTest, ::testing::ValuesIn(kDragCases));

TEST(Coords, RegionToSelectionAndBackIsStable) {
  const pixel_rect regions[] = {{5, 10, 10, 20}, {0, 0, 0, 0}, {-3, 7, 40, 1}};
  const double scales[] = {0.125, 0.5, 1.0, 2.0, 4.0};
  for (pixel_rect region : regions) {
    for (double s : scales) {
      double ax = 0, ay = 0;
      selection_rect sel = selection_from_region(region, s, &ax, &ay);
      // Redrawing from the anchor to the selection's corner reproduces it
      // where it lies on whole pixels; it always maps back to the region.
      selection_rect redrawn = selection_from_drag(ax, ay, sel.left, sel.top);
      if (s >= 1.0 && region.width > 0 && region.height > 0) {
        EXPECT_DOUBLE_EQ(redrawn.left, sel.left);
        EXPECT_DOUBLE_EQ(redrawn.top, sel.top);
        EXPECT_DOUBLE_EQ(redrawn.width, sel.width);
        EXPECT_DOUBLE_EQ(redrawn.height, sel.height);
      }
      pixel_rect back = region_from_selection(sel, s);
      EXPECT_EQ(back.x, region.x);
      EXPECT_EQ(back.y, region.y);
      EXPECT_EQ(back.width, region.width);
      EXPECT_EQ(back.height, region.height);
    }
  }
}

}  // namespace
