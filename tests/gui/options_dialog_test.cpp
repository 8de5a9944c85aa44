// The calculation options dialog: level bound, active-levels coupling,
// reset, and what OK, Cancel and closing from the frame do to the record.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/globals.h"
#include "gui/options_dialog.h"
#include "tests/gui/gui_test_support.h"

namespace {

// A record with every option off its default, for a picture of 100 x 100.
const option_args EDITED = {4, 3, 5e-6, 0.1, 3, 100, 100};

// What the dialog added to its content area (GTK+ 2 keeps the button row
// and its separator in there too).
std::vector<GtkWidget *> content_children(GtkDialog *dialog) {
  GList *list = gtk_container_get_children(
      GTK_CONTAINER(gtk_dialog_get_content_area(dialog)));
  std::vector<GtkWidget *> children;
  for (GList *c = list; c; c = c->next)
    if (c->data != gtk_dialog_get_action_area(dialog) && !GTK_IS_SEPARATOR(c->data))
      children.push_back(GTK_WIDGET(c->data));
  g_list_free(list);
  return children;
}

template <typename Pred>
std::vector<GtkWidget *> children_where(GtkDialog *dialog, Pred pred) {
  std::vector<GtkWidget *> found;
  for (GtkWidget *w : content_children(dialog))
    if (pred(w)) found.push_back(w);
  return found;
}

std::vector<GtkWidget *> spins_shown(GtkDialog *dialog) {
  return children_where(dialog, [](GtkWidget *w) { return GTK_IS_SPIN_BUTTON(w); });
}

GtkWidget *reset_button(GtkDialog *dialog) {
  auto buttons = children_where(dialog, [](GtkWidget *w) {
    return GTK_IS_BUTTON(w) && !GTK_IS_SPIN_BUTTON(w);
  });
  return buttons.size() == 1 ? buttons[0] : NULL;
}

void expect_same_options(const option_args &a, const option_args &b) {
  EXPECT_EQ(a.levels_num, b.levels_num);
  EXPECT_EQ(a.Active_levels_num, b.Active_levels_num);
  EXPECT_EQ(a.epsilon, b.epsilon);
  EXPECT_EQ(a.threshold, b.threshold);
  EXPECT_EQ(a.win_size, b.win_size);
  EXPECT_EQ(a.img_width, b.img_width);
  EXPECT_EQ(a.img_height, b.img_height);
}

class OptionsDialog : public ::testing::Test {
 protected:
  void SetUp() override { create_test_window(); }
  void TearDown() override {
    if (d) options_dialog_destroy(d);
  }
  void build(const option_args &from) {
    record = from;
    d = options_dialog_build(main_window, &record);
  }
  GtkSpinButton *spin(option_spin_index i) { return GTK_SPIN_BUTTON(d->spin_buttons[i]); }
  GtkAdjustment *adjustment(option_spin_index i) {
    return gtk_spin_button_get_adjustment(spin(i));
  }
  double value(option_spin_index i) { return gtk_spin_button_get_value(spin(i)); }
  void set(option_spin_index i, double v) { gtk_spin_button_set_value(spin(i), v); }

