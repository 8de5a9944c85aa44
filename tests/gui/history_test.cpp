// Stroke history: undo, redo and replays.
#include "gui/history.h"

#include "gui/brush.h"
#include "gui/globals.h"
#include "gui/open_image.h"
#include "tests/gui/gui_test_support.h"

class HistoryTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    open_picture(120, 90, plain_grey);
  }

  // Strokes numbered by their row, so each leaves its own mark.
  void paint_row(int y) { stroke({{10, (double)y}, {100, (double)y}}); }

  // The rows of the strokes in the history, oldest first.
  static std::vector<double> history_rows(void) {
    std::vector<double> rows;
    for (GList *node = history; node; node = node->next)
      rows.push_back(((const double *)node->data)[STROKE_HEADER_SLOTS + 1]);
    return rows;
  }
};

TEST_F(HistoryTest, UndoReplaysEarlierStrokesAndANewStrokeCutsTheRedoTail) {
  const std::vector<unsigned char> blank = layer_bytes();
  undo(NULL, NULL);  // nothing to undo
  EXPECT_EQ(layer_bytes(), blank);
  paint_row(20);
  paint_row(40);
  const std::vector<unsigned char> two_strokes = layer_bytes();
  paint_row(60);
  undo(NULL, NULL);
  EXPECT_EQ(current, g_list_nth(history, 1));
  EXPECT_EQ(layer_bytes(), two_strokes);
  redo(NULL, NULL);
  redo(NULL, NULL);  // past the end: nothing more
  EXPECT_EQ(current, g_list_last(history));

  undo(NULL, NULL);
  undo(NULL, NULL);
  paint_row(80);
  EXPECT_EQ(history_rows(), (std::vector<double>{20, 80}));
  const std::vector<unsigned char> before = layer_bytes();
  redo(NULL, NULL);
  EXPECT_EQ(layer_bytes(), before);

  // All undone, then a new stroke: the whole old history goes.
  undo(NULL, NULL);
  undo(NULL, NULL);
  EXPECT_EQ(layer_bytes(), blank);
  paint_row(70);
  EXPECT_EQ(history_rows(), (std::vector<double>{70}));
}

TEST_F(HistoryTest, ReplayAtAnotherZoomPutsDownTheSameLayerPixels) {
  set_zoom_percent(200);
  set_brush_size(5);
  cb_set_BG(NULL, NULL);
  stroke({{30, 30}, {90, 50}, {150, 130}});
  cb_set_Eraser(NULL, NULL);
  stroke({{100, 40}, {100, 120}});  // erases image column 50
  std::vector<unsigned char> live = layer_bytes();
  cb_set_FG(NULL, NULL);
  paint_row(160);

  set_zoom_percent(50);
  undo(NULL, NULL);
  EXPECT_EQ(layer_bytes(), live);
  // The view at the new zoom: image (45, 25) shows the black stroke, the
  // erased image (50, 28) the picture again.
  EXPECT_EQ(view_pixel(22, 12), kBlack);
  EXPECT_EQ(view_pixel(25, 14), plain_grey(0, 0));
}

TEST_F(HistoryTest, UndoDuringAStrokeEndsIt) {
  paint_row(20);
  send_press(10, 60);
  send_motion(40, 60);
  undo(NULL, NULL);
  send_motion(80, 60);  // button still held
  // Neither stroke gets the later point.
  EXPECT_EQ(current, g_list_first(history));
  EXPECT_EQ(record_points((const double *)g_list_nth_data(history, 0)).size(), 3u);
  EXPECT_EQ(record_points((const double *)g_list_nth_data(history, 1)).size(), 3u);
}

// Sure foreground, background and unknown thirds.
static rgba thirds(int x, int) { return rgba{10, 20, 30, x < 40 ? 255 : x < 80 ? 0 : 128}; }

TEST_F(HistoryTest, UndoResetsTheLayerToTheTrimatteOfTheOpen) {
  open_picture(120, 90, thirds, true, OPEN_ALPHA_AS_INPUT);
  std::vector<unsigned char> matte = layer_bytes();
  cb_set_BG(NULL, NULL);
  paint_row(30);
  ASSERT_NE(layer_bytes(), matte);
  undo(NULL, NULL);
  EXPECT_EQ(layer_bytes(), matte);
}
