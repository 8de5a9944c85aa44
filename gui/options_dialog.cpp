#include "gui/options_dialog.h"

#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/window_suggestion.h"

static const char *const DIALOG_TITLE = "options for calculation";
static const char *const RESET_LABEL = "Reset to default values";
static const char *const SOLVER_LABEL = "Solver";
static const char *const FOREGROUND_LABEL = "Estimate foreground colours";
static const char *const SUGGEST_LABEL = "Suggest";

// How each option is presented; limits and defaults come from the options
// table in calc/options.h.
struct spin_field {
  const char *label;
  const option_range *range;
  double step, page, climb_rate;
  guint digits;
};

static const spin_field FIELDS[SPIN_COUNT] = {
    {"Down scale image this many times for larger images", &OPT_LEVELS, 1, 1, 1.0, 0},
    {"Recalculate matte in this many steps when upscaling", &OPT_ACTIVE, 1, 1, 1.0, 0},
    {"Degree edges are softened in the matte", &OPT_EPSILON, 1e-7, 0, 1e-7, 7},
    {"Threshold value for trimatte from down scaled matte", &OPT_THRESHOLD, 0.01, 0, 0.01, 2},
    {"Window size. Try down scaling (more efficient) first!", &OPT_WIN_SIZE, 1, 0, 1.0, 0},
};

// Top to bottom in the dialog: threshold comes before epsilon there.
static const option_spin_index DISPLAY_ORDER[SPIN_COUNT] = {
    SPIN_LEVELS, SPIN_ACTIVE, SPIN_THRESHOLD, SPIN_EPSILON, SPIN_WINDOW};

// Reset order: setting levels first lets cb_levels_num bring the active
// bound down before active is set.
static const option_spin_index RESET_ORDER[SPIN_COUNT] = {SPIN_LEVELS, SPIN_ACTIVE, SPIN_WINDOW,
                                                          SPIN_EPSILON, SPIN_THRESHOLD};

static GtkAdjustment *spin_adjustment(const options_dialog *d, option_spin_index i) {
  return gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(d->spin_buttons[i]));
}

static double spin_value(const options_dialog *d, option_spin_index i) {
  return gtk_spin_button_get_value(GTK_SPIN_BUTTON(d->spin_buttons[i]));
}

static GtkWidget *new_spin_button(option_spin_index i, double value, double upper) {
  const spin_field &f = FIELDS[i];
  GtkObject *adjustment = gtk_adjustment_new(value, f.range->lower, upper, f.step, f.page, 0);
  return gtk_spin_button_new(GTK_ADJUSTMENT(adjustment), f.climb_rate, f.digits);
}

static void create_spin_buttons(options_dialog *d, const option_args *record) {
  const int level_bound = max_levels_for_picture(record->img_width, record->img_height);
  d->spin_buttons[SPIN_LEVELS] = new_spin_button(SPIN_LEVELS, record->levels_num, level_bound);
  d->spin_buttons[SPIN_ACTIVE] =
      new_spin_button(SPIN_ACTIVE, record->Active_levels_num, record->levels_num);
  d->spin_buttons[SPIN_EPSILON] = new_spin_button(SPIN_EPSILON, record->epsilon, OPT_EPSILON.upper);
  d->spin_buttons[SPIN_THRESHOLD] =
      new_spin_button(SPIN_THRESHOLD, record->threshold, OPT_THRESHOLD.upper);
  d->spin_buttons[SPIN_WINDOW] = new_spin_button(SPIN_WINDOW, record->win_size, OPT_WIN_SIZE.upper);
  g_signal_connect(spin_adjustment(d, SPIN_LEVELS), "value_changed", G_CALLBACK(cb_levels_num),
                   spin_adjustment(d, SPIN_ACTIVE));
}

static GtkWidget *new_solver_combo(int solver) {
  GtkWidget *combo = gtk_combo_box_text_new();
  for (int i = 0; i < OPT_SOLVER.count; i++)
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo), OPT_SOLVER.items[i].label);
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), solver);
  return combo;
}

static void create_foreground_check(options_dialog *d, const option_args *record) {
  d->foreground_check = gtk_check_button_new_with_label(FOREGROUND_LABEL);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d->foreground_check),
                               record->estimate_foreground != 0);
}

static void fill_content_area(options_dialog *d) {
  GtkWidget *area = gtk_dialog_get_content_area(GTK_DIALOG(d->dialog));
  for (option_spin_index i : DISPLAY_ORDER) {
    gtk_box_pack_start(GTK_BOX(area), gtk_label_new(FIELDS[i].label), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(area), d->spin_buttons[i], FALSE, FALSE, 0);
  }
  gtk_box_pack_start(GTK_BOX(area), gtk_label_new(SOLVER_LABEL), FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(area), d->solver_combo, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(area), d->foreground_check, FALSE, FALSE, 0);
  d->suggest_button = gtk_button_new_with_label(SUGGEST_LABEL);
  g_signal_connect(d->suggest_button, "clicked", G_CALLBACK(cb_suggest_levels), d);
  gtk_box_pack_start(GTK_BOX(area), d->suggest_button, FALSE, FALSE, 0);
  d->suggest_note = gtk_label_new("");
  gtk_label_set_line_wrap(GTK_LABEL(d->suggest_note), TRUE);
  gtk_box_pack_start(GTK_BOX(area), d->suggest_note, FALSE, FALSE, 0);
  GtkWidget *reset = gtk_button_new_with_label(RESET_LABEL);
  g_signal_connect(reset, "clicked", G_CALLBACK(signal_set_defaults), d->spin_buttons);
  g_signal_connect(reset, "clicked", G_CALLBACK(cb_reset_solver), d->solver_combo);
  g_signal_connect(reset, "clicked", G_CALLBACK(cb_reset_foreground_check), d->foreground_check);
  gtk_box_pack_start(GTK_BOX(area), reset, FALSE, FALSE, 0);
}

