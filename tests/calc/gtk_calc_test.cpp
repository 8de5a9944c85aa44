// Calculation launch: the trimatte gate, the options dialog, the region, the
// refusals, whole calculations from an opened picture and painted strokes
// through the worker and the main loop, progress, stopping and quitting.
#include <set>
#include <string>
#include <vector>

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include "calc/gtk_calc.h"
#include "calc/gtk_progress.h"
#include "calc/worker_core.h"
#include "gui/brush.h"
#include "gui/main_window.h"
#include "gui/open_image.h"
#include "tests/gui/gui_test_support.h"

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

// Sets "Estimate foreground colours" in the running options dialog and answers OK.
bool estimate_foreground(GtkDialog *dialog) {
  GtkWidget *check = nth_widget_of_type(GTK_WIDGET(dialog), GTK_TYPE_CHECK_BUTTON, 0);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(check), TRUE);
  gtk_dialog_response(dialog, GTK_RESPONSE_OK);
  return true;
}

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
    open_picture(SIZE, SIZE, soft_edge);
    set_brush_size(BRUSH);
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
  int press_calculate(int response) { return press_calculate(dialog_answers::respond(response)); }
  int press_calculate(const dialog_answers::step &answer) {
    dialog_answers options(OPTIONS_TITLE, answer);
    gtk_button_clicked(GTK_BUTTON(gtk_bin_get_child(GTK_BIN(toolbar_item(TB_CALC)))));
    return options.count();
  }
  // Runs a whole calculation; returns what it wrote to standard output.
  std::string calculate(const dialog_answers::step &answer = dialog_answers::respond(GTK_RESPONSE_OK)) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(press_calculate(answer), 1);
    EXPECT_TRUE(run_until(calculation_finished, WORKER_SECONDS));
    return testing::internal::GetCapturedStdout();
  }
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
  EXPECT_EQ(statusbar_text().rfind("Matte calculated in ", 0), 0u) << statusbar_text();
}

// With the option ticked in the dialog, the soft edge of the result shows
// the object's own light grey under the alpha instead of the picture's mix
// with the dark background; the alpha is the same as without it.
TEST_F(CalcTest, EstimatedForegroundColoursReplaceTheMixAtTheSoftEdge) {
  paint_trimatte();
  calculate();
  std::vector<int> plain_alpha;
  for (int x = 0; x < SIZE; x++) plain_alpha.push_back(alpha_at(x, SIZE / 2));
  set_view_mode(false);
  calculate(estimate_foreground);
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

TEST_F(CalcTest, RegionIsClippedToThePictureAndTheResultIsTransparentOutsideIt) {
  paint_trimatte();
  set_region(-5, 5, 50, 25);
  calculate();
  EXPECT_EQ((std::vector<int>{x_img_ROI, y_img_ROI, w_img_ROI, h_img_ROI}),
            (std::vector<int>{0, 5, SIZE, 25}));
  EXPECT_EQ(alpha_at(FG_COVERED, 4), 0);
  EXPECT_EQ(alpha_at(FG_COVERED, 5), 255);
  EXPECT_EQ(alpha_at(FG_COVERED, 29), 255);
  EXPECT_EQ(alpha_at(FG_COVERED, 30), 0);
}

TEST_F(CalcTest, TrimatteWithoutBothKindsOfConstraintStartsNothingAndSaysWhatIsMissing) {
  struct layer_case {
    const char *what;
    void (*tool)(GtkWidget *, gpointer);
    const char *says;
  };
  const layer_case cases[] = {{"nothing painted", NULL, "Nothing to calculate"},
                              {"white only", cb_set_FG, "No background stroke"},
                              {"black only", cb_set_BG, "No foreground stroke"}};
  int children = status_bar_children();
  for (const layer_case &c : cases) {
    open_picture(SIZE, SIZE, soft_edge);
    if (c.tool != NULL) paint_column(c.tool, FG_COLUMN);
    EXPECT_EQ(press_calculate(GTK_RESPONSE_OK), 0) << c.what;
    EXPECT_FALSE(calculation_running()) << c.what;
    EXPECT_EQ(status_bar_children(), children) << c.what;
    EXPECT_EQ(statusbar_text().rfind(c.says, 0), 0u) << statusbar_text();
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
  // The worker cannot finish before the main loop runs again, so these all
  // happen while it runs.
  EXPECT_EQ(press_calculate(GTK_RESPONSE_OK), 0);
  EXPECT_FALSE(statusbar_text().empty());
  {
    dialog_answers open("Open image", GTK_RESPONSE_CANCEL);
    on_open_image(NULL, toolbar);
    EXPECT_EQ(open.count(), 0);
  }
  gtk_toggle_tool_button_set_active(GTK_TOGGLE_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE)), TRUE);
  stroke({{2, 2}, {12, 12}});  // a selection drag in view mode
  EXPECT_EQ(w_img_ROI, SIZE);
  EXPECT_EQ(h_img_ROI, SIZE);
  ASSERT_TRUE(run_until(calculation_finished, WORKER_SECONDS));
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

// ---- Progress, stopping and quitting ----------------------------------------

TEST_F(CalcTest, ProgressBarShowsEachStageTheWorkerReports) {
  start_progress(pass_calc_args);
  GtkProgressBar *bar = GTK_PROGRESS_BAR(pass_calc_args->progress_bar);
  EXPECT_STREQ(gtk_progress_bar_get_text(bar), "C A L C U L A T I N G");
  struct stage_case {
    const char *stage;
    int level;
    const char *shown;
  };
  static const stage_case stages[] = {{"down-sampling", 1, "Down-sampling, level 1 of 4"},
                                      {"solving", 4, "Solving, level 4 of 4"},
                                      {"upsampling", 3, "Upsampling, level 3 of 4"}};
  static const stage_case *reported = NULL;
  static GtkProgressBar *shown_on = NULL;
  shown_on = bar;
  for (const stage_case &s : stages) {
    reported = &s;
    // Reported from another thread, as the worker does.
    g_thread_join(g_thread_new("stage", [](gpointer) -> gpointer {
      report_stage(reported->stage, reported->level, 4, NULL);
      return NULL;
    }, NULL));
    EXPECT_TRUE(run_until(
        [] { return g_strcmp0(gtk_progress_bar_get_text(shown_on), reported->shown) == 0; }))
        << gtk_progress_bar_get_text(bar);
  }
  stop_progress(pass_calc_args);
  EXPECT_EQ(pass_calc_args->progress_bar, nullptr);
}

// A picture big enough that its three-level calculation is still running
// when the test acts on it: a soft edge across the middle third, sure
// strokes on the outer thirds.
const int BIG_W = 320, BIG_H = 240;

rgba wide_soft_edge(int x, int y) {
  int edge = BIG_W / 3 + (y % 11);
  double t = x <= edge ? 0.0 : x >= 2 * BIG_W / 3 ? 1.0 : double(x - edge) / (2 * BIG_W / 3 - edge);
  guchar v = static_cast<guchar>(LIGHT + t * (DARK - LIGHT) + (x * 7 + y * 3) % 5);
  return rgba{v, v, v, 255};
}

void press_escape(void) {
  GdkKeymapKey *keys = NULL;
  gint n = 0;
  ASSERT_TRUE(gdk_keymap_get_entries_for_keyval(NULL, GDK_KEY_Escape, &keys, &n));
  GdkEvent *event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(main_window)));
  event->key.send_event = TRUE;
  event->key.keyval = GDK_KEY_Escape;
  event->key.hardware_keycode = keys[0].keycode;
  event->key.group = keys[0].group;
  g_free(keys);
  gtk_main_do_event(event);
  gdk_event_free(event);
}

