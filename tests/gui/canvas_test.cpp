// Canvas: the view's size at a zoom.
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

TEST_F(CanvasTest, ZoomGivesTruncatedViewSize) {
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
}

}  // namespace
