// Calculation launch, worker thread, progress bar and completion.
#include "calc/gtk_calc.h"

#include <stdio.h>

#include <algorithm>

#include "calc/c2f_driver.h"
#include "calc/gtk_results.h"
#include "calc/rgb2grey.h"
#include "engine/allocate.h"
#include "engine/pyramid.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/options_dialog.h"
#include "gui/pixel.h"

static const char PROGRESS_TEXT[] = "C A L C U L A T I N G";
static const char BUSY_MESSAGE[] = "A calculation is running: wait for its result.";
static const char OUTSIDE_MESSAGE[] =
    "The calculation region has no pixels inside the picture: select a region on the picture.";
static const char TOO_SMALL_FORMAT[] =
    "The calculation region (%d x %d) is too small for window size %d: it needs at least %d x %d "
    "pixels.";
static const char LEVELS_LOWERED_FORMAT[] =
    "Pyramid levels lowered from %d to %d: the calculation region is too small for more.";
static const char THREAD_FAILED_FORMAT[] = "The calculation could not start: %s";
static const char BEL = '\a';
static const guchar CONSTRAINT_ALPHA = 255;

// The running worker; NULL when no calculation runs.
static GThread *worker = NULL;

// The region the running calculation covers, restored into the region
// globals at completion so the result lands where it was calculated.
struct calc_region {
  int x, y, w, h;
};
static calc_region launched_region;

static void say(const char *text) { update_statusbar(text, CALC_STATUS_CONTEXT, status_bar); }

static void set_drawing_area_pointer(GdkCursor *cursor) {
  if (gtk_widget_get_window(drawing_area) != NULL) {
    gdk_window_set_cursor(gtk_widget_get_window(drawing_area), cursor);
  }
}

// Engine input -------------------------------------------------------------

struct engine_input {
  TIFF_img *image;
  double **mask;
  double **values;
  bool has_background;
  bool has_foreground;
};

// Stores the calculation region into the globals: the whole picture, or the
// selection clipped to the picture. False when nothing of it is left.
static bool take_calculation_region(int width, int height) {
  if (!calc_ROI_is_set) {
    x_img_ROI = y_img_ROI = 0;
    w_img_ROI = width;
    h_img_ROI = height;
  } else {
    x_img_ROI = std::max(x_img_ROI, 0);
    y_img_ROI = std::max(y_img_ROI, 0);
    w_img_ROI = std::min(w_img_ROI, width - x_img_ROI);
    h_img_ROI = std::min(h_img_ROI, height - y_img_ROI);
  }
  return w_img_ROI > 0 && h_img_ROI > 0;
}

static void read_constraint(engine_input *input, int x, int y) {
  guchar a = 0, r = 0, g = 0, b = 0;
  cairoimagesurface_get_pixel(surf_layer, x_img_ROI + x, y_img_ROI + y, &a, &r, &g, &b);
  double constrained = a == CONSTRAINT_ALPHA ? 1.0 : 0.0;
  double value = a == CONSTRAINT_ALPHA ? rgb2grey(r, g, b) / 255.0 : 0.0;
  input->mask[y][x] = constrained;
  input->values[y][x] = value;
  if (constrained == 1.0) {
    (value == 0.0 ? input->has_background : input->has_foreground) = true;
  }
}

static void read_engine_input(engine_input *input) {
  int w = w_img_ROI, h = h_img_ROI;
  input->image = new TIFF_img();
  get_TIFF(input->image, h, w, 'c');
  input->mask = reinterpret_cast<double **>(get_img(w, h, sizeof(double)));
  input->values = reinterpret_cast<double **>(get_img(w, h, sizeof(double)));
  input->has_background = input->has_foreground = false;
  unsigned char ***planes = input->image->color_planes;
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      guchar r = 0, g = 0, b = 0, a = 0;
      gdkpixbuf_get_pixel(pixbuf_image, x_img_ROI + x, y_img_ROI + y, &r, &g, &b, &a);
      planes[0][y][x] = r;
      planes[1][y][x] = g;
      planes[2][y][x] = b;
      read_constraint(input, x, y);
    }
  }
}

static void release_engine_input(TIFF_img *image, double **mask, double **values) {
  free_TIFF(image);
  delete image;
  free_img(reinterpret_cast<void **>(mask));
  free_img(reinterpret_cast<void **>(values));
}

// Launch ---------------------------------------------------------------------

// Runs the options dialog. The flag starts at 0 so that only OK launches:
// closing the dialog from its frame leaves the flag alone and must not start
// a long calculation.
static bool ask_options(GtkWidget *button) {
  ok_to_calc = 0;
  set_drawing_area_pointer(NULL);
  gtk_options_dialog_open(button, pass_option_args);
  set_drawing_area_pointer(blank_cursor);
  return ok_to_calc == 1;
}

// Holds the options in the record to what the region allows: refuses a
// region narrower than one window, lowers the pyramid levels to the deepest
// pyramid the region allows. Says why on the status bar.
static bool fit_options_to_region(calc_args *record) {
  int min_side = 2 * record->win_size + 1;
  if (w_img_ROI < min_side || h_img_ROI < min_side) {
    char *text = g_strdup_printf(TOO_SMALL_FORMAT, w_img_ROI, h_img_ROI, record->win_size,
                                 min_side, min_side);
    say(text);
    g_free(text);
    return false;
  }
  int allowed = max_pyramid_levels(w_img_ROI, h_img_ROI, record->win_size);
  if (record->levels_num > allowed) {
    char *text = g_strdup_printf(LEVELS_LOWERED_FORMAT, record->levels_num, allowed);
    say(text);
    g_free(text);
    record->levels_num = allowed;
  }
  record->Active_levels_num = std::min(record->Active_levels_num, record->levels_num);
  return true;
}