  option_args record = {};
  options_dialog *d = NULL;
};

// ---- Level bound ------------------------------------------------------------

struct picture_size {
  int width, height, level_bound;
};

class LevelBound : public OptionsDialog,
                   public ::testing::WithParamInterface<picture_size> {};

TEST_P(LevelBound, FollowsATenthOfTheSmallerSideAndAtLeastOne) {
  option_args r = EDITED;
  r.levels_num = r.Active_levels_num = 1;
  r.img_width = GetParam().width;
  r.img_height = GetParam().height;
  build(r);
  EXPECT_EQ(gtk_adjustment_get_lower(adjustment(SPIN_LEVELS)), 1);
  EXPECT_EQ(gtk_adjustment_get_upper(adjustment(SPIN_LEVELS)), GetParam().level_bound);
  set(SPIN_LEVELS, 1000);
  EXPECT_EQ(value(SPIN_LEVELS), GetParam().level_bound);
}

// No picture yet (0 x 0), then sizes around the bound.
INSTANTIATE_TEST_SUITE_P(Pictures, LevelBound,
                         ::testing::Values(picture_size{0, 0, 1}, picture_size{35, 200, 3},
                                           picture_size{200, 35, 3},
                                           picture_size{9, 1000, 1},
                                           picture_size{20, 19, 1},
                                           picture_size{640, 480, 48}));

TEST_F(OptionsDialog, ActiveLevelsNeverExceedLevels) {
  build(EDITED);  // levels 4, active 3
  EXPECT_EQ(gtk_adjustment_get_upper(adjustment(SPIN_ACTIVE)), 4);
  set(SPIN_LEVELS, 2);
  EXPECT_EQ(value(SPIN_ACTIVE), 2);
  EXPECT_EQ(gtk_adjustment_get_upper(adjustment(SPIN_ACTIVE)), 2);
  set(SPIN_LEVELS, 5);
  EXPECT_EQ(value(SPIN_ACTIVE), 2);
  EXPECT_EQ(gtk_adjustment_get_upper(adjustment(SPIN_ACTIVE)), 5);
  set(SPIN_ACTIVE, 9);
  EXPECT_EQ(value(SPIN_ACTIVE), 5);
}

// ---- Layout -----------------------------------------------------------------

TEST_F(OptionsDialog, ShowsLabelledSpinButtonsWithTheirRangesAndPrecision) {
  build(EDITED);
  GtkDialog *dialog = GTK_DIALOG(d->dialog);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(dialog)), "options for calculation");
  EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(dialog)), GTK_WINDOW(main_window));
  EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog)));

  struct row {
    const char *label;
    option_spin_index spin;
    double lower, upper, step, climb;
    guint digits;
  };
  const row rows[] = {
      {"Down scale image this many times for larger images", SPIN_LEVELS, 1, 10, 1, 1.0, 0},
      {"Recalculate matte in this many steps when upscaling", SPIN_ACTIVE, 1, 4, 1, 1.0, 0},
      {"Threshold value for trimatte from down scaled matte", SPIN_THRESHOLD, 0, 0.5, 0.01, 0.01, 2},
      {"Degree edges are softened in the matte", SPIN_EPSILON, 1e-7, 1e-5, 1e-7, 1e-7, 7},
      {"Window size. Try down scaling (more efficient) first!", SPIN_WINDOW, 1, 5, 1, 1.0, 0},
  };
  const std::vector<GtkWidget *> children = content_children(dialog);
  ASSERT_EQ(children.size(), 2 * G_N_ELEMENTS(rows) + 1);
  for (size_t i = 0; i < G_N_ELEMENTS(rows); ++i) {
    const row &r = rows[i];
    ASSERT_TRUE(GTK_IS_LABEL(children[2 * i]));
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(children[2 * i])), r.label);
    EXPECT_EQ(children[2 * i + 1], d->spin_buttons[r.spin]) << r.label;
    GtkAdjustment *a = adjustment(r.spin);
    EXPECT_EQ(gtk_adjustment_get_lower(a), r.lower) << r.label;
    EXPECT_EQ(gtk_adjustment_get_upper(a), r.upper) << r.label;
    EXPECT_EQ(gtk_adjustment_get_step_increment(a), r.step) << r.label;
    EXPECT_EQ(gtk_spin_button_get_digits(spin(r.spin)), r.digits) << r.label;
    double climb;
    g_object_get(spin(r.spin), "climb-rate", &climb, NULL);
    EXPECT_EQ(climb, r.climb) << r.label;
  }
  GtkWidget *reset = reset_button(dialog);
  ASSERT_NE(reset, nullptr);
  EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(reset)), "Reset to default values");

  GList *buttons = gtk_container_get_children(
      GTK_CONTAINER(gtk_dialog_get_action_area(dialog)));
  ASSERT_EQ(g_list_length(buttons), 2u);
  std::vector<gint> responses;
  for (GList *b = buttons; b; b = b->next)
    responses.push_back(gtk_dialog_get_response_for_widget(dialog, GTK_WIDGET(b->data)));
  std::sort(responses.begin(), responses.end());
  EXPECT_EQ(responses, (std::vector<gint>{GTK_RESPONSE_CANCEL, GTK_RESPONSE_OK}));
  g_list_free(buttons);
}

// ---- Answers ----------------------------------------------------------------

TEST_F(OptionsDialog, OkStoresTheShownValues) {
  build(EDITED);
  ok_to_calc = 0;
  set(SPIN_LEVELS, 3);
  set(SPIN_ACTIVE, 2);
  set(SPIN_THRESHOLD, 0.05);
  set(SPIN_EPSILON, 0.0000050);
  set(SPIN_WINDOW, 2);
  options_dialog_apply(d, GTK_RESPONSE_OK, &record);
  EXPECT_EQ(record.levels_num, 3);
  EXPECT_EQ(record.Active_levels_num, 2);
  EXPECT_DOUBLE_EQ(record.threshold, 0.05);
  EXPECT_DOUBLE_EQ(record.epsilon, 5e-6);
  EXPECT_EQ(record.win_size, 2);
  EXPECT_EQ(record.img_width, EDITED.img_width);
  EXPECT_EQ(record.img_height, EDITED.img_height);
  EXPECT_EQ(ok_to_calc, 1);
}

