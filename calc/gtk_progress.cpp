#include "calc/gtk_progress.h"

#include <mutex>

#include "gui/calc_state.h"
#include "gui/globals.h"

static const char PROGRESS_TEXT[] = "C A L C U L A T I N G";
static const char STOPPING_TEXT[] = "Stopping the calculation";
static const char STOP_TOOLTIP[] = "Click or press Escape to stop the calculation.";

// The latest stage text from the worker, not yet shown.
static std::mutex stage_lock;
static std::string pending_stage;  // guarded by stage_lock; empty: nothing new

// Takes the pending stage text; empty when there is nothing new.
static std::string take_pending_stage(void) {
  std::lock_guard<std::mutex> hold(stage_lock);
  std::string text;
  text.swap(pending_stage);
  return text;
}

static gboolean cb_progress_clicked(GtkWidget *, GdkEventButton *event, gpointer) {
  if (event->button == 1) stop_calculation();
  return TRUE;
}

// A progress bar has no window of its own to catch clicks: it sits in an
// event box, which the status bar holds.
static GtkWidget *clickable(GtkWidget *bar) {
  GtkWidget *box = gtk_event_box_new();
  gtk_container_add(GTK_CONTAINER(box), bar);
  gtk_widget_add_events(box, GDK_BUTTON_PRESS_MASK);
  g_signal_connect(box, "button-press-event", G_CALLBACK(cb_progress_clicked), NULL);
  gtk_widget_set_tooltip_text(box, STOP_TOOLTIP);
  return box;
}

std::string stage_text(const char *stage, int level, int levels) {
  g_autofree char *text = g_strdup_printf("%s, level %d of %d", stage, level, levels);
  text[0] = g_ascii_toupper(text[0]);
  return std::string(text);
}

void report_stage(const char *stage, int level, int levels, void *) {
  std::string text = stage_text(stage, level, levels);
  std::lock_guard<std::mutex> hold(stage_lock);
  pending_stage.swap(text);
}

void start_progress(calc_args *record) {
  take_pending_stage();
  GtkWidget *bar = gtk_progress_bar_new();
  gtk_progress_bar_set_text(GTK_PROGRESS_BAR(bar), PROGRESS_TEXT);
  GtkWidget *box = clickable(bar);
  gtk_box_pack_start(GTK_BOX(status_bar), box, FALSE, FALSE, 0);
  gtk_widget_show_all(box);
  record->progress_bar = bar;
  record->timeout_id = g_timeout_add(PROGRESS_PULSE_MS, update_progress, bar);
}

void stop_progress(calc_args *record) {
  if (record->timeout_id != 0) g_source_remove(record->timeout_id);
  record->timeout_id = 0;
  if (record->progress_bar != NULL) gtk_widget_destroy(gtk_widget_get_parent(record->progress_bar));
  record->progress_bar = NULL;
}

gboolean update_progress(gpointer progress_bar) {
  GtkProgressBar *bar = GTK_PROGRESS_BAR(progress_bar);
  gtk_progress_bar_pulse(bar);
  std::string stage = take_pending_stage();
  if (calculation_stop_requested()) {
    gtk_progress_bar_set_text(bar, STOPPING_TEXT);
  } else if (!stage.empty()) {
    gtk_progress_bar_set_text(bar, stage.c_str());
  }
  return TRUE;
}
