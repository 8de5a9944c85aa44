// The calculation options dialog: five spin buttons, the solver choice and
// the "Estimate foreground colours" check box over the options record
// (calc/options.h), opened from Edit -> Preferences and before every
// calculation.
//
// Its construction, its run and the application of its answer are separate
// so that tests can apply an answer directly or answer a running dialog.
#pragma once

#include <gtk/gtk.h>

#include "calc/options.h"

// The spin buttons in the order of the "Reset to default values" table.
enum option_spin_index {
  SPIN_LEVELS = 0,
  SPIN_ACTIVE = 1,
  SPIN_EPSILON = 2,
  SPIN_THRESHOLD = 3,
  SPIN_WINDOW = 4,
  SPIN_COUNT = 5
};

// A built dialog. `dialog` holds an extra reference until
// options_dialog_destroy, so it stays safe to touch even if its parent was
// destroyed while it ran.
struct options_dialog {
  GtkWidget *dialog;
  GtkWidget *spin_buttons[SPIN_COUNT];
  GtkWidget *solver_combo;      // item i is solver_choice i
  GtkWidget *foreground_check;  // estimate_foreground
  GtkWidget *suggest_button;    // "Suggest": levels and active for the region
  GtkWidget *suggest_note;      // label: what Suggest proposed, or why not
};

// Runs the whole dialog on `record` (an option_args *): build, run modally,
// apply, destroy. `widget` (the activating item) is not used. Outcome: the
// record and `ok_to_calc`.
void gtk_options_dialog_open(GtkWidget *widget, gpointer record);

// Builds the dialog, transient for `parent`, from the record's values; the
// levels bound comes from the record's picture size. Sets the drawing
// area's pointer to the arrow. Free with options_dialog_destroy.
options_dialog *options_dialog_build(GtkWidget *parent, const option_args *record);

// Shows the dialog and runs it modally; returns the response.
gint options_dialog_run(options_dialog *d);

// Applies a response: OK stores the five values (levels, active and window
// truncated to integers), the solver and the check box, and sets ok_to_calc = 1; Cancel sets
// ok_to_calc = 0 and keeps the record; any other response (closed from the frame) changes nothing.
void options_dialog_apply(options_dialog *d, gint response, option_args *record);

// Sets the blank pointer back, destroys the dialog and frees `d`.
void options_dialog_destroy(options_dialog *d);

// "value_changed" of the levels adjustment: the active adjustment's upper
// bound follows the levels value and its value is cut down to it.
void cb_levels_num(GtkAdjustment *levels, gpointer active);

// "clicked" of "Suggest" (data: the options_dialog): puts the levels and
// active levels proposed for the window's current region and strokes, with
// the dialog's window size, into their spin buttons; when there is nothing
// to propose for, leaves them and says why on the note label.
void cb_suggest_levels(GtkWidget *button, gpointer dialog);

// "clicked" of "Reset to default values": sets the spin buttons (a
// GtkWidget *[SPIN_COUNT] table) to the defaults; the record changes only if
// the dialog then ends with OK.
void signal_set_defaults(GtkWidget *button, gpointer spin_buttons);

// "clicked" of "Reset to default values" as well: sets the check box
// `foreground_check` to its default.
void cb_reset_foreground_check(GtkWidget *button, gpointer foreground_check);

// "clicked" of "Reset to default values" too: sets the solver combo box
// (`combo`) to the default solver.
void cb_reset_solver(GtkWidget *button, gpointer combo);
