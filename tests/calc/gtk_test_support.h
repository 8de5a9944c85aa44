// Helpers shared by the GUI tests of the calculation, saving and copying:
// installing a synthetic picture straight into the globals, counting the
// dialogs a handler runs, reading the status bar, waiting for the worker.
#pragma once

#include <string>

#include <gtk/gtk.h>

#include "gui/globals.h"
#include "tests/gui/gui_test_support.h"

// Colour of picture pixel (x, y) of a synthetic picture.
typedef void (*picture_colour)(int x, int y, guchar rgb[3]);

// Replaces the picture (pixbuf_no_alpha, pixbuf_alpha with opaque alpha),
// an empty stroke layer, an empty view of the picture's size (zoom 100 %)
// and the options' picture size, as an open would.
inline void install_picture(int width, int height, picture_colour colour) {
  GdkPixbuf *picture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
  guchar *pixels = gdk_pixbuf_get_pixels(picture);
  int stride = gdk_pixbuf_get_rowstride(picture);
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      colour(x, y, pixels + y * stride + 3 * x);
    }
  }
  g_object_unref(pixbuf_alpha);
  g_object_unref(pixbuf_no_alpha);
  pixbuf_no_alpha = picture;
  pixbuf_alpha = gdk_pixbuf_add_alpha(picture, FALSE, 0, 0, 0);
  pixbuf_image = in_edit_mode ? pixbuf_no_alpha : pixbuf_alpha;
  cairo_surface_destroy(surf_layer);
  surf_layer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_surface_destroy(win_surf);
  win_surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  pass_option_args->img_width = width;
  pass_option_args->img_height = height;
}

// Fills a rectangle of the stroke layer with an opaque grey (0 background,
// 255 foreground) or any colour with alpha, bypassing the brush.
inline void fill_layer_rect(int x, int y, int w, int h, double r, double g, double b,
                            double a = 1.0) {
  cairo_t *cr = cairo_create(surf_layer);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_source_rgba(cr, r, g, b, a);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  cairo_destroy(cr);
}

// Answers every dialog titled `title` that a handler shows with `response`,
// counting them; unlike answer_dialog_when_shown it also serves tests that
// expect no dialog at all. Stop it before the counter goes out of scope.
struct dialog_watch {
  const char *title;
  int response;
  int answered;
  std::string text;  // the first label of the first answered dialog
  guint source;
};

inline void collect_label_text(GtkWidget *widget, gpointer text) {
  std::string *out = static_cast<std::string *>(text);
  if (GTK_IS_LABEL(widget) && out->empty()) {
    *out = gtk_label_get_text(GTK_LABEL(widget));
  } else if (GTK_IS_CONTAINER(widget)) {
    gtk_container_foreach(GTK_CONTAINER(widget), collect_label_text, text);
  }
}

inline gboolean watch_dialogs_cb(gpointer data) {
  dialog_watch *watch = static_cast<dialog_watch *>(data);
  GtkWidget *window = find_shown_window(watch->title);
  if (window != NULL && GTK_IS_DIALOG(window)) {
    if (watch->answered++ == 0) {
      collect_label_text(gtk_dialog_get_content_area(GTK_DIALOG(window)), &watch->text);
    }
    gtk_dialog_response(GTK_DIALOG(window), watch->response);
  }
  return TRUE;
}

inline void start_watch(dialog_watch *watch, const char *title, int response) {
  *watch = dialog_watch{title, response, 0, std::string(), 0};
  watch->source = g_timeout_add(20, watch_dialogs_cb, watch);
}

inline void stop_watch(dialog_watch *watch) { g_source_remove(watch->source); }

// The text the status bar shows now.
inline std::string statusbar_text(void) {
  std::string text;
  collect_label_text(gtk_statusbar_get_message_area(GTK_STATUSBAR(status_bar)), &text);
  return text;
}

// Runs the main loop until done() or `seconds` have passed; returns done().
inline bool run_main_loop_until(bool (*done)(void), double seconds) {
  gint64 end = g_get_monotonic_time() + static_cast<gint64>(seconds * G_USEC_PER_SEC);
  while (!done() && g_get_monotonic_time() < end) {
    gtk_main_iteration_do(FALSE);
    g_usleep(1000);
  }
  return done();
}
