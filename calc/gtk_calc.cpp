// Calculation launch, worker thread and completion.
#include "calc/gtk_calc.h"

#include <stdio.h>

#include <algorithm>
#include <string>

#include "calc/c2f_driver.h"
#include "calc/engine_input.h"
#include "calc/gtk_progress.h"
#include "calc/gtk_results.h"
#include "calc/solver_status.h"
#include "calc/worker_core.h"
#include "engine/allocate.h"
#include "gui/calc_input.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/options_dialog.h"

static const char OUTSIDE_MESSAGE[] =
    "The calculation region has no pixels inside the picture: select a region on the picture.";
static const char NO_STROKES_MESSAGE[] =
    "Nothing to calculate: paint white strokes on the foreground and black strokes on the "
    "background inside the calculation region.";
static const char NO_BACKGROUND_MESSAGE[] =
    "No background stroke inside the calculation region: paint black strokes on what is surely "
    "background.";
static const char NO_FOREGROUND_MESSAGE[] =
    "No foreground stroke inside the calculation region: paint white strokes on what is surely "
    "foreground.";
static const char TOO_SMALL_FORMAT[] =
    "The calculation region (%d x %d) is too small for window size %d: it needs at least %d x %d "
    "pixels.";
static const char LEVELS_LOWERED_FORMAT[] =
    "Pyramid levels lowered from %d to %d: the calculation region is too small, or its strokes too "
    "thin, for more.";
static const char THREAD_FAILED_FORMAT[] = "The calculation could not start: %s";
static const char DONE_FORMAT[] = "Matte calculated in %s.";
static const char BEL = '\a';
static const int SECONDS_PER_MINUTE = 60;

static calc_args the_record;
calc_args *pass_calc_args = &the_record;

// The running worker; NULL when no calculation runs.
static GThread *worker = NULL;
// The main window's "destroy" handler while the worker runs.
static gulong quit_handler = 0;
// What the launch had to say (lowered levels), repeated with the result.
static std::string launch_note;

static void say(const char *text) { update_statusbar(text, CALC_STATUS_CONTEXT, status_bar); }

// Stores the calculation region into the globals. False when no pixel of
// the selection is left.
static bool take_calculation_region(void) {
  calc_region region;
  const bool inside = current_calc_region(&region);
  x_img_ROI = region.x;
  y_img_ROI = region.y;
  w_img_ROI = region.w;
  h_img_ROI = region.h;
  return inside;
}

// A matte needs both kinds of stroke; without them the press would do
// nothing visible, so the status bar says what is missing.
static bool strokes_usable(const engine_input *input) {
  if (constraints_usable(input)) return true;
  say(input->has_background   ? NO_FOREGROUND_MESSAGE
      : input->has_foreground ? NO_BACKGROUND_MESSAGE
                              : NO_STROKES_MESSAGE);
  return false;
}

