// The calculation options dialog: level bound, active-levels coupling,
// reset, and what OK, Cancel and closing from the frame do to the record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/globals.h"
#include "engine/solve_alpha.h"
#include "gui/options_dialog.h"
#include "tests/gui/gui_test_support.h"

namespace {

// A record with every option off its default, for a picture of 100 x 100.
const option_args EDITED = {4, 3, 5e-6, 0.1, 3, 100, 100, SOLVER_LU};

// What the dialog added to its content area (GTK+ 2 keeps the button row
// and its separator in there too).
std::vector<GtkWidget *> content_children(GtkDialog *dialog) {
  GList *list = gtk_container_get_children(GTK_CONTAINER(gtk_dialog_get_content_area(dialog)));
  std::vector<GtkWidget *> children;
  for (GList *c = list; c; c = c->next)
    if (c->data != gtk_dialog_get_action_area(dialog) && !GTK_IS_SEPARATOR(c->data))
      children.push_back(GTK_WIDGET(c->data));
  g_list_free(list);
  return children;
}

void expect_same_options(const option_args &a, const option_args &b) {
  EXPECT_EQ(a.levels_num, b.levels_num);
  EXPECT_EQ(a.Active_levels_num, b.Active_levels_num);
  EXPECT_EQ(a.epsilon, b.epsilon);
  EXPECT_EQ(a.threshold, b.threshold);
  EXPECT_EQ(a.win_size, b.win_size);
  EXPECT_EQ(a.img_width, b.img_width);
  EXPECT_EQ(a.img_height, b.img_height);
  EXPECT_EQ(a.solver, b.solver);
}

class OptionsDialog : public ::testing::Test {
 protected:
  void SetUp() override { create_test_window(); }
  void TearDown() override {
    if (d) options_dialog_destroy(d);
  }
  void build(const option_args &from) {
    if (d) options_dialog_destroy(d);
    record = from;
    d = options_dialog_build(main_window, &record);
  }
  GtkSpinButton *spin(option_spin_index i) { return GTK_SPIN_BUTTON(d->spin_buttons[i]); }
  double upper(option_spin_index i) {
    return gtk_adjustment_get_upper(gtk_spin_button_get_adjustment(spin(i)));
  }
  double value(option_spin_index i) { return gtk_spin_button_get_value(spin(i)); }
  void set(option_spin_index i, double v) { gtk_spin_button_set_value(spin(i), v); }

  option_args record = {};
  options_dialog *d = NULL;
};

TEST_F(OptionsDialog, LevelsAreBoundedByThePictureSize) {
  // No picture yet (0 x 0), a narrow one, and a typical one.
  const struct { int width, height, bound; } pictures[] = {{0, 0, 1}, {200, 35, 3}, {640, 480, 48}};
  for (const auto &p : pictures) {
    option_args r = EDITED;
    r.levels_num = r.Active_levels_num = 1;
    r.img_width = p.width;
    r.img_height = p.height;
    build(r);
    set(SPIN_LEVELS, 1000);
    EXPECT_EQ(value(SPIN_LEVELS), p.bound) << p.width << " x " << p.height;
  }
}

TEST_F(OptionsDialog, ActiveLevelsNeverExceedLevels) {
  build(EDITED);  // levels 4, active 3
  EXPECT_EQ(upper(SPIN_ACTIVE), 4);
  set(SPIN_LEVELS, 2);
  EXPECT_EQ(value(SPIN_ACTIVE), 2);
  set(SPIN_LEVELS, 5);
  EXPECT_EQ(value(SPIN_ACTIVE), 2);
  set(SPIN_ACTIVE, 9);
  EXPECT_EQ(value(SPIN_ACTIVE), 5);
}

TEST_F(OptionsDialog, ShowsLabelledSpinButtonsWithTheirRangesAndPrecision) {
  build(EDITED);
  GtkDialog *dialog = GTK_DIALOG(d->dialog);
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog)), GTK_WINDOW(main_window));
  EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog)));
  // Levels and active levels take their upper bounds from the picture and
  // the levels value (tested above).
  const struct {
    const char *label;
    option_spin_index spin;
    const option_range *range;
    guint digits;
  } rows[] = {
      {"Down scale image this many times for larger images", SPIN_LEVELS, &OPT_LEVELS, 0},
      {"Recalculate matte in this many steps when upscaling", SPIN_ACTIVE, &OPT_ACTIVE, 0},
      {"Threshold value for trimatte from down scaled matte", SPIN_THRESHOLD, &OPT_THRESHOLD, 2},
      {"Degree edges are softened in the matte", SPIN_EPSILON, &OPT_EPSILON, 7},
      {"Window size. Try down scaling (more efficient) first!", SPIN_WINDOW, &OPT_WIN_SIZE, 0},
  };
  const std::vector<GtkWidget *> children = content_children(dialog);
  ASSERT_EQ(children.size(), 2 * G_N_ELEMENTS(rows) + 3);
  for (size_t i = 0; i < G_N_ELEMENTS(rows); ++i) {
    SCOPED_TRACE(rows[i].label);
    ASSERT_TRUE(GTK_IS_LABEL(children[2 * i]));
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(children[2 * i])), rows[i].label);
    EXPECT_EQ(children[2 * i + 1], d->spin_buttons[rows[i].spin]);
    EXPECT_EQ(gtk_spin_button_get_digits(spin(rows[i].spin)), rows[i].digits);
    EXPECT_EQ(gtk_adjustment_get_lower(gtk_spin_button_get_adjustment(spin(rows[i].spin))),
              rows[i].range->lower);
    if (rows[i].spin >= SPIN_EPSILON) {
      EXPECT_EQ(upper(rows[i].spin), rows[i].range->upper);
    }
  }
  // Then the solver choice, showing the record's solver.
  const size_t solver = 2 * G_N_ELEMENTS(rows);
  EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(children[solver])), "Solver");
  ASSERT_EQ(children[solver + 1], d->solver_combo);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(d->solver_combo)), SOLVER_LU);
  gchar *shown = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(d->solver_combo));
  EXPECT_STREQ(shown, "LU (reference)");
  g_free(shown);
  ASSERT_TRUE(GTK_IS_BUTTON(children.back()));
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(children.back())), "Reset to default values");
}

