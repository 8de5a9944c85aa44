// Calculation launch: the trimatte gate, the options dialog, the region, the
// refusals, and whole calculations from an opened picture and painted
// strokes through the worker and the main loop.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc/gtk_calc.h"
#include "calc/worker_core.h"
#include "gui/brush.h"
#include "gui/main_window.h"
#include "gui/open_image.h"
#include "tests/calc/gtk_test_support.h"
#include "tests/gui/paint_fixture.h"

namespace {

const char OPTIONS_TITLE[] = "options for calculation";
const double WORKER_SECONDS = 120.0;
const int SIZE = 40;

// A light object on the left, a dark background on the right, and a soft
// edge (a linear ramp) between columns EDGE_FROM and EDGE_TO.
const int EDGE_FROM = 16, EDGE_TO = 24;
const int LIGHT = 230, DARK = 20;
// Brush strokes well inside each side.
const double FG_COLUMN = 5, BG_COLUMN = 35, BRUSH = 7;
const int FG_COVERED = 4, BG_COVERED = 35;  // columns surely under the strokes

rgba soft_edge(int x, int) {
  double t = x <= EDGE_FROM ? 0.0 : x >= EDGE_TO ? 1.0 : double(x - EDGE_FROM) / (EDGE_TO - EDGE_FROM);
  guchar v = static_cast<guchar>(LIGHT + t * (DARK - LIGHT));
  return rgba{v, v, v, 255};
}

guchar alpha_at(int x, int y) {
  return gdk_pixbuf_get_pixels(pixbuf_alpha)[y * gdk_pixbuf_get_rowstride(pixbuf_alpha) + 4 * x + 3];
}

bool calculation_finished(void) { return !calculation_running(); }

int status_bar_children(void) {
  GList *children = gtk_container_get_children(GTK_CONTAINER(status_bar));
  int n = g_list_length(children);
  g_list_free(children);
  return n;
}

class CalcTest : public PaintTest {
 protected:
  void SetUp() override {
    PaintTest::SetUp();
    open_picture(SIZE, SIZE, soft_edge);
    set_brush_size(BRUSH);
  }
  void TearDown() override {
    // A test that failed half-way must not leave the worker writing into
    // the next test's state.
    run_main_loop_until(calculation_finished, WORKER_SECONDS);
    PaintTest::TearDown();
  }
  void set_region(int x, int y, int w, int h) {
    calc_ROI_is_set = 1;
    x_img_ROI = x;
    y_img_ROI = y;
    w_img_ROI = w;
    h_img_ROI = h;
  }
  void paint_column(void (*tool)(GtkWidget *, gpointer), double column) {
    tool(NULL, NULL);
    stroke({{column, 1}, {column, SIZE / 2.0}, {column, SIZE - 2.0}});
  }
  void paint_trimatte() {
    paint_column(cb_set_FG, FG_COLUMN);
    paint_column(cb_set_BG, BG_COLUMN);
  }
  // Presses Calculate (the toolbar's button) answering the options dialog
  // with `response`; returns the number of options dialogs shown.
  int press_calculate(int response) {
    start_watch(&options, OPTIONS_TITLE, response);
    gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(toolbar_item(TB_CALC)))));
    stop_watch(&options);
    return options.answered;
  }
  // Runs a whole calculation; returns what it wrote to standard output.
  std::string calculate() {
    testing::internal::CaptureStdout();
    EXPECT_EQ(press_calculate(GTK_RESPONSE_OK), 1);
    EXPECT_TRUE(run_main_loop_until(calculation_finished, WORKER_SECONDS));
    return testing::internal::GetCapturedStdout();
  }
  dialog_watch options;
};

