// Calculation launch, worker thread, progress bar and completion.
#include "calc/gtk_calc.h"

#include <stdio.h>

#include <algorithm>

#include "calc/c2f_driver.h"
#include "calc/engine_input.h"
#include "calc/gtk_results.h"
#include "calc/worker_core.h"
#include "engine/allocate.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/options_dialog.h"

static const char PROGRESS_TEXT[] = "C A L C U L A T I N G";
static const char BUSY_MESSAGE[] = "A calculation is running: wait for its result.";
static const char OUTSIDE_MESSAGE[] =
    "The calculation region has no pixels inside the picture: select a region on the picture.";
static const char TOO_SMALL_FORMAT[] =
    "The calculation region (%d x %d) is too small for window size %d: it needs at least %d x %d "
    "pixels.";
static const char LEVELS_LOWERED_FORMAT[] =
    "Pyramid levels lowered from %d to %d: the calculation region is too small, or its strokes too "
    "thin, for more.";
static const char THREAD_FAILED_FORMAT[] = "The calculation could not start: %s";
static const char BEL = '\a';

// The running worker; NULL when no calculation runs.
static GThread *worker = NULL;

// The region the running calculation covers, restored into the region
// globals at completion so the result lands where it was calculated.
struct calc_region {
  int x, y, w, h;
};
static calc_region launched_region;

static void say(const char *text) { update_statusbar(text, CALC_STATUS_CONTEXT, status_bar); }

// Stores the calculation region into the globals: the whole picture, or the
// selection clipped to the picture. False when no pixel of it is left.
static bool take_calculation_region(int width, int height) {
  if (!calc_ROI_is_set) {
    x_img_ROI = y_img_ROI = 0;
    w_img_ROI = width;
    h_img_ROI = height;
    return true;
  }
  return clip_region(&x_img_ROI, &y_img_ROI, &w_img_ROI, &h_img_ROI, width, height);
}

// The picture on show and the stroke layer over the calculation region.
static engine_input read_region(void) {
  raw_pixels picture = rgb_pixels(gdk_pixbuf_get_pixels(pixbuf_image),
                                  gdk_pixbuf_get_rowstride(pixbuf_image),
                                  gdk_pixbuf_get_n_channels(pixbuf_image));
  cairo_surface_flush(surf_layer);
  raw_pixels layer = argb32_pixels(cairo_image_surface_get_data(surf_layer),
                                   cairo_image_surface_get_stride(surf_layer));
  return read_engine_input(&picture, &layer, CONSTRAINTS_LAYER, x_img_ROI, y_img_ROI, w_img_ROI,
                           h_img_ROI);
}

// The driver's configuration from the record's options. The level
// lines go to standard output, as the window has always written them.
static c2f_config record_config(const calc_args *record) {
  c2f_config config;
  config.options.levels_num = record->levels_num;
  config.options.Active_levels_num = record->Active_levels_num;
  config.options.epsilon = record->epsilon;
  config.options.threshold = record->threshold;
  config.options.win_size = record->win_size;
  config.options.solver = record->solver;
  config.level_stream = stdout;
  return config;
}

// Runs the options dialog. The flag starts at 0 so that only OK launches:
// closing the dialog from its frame leaves the flag alone and must not start
// a long calculation.
static bool ask_options(GtkWidget *button) {
  ok_to_calc = 0;
  set_drawing_area_cursor(NULL);
  gtk_options_dialog_open(button, pass_option_args);
  set_drawing_area_cursor(blank_cursor);
  return ok_to_calc == 1;
}

// Holds the options in the record to what the region allows: refuses a
// region narrower than one window, lowers the pyramid levels to the deepest
// pyramid the region and its strokes allow. Says why on the status bar.
static bool fit_options_to_region(calc_args *record, engine_input *input) {
  if (region_too_small(w_img_ROI, h_img_ROI, record->win_size)) {
    int side = 2 * std::max(record->win_size, 1) + 1;
    char *text = g_strdup_printf(TOO_SMALL_FORMAT, w_img_ROI, h_img_ROI, record->win_size, side,
                                 side);
    say(text);
    g_free(text);
    return false;
  }
  int levels = c2f_levels_allowed(&input->image, input->constraint_mask,
                                  input->constraint_values, record->levels_num, record->win_size);
  if (levels < record->levels_num) {
    char *text = g_strdup_printf(LEVELS_LOWERED_FORMAT, record->levels_num, levels);
    say(text);
    g_free(text);
  }
  record->levels_num = levels;
  record->Active_levels_num = std::min(record->Active_levels_num, levels);
  return true;
}

static void start_progress_bar(calc_args *record) {
  GtkWidget *bar = gtk_progress_bar_new();
  gtk_progress_bar_set_text(GTK_PROGRESS_BAR(bar), PROGRESS_TEXT);
  gtk_box_pack_start(GTK_BOX(status_bar), bar, FALSE, FALSE, 0);
  gtk_widget_show(bar);
  record->progress_bar = bar;
  record->timeout_id = g_timeout_add(PROGRESS_PULSE_MS, update_progress, bar);
}

static void stop_progress(calc_args *record) {
  g_source_remove(record->timeout_id);
  record->timeout_id = 0;
}

static void release_record_input(calc_args *record) {
  free_TIFF(record->image);
  delete record->image;
  free_img(reinterpret_cast<void **>(record->constraint_mask));
  free_img(reinterpret_cast<void **>(record->constraint_values));
  record->image = NULL;
  record->constraint_mask = record->constraint_values = NULL;
}

// A thread that cannot be created would leave the window waiting forever for
// a result: undo the launch and say so.
static void abandon_launch(calc_args *record, GError *error) {
  stop_progress(record);
  gtk_widget_destroy(record->progress_bar);
  record->progress_bar = NULL;
  release_record_input(record);
  delete record->result;
  record->result = NULL;
  ok_to_calc = 1;
  char *text = g_strdup_printf(THREAD_FAILED_FORMAT, error->message);
  say(text);
  g_free(text);
  g_error_free(error);
}

static void launch(calc_args *record, const engine_input *input, GtkToolItem *mode_button) {
  start_progress_bar(record);
  record->image = new TIFF_img(input->image);
  record->constraint_values = input->constraint_values;
  record->constraint_mask = input->constraint_mask;
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
  pass_calc_args->solver = pass_option_args->solver;
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
  engine_input input = read_region();
  if (constraints_usable(&input) && ask_options(button)) {
    calc_opts_set();
    if (fit_options_to_region(pass_calc_args, &input)) {
      launch(pass_calc_args, &input, mode_button);
      return;
    }
  }
  free_engine_input(&input);
}

gpointer winVelorinMain(gpointer data) {
  calc_args *record = static_cast<calc_args *>(data);
  const c2f_config config = record_config(record);
  worker_outcome outcome = worker_core_run(record->image, record->constraint_mask,
                                           record->constraint_values, &config, record->result);
  record->status = outcome.status;
  record->failure = outcome.failure;
  delete record->image;
  record->image = NULL;
  record->constraint_mask = record->constraint_values = NULL;
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