GtkWidget *stop_item(void) { return menu_item("Edit", 4); }

void choose_stop_item(void) { gtk_menu_item_activate(GTK_MENU_ITEM(stop_item())); }

void click_progress_bar(void) {
  GtkWidget *box = gtk_widget_get_parent(pass_calc_args->progress_bar);
  GdkEvent *event = gdk_event_new(GDK_BUTTON_PRESS);
  event->button.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(box)));
  event->button.send_event = TRUE;
  event->button.button = 1;
  gtk_main_do_event(event);
  gdk_event_free(event);
}

class BigCalcTest : public CalcTest {
 protected:
  void SetUp() override {
    CalcTest::SetUp();
    open_picture(BIG_W, BIG_H, wide_soft_edge);
    fill_layer_rect(0, 0, BIG_W / 4, BIG_H, 1, 1, 1);
    fill_layer_rect(3 * BIG_W / 4, 0, BIG_W / 4, BIG_H, 0, 0, 0);
    pass_option_args->levels_num = 3;
    pass_option_args->Active_levels_num = 3;
  }
  // Starts the three-level calculation, capturing standard output.
  void start() {
    testing::internal::CaptureStdout();
    ASSERT_EQ(press_calculate(GTK_RESPONSE_OK), 1);
    ASSERT_TRUE(calculation_running());
  }
};