TEST_F(CalcTest, WholeCalculationGivesTheMatteInViewModeAndRingsTheBell) {
  paint_trimatte();
  std::string out = calculate();
  EXPECT_NE(out.find('\a'), std::string::npos);
  for (int y = 0; y < SIZE; y += 13) {
    EXPECT_EQ(alpha_at(FG_COVERED, y), 255) << y;
    EXPECT_EQ(alpha_at(BG_COVERED, y), 0) << y;
    int middle = alpha_at((EDGE_FROM + EDGE_TO) / 2, y);
    EXPECT_GT(middle, 20) << y;
    EXPECT_LT(middle, 235) << y;
    EXPECT_GT(alpha_at(EDGE_FROM + 2, y), alpha_at(EDGE_TO - 2, y)) << y;
  }
  EXPECT_EQ(in_edit_mode, 0);
  EXPECT_EQ(pixbuf_image, pixbuf_alpha);
  EXPECT_TRUE(gtk_toggle_tool_button_get_active(GTK_TOGGLE_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE))));
  EXPECT_EQ(ok_to_calc, 1);
}

// With the option on, the soft edge of the result shows the object's own
// light grey under the alpha instead of the picture's mix with the dark
// background; the alpha is the same as without it.
TEST_F(CalcTest, EstimatedForegroundColoursReplaceTheMixAtTheSoftEdge) {
  paint_trimatte();
  calculate();
  std::vector<int> plain_alpha;
  for (int x = 0; x < SIZE; x++) plain_alpha.push_back(alpha_at(x, SIZE / 2));
  gtk_toggle_tool_button_set_active(GTK_TOGGLE_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE)), FALSE);
  pass_option_args->estimate_foreground = 1;
  calculate();
  int checked = 0;
  for (int x = EDGE_FROM; x < EDGE_TO; x++) {
    EXPECT_EQ(alpha_at(x, SIZE / 2), plain_alpha[x]) << x;
    if (alpha_at(x, SIZE / 2) < 64) continue;  // too little of the object to tell
    const guchar *p = gdk_pixbuf_get_pixels(pixbuf_alpha) +
                      SIZE / 2 * gdk_pixbuf_get_rowstride(pixbuf_alpha) + 4 * x;
    EXPECT_NEAR(p[0], LIGHT, 12) << x;
    checked++;
  }
  EXPECT_GE(checked, 3);
}

TEST_F(CalcTest, ResultOutsideTheSelectedRegionIsTransparent) {
  paint_trimatte();
  set_region(0, 5, SIZE, 25);
  calculate();
  EXPECT_EQ(alpha_at(FG_COVERED, 4), 0);
  EXPECT_EQ(alpha_at(FG_COVERED, 5), 255);
  EXPECT_EQ(alpha_at(FG_COVERED, 29), 255);
  EXPECT_EQ(alpha_at(FG_COVERED, 30), 0);
}

TEST_F(CalcTest, TrimatteWithoutBothKindsOfConstraintDoesNothing) {
  struct layer_case {
    const char *what;
    void (*tool)(GtkWidget *, gpointer);
  };
  const layer_case cases[] = {{"nothing painted", NULL}, {"white only", cb_set_FG}, {"black only", cb_set_BG}};
  int children = status_bar_children();
  for (const layer_case &c : cases) {
    open_picture(SIZE, SIZE, soft_edge);
    if (c.tool != NULL) paint_column(c.tool, FG_COLUMN);
    EXPECT_EQ(press_calculate(GTK_RESPONSE_OK), 0) << c.what;
    EXPECT_FALSE(calculation_running()) << c.what;
    EXPECT_EQ(status_bar_children(), children) << c.what;
  }
}

TEST_F(CalcTest, AlternateColourCountsAsForeground) {
  paint_column(cb_set_BG, BG_COLUMN);
  GdkColor pure_blue = {0, 0, 0, 0xffff};
  // A floating widget is ours to sink and release; destroy alone leaks it.
  GtkWidget *colour_button = gtk_color_button_new_with_color(&pure_blue);
  g_object_ref_sink(colour_button);
  cb_set_Color(GTK_COLOR_BUTTON(colour_button), toolbar);
  stroke({{FG_COLUMN, 1}, {FG_COLUMN, SIZE - 2.0}});
  gtk_widget_destroy(colour_button);
  g_object_unref(colour_button);
  EXPECT_EQ(press_calculate(GTK_RESPONSE_CANCEL), 1);
}

