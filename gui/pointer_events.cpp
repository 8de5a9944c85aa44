// Drawing-area pointer handlers: the part both modes share, then the
// dispatch to stroke capture (edit mode) or the selection (view mode).
#include "gui/pointer_events.h"

#include "gui/brush.h"
#include "gui/calc_state.h"
#include "gui/canvas.h"
#include "gui/coords.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/pixel.h"
#include "gui/region.h"

// The status-bar context of the pixel read-out.
static const guint kReadoutContext = 0;

// Start point of a stroke: the press position, or with Control held the
// last stored point, so that the first segment draws a straight line from
// there to the click.
static void set_stroke_start(const GdkEventButton *event) {
  if (event->state & GDK_CONTROL_MASK) {
    convert_storable_coords(view_snap_grid(), prev_true_x, prev_true_y, &prev_x, &prev_y);
  } else {
    prev_x = event->x;
    prev_y = event->y;
    get_storable_coords(view_snap_grid(), prev_x, prev_y, &prev_true_x, &prev_true_y);
  }
}

static void get_motion_position(GdkEventMotion *event, int *x, int *y, GdkModifierType *state) {
  if (event->is_hint) {
    gdk_window_get_pointer(event->window, x, y, state);
  } else {
    *x = (int)event->x;
    *y = (int)event->y;
    *state = (GdkModifierType)event->state;
  }
}

// Shows the view pixel under (x, y) as stored (premultiplied), or zeros
// outside the view.
static void show_pixel_readout(int x, int y) {
  guchar a = 0, r = 0, g = 0, b = 0;
  if (x >= 0 && y >= 0 && x < cairo_image_surface_get_width(win_surf) &&
      y < cairo_image_surface_get_height(win_surf)) {
    cairo_surface_flush(win_surf);
    cairoimagesurface_get_pixel(win_surf, x, y, &a, &r, &g, &b);
  }
  g_autofree char *text = g_strdup_printf("r%03d g%03d b%03d a%03d : x %d y %d", r, g, b, a, x, y);
  update_statusbar(text, kReadoutContext, status_bar);
}

gboolean button_press_event(GtkWidget *widget, GdkEventButton *event, gpointer data) {
  (void)data;
  if (event->button != 1) return TRUE;
  finished_stroke = 0;
  set_stroke_start(event);
  m_button_x = cursor_x = event->x;
  m_button_y = cursor_y = event->y;
  if (in_edit_mode)
    stroke_button_press(widget, event);
  else if (!refuse_while_calculating())
    selection_press(widget);
  return TRUE;
}

gboolean motion_notify_event(GtkWidget *widget, GdkEventMotion *event, gpointer data) {
  (void)data;
  int x = 0, y = 0;
  GdkModifierType state = (GdkModifierType)0;
  get_motion_position(event, &x, &y, &state);
  if (in_edit_mode) {
    stroke_motion(widget, event, x, y, state);
    initiate_cursor_redraw(widget, x, y);
  } else if ((state & GDK_BUTTON1_MASK) && !calculation_running()) {
    selection_drag(widget, x, y);
  }
  cursor_x = x;
  cursor_y = y;
  show_pixel_readout(x, y);
  return TRUE;
}
