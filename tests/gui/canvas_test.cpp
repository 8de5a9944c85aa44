// Canvas: zoom and composition.
#include "gui/canvas.h"

#include <gtest/gtest.h>

#include "gui/globals.h"
#include "tests/gui/gui_test_support.h"

namespace {

class CanvasTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    open_picture(60, 40, patterned, true);
  }
};

TEST_F(CanvasTest, ZoomGivesTruncatedViewSizeAndShowsTheStrokes) {
  for (int y = 4; y <= 6; y++)
    for (int x = 4; x <= 6; x++) paint_layer_pixel(x, y);
  for (double percent : {12.5, 37.5, 400.0}) {
    SCOPED_TRACE(percent);
    set_zoom_percent(percent);
    const int width = static_cast<int>(60 * percent / 100);  // 7, 22, 240
    int w = 0, h = 0;
    gtk_widget_get_size_request(drawing_area, &w, &h);
    EXPECT_EQ(cairo_image_surface_get_width(win_surf), width);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, static_cast<int>(40 * percent / 100));
  }
  // At 400 % window (21, 21) lies inside picture pixel 5, amid the white block.
  EXPECT_EQ(view_pixel(21, 21), kWhite);
  EXPECT_FALSE(view_pixel(5, 5) == kWhite);
}

}  // namespace
