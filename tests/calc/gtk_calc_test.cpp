// Calculation launch from the window: refusals, stopping, quitting and a whole run.
#include "calc/gtk_calc.h"

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "calc/worker_core.h"
#include "gui/brush.h"
#include "gui/main_window.h"
#include "tests/gui/gui_test_support.h"

namespace {

const double WORKER_SECONDS = 120.0;
// The split scene, dark on the left; strokes well inside each side, the
// brush surely covering column FG_COVERED.
const int SIZE = 40, FG_COVERED = 4;
const double FG_COLUMN = 5, BG_COLUMN = 35;

rgba scene(int x, int y) { return split_scene_colour(SIZE, x, y); }
int alpha_at(int x, int y) { return pixbuf_pixel(pixbuf_alpha, x, y).a; }
bool calculation_finished(void) { return !calculation_running(); }
GtkWidget *stop_item(void) { return menu_item("Edit", 4); }

int status_bar_children(void) {
  GList *children = gtk_container_get_children(GTK_CONTAINER(status_bar));
  int n = g_list_length(children);
  g_list_free(children);
  return n;
}

class CalcTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    open_picture(SIZE, SIZE, scene);
    set_brush_size(7);
  }
  void set_region(int x, int y, int w, int h) {
    calc_ROI_is_set = 1;
    x_img_ROI = x, y_img_ROI = y, w_img_ROI = w, h_img_ROI = h;
  }
  void paint_column(void (*tool)(GtkWidget *, gpointer), double column) {
    tool(NULL, NULL);
    stroke({{column, 1}, {column, SIZE / 2.0}, {column, SIZE - 2.0}});
  }
  // Presses the toolbar's Calculate button, answering the options dialog
  // with OK; returns the number of options dialogs shown.
  int press_calculate() {
    dialog_answers options("options for calculation", GTK_RESPONSE_OK);
    gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(toolbar_item(TB_CALC)))));
    return options.count();
  }
  // Runs a whole calculation; returns what it wrote to standard output.
  std::string calculate() {
    testing::internal::CaptureStdout();
    EXPECT_EQ(press_calculate(), 1);
    EXPECT_TRUE(run_until(calculation_finished, WORKER_SECONDS));
    return testing::internal::GetCapturedStdout();
  }
};

// Nothing starts (no progress bar) and the status bar says why.
TEST_F(CalcTest, MissingStrokesOrAnUnusableRegionStartNothing) {
  const struct {
    void (*tool)(GtkWidget *, gpointer);
    int region[4];  // w = 0: the whole picture
    int dialogs;    // the size check needs the window radius from the dialog
    const char *says;
  } cases[] = {{NULL, {0, 0, 0, 0}, 0, "Nothing to calculate"},
               {cb_set_FG, {0, 0, 0, 0}, 0, "No background stroke"},
               {cb_set_BG, {0, 0, 0, 0}, 0, "No foreground stroke"},
               {cb_set_FG, {45, 0, 10, 10}, 0, ""},   // beyond the right edge
               {cb_set_FG, {4, 0, 2, SIZE}, 1, ""}};  // narrower than a window
  const int children = status_bar_children();
  for (const auto &c : cases) {
    SCOPED_TRACE(::testing::Message() << c.says << " " << c.region[0] << "," << c.region[2]);
    open_picture(SIZE, SIZE, scene);
    if (c.tool != NULL) paint_column(c.tool, FG_COLUMN);
    if (c.region[2] > 0) {
      fill_layer_rect(5, 0, 1, SIZE, 0, 0, 0);  // background beside the foreground
      set_region(c.region[0], c.region[1], c.region[2], c.region[3]);
    }
    update_statusbar("", CALC_STATUS_CONTEXT, status_bar);
    EXPECT_EQ(press_calculate(), c.dialogs);
    EXPECT_FALSE(calculation_running());
    EXPECT_EQ(status_bar_children(), children);
    EXPECT_FALSE(statusbar_text().empty());
    EXPECT_EQ(statusbar_text().rfind(c.says, 0), 0u) << statusbar_text();
  }
}

