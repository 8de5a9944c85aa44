// How long undo takes on a long history: 500 strokes of 50 points each on a
// 2000 x 1500 picture, painted through the real pointer handlers, then undo
// (which replays every stroke but the last) timed a few times.
//
// Run under a display: xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/bench_undo
#include <glib/gstdio.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/measure.h"
#include "gui/brush.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/main_window.h"
#include "gui/open_image.h"
#include "gui/synthesized_events.h"

static const int PICTURE_WIDTH = 2000;
static const int PICTURE_HEIGHT = 1500;
static const int STROKES = 500;
static const int POINTS_PER_STROKE = 50;  // the press stores its point twice
static const int ERASER_EVERY = 10;       // every tenth stroke erases
static const int UNDO_RUNS = 5;

// Deterministic pseudo-random numbers, so every run paints the same strokes.
static unsigned next_random(unsigned *state) {
  *state = *state * 1103515245u + 12345u;
  return (*state >> 16) & 0x7fff;
}

static double now_ms(void) { return nowSeconds() * 1000.0; }

// CPU time: on a shared machine the wall clock also counts others' turns.
static double cpu_ms(void) { return cpuSeconds() * 1000.0; }

static void flush_events(void) {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

static bool open_picture(const char *dir) {
  GdkPixbuf *picture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, PICTURE_WIDTH, PICTURE_HEIGHT);
  gdk_pixbuf_fill(picture, 0x607080ff);
  char *path = g_build_filename(dir, "picture.png", NULL);
  GError *error = NULL;
  bool ok = gdk_pixbuf_save(picture, path, "png", &error, NULL) &&
            open_image_file(path, OPEN_DEFAULT, &error) == 0;
  if (!ok) fprintf(stderr, "bench_undo: %s\n", error ? error->message : "cannot open the picture");
  g_clear_error(&error);
  g_remove(path);
  g_free(path);
  g_object_unref(picture);
  return ok;
}

// A random walk of steps up to 20 pixels, with brush sizes 4 to 40.
static void paint_strokes(void) {
  unsigned seed = 12345;
  for (int s = 0; s < STROKES; s++) {
    if (s % ERASER_EVERY == ERASER_EVERY - 1)
      cb_set_Eraser(NULL, NULL);
    else if (s % 2)
      cb_set_BG(NULL, NULL);
    else
      cb_set_FG(NULL, NULL);
    radius = (4 + next_random(&seed) % 37) / 2.0;
    int x = next_random(&seed) % PICTURE_WIDTH, y = next_random(&seed) % PICTURE_HEIGHT;
    send_press(x, y);
    for (int p = 2; p < POINTS_PER_STROKE; p++) {
      x = CLAMP(x + (int)(next_random(&seed) % 41) - 20, 0, PICTURE_WIDTH - 1);
      y = CLAMP(y + (int)(next_random(&seed) % 41) - 20, 0, PICTURE_HEIGHT - 1);
      send_motion(x, y, GDK_BUTTON1_MASK);
    }
    send_motion(x, y, 0);
  }
}

int main(int argc, char **argv) {
  if (!gtk_init_check(&argc, &argv)) {
    fprintf(stderr, "bench_undo: no display; run it under xvfb-run -a\n");
    return 1;
  }
  char *dir = g_dir_make_tmp("velorin-bench-XXXXXX", NULL);
  if (!dir) return 1;
  setenv("APPDATA", dir, 1);  // never the user's own window geometry
  setenv("ICON_DIR", VELORIN_SOURCE_DIR "/assets/icons", 1);
  create_main_window(argc, argv);
  flush_events();
  if (!open_picture(dir)) return 1;

  double start = now_ms();
  paint_strokes();
  double painting = now_ms() - start;
  flush_events();
  const double *last = (const double *)g_list_last(history)->data;
  printf("history: %u strokes, %d points in the last; painting them took %.0f ms\n",
         g_list_length(history), ((int)last[SLOT_LENGTH] - STROKE_HEADER_SLOTS) / 2, painting);

  std::vector<double> undo_ms, undo_cpu_ms, redraw_ms;
  for (int run = 0; run < UNDO_RUNS; run++) {
    start = now_ms();
    double cpu_start = cpu_ms();
    undo(NULL, NULL);
    double undone = now_ms();
    undo_cpu_ms.push_back(cpu_ms() - cpu_start);
    gdk_window_process_all_updates();
    flush_events();
    undo_ms.push_back(undone - start);
    redraw_ms.push_back(now_ms() - undone);
    redo(NULL, NULL);
    flush_events();
  }
  std::sort(undo_ms.begin(), undo_ms.end());
  std::sort(undo_cpu_ms.begin(), undo_cpu_ms.end());
  std::sort(redraw_ms.begin(), redraw_ms.end());
  printf(
      "undo on %d x %d, replaying %d strokes of %d points (%d runs): "
      "wall median %.1f ms (min %.1f, max %.1f), CPU median %.1f ms (min %.1f); "
      "redraw after it: wall median %.1f ms\n",
      PICTURE_WIDTH, PICTURE_HEIGHT, STROKES - 1, POINTS_PER_STROKE, UNDO_RUNS,
      undo_ms[UNDO_RUNS / 2], undo_ms.front(), undo_ms.back(), undo_cpu_ms[UNDO_RUNS / 2],
      undo_cpu_ms.front(), redraw_ms[UNDO_RUNS / 2]);

  gtk_widget_destroy(main_window);
  release_application_state();
  g_rmdir(dir);
  g_free(dir);
  return 0;
}
