#include "gui/coords.h"

#include <algorithm>
#include <cmath>

// Half a picture pixel: the offset from a pixel's corner to its centre.
static const double kPixelCentre = 0.5;
// Up to this on-screen radius (window pixels) the brush cursor gets a marker
// ring, and the redraw must cover kMarkerRingArea around it instead.
static const double kTinyBrushRadius = 1.5;
static const double kMarkerRingArea = 5.5;
// Margin before the cursor for its antialiased edge, and the total padding
// added to the span of the old and new cursor.
static const double kCursorMargin = 3.0;
static const double kCursorSpanPadding = 9.0;
// Padding added to every brush area (it starts at the top-left of the
// brush's disc and reaches this far beyond its other side).
static const double kBrushAreaPadding = 20.0;

static double centre_offset(double radius) {
  return brush_diameter_is_odd(radius) ? kPixelCentre : 0.0;
}

// Nearest whole window pixel, halves rounding up.
static double round_half_up(double v) { return std::floor(v + 0.5); }

// Nearest whole picture pixel of a window length. Rounded half up like the
// selection itself (not truncated toward zero after adding a half): a corner
// dragged beyond the left or top edge must not move one pixel inward, or the
// clipped region would take in a column or row that was not selected.
static int to_picture_pixels(double window_length, double scale) {
  return (int)round_half_up(window_length / scale);
}

bool brush_diameter_is_odd(double radius) { return ((long)(2.0 * radius)) % 2 != 0; }

bool brush_shows_marker_ring(snap_grid grid) {
  return grid.scale * grid.radius <= kTinyBrushRadius;
}

void get_storable_coords(snap_grid grid, double wx, double wy, double *ix, double *iy) {
  double offset = centre_offset(grid.radius);
  *ix = std::trunc(wx / grid.scale) + offset;
  *iy = std::trunc(wy / grid.scale) + offset;
}

void convert_storable_coords(snap_grid grid, double ix, double iy, double *wx, double *wy) {
  double offset = centre_offset(grid.radius);
  *wx = (ix - offset) * grid.scale;
  *wy = (iy - offset) * grid.scale;
}

void get_4_storable_coords(snap_grid grid, double x, double y, double px, double py, double *ix,
                           double *iy, double *pix, double *piy) {
  get_storable_coords(grid, x, y, ix, iy);
  get_storable_coords(grid, px, py, pix, piy);
}

int zoomed_length(int picture_length, double scale) { return (int)(scale * picture_length); }

pixel_rect cursor_redraw_area(int x, int y, double px, double py, snap_grid grid) {
  // The same test as the cursor's ring: at exactly 1.5 window pixels the
  // ring is drawn, so it must be wiped too.
  double r = brush_shows_marker_ring(grid) ? kMarkerRingArea : grid.scale * grid.radius;
  double left = std::min((double)x, px) - r - kCursorMargin;
  double top = std::min((double)y, py) - r - kCursorMargin;
  double span = 2.0 * r + kCursorSpanPadding;
  double width = std::fabs(std::trunc(x - px)) + span;
  double height = std::fabs(std::trunc(y - py)) + span;
  return pixel_rect{(int)left, (int)top, (int)width, (int)height};
}

pixel_rect brush_redraw_area(double cx, double cy, double scale, double brush_radius) {
  // A tiny brush's cursor is mostly its marker ring: the area must reach
  // the ring's left and top too, or pieces of the old ring stay on screen.
  double d = brush_shows_marker_ring(snap_grid{scale, brush_radius}) ? 2.0 * kMarkerRingArea
                                                                     : 2.0 * scale * brush_radius;
  int side = (int)(d + kBrushAreaPadding);
  return pixel_rect{(int)(cx - d / 2), (int)(cy - d / 2), side, side};
}

selection_rect selection_from_drag(double anchor_x, double anchor_y, double corner_x,
                                   double corner_y) {
  selection_rect sel;
  sel.width = round_half_up(std::fabs(anchor_x - corner_x) + 1);
  sel.height = round_half_up(std::fabs(anchor_y - corner_y) + 1);
  sel.left = round_half_up(std::min(anchor_x, corner_x));
  sel.top = round_half_up(std::min(anchor_y, corner_y));
  return sel;
}

pixel_rect region_from_selection(selection_rect sel, double scale) {
  return pixel_rect{to_picture_pixels(sel.left, scale), to_picture_pixels(sel.top, scale),
                    to_picture_pixels(sel.width, scale), to_picture_pixels(sel.height, scale)};
}

selection_rect selection_from_region(pixel_rect region, double scale, double *anchor_x,
                                     double *anchor_y) {
  // The anchor is the last pixel inside the selection, so that a drag
  // from it back to the top-left corner spans exactly width × height.
  *anchor_x = (region.x + region.width) * scale - 1;
  *anchor_y = (region.y + region.height) * scale - 1;
  return selection_rect{region.x * scale, region.y * scale, region.width * scale,
                        region.height * scale};
}

pixel_rect outline_redraw_area(selection_rect sel) {
  return pixel_rect{(int)(sel.left - 1), (int)(sel.top - 1), (int)(sel.width + 3),
                    (int)(sel.height + 3)};
}

selection_rect outline_erase_band(selection_rect sel) {
  return selection_rect{sel.left - 1, sel.top - 1, sel.width + 4, sel.height + 4};
}

pixel_rect outline_erase_area(selection_rect sel) {
  selection_rect band = outline_erase_band(sel);
  return pixel_rect{(int)band.left, (int)band.top, (int)band.width, (int)band.height};
}