TEST_F(CalcTest, NothingStartsOrChangesTheRegionWhileACalculationRuns) {
  paint_column(cb_set_FG, FG_COLUMN);
  paint_column(cb_set_BG, BG_COLUMN);
  testing::internal::CaptureStdout();
  ASSERT_EQ(press_calculate(), 1);
  ASSERT_TRUE(calculation_running());
  // The worker cannot finish before the main loop runs again, so these all
  // happen while it runs.
  EXPECT_EQ(press_calculate(), 0);
  {
    dialog_answers open("Open image", GTK_RESPONSE_CANCEL);
    on_open_image(NULL, toolbar);
    EXPECT_EQ(open.count(), 0);
  }
  gtk_toggle_tool_button_set_active(GTK_TOGGLE_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE)), TRUE);
  stroke({{2, 2}, {12, 12}});  // a selection drag in view mode
  EXPECT_EQ(w_img_ROI, SIZE);
  ASSERT_TRUE(run_until(calculation_finished, WORKER_SECONDS));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(alpha_at(FG_COVERED, SIZE - 1), 255);  // the result covers the whole picture
}

TEST_F(CalcTest, LevelsAreHeldToWhatTheRegionAllows) {
  open_picture(100, 100, scene);
  paint_column(cb_set_FG, FG_COLUMN);
  paint_column(cb_set_BG, BG_COLUMN);
  set_region(0, 0, SIZE, 20);
  pass_option_args->levels_num = pass_option_args->Active_levels_num = 5;
  const int allowed = worker_levels_for_region(SIZE, 20, pass_option_args);  // the size decides
  ASSERT_LT(allowed, 5);
  calculate();
  EXPECT_NE(statusbar_text().find("lowered from 5 to " + std::to_string(allowed)),
            std::string::npos)
      << statusbar_text();
  EXPECT_EQ(pass_calc_args->levels_num, allowed);
}

void press_escape(void) {
  gtk_accel_groups_activate(G_OBJECT(main_window), GDK_KEY_Escape, GdkModifierType(0));
}

void click_progress_bar(void) {
  GdkEvent *event = gdk_event_new(GDK_BUTTON_PRESS);
  event->button.button = 1;
  send_to(gtk_widget_get_parent(pass_calc_args->progress_bar), event);
}

// A picture big enough that its three-level calculation is still running
// when the test acts on it, sure strokes on the outer quarters.
class BigCalcTest : public CalcTest {
 protected:
  static const int W = 320, H = 240;
  void SetUp() override {
    CalcTest::SetUp();
    open_picture(W, H, [](int x, int y) { return split_scene_colour(W, x, y); });
    fill_layer_rect(0, 0, W / 4, H, 0, 0, 0);
    fill_layer_rect(3 * W / 4, 0, W / 4, H, 1, 1, 1);
    pass_option_args->levels_num = pass_option_args->Active_levels_num = 3;
  }
  // Starts the three-level calculation, capturing standard output.
  void start() {
    testing::internal::CaptureStdout();
    ASSERT_EQ(press_calculate(), 1);
    ASSERT_TRUE(calculation_running());
  }
};

TEST_F(BigCalcTest, StoppingReturnsToEditModeWithNothingChangedAndTheNextCalculationRuns) {
  const struct {
    const char *how;
    void (*stop)(void);
  } ways[] = {{"Escape (Edit -> Stop calculation)", press_escape},
              {"click on the progress bar", click_progress_bar}};
  const std::vector<unsigned char> layer = layer_bytes(), no_result = pixbuf_bytes(pixbuf_alpha);
  const int children = status_bar_children();
  for (const auto &way : ways) {
    SCOPED_TRACE(way.how);
    start();
    EXPECT_TRUE(gtk_widget_get_sensitive(stop_item()));
    set_view_mode(true);  // looking at an older result meanwhile
    way.stop();
    ASSERT_TRUE(run_until(calculation_finished, WORKER_SECONDS));
    // No bell: the user stopped it and there is no result to announce.
    EXPECT_EQ(testing::internal::GetCapturedStdout().find('\a'), std::string::npos);
    EXPECT_EQ(statusbar_text(), "Calculation cancelled");
    EXPECT_EQ(pixbuf_image, pixbuf_no_alpha);  // edit mode
    EXPECT_EQ(layer_bytes(), layer);
    EXPECT_EQ(pixbuf_bytes(pixbuf_alpha), no_result);
    EXPECT_EQ(status_bar_children(), children);  // the progress bar gone
    EXPECT_FALSE(gtk_widget_get_sensitive(stop_item()));
  }
  // A calculation after the stops runs to its result (a strip, to keep it short).
  pass_option_args->levels_num = pass_option_args->Active_levels_num = 1;
  set_region(0, 0, W, 20);
  calculate();
  EXPECT_EQ(alpha_at(W - 2, 2), 255);
}