TEST_F(OptionsDialog, OkStoresTheShownValuesIncludingTextNotYetEntered) {
  build(EDITED);
  ok_to_calc = 0;
  set(SPIN_LEVELS, 3);
  set(SPIN_ACTIVE, 2);
  set(SPIN_THRESHOLD, 0.05);
  set(SPIN_EPSILON, 0.0000050);
  gtk_entry_set_text(GTK_ENTRY(spin(SPIN_WINDOW)), "5");  // typed, Enter not pressed
  gtk_combo_box_set_active(GTK_COMBO_BOX(d->solver_combo), SOLVER_CHOLESKY);
  options_dialog_apply(d, GTK_RESPONSE_OK, &record);
  expect_same_options(record, option_args{3, 2, 5e-6, 0.05, 5, 100, 100, SOLVER_CHOLESKY});
  EXPECT_EQ(ok_to_calc, 1);
}

TEST_F(OptionsDialog, OtherAnswersKeepTheRecordAndOnlyCancelClosesTheGate) {
  // Closing from the frame (or the dialog going away with its parent) leaves
  // the gate as it was.
  const struct { gint response; int before, after; } answers[] = {
      {GTK_RESPONSE_CANCEL, 1, 0},
      {GTK_RESPONSE_DELETE_EVENT, 1, 1},
      {GTK_RESPONSE_DELETE_EVENT, 0, 0},
      {GTK_RESPONSE_NONE, 1, 1}};
  for (const auto &answer : answers) {
    SCOPED_TRACE("response " + std::to_string(answer.response));
    build(EDITED);
    ok_to_calc = answer.before;
    set(SPIN_LEVELS, 1);
    set(SPIN_WINDOW, 5);
    options_dialog_apply(d, answer.response, &record);
    expect_same_options(record, EDITED);
    EXPECT_EQ(ok_to_calc, answer.after);
  }
}

TEST_F(OptionsDialog, ResetShowsTheDefaultsButOnlyOkStoresThem) {
  build(EDITED);
  gtk_button_clicked(GTK_BUTTON(content_children(GTK_DIALOG(d->dialog)).back()));
  option_args defaults = EDITED;
  opts_set_default(&defaults);
  EXPECT_EQ(value(SPIN_LEVELS), defaults.levels_num);
  EXPECT_EQ(value(SPIN_ACTIVE), defaults.Active_levels_num);
  EXPECT_EQ(upper(SPIN_ACTIVE), defaults.levels_num);
  EXPECT_EQ(value(SPIN_EPSILON), defaults.epsilon);
  EXPECT_EQ(value(SPIN_THRESHOLD), defaults.threshold);
  EXPECT_EQ(value(SPIN_WINDOW), defaults.win_size);
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(d->solver_combo)), defaults.solver);

  options_dialog_apply(d, GTK_RESPONSE_CANCEL, &record);
  expect_same_options(record, EDITED);
  options_dialog_apply(d, GTK_RESPONSE_OK, &record);
  expect_same_options(record, defaults);
}

// ---- The whole dialog from the menu ----------------------------------------

// Notes the pointer while the dialog runs, then sets the window size.
void set_window_size_to_three(GtkDialog *dialog, gpointer cursor_seen) {
  *static_cast<GdkCursor **>(cursor_seen) = drawing_area_cursor();
  std::vector<GtkWidget *> children = content_children(dialog);
  ASSERT_EQ(children.size(), 13u);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(children[9]), 3);  // window, shown last
}

TEST_F(OptionsDialog, PreferencesRunsTheDialogOnTheOptionsRecord) {
  ok_to_calc = 0;
  GdkCursor *cursor_seen = blank_cursor;
  answer_dialog_when_shown("options for calculation", GTK_RESPONSE_OK, set_window_size_to_three,
                           &cursor_seen);
  gtk_menu_item_activate(GTK_MENU_ITEM(menu_item("Edit", 4)));
  EXPECT_EQ(cursor_seen, nullptr);  // the arrow while it runs
  EXPECT_EQ(pass_option_args->win_size, 3);
  EXPECT_EQ(ok_to_calc, 1);
  EXPECT_EQ(drawing_area_cursor(), blank_cursor);
  flush_events();
  EXPECT_EQ(find_shown_window("options for calculation"), nullptr);
}

}  // namespace