void cb_levels_num(GtkAdjustment *levels, gpointer active) {
  GtkAdjustment *active_adjustment = GTK_ADJUSTMENT(active);
  const double level_count = gtk_adjustment_get_value(levels);
  const double active_count = gtk_adjustment_get_value(active_adjustment);
  gtk_adjustment_set_upper(active_adjustment, level_count);
  gtk_adjustment_set_value(active_adjustment, MIN(active_count, level_count));
}

void cb_suggest_levels(GtkWidget *, gpointer dialog) {
  options_dialog *d = static_cast<options_dialog *>(dialog);
  const int win_size = (int)spin_value(d, SPIN_WINDOW);
  const window_suggestion s = suggest_levels_for_window(win_size);
  if (s.outcome == SUGGESTION_MADE) {
    // Levels first, so that cb_levels_num lets the active bound follow.
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(d->spin_buttons[SPIN_LEVELS]), s.levels.levels);
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(d->spin_buttons[SPIN_ACTIVE]), s.levels.active);
  }
  g_autofree char *note = window_suggestion_note(&s, win_size);
  gtk_label_set_text(GTK_LABEL(d->suggest_note), note);
}

void signal_set_defaults(GtkWidget *, gpointer spin_buttons) {
  GtkWidget **spins = static_cast<GtkWidget **>(spin_buttons);
  for (option_spin_index i : RESET_ORDER)
    gtk_spin_button_set_value(GTK_SPIN_BUTTON(spins[i]), FIELDS[i].range->default_value);
}

void cb_reset_solver(GtkWidget *, gpointer combo) {
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), OPT_SOLVER.default_value);
}

void cb_reset_foreground_check(GtkWidget *, gpointer foreground_check) {
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(foreground_check),
                               OPT_FOREGROUND.default_value != 0);
}

options_dialog *options_dialog_build(GtkWidget *parent, const option_args *record) {
  set_drawing_area_cursor(NULL);
  options_dialog *d = g_new0(options_dialog, 1);
  d->dialog = gtk_dialog_new_with_buttons(
      DIALOG_TITLE, GTK_WINDOW(parent),
      GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), GTK_STOCK_OK,
      GTK_RESPONSE_OK, GTK_STOCK_CANCEL, GTK_RESPONSE_CANCEL, NULL);
  g_object_ref(d->dialog);
  create_spin_buttons(d, record);
  d->solver_combo = new_solver_combo(record->solver);
  create_foreground_check(d, record);
  fill_content_area(d);
  return d;
}

gint options_dialog_run(options_dialog *d) {
  gtk_widget_show_all(d->dialog);
  return gtk_dialog_run(GTK_DIALOG(d->dialog));
}

void options_dialog_apply(options_dialog *d, gint response, option_args *record) {
  if (response == GTK_RESPONSE_CANCEL) {
    ok_to_calc = 0;
    return;
  }
  if (response != GTK_RESPONSE_OK) return;
  // Commit text typed into a spin button but not yet entered (OK reached by
  // its mnemonic keeps the focus there), so what the user sees is stored.
  for (GtkWidget *spin : d->spin_buttons) gtk_spin_button_update(GTK_SPIN_BUTTON(spin));
  record->levels_num = (int32_t)spin_value(d, SPIN_LEVELS);
  record->Active_levels_num = (int32_t)spin_value(d, SPIN_ACTIVE);
  record->win_size = (int32_t)spin_value(d, SPIN_WINDOW);
  record->epsilon = spin_value(d, SPIN_EPSILON);
  record->threshold = spin_value(d, SPIN_THRESHOLD);
  record->solver = gtk_combo_box_get_active(GTK_COMBO_BOX(d->solver_combo));
  record->estimate_foreground =
      gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(d->foreground_check)) ? 1 : 0;
  ok_to_calc = 1;
}

void options_dialog_destroy(options_dialog *d) {
  set_drawing_area_cursor(blank_cursor);
  gtk_widget_destroy(d->dialog);
  g_object_unref(d->dialog);
  g_free(d);
}

void gtk_options_dialog_open(GtkWidget *, gpointer record) {
  option_args *options = static_cast<option_args *>(record);
  options_dialog *d = options_dialog_build(gtk_widget_get_toplevel(drawing_area), options);
  const gint response = options_dialog_run(d);
  options_dialog_apply(d, response, options);
  options_dialog_destroy(d);
}
