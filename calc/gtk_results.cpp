// Result assembly after a calculation: error report, result pixbuf, switch to
// view mode.
#include "calc/gtk_results.h"

#include "calc/gtk_calc.h"
#include "calc/solver_status.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/pixel.h"
#include "gui/region.h"

static const guchar TRANSPARENT = 0;

static guchar result_alpha_at(const TIFF_img *result, int rx, int ry) {
  bool inside = rx >= 0 && ry >= 0 && rx < result->width && ry < result->height;
  return inside ? result->plane[ry][rx] : TRANSPARENT;
}

static void remove_progress_bar(calc_args *record) {
  if (record->progress_bar != NULL) {
    gtk_widget_destroy(record->progress_bar);
    record->progress_bar = NULL;
  }
}

static void release_result(calc_args *record) {
  free_TIFF(record->result);
  delete record->result;
  record->result = NULL;
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

void compose_result_pixbuf(GdkPixbuf *picture, GdkPixbuf *out, const TIFF_img *result, int x,
                           int y) {
  int width = gdk_pixbuf_get_width(picture);
  int height = gdk_pixbuf_get_height(picture);
  for (int py = 0; py < height; py++) {
    for (int px = 0; px < width; px++) {
      guchar r = 0, g = 0, b = 0, a = 0;
      gdkpixbuf_get_pixel(picture, px, py, &r, &g, &b, &a);
      gdkpixbuf_put_pixel(out, px, py, r, g, b, result_alpha_at(result, px - x, py - y));
    }
  }
}

void setup_results(void) {
  calc_args *record = pass_calc_args;
  remove_progress_bar(record);
  const std::string message =
      calculation_failure_message(record->status, &record->failure, FOR_WINDOW);
  if (!message.empty()) {
    error_message_dialog(GTK_WIDGET(record->mode_button), message.c_str());
  }
  compose_result_pixbuf(pixbuf_image, pixbuf_alpha, record->result, x_img_ROI, y_img_ROI);
  set_drawing_area_cursor(NULL);
  release_result(record);
  show_result(record->mode_button);
}
