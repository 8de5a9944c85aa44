// Helpers shared by the GUI tests of the calculation, saving and copying:
// installing a synthetic picture and layer, answering modal dialogs from a
// timeout, reading the status bar, waiting for the worker.
#pragma once

#include <string>

#include <gtk/gtk.h>

#include "gui/globals.h"

// Colour of picture pixel (x, y) of a synthetic picture.
typedef void (*picture_colour)(int x, int y, guchar rgb[3]);

// Replaces the picture (pixbuf_no_alpha, pixbuf_alpha with opaque alpha),
// an empty stroke layer and the options' picture size, as an open would.
inline void install_picture(int width, int height, picture_colour colour) {
  GdkPixbuf *picture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
  guchar *pixels = gdk_pixbuf_get_pixels(picture);
  int stride = gdk_pixbuf_get_rowstride(picture);
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      colour(x, y, pixels + y * stride + 3 * x);
    }
  }
  if (pixbuf_alpha != NULL) g_object_unref(pixbuf_alpha);
  if (pixbuf_no_alpha != NULL) g_object_unref(pixbuf_no_alpha);
  pixbuf_no_alpha = picture;
  pixbuf_alpha = gdk_pixbuf_add_alpha(picture, FALSE, 0, 0, 0);
  pixbuf_image = in_edit_mode ? pixbuf_no_alpha : pixbuf_alpha;
  if (surf_layer != NULL) cairo_surface_destroy(surf_layer);
  surf_layer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  pass_option_args->img_width = width;
  pass_option_args->img_height = height;
}

// Paints an opaque grey rectangle (grey 0 = background, 255 = foreground)
// straight into the stroke layer.
inline void paint_layer_rect(int x, int y, int w, int h, double grey) {
  cairo_t *cr = cairo_create(surf_layer);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_source_rgb(cr, grey / 255.0, grey / 255.0, grey / 255.0);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
  cairo_destroy(cr);
}

// Answers the first shown dialog titled `title` with `response`, from a
// timeout, so a test can call a handler that runs the dialog modally.
struct dialog_answer {
  const char *title;
  int response;
  int answered;      // how many dialogs were answered
  std::string text;  // text of the first label of the answered dialog
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

inline gboolean answer_dialog_cb(gpointer data) {
  dialog_answer *answer = static_cast<dialog_answer *>(data);
  GList *windows = gtk_window_list_toplevels();
  for (GList *node = windows; node != NULL; node = node->next) {
    GtkWidget *window = GTK_WIDGET(node->data);
    const char *title = gtk_window_get_title(GTK_WINDOW(window));
    if (GTK_IS_DIALOG(window) && gtk_widget_get_visible(window) && title != NULL &&
        std::string(title) == answer->title) {
      collect_label_text(gtk_dialog_get_content_area(GTK_DIALOG(window)), &answer->text);
      answer->answered++;
      gtk_dialog_response(GTK_DIALOG(window), answer->response);
      break;
    }
  }
  g_list_free(windows);
  return TRUE;
}

inline void answer_dialogs(dialog_answer *answer, const char *title, int response) {
  answer->title = title;
  answer->response = response;
  answer->answered = 0;
  answer->text.clear();
  answer->source = g_timeout_add(20, answer_dialog_cb, answer);
}

inline void stop_answering(dialog_answer *answer) { g_source_remove(answer->source); }

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
