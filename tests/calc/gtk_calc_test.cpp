// Calculation launch: the trimatte gate, the options dialog, the region, the
// refusals, and whole calculations through the worker and the main loop.
#include <string>

#include <gtest/gtest.h>

#include "calc/gtk_calc.h"
#include "engine/pyramid.h"
#include "gtk_test_support.h"
#include "gui/main_window.h"

namespace {

const char OPTIONS_TITLE[] = "options for calculation";
const double WORKER_SECONDS = 120.0;

// A light object on the left, a dark background on the right, and a soft
// edge (a linear ramp) between columns EDGE_FROM and EDGE_TO.
const int EDGE_FROM = 16, EDGE_TO = 24;
const guchar LIGHT = 230, DARK = 20;

void soft_edge(int x, int, guchar rgb[3]) {
  double t = x <= EDGE_FROM ? 0.0 : x >= EDGE_TO ? 1.0 : double(x - EDGE_FROM) / (EDGE_TO - EDGE_FROM);
  guchar v = static_cast<guchar>(LIGHT + t * (DARK - LIGHT));
  rgb[0] = rgb[1] = rgb[2] = v;
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

class CalcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    create_main_window(0, NULL);
    install_picture(40, 40, soft_edge);
    calc_button = GTK_WIDGET(gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar), 4));
  }
  void set_region(int x, int y, int w, int h) {
    calc_ROI_is_set = 1;
    x_img_ROI = x;
    y_img_ROI = y;
    w_img_ROI = w;
    h_img_ROI = h;
  }
  void paint_trimatte() {
    paint_layer_rect(2, 0, 7, 40, 255);
    paint_layer_rect(32, 0, 7, 40, 0);
  }
  // Presses Calculate answering the options dialog; returns the number of
  // options dialogs that were shown.
  int press_calculate(int response) {
    answer_dialogs(&options, OPTIONS_TITLE, response);
    cb_calc(calc_button, toolbar);
    stop_answering(&options);
    return options.answered;
  }
  GtkWidget *calc_button = nullptr;
  dialog_answer options;
};

TEST_F(CalcTest, TrimatteWithoutBothKindsOfConstraintDoesNothing) {
  struct layer_case {
    const char *what;
    double first_grey, second_grey;
  };
  const layer_case cases[] = {{"nothing painted", -1, -1}, {"white only", 255, -1}, {"black only", 0, -1}};
  int children = status_bar_children();
  for (const layer_case &c : cases) {
    install_picture(40, 40, soft_edge);
    if (c.first_grey >= 0) paint_layer_rect(2, 2, 5, 5, c.first_grey);
    EXPECT_EQ(press_calculate(GTK_RESPONSE_OK), 0) << c.what;
    EXPECT_FALSE(calculation_running()) << c.what;
    EXPECT_EQ(status_bar_children(), children) << c.what;
  }
}

TEST_F(CalcTest, PartlyTransparentLayerPixelsAreNotConstraints) {
  paint_layer_rect(32, 0, 7, 40, 0);
  cairo_t *cr = cairo_create(surf_layer);
  cairo_set_source_rgba(cr, 1, 1, 1, 254.0 / 255.0);
  cairo_rectangle(cr, 2, 0, 7, 40);
  cairo_fill(cr);
  cairo_destroy(cr);
  EXPECT_EQ(press_calculate(GTK_RESPONSE_CANCEL), 0);
}

TEST_F(CalcTest, AlternateColourCountsAsForeground) {
  paint_layer_rect(32, 0, 7, 40, 0);
  cairo_t *cr = cairo_create(surf_layer);
  cairo_set_source_rgb(cr, 0, 0, 1);
  cairo_rectangle(cr, 2, 0, 7, 40);
  cairo_fill(cr);
  cairo_destroy(cr);
  EXPECT_EQ(press_calculate(GTK_RESPONSE_CANCEL), 1);
}

TEST_F(CalcTest, CancelStartsNothing) {
  paint_trimatte();
  int children = status_bar_children();
  EXPECT_EQ(press_calculate(GTK_RESPONSE_CANCEL), 1);
  EXPECT_FALSE(calculation_running());
  EXPECT_EQ(ok_to_calc, 0);
  EXPECT_EQ(status_bar_children(), children);
}