// The driver's configuration from the record's options. The level
// lines go to standard output, as the window has always written them; the
// stages go to the progress bar; the stop request ends the run.
static c2f_config record_config(const calc_args *record) {
  c2f_config config;
  config.options.levels_num = record->levels_num;
  config.options.Active_levels_num = record->Active_levels_num;
  config.options.epsilon = record->epsilon;
  config.options.threshold = record->threshold;
  config.options.win_size = record->win_size;
  config.options.estimate_foreground = record->estimate_foreground;
  config.options.solver = record->solver;
  config.level_stream = stdout;
  config.progress = report_stage;
  config.cancel = calculation_stop_flag();
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
  launch_note.clear();
  if (region_too_small(w_img_ROI, h_img_ROI, record->win_size)) {
    int side = 2 * std::max(record->win_size, 1) + 1;
    g_autofree char *text =
        g_strdup_printf(TOO_SMALL_FORMAT, w_img_ROI, h_img_ROI, record->win_size, side, side);
    say(text);
    return false;
  }
  int levels = c2f_levels_allowed(&input->image, input->constraint_mask, input->constraint_values,
                                  record->levels_num, record->win_size);
  if (levels < record->levels_num) {
    g_autofree char *text = g_strdup_printf(LEVELS_LOWERED_FORMAT, record->levels_num, levels);
    launch_note = text;
    say(text);
  }
  record->levels_num = levels;
  record->Active_levels_num = std::min(record->Active_levels_num, levels);
  return true;
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
static void abandon_launch(calc_args *record, const GError *error) {
  stop_progress(record);
  release_record_input(record);
  delete record->result;
  record->result = NULL;
  delete record->colours;
  record->colours = NULL;
  calculation_ended();
  g_autofree char *text = g_strdup_printf(THREAD_FAILED_FORMAT, error->message);
  say(text);
}

// Joins the finished (or stopping) worker and takes the calculation's
// display down.
static void end_worker(calc_args *record) {
  g_thread_join(worker);
  worker = NULL;
  g_signal_handler_disconnect(main_window, quit_handler);
  quit_handler = 0;
  stop_progress(record);
}

// The window is closing while the worker runs: stop the worker at its next
// stage boundary and wait for it, so nothing outlives the window and the
// pulse timer never touches a destroyed bar. The window leaves the screen
// first, since the running stage may take a while to end.
static void cb_quit_while_calculating(GtkWidget *window, gpointer record) {
  stop_calculation();
  gtk_widget_hide(window);
  gdk_flush();
  end_worker(static_cast<calc_args *>(record));
  release_calc_result();
  calculation_ended();
}

static void launch(calc_args *record, const engine_input *input, GtkToolItem *mode_button) {
  start_progress(record);
  record->image = new TIFF_img(input->image);
  record->constraint_values = input->constraint_values;
  record->constraint_mask = input->constraint_mask;
  record->result = new TIFF_img();
  record->colours = new TIFF_img();
  record->mode_button = mode_button;
  calculation_started(calc_region{x_img_ROI, y_img_ROI, w_img_ROI, h_img_ROI});
  g_autoptr(GError) error = NULL;
  worker = g_thread_try_new("matte", winVelorinMain, record, &error);
  if (worker == NULL) {
    abandon_launch(record, error);
    return;
  }
  quit_handler =
      g_signal_connect(main_window, "destroy", G_CALLBACK(cb_quit_while_calculating), record);
}

// "12.3 s", or "2 min 5 s" from a minute on.
static std::string elapsed_text(double seconds) {
  g_autofree char *text = seconds < SECONDS_PER_MINUTE
                              ? g_strdup_printf("%.1f s", seconds)
                              : g_strdup_printf("%d min %d s", int(seconds) / SECONDS_PER_MINUTE,
                                                int(seconds) % SECONDS_PER_MINUTE);
  return std::string(text);
}

static void say_elapsed(double seconds) {
  g_autofree char *text = g_strdup_printf(DONE_FORMAT, elapsed_text(seconds).c_str());
  std::string message(text);
  if (!launch_note.empty()) message += " " + launch_note;
  say(message.c_str());
}

// The time is taken before any Error dialog waits for the user. A stop
// request wins even when the worker finished its last stage regardless:
// the user asked for no result, and the bar said it was stopping.
static void show_outcome(const calc_args *record) {
  if (record->status == C2F_STATUS_CANCELLED || calculation_stop_requested()) {
    setup_cancelled();
    return;
  }
  const bool solved = !calculation_failed(record->status);
  const double seconds = calculation_seconds();
  setup_results();
  if (solved) say_elapsed(seconds);
}

void calc_opts_set(void) {
  pass_calc_args->levels_num = pass_option_args->levels_num;
  pass_calc_args->Active_levels_num = pass_option_args->Active_levels_num;
  pass_calc_args->win_size = pass_option_args->win_size;
  pass_calc_args->epsilon = pass_option_args->epsilon;
  pass_calc_args->threshold = pass_option_args->threshold;
  pass_calc_args->estimate_foreground = pass_option_args->estimate_foreground;
  pass_calc_args->solver = pass_option_args->solver;
}

void cb_calc(GtkWidget *button, gpointer toolbar_widget) {
  if (refuse_while_calculating()) {
    return;
  }
  // The outcome of an earlier calculation is no news about this one.
  gtk_statusbar_pop(GTK_STATUSBAR(status_bar), CALC_STATUS_CONTEXT);
  GtkToolItem *mode_button = gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar_widget), TB_MODE_TOGGLE);
  if (!take_calculation_region()) {
    say(OUTSIDE_MESSAGE);
    return;
  }
  engine_input input = read_calc_region({x_img_ROI, y_img_ROI, w_img_ROI, h_img_ROI});
  if (strokes_usable(&input) && ask_options(button)) {
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
  worker_outcome outcome =
      worker_core_run(record->image, record->constraint_mask, record->constraint_values, &config,
                      record->result, record->colours);
  record->status = outcome.status;
  record->failure = outcome.failure;
  delete record->image;
  record->image = NULL;
  record->constraint_mask = record->constraint_values = NULL;
  // The bell says a result is ready; a stopped calculation has none.
  if (outcome.status != C2F_STATUS_CANCELLED && !config.cancel->load()) {
    putchar(BEL);
    fflush(stdout);
  }
  g_idle_add(thread_done, g_thread_self());
  return NULL;
}

gboolean thread_done(gpointer thread) {
  if (thread != worker) {
    return FALSE;
  }
  gdk_threads_enter();
  end_worker(pass_calc_args);
  calc_region region = launched_region();
  x_img_ROI = region.x;
  y_img_ROI = region.y;
  w_img_ROI = region.w;
  h_img_ROI = region.h;
  show_outcome(pass_calc_args);
  calculation_ended();
  gdk_threads_leave();
  return FALSE;
}
