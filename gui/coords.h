// Coordinate arithmetic of the canvas, free of toolkit state: snapping
// drawing-area points to the picture's pixel grid, the zoomed view size, the
// rectangles queued for redrawing, and the conversions between the selection
// rectangle (window pixels) and the calculation region (picture pixels).
//
// Window pixels are pixels of the drawing area and of `win_surf`: picture
// pixels × scale, where scale = zoom percent / 100 (0.125 to 4.0). Every
// conversion to an integer truncates toward zero unless it says otherwise.
#pragma once

// What the snapping depends on: the view's zoom factor and the brush radius
// in picture pixels.
struct snap_grid {
  double scale;
  double radius;
};

// Integer rectangle: a redraw area in window pixels or a calculation region
// in picture pixels, as the caller says.
struct pixel_rect {
  int x, y, width, height;
};

// Selection rectangle in window pixels; width and height count both edge
// pixels, so a one-pixel selection has width 1.
struct selection_rect {
  double left, top, width, height;
};

// True when the brush diameter trunc(2 × radius) is odd. Strokes are then
// snapped to pixel centres (integer + 0.5), otherwise to pixel corners, so
// that an unantialiased round brush covers whole pixels only.
bool brush_diameter_is_odd(double radius);

// True when the brush is at most 1.5 window pixels in radius: its cursor
// then gets a marker ring of 5 window pixels so that it can be found.
bool brush_shows_marker_ring(snap_grid grid);

// Window point -> snapped picture point.
void get_storable_coords(snap_grid grid, double wx, double wy, double *ix, double *iy);
// Snapped picture point -> window point (undoes the centre offset).
void convert_storable_coords(snap_grid grid, double ix, double iy, double *wx, double *wy);
// Snaps both (x, y) and the previous stroke point (px, py).
void get_4_storable_coords(snap_grid grid, double x, double y, double px, double py, double *ix,
                           double *iy, double *pix, double *piy);

// Length in window pixels of a picture length at `scale`, truncated.
int zoomed_length(int picture_length, double scale);

// Area covering the brush cursor at its old (px, py) and new (x, y) pointer
// positions, with a margin for the antialiased edge and the marker ring.
pixel_rect cursor_redraw_area(int x, int y, double px, double py, snap_grid grid);
// Area around the cursor at (cx, cy) for a brush of the given radius, queued
// when the size or the tool changes.
pixel_rect brush_redraw_area(double cx, double cy, double scale, double brush_radius);

// Selection spanned by the anchor and the moving corner in either order,
// rounded to whole window pixels.
selection_rect selection_from_drag(double anchor_x, double anchor_y, double corner_x,
                                   double corner_y);
// Selection -> calculation region (rounded to the nearest picture pixel).
// The region may reach beyond the picture, also with negative corners; it is
// clipped only where it is used (clip_region in calc/engine_input.h).
pixel_rect region_from_selection(selection_rect sel, double scale);
// Calculation region -> selection at `scale`, plus the anchor (the far
// corner) from which selection_from_drag(anchor, sel.left, sel.top)
// reproduces the selection.
selection_rect selection_from_region(pixel_rect region, double scale, double *anchor_x,
                                     double *anchor_y);

// Window area the dashed outline of `sel` touches (its stroke runs half a
// pixel outside the selection).
pixel_rect outline_redraw_area(selection_rect sel);
// Window band repainted to erase that outline: from one pixel before the
// outline's left and top, 4 pixels wider and higher than the selection.
selection_rect outline_erase_band(selection_rect sel);
// The same band truncated to whole pixels, for queueing its redraw.
pixel_rect outline_erase_area(selection_rect sel);