TEST_F(CalcTest, RegionIsClippedToThePictureAndStored) {
  install_picture(30, 30, soft_edge);
  paint_layer_rect(0, 10, 5, 20, 255);
  paint_layer_rect(25, 10, 5, 20, 0);
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
      {"narrower than a window", 0, 0, 2, 40, 1},
  };
  paint_layer_rect(0, 0, 1, 40, 255);
  paint_layer_rect(1, 0, 1, 40, 0);
  for (const region_case &c : cases) {
    update_statusbar("", CALC_STATUS_CONTEXT, status_bar);
    set_region(c.x, c.y, c.w, c.h);
    EXPECT_EQ(press_calculate(GTK_RESPONSE_OK), c.dialogs) << c.what;
    EXPECT_FALSE(calculation_running()) << c.what;
    EXPECT_FALSE(statusbar_text().empty()) << c.what;
  }
}

TEST_F(CalcTest, SecondCalculationAndRegionEditsAreRefusedWhileOneRuns) {
  paint_trimatte();
  testing::internal::CaptureStdout();
  ASSERT_EQ(press_calculate(GTK_RESPONSE_OK), 1);
  ASSERT_TRUE(calculation_running());
  EXPECT_EQ(ok_to_calc, 0);
  EXPECT_EQ(press_calculate(GTK_RESPONSE_OK), 0);
  std::string refusal = statusbar_text();
  EXPECT_FALSE(refusal.empty());
  EXPECT_TRUE(refuse_while_calculating());
  ASSERT_TRUE(run_main_loop_until(calculation_finished, WORKER_SECONDS));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ok_to_calc, 1);
  EXPECT_FALSE(refuse_while_calculating());
}

TEST_F(CalcTest, LevelsAreHeldToWhatTheRegionAllows) {
  install_picture(100, 100, soft_edge);
  paint_trimatte();
  set_region(0, 0, 40, 20);
  pass_option_args->levels_num = 5;
  pass_option_args->Active_levels_num = 5;
  int allowed = max_pyramid_levels(40, 20, pass_option_args->win_size);
  ASSERT_LT(allowed, 5);
  testing::internal::CaptureStdout();
  ASSERT_EQ(press_calculate(GTK_RESPONSE_OK), 1);
  EXPECT_EQ(pass_calc_args->levels_num, allowed);
  EXPECT_LE(pass_calc_args->Active_levels_num, allowed);
  EXPECT_NE(statusbar_text().find("lowered from 5"), std::string::npos) << statusbar_text();
  ASSERT_TRUE(run_main_loop_until(calculation_finished, WORKER_SECONDS));
  testing::internal::GetCapturedStdout();
}

TEST_F(CalcTest, WholeCalculationGivesTheMatteInViewModeAndRingsTheBell) {
  paint_trimatte();
  testing::internal::CaptureStdout();
  ASSERT_EQ(press_calculate(GTK_RESPONSE_OK), 1);
  ASSERT_TRUE(run_main_loop_until(calculation_finished, WORKER_SECONDS));
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find('\a'), std::string::npos);
  for (int y = 0; y < 40; y += 13) {
    EXPECT_EQ(alpha_at(4, y), 255);
    EXPECT_EQ(alpha_at(35, y), 0);
    int middle = alpha_at((EDGE_FROM + EDGE_TO) / 2, y);
    EXPECT_GT(middle, 20);
    EXPECT_LT(middle, 235);
  }
  EXPECT_EQ(in_edit_mode, 0);
  EXPECT_TRUE(gtk_toggle_tool_button_get_active(
      GTK_TOGGLE_TOOL_BUTTON(gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar), 0))));
}

TEST_F(CalcTest, ResultOutsideTheSelectedRegionIsTransparent) {
  paint_trimatte();
  set_region(0, 5, 40, 25);
  testing::internal::CaptureStdout();
  ASSERT_EQ(press_calculate(GTK_RESPONSE_OK), 1);
  ASSERT_TRUE(run_main_loop_until(calculation_finished, WORKER_SECONDS));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(alpha_at(4, 4), 0);
  EXPECT_EQ(alpha_at(4, 5), 255);
  EXPECT_EQ(alpha_at(4, 29), 255);
  EXPECT_EQ(alpha_at(4, 30), 0);
}

}  // namespace
