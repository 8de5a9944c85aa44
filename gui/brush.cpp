#include "gui/brush.h"

#include "gui/brush_paint.h"
#include "gui/canvas.h"
#include "gui/coords.h"
#include "gui/globals.h"
#include "gui/history.h"

// The eraser's colour is only seen in the brush cursor.
static const double ERASER_CURSOR_GREY = 0.3;
static const double COLOR_COMPONENT_MAX = 65535.0;

static void set_brush(double r, double g, double b, double a) {
  red = r;
  green = g;
  blue = b;
  alpha = a;
  redraw_brush();
}

void standard_draw(cairo_t *cr, int x, int y, double *x1, double *y1, double *x2, double *y2) {
  double points[4];
  snap_grid grid = view_snap_grid();
  get_storable_coords(grid, prev_x, prev_y, &points[0], &points[1]);
  get_storable_coords(grid, x, y, &points[2], &points[3]);
  double extents[4];
  stroke_segments(cr, points, 2, extents);
  *x1 = extents[0];
  *y1 = extents[1];
  *x2 = extents[2];
  *y2 = extents[3];
}

void draw_line(GtkWidget *widget, double x, double y) {
  // Pointer positions are whole pixels; truncating once here keeps the
  // painted segment and the stored point the same.
  int xi = (int)x, yi = (int)y;
  double points[4];
  snap_grid grid = view_snap_grid();
  get_storable_coords(grid, prev_x, prev_y, &points[0], &points[1]);
  get_storable_coords(grid, xi, yi, &points[2], &points[3]);
  double box[4];
  points_box(points, 2, box);
  brush_style brush = current_brush();
  double extents[4];

  cairo_t *cr = create_brush_context(PASS_LAYER, &brush, box);
  standard_draw(cr, xi, yi, &extents[0], &extents[1], &extents[2], &extents[3]);
  cairo_destroy(cr);
  cr = create_brush_context(PASS_VIEW, &brush, box);
  standard_draw(cr, xi, yi, &extents[0], &extents[1], &extents[2], &extents[3]);
  cairo_destroy(cr);

  prev_x = xi;
  prev_y = yi;
  queue_stroke_redraw(widget, extents, radius);
  prev_true_x = points[2];
  prev_true_y = points[3];
  append_stroke_point(prev_true_x, prev_true_y);
}

void cb_set_FG(GtkWidget *, gpointer) { set_brush(1.0, 1.0, 1.0, 1.0); }

void cb_set_BG(GtkWidget *, gpointer) { set_brush(0.0, 0.0, 0.0, 1.0); }

void cb_set_Eraser(GtkWidget *, gpointer) {
  set_brush(ERASER_CURSOR_GREY, ERASER_CURSOR_GREY, ERASER_CURSOR_GREY, 0.0);
}

void cb_set_Color(GtkColorButton *button, gpointer) {
  gtk_color_button_get_color(button, &color);
  set_brush(color.red / COLOR_COMPONENT_MAX, color.green / COLOR_COMPONENT_MAX,
            color.blue / COLOR_COMPONENT_MAX, 1.0);
}

void stroke_button_press(GtkWidget *widget, GdkEventButton *event) {
  // A double click also delivers GDK_2BUTTON_PRESS after its two presses;
  // it is not a press of its own and must not start a third stroke.
  if (event->button != 1 || event->type != GDK_BUTTON_PRESS) return;
  manage_glist_mbutton_press();
  append_stroke_point(prev_true_x, prev_true_y);
  draw_line(widget, event->x, event->y);
}

void stroke_motion(GtkWidget *widget, GdkEventMotion *, int x, int y, GdkModifierType state) {
  if (!(state & GDK_BUTTON1_MASK))
    finished_stroke = 1;
  else if (!finished_stroke)
    draw_line(widget, x, y);
}
