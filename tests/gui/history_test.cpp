// Stroke history: records, undo and redo, and replays that must put down the
// same layer pixels as the live strokes did.
#include "gui/brush.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/open_image.h"
#include "tests/gui/paint_fixture.h"

class HistoryTest : public PaintTest {
 protected:
  void SetUp() override {
    PaintTest::SetUp();
    open_grey_picture(120, 90);
    blank = layer_bytes();
  }

  // Strokes numbered by their row, so each leaves its own mark.
  void paint_row(int y) { stroke({{10, (double)y}, {100, (double)y}}); }

  std::vector<unsigned char> blank;
};

static const double *record_at(int index) {
  return (const double *)g_list_nth_data(history, index);
}

TEST_F(HistoryTest, RecordHeaderHoldsTheBrushAndZoomOfThePress) {
  set_zoom_percent(200);
  set_brush_size(7);
  cb_set_Eraser(NULL, NULL);
  press(40, 40);
  const double *record = current_record();
  EXPECT_EQ(record[SLOT_KIND], 0);
  EXPECT_EQ(record[SLOT_RADIUS], 3.5);
  EXPECT_EQ(record[SLOT_ZOOM], 2.0);
  EXPECT_EQ(record[SLOT_ALPHA], 0.0);
  EXPECT_EQ(record[SLOT_LENGTH], 12);
  // Odd diameter: points snap to pixel centres.
  typedef std::vector<std::pair<double, double>> point_list;
  EXPECT_EQ(record_points(record), (point_list{{20.5, 20.5}, {20.5, 20.5}}));
}

TEST_F(HistoryTest, UndoWithEmptyHistoryClearsTheLayer) {
  undo(NULL, NULL);
  EXPECT_EQ(current, nullptr);
  EXPECT_EQ(history, nullptr);
  EXPECT_EQ(layer_bytes(), blank);
}

TEST_F(HistoryTest, UndoAndRedoOfTheOnlyStroke) {
  paint_row(20);
  std::vector<unsigned char> painted = layer_bytes();
  GList *node = current;

  undo(NULL, NULL);
  EXPECT_EQ(current, nullptr);
  EXPECT_EQ(g_list_length(history), 1u);
  EXPECT_EQ(layer_bytes(), blank);
  undo(NULL, NULL);  // all undone already: nothing changes
  EXPECT_EQ(current, nullptr);

  redo(NULL, NULL);
  EXPECT_EQ(current, node);
  EXPECT_EQ(layer_bytes(), painted);
  redo(NULL, NULL);  // at the last stroke: nothing happens
  EXPECT_EQ(current, node);
  EXPECT_EQ(layer_bytes(), painted);
}

TEST_F(HistoryTest, UndoReplaysEveryStrokeBeforeTheCurrentOne) {
  paint_row(20);
  paint_row(40);
  std::vector<unsigned char> two_strokes = layer_bytes();
  paint_row(60);

  undo(NULL, NULL);
  EXPECT_EQ(current, g_list_nth(history, 1));
  EXPECT_EQ(layer_bytes(), two_strokes);
}

TEST_F(HistoryTest, NewStrokeAfterUndoReleasesTheRedoTail) {
  paint_row(20);
  paint_row(40);
  paint_row(60);
  undo(NULL, NULL);
  undo(NULL, NULL);
  paint_row(80);

  ASSERT_EQ(g_list_length(history), 2u);
  EXPECT_EQ(record_at(0)[STROKE_HEADER_SLOTS + 1], 20);
  EXPECT_EQ(record_at(1)[STROKE_HEADER_SLOTS + 1], 80);
  EXPECT_EQ(current, g_list_last(history));
  std::vector<unsigned char> before = layer_bytes();
  redo(NULL, NULL);
  EXPECT_EQ(current, g_list_last(history));
  EXPECT_EQ(layer_bytes(), before);
}

TEST_F(HistoryTest, NewStrokeWhenAllIsUndoneReleasesTheWholeHistory) {
  paint_row(20);
  paint_row(40);
  undo(NULL, NULL);
  undo(NULL, NULL);
  paint_row(80);

  ASSERT_EQ(g_list_length(history), 1u);
  EXPECT_EQ(record_at(0)[STROKE_HEADER_SLOTS + 1], 80);
}

TEST_F(HistoryTest, ReplayAtAnotherZoomPutsDownTheSameLayerPixels) {
  set_zoom_percent(200);
  set_brush_size(5);
  cb_set_BG(NULL, NULL);
  stroke({{30, 30}, {90, 50}, {150, 130}});
  std::vector<unsigned char> live = layer_bytes();

  set_zoom_percent(50);
  undo(NULL, NULL);
  redo(NULL, NULL);
  EXPECT_EQ(layer_bytes(), live);
  // The view shows the stroke at the new zoom: image (45, 25) is view (22, 12).
  argb shown = view_pixel(22, 12);
  EXPECT_EQ(shown.r + shown.g + shown.b, 0);
}

TEST_F(HistoryTest, EraserRecordReplaysAsAnEraser) {
  paint_row(40);
  cb_set_Eraser(NULL, NULL);
  stroke({{50, 20}, {50, 60}});
  std::vector<unsigned char> erased = layer_bytes();
  paint_row(70);

  undo(NULL, NULL);
  EXPECT_EQ(layer_bytes(), erased);
  EXPECT_EQ(layer_pixel(50, 40).a, 0);
  argb shown = view_pixel(50, 40);
  EXPECT_EQ(shown.r, 100);
  EXPECT_EQ(shown.b, 120);
  EXPECT_EQ(layer_pixel(30, 40).a, 255);
}

TEST_F(HistoryTest, UndoDuringAStrokeEndsIt) {
  paint_row(20);
  press(10, 60);
  motion(40, 60);
  undo(NULL, NULL);
  motion(80, 60);  // button still held

  EXPECT_EQ(current, g_list_first(history));
  EXPECT_EQ(record_points(record_at(0)).size(), 3u);
  EXPECT_EQ(record_points(record_at(1)).size(), 3u);
}

TEST_F(HistoryTest, UndoResetsTheLayerToTheTrimatteOfTheOpen) {
  std::string path = write_picture("matte.png", 120, 90, true, [](int x, int) {
    return rgba{10, 20, 30, (guchar)(x < 60 ? 255 : 0)};
  });
  GError *error = NULL;
  ASSERT_EQ(open_image_file(path.c_str(), OPEN_ALPHA_AS_INPUT, &error), 0);
  std::vector<unsigned char> matte = layer_bytes();
  cb_set_BG(NULL, NULL);
  paint_row(30);
  ASSERT_NE(layer_bytes(), matte);

  undo(NULL, NULL);
  EXPECT_EQ(layer_bytes(), matte);
}
