#include "gui/brush_paint.h"

#include <cmath>

#include "gui/globals.h"

// Extra image pixels around a stroke when the picture is taken as the
// eraser's source: the view is scaled with a bilinear filter, which samples
// one pixel beyond the covered area.
static const double PICTURE_SOURCE_MARGIN = 2.0;

// Sets the part of the picture on show that covers `box` widened by
// `margin` as the source, replacing the view's pixels (operator SOURCE).
// Outside that part nothing is painted, exactly as with the whole picture,
// whose pattern is transparent beyond its edges.
static void set_picture_source(cairo_t *cr, const double box[4], double margin) {
  int width = gdk_pixbuf_get_width(pixbuf_image);
  int height = gdk_pixbuf_get_height(pixbuf_image);
  int x0 = CLAMP((int)floor(box[0] - margin), 0, width);
  int y0 = CLAMP((int)floor(box[1] - margin), 0, height);
  int x1 = CLAMP((int)ceil(box[2] + margin), 0, width);
  int y1 = CLAMP((int)ceil(box[3] + margin), 0, height);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  if (x1 <= x0 || y1 <= y0) {
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
    return;
  }
  // The pattern holds its own copy of the pixels.
  g_autoptr(GdkPixbuf) area = gdk_pixbuf_new_subpixbuf(pixbuf_image, x0, y0, x1 - x0, y1 - y0);
  gdk_cairo_set_source_pixbuf(cr, area, x0, y0);
}

brush_style current_brush(void) {
  brush_style brush = {radius, red, green, blue, alpha == 0.0};
  return brush;
}

void points_box(const double *points, int n_points, double box[4]) {
  box[0] = box[2] = points[0];
  box[1] = box[3] = points[1];
  for (int i = 1; i < n_points; i++) {
    box[0] = MIN(box[0], points[2 * i]);
    box[2] = MAX(box[2], points[2 * i]);
    box[1] = MIN(box[1], points[2 * i + 1]);
    box[3] = MAX(box[3], points[2 * i + 1]);
  }
}

cairo_t *create_brush_context(paint_pass pass, const brush_style *brush, const double box[4]) {
  cairo_t *cr = cairo_create(pass == PASS_VIEW ? win_surf : surf_layer);
  if (pass == PASS_VIEW) cairo_scale(cr, scale, scale);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, 2.0 * brush->radius);
  if (brush->eraser && pass == PASS_VIEW) {
    set_picture_source(cr, box, brush->radius + PICTURE_SOURCE_MARGIN);
    return cr;
  }
  if (brush->eraser) cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
  cairo_set_source_rgb(cr, brush->red, brush->green, brush->blue);
  return cr;
}

void stroke_segments(cairo_t *cr, const double *points, int n_points, double extents[4]) {
  for (int i = 0; i + 1 < n_points; i++) {
    cairo_move_to(cr, points[2 * i], points[2 * i + 1]);
    cairo_line_to(cr, points[2 * i + 2], points[2 * i + 3]);
  }
  if (extents) cairo_path_extents(cr, &extents[0], &extents[1], &extents[2], &extents[3]);
  cairo_stroke(cr);
}

void queue_stroke_redraw(GtkWidget *widget, const double extents[4], double brush_radius) {
  // Rounded outwards in view pixels, so that below 100 % zoom the last
  // partly covered pixel is redrawn too.
  int left = (int)floor(scale * (extents[0] - brush_radius));
  int top = (int)floor(scale * (extents[1] - brush_radius));
  int right = (int)ceil(scale * (extents[2] + brush_radius + 1));
  int bottom = (int)ceil(scale * (extents[3] + brush_radius + 1));
  gtk_widget_queue_draw_area(widget, left, top, right - left, bottom - top);
}
