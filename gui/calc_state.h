// What the window knows about the calculation in progress: whether one
// runs, the region it covers, when it started and whether the user asked it
// to stop. At most one runs at a time.
//
// The window's handlers ask this module before they change the picture or
// the region; the calculation launcher (calc/gtk_calc.cpp) tells it when a
// calculation starts and ends, and is reached from the Calculate button
// through the handler registered here. Main-loop thread only, except the stop flag,
// which the calculation's worker thread reads.
#pragma once

#include <gtk/gtk.h>

#include <atomic>

// Status bar context of the calculation's messages (refusals, progress
// outcomes, the elapsed time).
enum { CALC_STATUS_CONTEXT = 2 };

// A rectangle of picture pixels.
struct calc_region {
  int x, y, w, h;
};

// Marks a calculation as running over `region` (clipped to the picture),
// clears any earlier stop request, notes the start time and makes "Stop
// calculation" available.
void calculation_started(calc_region region);

// Marks the calculation as ended and makes "Stop calculation" unavailable.
void calculation_ended(void);

// True from calculation_started until calculation_ended.
bool calculation_running(void);

// The region of the running (or last) calculation, as launched.
calc_region launched_region(void);

// Seconds since the running (or last) calculation started.
double calculation_seconds(void);

// For handlers that must not change the picture or the region under a
// running calculation: when one runs, says so on the status bar and returns
// true (the caller then does nothing); otherwise returns false.
bool refuse_while_calculating(void);

// Asks the running calculation to stop at its next stage boundary; does
// nothing when none runs. The flag stays set until the next start.
void stop_calculation(void);

// Whether the running calculation was asked to stop.
bool calculation_stop_requested(void);

// The flag the worker polls between stages (c2f_config::cancel). Lives for
// the whole process.
const std::atomic<bool> *calculation_stop_flag(void);

// "activate" handler of Edit -> "Stop calculation" (accelerator Escape):
// stop_calculation.
void cb_stop_calculation(GtkWidget *item, gpointer data);

// Hands over the "Stop calculation" menu item, whose sensitivity then
// follows calculation_running; the menu builder calls this.
void set_stop_calculation_item(GtkWidget *item);

// The "clicked" handler of the Calculate button (toolbar: the main
// toolbar). The window does not launch calculations itself: whoever starts
// it hands over the launcher's handler (cb_calc, calc/gtk_calc.h) before
// create_main_window builds the toolbar, so the window depends on the
// launcher only through this pointer. A window built without one has a
// Calculate button that does nothing.
typedef void (*calculate_handler)(GtkWidget *button, gpointer toolbar);
void set_calculate_handler(calculate_handler handler);
calculate_handler registered_calculate_handler(void);
