// The calculation options dialog and what its answers do to the record.
#include "gui/options_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/solve_alpha.h"
#include "gui/globals.h"
#include "tests/gui/gui_test_support.h"

namespace {

// A record with every option off its default, for a picture of 100 x 100.
const option_args EDITED = {4, 3, 5e-6, 0.1, 3, 100, 100, 1, SOLVER_LU};

// The fields the dialog shows, to compare records whole.
std::vector<double> shown_fields(const option_args &a) {
  return {double(a.levels_num), double(a.Active_levels_num),   a.epsilon,       a.threshold,
          double(a.win_size),   double(a.estimate_foreground), double(a.solver)};
}

class OptionsDialog : public WindowTest {
 protected:
  void TearDown() override {
    if (d) options_dialog_destroy(d);
    WindowTest::TearDown();
  }
  void build(const option_args &from) {
    if (d) options_dialog_destroy(d);
    record = from;
    d = options_dialog_build(main_window, &record);
  }
  GtkSpinButton *spin(option_spin_index i) { return GTK_SPIN_BUTTON(d->spin_buttons[i]); }
  double value(option_spin_index i) { return gtk_spin_button_get_value(spin(i)); }
  GtkToggleButton *check() { return GTK_TOGGLE_BUTTON(d->foreground_check); }
  void set(option_spin_index i, double v) { gtk_spin_button_set_value(spin(i), v); }

  option_args record = {};
  options_dialog *d = NULL;
};

TEST_F(OptionsDialog, LevelLimitsFollowTheLevelsAndThePictureSize) {
  build(EDITED);                         // levels 4, active 3
  set(SPIN_EPSILON, OPT_EPSILON.lower);  // enough digits to show it at all
  EXPECT_EQ(value(SPIN_EPSILON), OPT_EPSILON.lower);
  set(SPIN_LEVELS, 2);
  EXPECT_EQ(value(SPIN_ACTIVE), 2);
  set(SPIN_LEVELS, 5);
  set(SPIN_ACTIVE, 9);
  EXPECT_EQ(value(SPIN_ACTIVE), 5);
  // No picture yet (0 x 0) and a narrow one.
  const struct { int width, height, bound; } pictures[] = {{0, 0, 1}, {200, 35, 3}};
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

// OK stores what is shown, also text typed without Enter; the other answers
// keep the record, and only Cancel closes the gate: closing from the frame
// (or the dialog going away with its parent) leaves it as it was.
TEST_F(OptionsDialog, OkStoresTheShownValuesOtherAnswersKeepTheRecord) {
  const option_args shown = {3, 2, 5e-6, 0.05, 5, 100, 100, 0, SOLVER_CHOLESKY};
  const struct {
    gint response;
    int before, after;
  } answers[] = {
      {GTK_RESPONSE_OK, 0, 1}, {GTK_RESPONSE_CANCEL, 1, 0}, {GTK_RESPONSE_DELETE_EVENT, 1, 1}};
  for (const auto &answer : answers) {
    SCOPED_TRACE("response " + std::to_string(answer.response));
    build(EDITED);
    ok_to_calc = answer.before;
    set(SPIN_LEVELS, shown.levels_num);
    set(SPIN_ACTIVE, shown.Active_levels_num);
    set(SPIN_THRESHOLD, shown.threshold);
    set(SPIN_EPSILON, shown.epsilon);
    gtk_entry_set_text(GTK_ENTRY(spin(SPIN_WINDOW)), "5");  // typed, Enter not pressed
    gtk_toggle_button_set_active(check(), FALSE);
    gtk_combo_box_set_active(GTK_COMBO_BOX(d->solver_combo), SOLVER_CHOLESKY);
    options_dialog_apply(d, answer.response, &record);
    EXPECT_EQ(shown_fields(record),
              shown_fields(answer.response == GTK_RESPONSE_OK ? shown : EDITED));
    EXPECT_EQ(ok_to_calc, answer.after);
  }
}

TEST_F(OptionsDialog, ResetShowsTheDefaultsButOnlyOkStoresThem) {
  build(EDITED);
  GList *rows = gtk_container_get_children(GTK_CONTAINER(GTK_DIALOG(d->dialog)->vbox));
  for (GList *row = rows; row; row = row->next)
    if (GTK_IS_BUTTON(row->data) &&
        g_strcmp0(gtk_button_get_label(GTK_BUTTON(row->data)), "Reset to default values") == 0)
      gtk_button_clicked(GTK_BUTTON(row->data));
  g_list_free(rows);
  option_args defaults = EDITED;
  opts_set_default(&defaults);
  options_dialog_apply(d, GTK_RESPONSE_CANCEL, &record);
  EXPECT_EQ(shown_fields(record), shown_fields(EDITED));
  options_dialog_apply(d, GTK_RESPONSE_OK, &record);
  EXPECT_EQ(shown_fields(record), shown_fields(defaults));
}

TEST_F(OptionsDialog, SuggestFillsLevelsForTheRegionOrSaysWhyNot) {
  // The selection (300, -20, 200, 120) clips to 100 x 100: 100 -> 48, above
  // the coarsest level's floor of 40.
  const struct {
    const char *label;
    int width, height;   // the picture; 0 x 0: none opened yet
    bool foreground;     // a foreground stroke besides the background one
    int region[4];       // the selection (x, y, w, h); w = 0: the whole picture
    int levels, active;  // shown afterwards
    const char *note_part;
  } cases[] = {
      {"no picture", 0, 0, true, {0, 0, 0, 0}, 4, 1, "Open a picture first"},
      {"clipped selection", 400, 300, true, {300, -20, 200, 120}, 2, 2, "100 x 100 calculation"},
      {"too small", 400, 300, true, {0, 0, 6, 6}, 4, 1, "(6 x 6) is too small for window size 3"},
      {"no foreground", 400, 300, false, {0, 0, 0, 0}, 4, 1, "Paint a background and a foreground"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.label);
    if (c.width) {
      open_picture(c.width, c.height, patterned);
      fill_layer_rect(0, 0, c.width, 40, 0, 0, 0);
      if (c.foreground) fill_layer_rect(0, 60, c.width, 40, 1, 1, 1);
    }
    calc_ROI_is_set = c.region[2] > 0;
    x_img_ROI = c.region[0], y_img_ROI = c.region[1], w_img_ROI = c.region[2],
    h_img_ROI = c.region[3];
    option_args r = EDITED;  // window size 3
    r.Active_levels_num = 1;
    build(r);
    gtk_button_clicked(GTK_BUTTON(d->suggest_button));
    EXPECT_EQ(value(SPIN_LEVELS), c.levels);
    EXPECT_EQ(value(SPIN_ACTIVE), c.active);
    const std::string note = gtk_label_get_text(GTK_LABEL(d->suggest_note));
    EXPECT_NE(note.find(c.note_part), std::string::npos) << note;
    EXPECT_EQ(x_img_ROI, c.region[0]);  // the selection itself is left alone
  }
}

}  // namespace
