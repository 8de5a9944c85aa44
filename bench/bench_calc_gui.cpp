// Wall time from pressing Calculate to the result in the real window, and
// whether the window kept redrawing meanwhile. Opens a picture folder of
// /work/shared/data style (image.png + trimap.png), turns the trimap into the
// stroke layer (255 white, 0 black, else unknown), presses the Calculate
// button, answers the options dialog with OK and runs the main loop until
// the result is shown. Meanwhile a 50 ms timer asks the view to redraw; the
// exposes that arrive and the longest gap between timer runs tell whether
// the window stayed responsive.
//
// Run under a display:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_calc_gui DIR LEVELS ACTIVE
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "calc/gtk_calc.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/open_image.h"
#include "gui/pixel.h"

static const guint REDRAW_PERIOD_MS = 50;
static const guint DIALOG_POLL_MS = 10;
static const char OPTIONS_TITLE[] = "options for calculation";

struct run_figures {
  gint64 pressed, answered, done;
  int redraw_requests, view_exposes, bar_exposes;
  gint64 last_tick, longest_gap;
};
static run_figures figures;

static gboolean count_view_expose(GtkWidget *, GdkEventExpose *, gpointer) {
  if (calculation_running()) figures.view_exposes++;
  return FALSE;
}

static gboolean count_bar_expose(GtkWidget *, GdkEventExpose *, gpointer) {
  figures.bar_exposes++;
  return FALSE;
}

static gboolean request_redraw(gpointer) {
  if (!calculation_running()) return TRUE;
  gint64 now = g_get_monotonic_time();
  if (figures.last_tick != 0 && now - figures.last_tick > figures.longest_gap)
    figures.longest_gap = now - figures.last_tick;
  figures.last_tick = now;
  figures.redraw_requests++;
  gtk_widget_queue_draw(drawing_area);
  return TRUE;
}

static gboolean answer_options(gpointer) {
  GList *windows = gtk_window_list_toplevels();
  bool answered = false;
  for (GList *w = windows; w && !answered; w = w->next) {
    const char *title = gtk_window_get_title(GTK_WINDOW(w->data));
    if (GTK_IS_DIALOG(w->data) && title && std::string(title) == OPTIONS_TITLE &&
        gtk_widget_get_visible(GTK_WIDGET(w->data))) {
      figures.answered = g_get_monotonic_time();
      gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_OK);
      answered = true;
    }
  }
  g_list_free(windows);
  return !answered;
}

static bool load_trimap_as_layer(const std::string &path) {
  GdkPixbuf *trimap = gdk_pixbuf_new_from_file(path.c_str(), NULL);
  if (!trimap) return false;
  cairo_surface_flush(surf_layer);
  for (int y = 0; y < gdk_pixbuf_get_height(trimap); y++)
    for (int x = 0; x < gdk_pixbuf_get_width(trimap); x++) {
      guchar r = 0, g = 0, b = 0, a = 0;
      gdkpixbuf_get_pixel(trimap, x, y, &r, &g, &b, &a);
      if (r == 0 || r == 255) cairoimagesurface_put_pixel(surf_layer, x, y, 255, r, r, r);
    }
  cairo_surface_mark_dirty(surf_layer);
  g_object_unref(trimap);
  return true;
}

static void press_calculate(void) {
  GtkWidget *button = GTK_WIDGET(gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar), 4));
  g_timeout_add(DIALOG_POLL_MS, answer_options, NULL);
  figures.pressed = g_get_monotonic_time();
  gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(button))));
  if (pass_calc_args->progress_bar != NULL)
    g_signal_connect(pass_calc_args->progress_bar, "expose-event", G_CALLBACK(count_bar_expose),
                     NULL);
  while (calculation_running()) gtk_main_iteration();
  figures.done = g_get_monotonic_time();
}

int main(int argc, char **argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: %s PICTURE_DIR LEVELS ACTIVE\n", argv[0]);
    return 2;
  }
  std::string dir = argv[1];
  set_calculate_handler(cb_calc);
  create_main_window(argc, argv);
  GError *error = NULL;
  if (open_image_file((dir + "/image.png").c_str(), OPEN_DEFAULT, &error) != 0 ||
      !load_trimap_as_layer(dir + "/trimap.png")) {
    fprintf(stderr, "cannot read %s\n", dir.c_str());
    return 1;
  }
  pass_option_args->levels_num = atoi(argv[2]);
  pass_option_args->Active_levels_num = atoi(argv[3]);
  while (gtk_events_pending()) gtk_main_iteration();
  g_signal_connect(drawing_area, "expose-event", G_CALLBACK(count_view_expose), NULL);
  g_timeout_add(REDRAW_PERIOD_MS, request_redraw, NULL);
  press_calculate();
  fprintf(
      stderr,
      "%s %dx%d levels %d active %d: Calculate -> result %.2f s (options answered after %.3f s); "
      "while it ran: %d view redraws asked, %d view exposes, %d progress-bar exposes, "
      "longest main-loop gap %.0f ms; view mode %s\n",
      dir.c_str(), gdk_pixbuf_get_width(pixbuf_image), gdk_pixbuf_get_height(pixbuf_image),
      pass_calc_args->levels_num, pass_calc_args->Active_levels_num,
      (figures.done - figures.pressed) / 1e6, (figures.answered - figures.pressed) / 1e6,
      figures.redraw_requests, figures.view_exposes, figures.bar_exposes, figures.longest_gap / 1e3,
      in_edit_mode ? "no" : "yes");
  return 0;
}