gboolean send_delete_event(gpointer) {
  send_to(main_window, gdk_event_new(GDK_DELETE));
  return FALSE;
}

gboolean give_up_waiting(gpointer) {
  ADD_FAILURE() << "the main window did not close";
  gtk_main_quit();
  return FALSE;
}

// Closes the main window the way the user does (a delete event from inside
// the main loop) and runs the loop until the window's destroy handler leaves it.
void close_main_window(void) {
  g_idle_add(send_delete_event, NULL);
  const guint watchdog = g_timeout_add_seconds(10, give_up_waiting, NULL);  // no test hangs
  gtk_main();
  if (g_main_context_find_source_by_id(NULL, watchdog)) g_source_remove(watchdog);
}

// Closing the window stops the worker and waits for it; with warnings and
// criticals fatal, anything touching the destroyed bar ends the test.
TEST_F(BigCalcTest, ClosingTheWindowDuringACalculationStopsItQuietly) {
  g_log_set_always_fatal(GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL));
  start();
  close_main_window();  // before the worker can finish
  EXPECT_FALSE(calculation_running());
  EXPECT_EQ(pass_calc_args->result, nullptr);
  flush_events();  // the worker's completion callback, left behind, does nothing
  EXPECT_EQ(testing::internal::GetCapturedStdout().find('\a'), std::string::npos);
}

// A trimap with the values other tools write: 0, 255 and an unknown band of
// 128, with a few 1 and 254 pixels inside the band that are unknown too.
rgba trimap_pixel(int x, int y) {
  return grey(x < 10 ? 0 : x > 30 ? 255 : (x + y) % 7 == 0 ? 1 : (x + y) % 7 == 1 ? 254 : 128);
}

// The whole calculation through the worker and the main loop: the matte
// shown in view mode, the bell rung, the time on the status bar.
TEST_F(CalcTest, TrimapOpenedInTheWindowGivesTheAlphaVelorinMatteGives) {
  std::string picture = write_picture("picture.png", SIZE, SIZE, false, scene);
  std::string trimap = write_picture("trimap.png", SIZE, SIZE, false, trimap_pixel);
  std::string output = dir + "/alpha.png";
  GError *error = NULL;
  ASSERT_EQ(open_image_file(picture.c_str(), OPEN_DEFAULT, &error), 0);
  ASSERT_EQ(open_image_file(trimap.c_str(), OPEN_AS_TRIMAP, &error), 0);
  EXPECT_NE(calculate().find('\a'), std::string::npos);
  EXPECT_EQ(pixbuf_image, pixbuf_alpha);
  EXPECT_EQ(statusbar_text().rfind("Matte calculated in ", 0), 0u) << statusbar_text();

  const char *argv[] = {VELORIN_BINARY_DIR "/velorin-matte",
                        "--alpha-only",
                        "--quiet",
                        picture.c_str(),
                        trimap.c_str(),
                        "-o",
                        output.c_str(),
                        NULL};
  gint status = -1;
  ASSERT_TRUE(g_spawn_sync(NULL, const_cast<char **>(argv), NULL, G_SPAWN_DEFAULT, NULL, NULL, NULL,
                           NULL, &status, &error));
  ASSERT_EQ(status, 0);
  const std::vector<int> from_cli = read_channel(output, 0);
  ASSERT_EQ(from_cli.size(), size_t(SIZE * SIZE));
  std::set<int> levels;
  for (int i = 0; i < SIZE * SIZE; i++) {
    ASSERT_EQ(from_cli[i], alpha_at(i % SIZE, i / SIZE)) << i % SIZE << "," << i / SIZE;
    levels.insert(from_cli[i]);
  }
  EXPECT_GT(levels.size(), 2u);  // a real matte
}

}  // namespace