TEST_F(BigCalcTest, StoppingReturnsToEditModeWithNothingChangedAndTheNextCalculationRuns) {
  struct stop_case {
    const char *how;
    void (*stop)(void);
  };
  const stop_case ways[] = {{"Escape", press_escape},
                            {"Edit -> Stop calculation", choose_stop_item},
                            {"click on the progress bar", click_progress_bar}};
  EXPECT_FALSE(gtk_widget_get_sensitive(stop_item()));
  const std::vector<unsigned char> layer = layer_bytes();
  const guchar *result = gdk_pixbuf_get_pixels(pixbuf_alpha);
  const std::vector<guchar> no_result(result, result + BIG_H * gdk_pixbuf_get_rowstride(pixbuf_alpha));
  GdkPixbuf *picture = pixbuf_no_alpha;
  for (const stop_case &way : ways) {
    SCOPED_TRACE(way.how);
    start();
    EXPECT_TRUE(gtk_widget_get_sensitive(stop_item()));
    set_view_mode(true);  // looking at an older result meanwhile
    way.stop();
    ASSERT_TRUE(run_until(calculation_finished, WORKER_SECONDS));
    // No bell: the user stopped it and there is no result to announce.
    EXPECT_EQ(testing::internal::GetCapturedStdout().find('\a'), std::string::npos);
    EXPECT_EQ(statusbar_text(), "Calculation cancelled");
    EXPECT_EQ(in_edit_mode, 1);
    EXPECT_EQ(pixbuf_image, pixbuf_no_alpha);
    EXPECT_EQ(pixbuf_no_alpha, picture);
    EXPECT_EQ(layer_bytes(), layer);
    EXPECT_EQ(std::vector<guchar>(result, result + no_result.size()), no_result);
    EXPECT_EQ(pass_calc_args->progress_bar, nullptr);
    EXPECT_FALSE(gtk_widget_get_sensitive(stop_item()));
  }
  // A calculation after the stops runs to its result (a strip of the
  // picture, to keep it short).
  pass_option_args->levels_num = pass_option_args->Active_levels_num = 1;
  set_region(0, 0, BIG_W, 20);
  calculate();
  EXPECT_EQ(in_edit_mode, 0);
  EXPECT_EQ(alpha_at(2, 2), 255);
  EXPECT_EQ(alpha_at(BIG_W - 3, 2), 0);
}

// Closing the window stops the worker and waits for it; with warnings and
// criticals fatal, anything touching the destroyed bar ends the test.
TEST_F(BigCalcTest, ClosingTheWindowDuringACalculationStopsItQuietly) {
  g_log_set_always_fatal(GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL));
  start();
  close_main_window();  // before the worker can finish
  EXPECT_FALSE(window_alive);
  EXPECT_FALSE(calculation_running());
  EXPECT_EQ(pass_calc_args->timeout_id, 0u);
  EXPECT_EQ(pass_calc_args->result, nullptr);
  flush_events();  // the worker's completion callback, left behind, does nothing
  EXPECT_EQ(testing::internal::GetCapturedStdout().find('\a'), std::string::npos);
}

// ---- Open as trimap ---------------------------------------------------------

// A trimap with the values other tools write: 0, 255 and an unknown band of
// 128, with a few 1 and 254 pixels inside the band that are unknown too.
rgba trimap_pixel(int x, int y) {
  int v = x < 10 ? 255 : x > 30 ? 0 : (x + y) % 7 == 0 ? 1 : (x + y) % 7 == 1 ? 254 : 128;
  return rgba{v, v, v, 255};
}

std::vector<int> channel_values(GdkPixbuf *pixbuf, int channel) {
  std::vector<int> values;
  for (int y = 0; y < gdk_pixbuf_get_height(pixbuf); y++)
    for (int x = 0; x < gdk_pixbuf_get_width(pixbuf); x++)
      values.push_back(gdk_pixbuf_get_pixels(pixbuf)[y * gdk_pixbuf_get_rowstride(pixbuf) +
                                                      x * gdk_pixbuf_get_n_channels(pixbuf) +
                                                      channel]);
  return values;
}

TEST_F(CalcTest, TrimapOpenedInTheWindowGivesTheAlphaVelorinMatteGives) {
  std::string picture = write_picture("picture.png", SIZE, SIZE, false, soft_edge);
  std::string trimap = write_picture("trimap.png", SIZE, SIZE, false, trimap_pixel);
  std::string output = dir + "/alpha.png";
  GError *error = NULL;
  ASSERT_EQ(open_image_file(picture.c_str(), OPEN_DEFAULT, &error), 0);
  ASSERT_EQ(open_image_file(trimap.c_str(), OPEN_AS_TRIMAP, &error), 0);
  calculate();

  const char *argv[] = {VELORIN_BINARY_DIR "/velorin-matte", picture.c_str(), trimap.c_str(),
                        "--alpha-only", "--quiet", "-o", output.c_str(), NULL};
  gint status = -1;
  ASSERT_TRUE(g_spawn_sync(NULL, const_cast<char **>(argv), NULL, G_SPAWN_DEFAULT, NULL, NULL,
                           NULL, NULL, &status, &error));
  ASSERT_EQ(status, 0);
  GdkPixbuf *from_cli = gdk_pixbuf_new_from_file(output.c_str(), &error);
  ASSERT_NE(from_cli, nullptr);
  const std::vector<int> window = channel_values(pixbuf_alpha, 3);
  EXPECT_EQ(channel_values(from_cli, 0), window);
  EXPECT_GT(std::set<int>(window.begin(), window.end()).size(), 2u);  // a real matte
  g_object_unref(from_cli);
}


}  // namespace
