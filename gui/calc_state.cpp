#include "gui/calc_state.h"

#include "gui/globals.h"
#include "gui/main_window.h"

static const char BUSY_MESSAGE[] = "A calculation is running: wait for its result.";

static bool running = false;
static calc_region region_launched = {0, 0, 0, 0};
static gint64 started_us = 0;
static std::atomic<bool> stop_requested(false);
// NULL before the menu is built and after it is destroyed.
static GtkWidget *stop_item = NULL;
static calculate_handler calculate = NULL;

static void update_stop_item(void) {
  if (stop_item) gtk_widget_set_sensitive(stop_item, running);
}

void calculation_started(calc_region region) {
  running = true;
  region_launched = region;
  started_us = g_get_monotonic_time();
  stop_requested = false;
  update_stop_item();
}

void calculation_ended(void) {
  running = false;
  update_stop_item();
}

bool calculation_running(void) { return running; }

calc_region launched_region(void) { return region_launched; }

double calculation_seconds(void) {
  return double(g_get_monotonic_time() - started_us) / G_USEC_PER_SEC;
}

bool refuse_while_calculating(void) {
  if (!running) return false;
  update_statusbar(BUSY_MESSAGE, CALC_STATUS_CONTEXT, status_bar);
  return true;
}

void stop_calculation(void) {
  if (running) stop_requested = true;
}

bool calculation_stop_requested(void) { return running && stop_requested; }

const std::atomic<bool> *calculation_stop_flag(void) { return &stop_requested; }

void cb_stop_calculation(GtkWidget *, gpointer) { stop_calculation(); }

void set_stop_calculation_item(GtkWidget *item) {
  stop_item = item;
  g_signal_connect(item, "destroy", G_CALLBACK(gtk_widget_destroyed), &stop_item);
  update_stop_item();
}

void set_calculate_handler(calculate_handler handler) { calculate = handler; }

calculate_handler registered_calculate_handler(void) { return calculate; }
