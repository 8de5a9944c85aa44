// Calculation launch on a worker thread and its completion.
//
// One calculation at a time: cb_calc (handed to the window with
// set_calculate_handler, gui/calc_state.h) builds the engine input on the
// main loop thread, fills the record and starts the worker; the worker touches
// only the record and its arrays, writes a BEL to standard output when it
// has a result and queues thread_done, which joins it and assembles the
// result (calc/gtk_results.h). A stop request (gui/calc_state.h) ends the
// worker at its next stage boundary; closing the window stops it and waits
// for it.
#pragma once

#include <gtk/gtk.h>

#include "calc/solver_status.h"
#include "engine/tiff.h"
#include "gui/calc_state.h"

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
  int32_t estimate_foreground;
  TIFF_img *colours;        // the estimated foreground colours of the region, or
                            // an empty record (worker_core_run's `colours`)
  int32_t solver;           // a solver_choice, copied from the options
  int32_t status;           // the solver's status, or C2F_STATUS_CANCELLED
  failure_details failure;  // what the worker can tell about a failure
  guint timeout_id;
  GtkWidget *progress_bar;
  GtkToolItem *mode_button;
};

// The one calculation record, for the life of the process.
extern calc_args *pass_calc_args;

// "clicked" handler of the Calculate button (toolbar: the main toolbar):
// takes the calculation region, reads the picture and the strokes over it,
// runs the options dialog and starts the worker; refusals go to the status
// bar.
void cb_calc(GtkWidget *button, gpointer toolbar);

// Copies the calculation options (the five numbers, estimate_foreground and
// the solver) from pass_option_args into pass_calc_args.
void calc_opts_set(void);

// The worker thread's body; record is pass_calc_args. Returns NULL.
gpointer winVelorinMain(gpointer record);

// Idle callback queued by the worker; thread is the worker's handle. Joins
// it, removes the progress bar, restores the launched region and assembles
// the result (or reports the cancel). Returns FALSE. Does nothing for a
// worker that was already joined when the window closed.
gboolean thread_done(gpointer thread);
