// The progress bar of a running calculation: it sits at the end of the
// status bar, pulses, shows the stage the worker last reported ("Solving,
// level 3 of 4", the stages velorin-matte prints) and stops the calculation
// when clicked.
//
// The worker reports stages through report_stage on its own thread; the
// text waits in a locked slot until the main loop's next pulse shows it, so
// no toolkit call and nothing queued outlives the bar.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "calc/gtk_calc.h"

// Pulse period of the progress bar, in milliseconds.
enum { PROGRESS_PULSE_MS = 100 };

// The bar's text for a stage report: the stage as the driver names it, with
// a capital: "Solving, level 3 of 4".
std::string stage_text(const char *stage, int level, int levels);

// The driver's stage callback (c2f_progress_fn). Any thread; `user` is
// unused.
void report_stage(const char *stage, int level, int levels, void *user);

// Adds the bar to the status bar with the text "C A L C U L A T I N G"
// until the first stage report, and starts the pulse timer; both go into
// the record (progress_bar, timeout_id). Forgets stages reported before.
void start_progress(calc_args *record);

// Removes the timer and the bar; does nothing when none is shown.
void stop_progress(calc_args *record);

// Timer callback: pulses the bar once and shows the latest stage (or that
// the calculation is stopping); returns TRUE to keep running.
gboolean update_progress(gpointer progress_bar);
