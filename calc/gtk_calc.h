// Calculation launch on a worker thread and its completion.
//
// One calculation at a time: cb_calc (declared with the window's
// calculation state, gui/calc_state.h) builds the engine input on the main
// loop thread, fills the record and starts the worker; the worker touches
// only the record and its arrays, writes a BEL to standard output when it
// has a result and queues thread_done, which joins it and assembles the
// result (calc/gtk_results.h). A stop request (gui/calc_state.h) ends the
// worker at its next stage boundary; closing the window stops it and waits
// for it.
#pragma once

#include <gtk/gtk.h>

#include "calc/engine_input.h"
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
  TIFF_img *colours;  // the estimated foreground colours of the region, or
                      // an empty record (worker_core_run's `colours`)
  int32_t solver;            // a solver_choice, copied from the options
  int32_t status;            // the solver's status, or C2F_STATUS_CANCELLED
  failure_details failure;   // what the worker can tell about a failure
  guint timeout_id;
  GtkWidget *progress_bar;
  GtkToolItem *mode_button;
};

// The one calculation record, for the life of the process.
extern calc_args *pass_calc_args;

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

// The region Calculate would take now: the whole picture on show, or the
// selection clipped to it (as clip_region does) when "Calculate From
// Selection" is on. False, with w and h 0, when no pixel of the selection
// lies inside the picture. Changes nothing.
bool current_calc_region(calc_region *region);

// The picture on show and the stroke layer (alpha 255 = constraint) over
// `region` (inside the picture, at least 1 x 1) as engine input; release
// with free_engine_input.
engine_input read_calc_region(calc_region region);
