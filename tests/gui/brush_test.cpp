// Stroke capture through the drawing-area handlers.
#include "gui/brush.h"

#include "gui/globals.h"
#include "tests/gui/gui_test_support.h"

namespace {

const double *current_record(void) { return current ? (const double *)current->data : nullptr; }

class BrushTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    open_picture(200, 150, plain_grey);
  }
};

TEST_F(BrushTest, OnlyLeftSinglePressesStartStrokesAndReleasedMotionEndsThem) {
  send_press(20, 20, 0, 3);
  GdkEvent *double_click = gdk_event_new(GDK_2BUTTON_PRESS);
  double_click->button.x = double_click->button.y = 20;
  double_click->button.button = 1;
  send_to(drawing_area, double_click);
  EXPECT_EQ(history, nullptr);

  send_press(20, 20);
  send_motion(30, 20);
  send_motion(40, 20, 0);
  send_motion(50, 20);  // button held again, but no press: not part of any stroke
  EXPECT_EQ(record_points(current_record()), (point_list{{20, 20}, {20, 20}, {30, 20}}));
  EXPECT_EQ(layer_pixel(48, 20), kClear);

  // A motion hint's state is stale: the pointer's own state has no button.
  send_press(20, 90);
  send_motion(90, 90, GDK_BUTTON1_MASK, TRUE);
  EXPECT_EQ(record_points(current_record()).size(), 2u);
}

TEST_F(BrushTest, ControlClickDrawsAStraightLineFromTheLastStoredPoint) {
  stroke({{120, 20}, {130, 20}});
  send_press(160, 40, GDK_CONTROL_MASK);
  send_motion(160, 40, 0);
  EXPECT_EQ(record_points(current_record()), (point_list{{130, 20}, {160, 40}}));
  EXPECT_EQ(layer_pixel(145, 30), kWhite);  // the line's middle
}

// Every layer pixel a tool touches is fully opaque in its colour (a
// constraint), for odd (pixel-centre) and even (pixel-corner) diameters, at
// the picture pixels under the pointer at any zoom; the eraser shows the
// picture again.
TEST_F(BrushTest, ToolsPaintOpaquePixelsOfTheirColourUnderThePointerAtAnyZoom) {
  GdkColor orange = {0, 0xff00, 0x8000, 0x0000};
  GtkWidget *button = g_object_ref_sink(gtk_color_button_new_with_color(&orange));
  cb_set_Color(GTK_COLOR_BUTTON(button), NULL);
  g_object_unref(button);
  stroke({{50, 80}, {60, 80}});
  EXPECT_EQ(layer_pixel(55, 80), (rgba{255, 128, 0, 255}));

  const struct { double size, percent; } brushes[] = {{1, 100}, {5, 200}, {10, 50}};
  for (const auto &b : brushes) {
    SCOPED_TRACE(::testing::Message() << "size " << b.size << " at " << b.percent << "%");
    open_picture(200, 150, plain_grey);
    set_zoom_percent(b.percent);
    set_brush_size(b.size);
    cb_set_BG(NULL, NULL);
    const double to_window = b.percent / 100;  // picture row 40, columns 10 to 90
    stroke({{10 * to_window, 40 * to_window}, {90 * to_window, 40 * to_window}});
    EXPECT_EQ(layer_pixel(50, 40), kBlack);
    EXPECT_EQ(layer_pixel(95, 40), kClear);
    EXPECT_EQ(layer_pixel(50, 50), kClear);
    for (int y = 0; y < 150; y++)
      for (int x = 0; x < 200; x++) {
        rgba p = layer_pixel(x, y);
        ASSERT_TRUE(p == kClear || p == kBlack) << x << "," << y;
      }
  }
  set_zoom_percent(100);
  set_brush_size(10);
  stroke({{20, 50}, {100, 50}});
  cb_set_Eraser(NULL, NULL);
  stroke({{60, 30}, {60, 70}});
  EXPECT_EQ(layer_pixel(60, 50), kClear);
  EXPECT_EQ(view_pixel(60, 50), plain_grey(0, 0));
  EXPECT_EQ(layer_pixel(30, 50), kBlack);  // outside the eraser
}

}  // namespace
