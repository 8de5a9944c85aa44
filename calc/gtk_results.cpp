// Result assembly after a calculation: error report, result pixbuf, switch to
// view mode; after a stop, back to edit mode.
#include "calc/gtk_results.h"

#include "calc/foreground_colours.h"
#include "calc/gtk_calc.h"
#include "calc/solver_status.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/pixel.h"
#include "gui/region.h"

static const guchar TRANSPARENT = 0;
static const char CANCELLED_MESSAGE[] = "Calculation cancelled";

static guchar result_alpha_at(const TIFF_img *result, int rx, int ry) {
  bool inside = rx >= 0 && ry >= 0 && rx < result->width && ry < result->height;
  return inside ? result->plane[ry][rx] : TRANSPARENT;
}

// Shows pixbuf_alpha in view mode. Activating the mode toggle switches modes
// and repaints; when the window is already in view mode (the user switched
// during the calculation) the toggle does nothing, so the view is repainted
// through the same handler to show the new result.
static void show_result(GtkToolItem *mode_button) {
  GtkToggleToolButton *toggle = GTK_TOGGLE_TOOL_BUTTON(mode_button);
  if (gtk_toggle_tool_button_get_active(toggle)) {
    cb_toggle_mode(GTK_WIDGET(mode_button), toolbar);
  } else {
    gtk_toggle_tool_button_set_active(toggle, TRUE);
  }
}

// Back to painting: the calculation started in edit mode, but the user may
// have looked at an older result meanwhile.
static void show_edit_mode(GtkToolItem *mode_button) {
  GtkToggleToolButton *toggle = GTK_TOGGLE_TOOL_BUTTON(mode_button);
  if (gtk_toggle_tool_button_get_active(toggle)) {
    gtk_toggle_tool_button_set_active(toggle, FALSE);
  }
  set_drawing_area_cursor(blank_cursor);
}

void compose_result_pixbuf(GdkPixbuf *picture, GdkPixbuf *out, const TIFF_img *result, int x, int y,
                           const TIFF_img *colours) {
  int width = gdk_pixbuf_get_width(picture);
  int height = gdk_pixbuf_get_height(picture);
  for (int py = 0; py < height; py++) {
    for (int px = 0; px < width; px++) {
      guchar r = 0, g = 0, b = 0, a = 0;
      gdkpixbuf_get_pixel(picture, px, py, &r, &g, &b, &a);
      gdkpixbuf_put_pixel(out, px, py, r, g, b, result_alpha_at(result, px - x, py - y));
    }
  }
  if (colours != NULL && has_foreground_colours(colours)) {
    paint_foreground_colours(colours, x, y, gdk_pixbuf_get_pixels(out),
                             gdk_pixbuf_get_rowstride(out), gdk_pixbuf_get_n_channels(out));
  }
}

void release_calc_result(void) {
  calc_args *record = pass_calc_args;
  free_TIFF(record->result);
  delete record->result;
  record->result = NULL;
  if (record->colours != NULL) free_TIFF(record->colours);
  delete record->colours;
  record->colours = NULL;
}

void setup_results(void) {
  calc_args *record = pass_calc_args;
  if (calculation_failed(record->status)) {
    // What a failed solve leaves is no matte: showing it would replace the
    // picture on screen with a blank, transparent one.
    const std::string message =
        calculation_failure_message(record->status, &record->failure, FOR_WINDOW);
    if (!message.empty()) error_message_dialog(GTK_WIDGET(record->mode_button), message.c_str());
    // The dialog leaves the brush's blank pointer; view mode needs the arrow.
    set_drawing_area_cursor(in_edit_mode ? blank_cursor : NULL);
    release_calc_result();
    return;
  }
  // The colours come from the picture itself: in view mode pixbuf_image is
  // pixbuf_alpha, whose colours may be the previous result's estimates.
  compose_result_pixbuf(pixbuf_no_alpha, pixbuf_alpha, record->result, x_img_ROI, y_img_ROI,
                        record->colours);
  set_drawing_area_cursor(NULL);
  release_calc_result();
  show_result(record->mode_button);
}

void setup_cancelled(void) {
  release_calc_result();
  update_statusbar(CANCELLED_MESSAGE, CALC_STATUS_CONTEXT, status_bar);
  show_edit_mode(pass_calc_args->mode_button);
}