TEST_F(CalcTest, CancelStartsNothing) {
  paint_trimatte();
  int children = status_bar_children();
  EXPECT_EQ(press_calculate(GTK_RESPONSE_CANCEL), 1);
  EXPECT_FALSE(calculation_running());
  EXPECT_EQ(ok_to_calc, 0);
  EXPECT_EQ(status_bar_children(), children);
  EXPECT_TRUE(in_edit_mode);
}

TEST_F(CalcTest, RegionIsClippedToThePictureAndStored) {
  open_picture(30, 30, soft_edge);
  paint_column(cb_set_FG, 3);
  paint_column(cb_set_BG, 26);
  set_region(-5, 10, 50, 40);
  press_calculate(GTK_RESPONSE_CANCEL);
  EXPECT_EQ(x_img_ROI, 0);
  EXPECT_EQ(y_img_ROI, 10);
  EXPECT_EQ(w_img_ROI, 30);
  EXPECT_EQ(h_img_ROI, 20);
}

TEST_F(CalcTest, RegionsThatCannotBeCalculatedAreRefusedWithAReason) {
  struct region_case {
    const char *what;
    int x, y, w, h;
    int dialogs;  // the size check needs the window radius from the dialog
  };
  const region_case cases[] = {
      {"beyond the right edge", 45, 0, 10, 10, 0},
      {"zero width", 5, 5, 0, 10, 0},
      {"negative corner, nothing left", -20, 0, 10, 10, 0},
      {"narrower than a window", 4, 0, 2, SIZE, 1},
  };
  paint_column(cb_set_FG, FG_COLUMN);
  fill_layer_rect(5, 0, 1, SIZE, 0, 0, 0);  // background right beside it
  for (const region_case &c : cases) {
    update_statusbar("", CALC_STATUS_CONTEXT, status_bar);
    set_region(c.x, c.y, c.w, c.h);
    EXPECT_EQ(press_calculate(GTK_RESPONSE_OK), c.dialogs) << c.what;
    EXPECT_FALSE(calculation_running()) << c.what;
    EXPECT_FALSE(statusbar_text().empty()) << c.what;
  }
}

TEST_F(CalcTest, NothingStartsOrChangesTheRegionWhileACalculationRuns) {
  paint_trimatte();
  testing::internal::CaptureStdout();
  ASSERT_EQ(press_calculate(GTK_RESPONSE_OK), 1);
  ASSERT_TRUE(calculation_running());
  EXPECT_EQ(ok_to_calc, 0);
  // The worker cannot finish before the main loop runs again, so these all
  // happen while it runs.
  EXPECT_EQ(press_calculate(GTK_RESPONSE_OK), 0);
  EXPECT_FALSE(statusbar_text().empty());
  dialog_watch open;
  start_watch(&open, "Open image", GTK_RESPONSE_CANCEL);
  on_open_image(NULL, toolbar);
  stop_watch(&open);
  EXPECT_EQ(open.answered, 0);
  gtk_toggle_tool_button_set_active(GTK_TOGGLE_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE)), TRUE);
  stroke({{2, 2}, {12, 12}});  // a selection drag in view mode
  EXPECT_EQ(w_img_ROI, SIZE);
  EXPECT_EQ(h_img_ROI, SIZE);
  ASSERT_TRUE(run_main_loop_until(calculation_finished, WORKER_SECONDS));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ok_to_calc, 1);
  EXPECT_EQ(alpha_at(FG_COVERED, SIZE - 1), 255);  // the result covers the whole picture
  EXPECT_FALSE(refuse_while_calculating());
}

TEST_F(CalcTest, LevelsAreHeldToWhatTheRegionAllows) {
  open_picture(100, 100, soft_edge);
  paint_trimatte();
  set_region(0, 0, SIZE, 20);
  pass_option_args->levels_num = 5;
  pass_option_args->Active_levels_num = 5;
  int allowed = worker_levels_for_region(SIZE, 20, pass_option_args);  // the size decides here
  ASSERT_LT(allowed, 5);
  calculate();
  EXPECT_NE(statusbar_text().find("lowered from 5 to " + std::to_string(allowed)), std::string::npos)
      << statusbar_text();
  EXPECT_EQ(pass_calc_args->levels_num, allowed);
  EXPECT_LE(pass_calc_args->Active_levels_num, allowed);
}

}  // namespace