static GtkWidget *start_progress_bar(calc_args *record) {
  GtkWidget *bar = gtk_progress_bar_new();
  gtk_progress_bar_set_text(GTK_PROGRESS_BAR(bar), PROGRESS_TEXT);
  gtk_box_pack_start(GTK_BOX(status_bar), bar, FALSE, FALSE, 0);
  gtk_widget_show(bar);
  record->progress_bar = bar;
  record->timeout_id = g_timeout_add(PROGRESS_PULSE_MS, update_progress, bar);
  return bar;
}

static void stop_progress(calc_args *record) {
  g_source_remove(record->timeout_id);
  record->timeout_id = 0;
}

// A thread that cannot be created would leave the window waiting forever for
// a result: undo the launch and say so.
static void abandon_launch(calc_args *record, GError *error) {
  stop_progress(record);
  gtk_widget_destroy(record->progress_bar);
  record->progress_bar = NULL;
  release_engine_input(record->image, record->constraint_mask, record->constraint_values);
  delete record->result;
  record->image = record->result = NULL;
  ok_to_calc = 1;
  char *text = g_strdup_printf(THREAD_FAILED_FORMAT, error->message);
  say(text);
  g_free(text);
  g_error_free(error);
}

static void launch(calc_args *record, const engine_input *input, GtkToolItem *mode_button) {
  start_progress_bar(record);
  record->image = input->image;
  record->constraint_values = input->values;
  record->constraint_mask = input->mask;
  record->result = new TIFF_img();
  record->mode_button = mode_button;
  launched_region = {x_img_ROI, y_img_ROI, w_img_ROI, h_img_ROI};
  ok_to_calc = 0;
  GError *error = NULL;
  worker = g_thread_try_new("matte", winVelorinMain, record, &error);
  if (worker == NULL) {
    abandon_launch(record, error);
  }
}

// Worker ---------------------------------------------------------------------

// Solves, scales to 0..255 and truncates into the record's 'g' result, then
// releases the inputs.
static void run_engine(calc_args *record) {
  TIFF_img *image = record->image;
  int w = image->width, h = image->height;
  int active = std::min(record->Active_levels_num, record->levels_num);
  int status = -3;
  double **matte = solveAlphaC2F(image, record->constraint_mask, record->constraint_values,
                                 record->levels_num, active, record->threshold, record->epsilon,
                                 record->win_size, &status);
  record->status = status;
  scale2_255(matte, w, h);
  get_TIFF(record->result, h, w, 'g');
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      record->result->plane[y][x] = static_cast<unsigned char>(matte[y][x]);
    }
  }
  free_img(reinterpret_cast<void **>(matte));
  release_engine_input(image, record->constraint_mask, record->constraint_values);
  record->image = NULL;
  record->constraint_mask = record->constraint_values = NULL;
}

// Public -----------------------------------------------------------------------

bool calculation_running(void) { return worker != NULL; }

bool refuse_while_calculating(void) {
  if (!calculation_running()) {
    return false;
  }
  say(BUSY_MESSAGE);
  return true;
}

void calc_opts_set(void) {
  pass_calc_args->levels_num = pass_option_args->levels_num;
  pass_calc_args->Active_levels_num = pass_option_args->Active_levels_num;
  pass_calc_args->win_size = pass_option_args->win_size;
  pass_calc_args->epsilon = pass_option_args->epsilon;
  pass_calc_args->threshold = pass_option_args->threshold;
}

gboolean update_progress(gpointer progress_bar) {
  gtk_progress_bar_pulse(GTK_PROGRESS_BAR(progress_bar));
  return TRUE;
}

void cb_calc(GtkWidget *button, gpointer toolbar_widget) {
  if (refuse_while_calculating()) {
    return;
  }
  GtkToolItem *mode_button = gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar_widget), TB_MODE_TOGGLE);
  if (!take_calculation_region(gdk_pixbuf_get_width(pixbuf_image),
                               gdk_pixbuf_get_height(pixbuf_image))) {
    say(OUTSIDE_MESSAGE);
    return;
  }
  cairo_surface_flush(surf_layer);
  engine_input input;
  read_engine_input(&input);
  bool usable = input.has_background && input.has_foreground;
  if (usable && ask_options(button)) {
    calc_opts_set();
    if (fit_options_to_region(pass_calc_args)) {
      launch(pass_calc_args, &input, mode_button);
      return;
    }
  }
  release_engine_input(input.image, input.mask, input.values);
}

gpointer winVelorinMain(gpointer record) {
  run_engine(static_cast<calc_args *>(record));
  putchar(BEL);
  fflush(stdout);
  g_idle_add(thread_done, g_thread_self());
  return NULL;
}

gboolean thread_done(gpointer thread) {
  gdk_threads_enter();
  g_thread_join(static_cast<GThread *>(thread));
  ok_to_calc = 1;
  stop_progress(pass_calc_args);
  x_img_ROI = launched_region.x;
  y_img_ROI = launched_region.y;
  w_img_ROI = launched_region.w;
  h_img_ROI = launched_region.h;
  setup_results();
  worker = NULL;
  gdk_threads_leave();
  return FALSE;
}
