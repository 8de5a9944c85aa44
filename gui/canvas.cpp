// View composition, zoom, brush cursor and the redraws they need.
#include "gui/canvas.h"

#include <algorithm>
#include <cmath>

#include "gui/globals.h"
#include "gui/region.h"

// The zoom adjustment is in percent.
static const double kPercent = 100.0;
// Marker ring shown around brushes too small to see: its radius and line
// width in window pixels, and the eight 45-degree pieces it is drawn from,
// alternating brush colour and red. The ring is traced twice (16 arcs).
static const double kRingRadius = 5.0;
static const double kRingLineWidth = 0.5;
static const int kRingArcs = 16;
static const double kRingArcAngle = M_PI / 4;
// Odd brush diameters are centred on pixel centres.
static const double kPixelCentre = 0.5;

static void fill_circle(cairo_t *cr, double cx, double cy, double r) {
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
}

// Ring of kRingRadius window pixels around (cx, cy) in a context scaled by
// `scale`, so that a one-pixel brush can still be found on screen.
static void draw_marker_ring(cairo_t *cr, double cx, double cy) {
  cairo_set_line_width(cr, kRingLineWidth / scale);
  for (int i = 0; i < kRingArcs; i++) {
    if (i % 2 == 0)
      cairo_set_source_rgb(cr, red, green, blue);
    else
      cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, kRingRadius / scale, i * kRingArcAngle, (i + 1) * kRingArcAngle);
    cairo_stroke(cr);
  }
}

snap_grid view_snap_grid(void) { return snap_grid{scale, radius}; }

void queue_view_area(GtkWidget *widget, pixel_rect area) {
  gtk_widget_queue_draw_area(widget, area.x, area.y, area.width, area.height);
}

void compose_win_surf_area(double x, double y, double width, double height) {
  cairo_t *cr = cairo_create(win_surf);
  // Whole pixels only: the band around a selection outline must be
  // replaced exactly, without blending the old outline into the edge.
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_rectangle(cr, x, y, width, height);
  cairo_clip(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, 0, 0, 0, 0);
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_scale(cr, scale, scale);
  gdk_cairo_set_source_pixbuf(cr, pixbuf_image, 0, 0);
  cairo_paint(cr);
  if (in_edit_mode) {
    cairo_set_source_surface(cr, surf_layer, 0, 0);
    cairo_paint(cr);
  }
  cairo_destroy(cr);
}

void compose_win_surf(void) {
  compose_win_surf_area(0, 0, cairo_image_surface_get_width(win_surf),
                        cairo_image_surface_get_height(win_surf));
}

void replace_win_surf(void) {
  int width = zoomed_length(gdk_pixbuf_get_width(pixbuf_image), scale);
  int height = zoomed_length(gdk_pixbuf_get_height(pixbuf_image), scale);
  gtk_widget_set_size_request(drawing_area, width, height);
  cairo_surface_destroy(win_surf);
  win_surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  compose_win_surf();
}

void draw_brush(cairo_t *cr) {
  // The centre follows the pointer unsnapped, only shifted to the pixel
  // centre for odd diameters, so the cursor sits where the dot will land.
  double offset = brush_diameter_is_odd(radius) ? kPixelCentre : 0.0;
  double cx = cursor_x / scale + offset;
  double cy = cursor_y / scale + offset;
  cairo_save(cr);
  cairo_scale(cr, scale, scale);
  cairo_set_source_rgb(cr, red, green, blue);
  fill_circle(cr, cx, cy, radius);
  // Red inside the white brush, cyan inside the black one.
  cairo_set_source_rgb(cr, red, 1 - green, 1 - blue);
  fill_circle(cr, cx, cy, radius / 2);
  if (brush_shows_marker_ring(view_snap_grid())) draw_marker_ring(cr, cx, cy);
  cairo_restore(cr);
}

void paint_canvas(cairo_t *cr) {
  cairo_set_source_surface(cr, win_surf, 0, 0);
  cairo_paint(cr);
  if (in_edit_mode) draw_brush(cr);
}

void initiate_cursor_redraw(GtkWidget *widget, int x, int y) {
  queue_view_area(widget, cursor_redraw_area(x, y, prev_cursor_x, prev_cursor_y, view_snap_grid()));
}

void redraw_brush(void) {
  queue_view_area(drawing_area, brush_redraw_area(cursor_x, cursor_y, scale, radius));
}

gboolean on_expose_event(GtkWidget *widget, GdkEventExpose *event, gpointer data) {
  (void)data;
  cairo_t *cr = gdk_cairo_create(gtk_widget_get_window(widget));
  if (event) {
    gdk_cairo_region(cr, event->region);
    cairo_clip(cr);
  }
  paint_canvas(cr);
  cairo_destroy(cr);
  prev_cursor_x = cursor_x;
  prev_cursor_y = cursor_y;
  return FALSE;
}

gboolean configure_event(GtkWidget *widget, GdkEventConfigure *event, gpointer data) {
  (void)event;
  (void)data;
  cairo_t *cr = gdk_cairo_create(gtk_widget_get_window(widget));
  cairo_set_source_surface(cr, win_surf, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  return TRUE;
}

void cb_draw_zoom(GtkAdjustment *adjustment, gpointer window) {
  (void)window;
  scale = gtk_adjustment_get_value(adjustment) / kPercent;
  replace_win_surf();
  redraw_selection_outline();
  // The allocation does not change when the zoomed view still fits the
  // viewport, so nothing else would redraw it.
  gtk_widget_queue_draw(drawing_area);
}

void cb_zoom_to(GtkWidget *button, gpointer zoom_adjustment) {
  (void)button;
  // Emits "value_changed" (and so zooms) only when the value changes.
  gtk_adjustment_set_value(GTK_ADJUSTMENT(zoom_adjustment), kPercent);
}

void cb_set_brush_size(GtkAdjustment *adjustment, gpointer toolbar) {
  (void)toolbar;
  double old_radius = radius;
  radius = gtk_adjustment_get_value(adjustment) / 2;
  // The larger of the two cursors must be wiped.
  queue_view_area(drawing_area,
                  brush_redraw_area(cursor_x, cursor_y, scale, std::max(old_radius, radius)));
}
