// Brush tools and stroke capture (edit mode).
//
// Positions given to these functions are drawing-area pixels; what is
// stored in the stroke records and painted into the layer is the snapped
// image position (gui/coords.h).
#pragma once

#include <cairo.h>
#include <gtk/gtk.h>

// Tool buttons: set the brush colour (`red`, `green`, `blue`, `alpha`; alpha 0
// is the eraser) and redraw the brush cursor. Their user data is unused.
void cb_set_FG(GtkWidget *button, gpointer toolbar);
void cb_set_BG(GtkWidget *button, gpointer toolbar);
void cb_set_Eraser(GtkWidget *button, gpointer toolbar);
// Also copies the button's colour into the global `color`.
void cb_set_Color(GtkColorButton *button, gpointer toolbar);

// Edit-mode halves of the drawing-area pointer handlers (gui/pointer_events.h
// does the bookkeeping both modes share first, including the start point
// `prev_x`, `prev_y` / `prev_true_x`, `prev_true_y`).
// A left-button press starts a stroke: a new history record holding the
// start point, then the first segment to the press position (a dot without
// Control). Other buttons and double-click events are ignored.
void stroke_button_press(GtkWidget *widget, GdkEventButton *event);
// Motion to (x, y) with `state` (already resolved for motion hints): extends
// the stroke while button 1 is held, ends it otherwise.
void stroke_motion(GtkWidget *widget, GdkEventMotion *event, int x, int y, GdkModifierType state);

// Paints the segment from (`prev_x`, `prev_y`) to (x, y) into the layer and
// the view, queues its redraw on `widget` and appends the point to the
// current record.
void draw_line(GtkWidget *widget, double x, double y);

// Strokes the segment from the snapped (`prev_x`, `prev_y`) to the snapped
// (x, y) on `cr` (user space in image pixels) and returns its path extents.
void standard_draw(cairo_t *cr, int x, int y, double *x1, double *y1, double *x2, double *y2);
