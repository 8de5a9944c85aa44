// Stroke capture driven through the drawing-area handlers: what lands in the
// layer, the view and the stroke records.
#include <cmath>

#include "gui/brush.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/pointer_events.h"
#include "tests/gui/gui_test_support.h"

class BrushTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    open_picture(200, 150, plain_grey);
  }
};

TEST_F(BrushTest, ClickWithoutMotionStoresThePointTwiceAndPaintsARoundDot) {
  send_press(50, 50);
  send_motion(50, 50, 0);

  ASSERT_EQ(g_list_length(history), 1u);
  EXPECT_EQ(current_record()[SLOT_LENGTH], 12);
  EXPECT_EQ(record_points(current_record()), (point_list{{50, 50}, {50, 50}}));
  // Brush size 10: a dot 10 pixels across, centred on the pixel corner (50, 50).
  int count = 0, left = 200, top = 150, right = 0, bottom = 0;  // right, bottom exclusive
  for (int y = 0; y < 150; y++)
    for (int x = 0; x < 200; x++)
      if (layer_pixel(x, y).a != 0) {
        count++;
        left = MIN(left, x);
        top = MIN(top, y);
        right = MAX(right, x + 1);
        bottom = MAX(bottom, y + 1);
      }
  EXPECT_EQ((std::vector<int>{left, top, right, bottom}), (std::vector<int>{45, 45, 55, 55}));
  // Round, not square: the box's corners stay clear.
  EXPECT_EQ(layer_pixel(45, 45), kClear);
  EXPECT_EQ(layer_pixel(54, 54), kClear);
  EXPECT_NEAR(count, M_PI * 5 * 5, 12);
}

TEST_F(BrushTest, PointsAreStoredInImagePixelsAtTwiceTheZoom) {
  set_zoom_percent(200);
  send_press(100, 100);
  send_motion(140, 100);

  EXPECT_EQ(record_points(current_record()), (point_list{{50, 50}, {50, 50}, {70, 50}}));
  EXPECT_EQ(stroke_idx, 14);
  // A line 10 image pixels wide through row 50, shown at twice the size.
  for (int y = 40; y < 60; y++)
    EXPECT_EQ(layer_pixel(60, y).a != 0, y >= 45 && y < 55) << "row " << y;
  EXPECT_EQ(view_pixel(120, 92), kWhite);
  EXPECT_NE(view_pixel(120, 88), kWhite);
}

TEST_F(BrushTest, OnlyLeftSinglePressesStartStrokesAndReleasedMotionEndsThem) {
  send_press(20, 20, 0, 3);
  GdkEventButton double_click = {};
  double_click.type = GDK_2BUTTON_PRESS;
  double_click.window = drawing_area->window;
  double_click.x = double_click.y = 20;
  double_click.button = 1;
  stroke_button_press(drawing_area, &double_click);
  EXPECT_EQ(history, nullptr);

  send_press(20, 20);
  send_motion(30, 20);
  send_motion(40, 20, 0);
  EXPECT_EQ(finished_stroke, 1);
  send_motion(50, 20);  // button held again, but no press: not part of any stroke
  EXPECT_EQ(record_points(current_record()), (point_list{{20, 20}, {20, 20}, {30, 20}}));
  EXPECT_EQ(layer_pixel(48, 20), kClear);

  // A motion hint's state is stale: the pointer's own state has no button.
  send_press(20, 90);
  send_motion(90, 90, GDK_BUTTON1_MASK, TRUE);
  EXPECT_EQ(finished_stroke, 1);
  EXPECT_EQ(record_points(current_record()).size(), 2u);
}

TEST_F(BrushTest, ControlClickDrawsAStraightLineFromTheLastStoredPoint) {
  // Before any stroke the line starts at the top left corner.
  send_press(40, 30, GDK_CONTROL_MASK);
  send_motion(40, 30, 0);
  EXPECT_EQ(record_points(current_record()), (point_list{{0, 0}, {40, 30}}));
  EXPECT_EQ(layer_pixel(20, 15), kWhite);

  stroke({{120, 20}, {130, 20}});
  send_press(160, 40, GDK_CONTROL_MASK);
  send_motion(160, 40, 0);
  EXPECT_EQ(g_list_length(history), 3u);
  EXPECT_EQ(record_points(current_record()), (point_list{{130, 20}, {160, 40}}));
  EXPECT_EQ(layer_pixel(145, 30), kWhite);  // the line's middle
}

TEST_F(BrushTest, ToolsPaintTheirColoursAndTheEraserShowsThePictureAgain) {
  GdkColor orange = {0, 0xff00, 0x8000, 0x0000};
  GtkWidget *button = g_object_ref_sink(gtk_color_button_new_with_color(&orange));
  cb_set_Color(GTK_COLOR_BUTTON(button), NULL);
  g_object_unref(button);
  stroke({{50, 80}, {60, 80}});
  rgba painted = layer_pixel(55, 80);
  EXPECT_EQ(painted.a, 255);
  EXPECT_EQ(painted.b, 0);
  EXPECT_NEAR(painted.r, 255, 1);
  EXPECT_NEAR(painted.g, 128, 1);

  cb_set_BG(NULL, NULL);
  stroke({{20, 50}, {100, 50}});
  ASSERT_EQ(layer_pixel(60, 50), kBlack);
  cb_set_Eraser(NULL, NULL);
  stroke({{60, 30}, {60, 70}});
  for (int y = 45; y < 55; y++)
    EXPECT_EQ(layer_pixel(60, y), kClear) << "row " << y;
  EXPECT_EQ(view_pixel(60, 50), plain_grey(0, 0));
  EXPECT_EQ(layer_pixel(30, 50), kBlack);  // outside the eraser

  cb_set_FG(NULL, NULL);
  stroke({{60, 50}, {61, 50}});
  EXPECT_EQ(layer_pixel(60, 50), kWhite);
}

// Every layer pixel is either untouched or fully opaque in the brush colour,
// for odd (pixel-centre) and even (pixel-corner) diameters at any zoom.
TEST_F(BrushTest, LayerPixelsAreOpaqueOrUntouched) {
  const struct {
    double size, percent;
  } brushes[] = {{1, 100}, {5, 200}, {10, 50}, {15, 12.5}};
  for (const auto &b : brushes) {
    SCOPED_TRACE(::testing::Message() << "size " << b.size << " at " << b.percent << "%");
    open_picture(200, 150, plain_grey);
    set_zoom_percent(b.percent);
    set_brush_size(b.size);
    cb_set_BG(NULL, NULL);
    stroke({{10, 10}, {47, 23}, {90, 81}, {91, 140}});
    int opaque = 0;
    for (int y = 0; y < 150; y++)
      for (int x = 0; x < 200; x++) {
        rgba p = layer_pixel(x, y);
        ASSERT_TRUE(p == kClear || p == kBlack) << x << "," << y;
        opaque += p.a != 0;
      }
    EXPECT_GT(opaque, 0);
  }
}
