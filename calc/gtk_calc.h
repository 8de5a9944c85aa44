// Calculation launch on a worker thread, progress and completion.
//
// One calculation at a time: cb_calc builds the engine input on the main
// loop thread, fills the record and starts the worker; the worker touches
// only the record and its arrays, writes a BEL to standard output and queues
// thread_done, which joins it and assembles the result (calc/gtk_results.h).
#pragma once

#include <gtk/gtk.h>

#include "calc/solver_status.h"
#include "engine/tiff.h"

struct calc_args {
  TIFF_img *image;
  TIFF_img *result;
  double **constraint_mask;
  double **constraint_values;
  int32_t levels_num;
  int32_t Active_levels_num;
  double epsilon;
  double threshold;
  int32_t win_size;
  int32_t solver;            // a solver_choice, copied from the options
  int32_t status;
  failure_details failure;   // what the worker can tell about a failure
  guint timeout_id;
  GtkWidget *progress_bar;
  GtkToolItem *mode_button;
};

// Status bar context of the calculation's messages (refusals, lowered levels).
enum { CALC_STATUS_CONTEXT = 2 };

// Pulse period of the progress bar, in milliseconds.
enum { PROGRESS_PULSE_MS = 100 };

// "clicked" handler of the Calculate button; toolbar is the main toolbar.
void cb_calc(GtkWidget *button, gpointer toolbar);

// Copies the calculation options (five numbers and the solver) from
// pass_option_args into pass_calc_args.
void calc_opts_set(void);

// Timer callback: pulses the progress bar once; returns TRUE to keep running.
gboolean update_progress(gpointer progress_bar);

// The worker thread's body; record is pass_calc_args. Returns NULL.
gpointer winVelorinMain(gpointer record);

// Idle callback queued by the worker; thread is the worker's handle. Joins
// it, stops the progress timer and calls setup_results. Returns FALSE.
gboolean thread_done(gpointer thread);

// True from the start of a worker until its result is in.
bool calculation_running(void);

// For handlers that must not change the picture or the region under a
// running calculation: when one runs, says so on the status bar and returns
// true (the caller then does nothing); otherwise returns false.
bool refuse_while_calculating(void);