TEST_F(OptionsDialog, OkStoresTextTypedButNotYetEntered) {
  build(EDITED);
  gtk_entry_set_text(GTK_ENTRY(spin(SPIN_WINDOW)), "5");
  options_dialog_apply(d, GTK_RESPONSE_OK, &record);
  EXPECT_EQ(record.win_size, 5);
}

struct answer_case {
  gint response;
  int ok_to_calc_before;
  int ok_to_calc_after;
};

class AnswerOtherThanOk : public OptionsDialog,
                          public ::testing::WithParamInterface<answer_case> {};

TEST_P(AnswerOtherThanOk, KeepsTheRecordAndSetsTheGateAsAnswered) {
  build(EDITED);
  ok_to_calc = GetParam().ok_to_calc_before;
  set(SPIN_LEVELS, 1);
  set(SPIN_WINDOW, 5);
  options_dialog_apply(d, GetParam().response, &record);
  expect_same_options(record, EDITED);
  EXPECT_EQ(ok_to_calc, GetParam().ok_to_calc_after);
}

// Cancel closes the gate; closing from the frame (or the dialog going away
// with its parent) leaves it as it was.
INSTANTIATE_TEST_SUITE_P(
    Responses, AnswerOtherThanOk,
    ::testing::Values(answer_case{GTK_RESPONSE_CANCEL, 1, 0},
                      answer_case{GTK_RESPONSE_DELETE_EVENT, 1, 1},
                      answer_case{GTK_RESPONSE_DELETE_EVENT, 0, 0},
                      answer_case{GTK_RESPONSE_NONE, 0, 0}));

TEST_F(OptionsDialog, ResetShowsTheDefaultsButOnlyOkStoresThem) {
  build(EDITED);
  gtk_button_clicked(GTK_BUTTON(reset_button(GTK_DIALOG(d->dialog))));
  option_args defaults = EDITED;
  opts_set_default(&defaults);
  EXPECT_EQ(value(SPIN_LEVELS), defaults.levels_num);
  EXPECT_EQ(value(SPIN_ACTIVE), defaults.Active_levels_num);
  EXPECT_EQ(gtk_adjustment_get_upper(adjustment(SPIN_ACTIVE)), defaults.levels_num);
  EXPECT_EQ(value(SPIN_EPSILON), defaults.epsilon);
  EXPECT_EQ(value(SPIN_THRESHOLD), defaults.threshold);
  EXPECT_EQ(value(SPIN_WINDOW), defaults.win_size);

  options_dialog_apply(d, GTK_RESPONSE_CANCEL, &record);
  expect_same_options(record, EDITED);
  EXPECT_EQ(ok_to_calc, 0);
  options_dialog_apply(d, GTK_RESPONSE_OK, &record);
  expect_same_options(record, defaults);
  EXPECT_EQ(ok_to_calc, 1);
}

// ---- The whole dialog from the menu ----------------------------------------

struct running_dialog {
  bool seen = false;
  GdkCursor *cursor = (GdkCursor *)1;
};

void set_window_size_to_three(GtkDialog *dialog, gpointer data) {
  running_dialog *seen = static_cast<running_dialog *>(data);
  seen->seen = true;
  seen->cursor = drawing_area_cursor();
  const std::vector<GtkWidget *> spins = spins_shown(dialog);
  ASSERT_EQ(spins.size(), 5u);
  gtk_spin_button_set_value(GTK_SPIN_BUTTON(spins[4]), 3);  // window, shown last
}

TEST_F(OptionsDialog, PreferencesRunsTheDialogOnTheOptionsRecord) {
  ok_to_calc = 0;
  running_dialog seen;
  answer_dialog_when_shown("options for calculation", GTK_RESPONSE_OK,
                           set_window_size_to_three, &seen);
  gtk_menu_item_activate(GTK_MENU_ITEM(menu_item("Edit", 4)));
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.cursor, nullptr);  // the arrow while it runs
  EXPECT_EQ(pass_option_args->win_size, 3);
  EXPECT_EQ(ok_to_calc, 1);
  EXPECT_EQ(drawing_area_cursor(), blank_cursor);
  flush_events();
  EXPECT_EQ(find_shown_window("options for calculation"), nullptr);
}

}  // namespace
