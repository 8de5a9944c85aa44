// Canvas: zoom, composition, the brush cursor on show, expose and the status
// read-out.
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
  EXPECT_NE(view_pixel(5, 5), kWhite);
  g_signal_emit_by_name(toolbar_item(TB_ZOOM_100), "clicked");
  EXPECT_EQ(cairo_image_surface_get_width(win_surf), 60);
}

// What the drawing area shows, painted on a surface of the view's size.
struct shown_canvas {
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 60, 40);
  shown_canvas() {
    cairo_t *cr = cairo_create(surface);
    paint_canvas(cr);
    cairo_destroy(cr);
  }
  ~shown_canvas() { cairo_surface_destroy(surface); }
};

TEST_F(CanvasTest, BrushCursorShowsInEditModeOnlyAndExposeRemembersIt) {
  cursor_x = 30, cursor_y = 20;
  {
    shown_canvas edit;
    EXPECT_EQ(surface_pixel(edit.surface, 30, 20), (rgba{255, 0, 0, 255}));  // white brush, red inside
    EXPECT_EQ(surface_pixel(edit.surface, 45, 20), view_pixel(45, 20));
  }
  // Expose remembers where it drew the cursor, to erase it on the next move.
  on_expose_event(drawing_area, NULL, NULL);
  EXPECT_DOUBLE_EQ(prev_cursor_x, 30);
  EXPECT_DOUBLE_EQ(prev_cursor_y, 20);
  set_view_mode(true);
  shown_canvas view;
  EXPECT_EQ(surface_bytes(view.surface), surface_bytes(win_surf));
}

TEST_F(CanvasTest, MotionShowsViewPixelUnderPointerOrZeros) {
  paint_layer_pixel(12, 4);
  const struct {
    int x, y;
    const char *text;
  } cases[] = {
      {12, 4, "r255 g255 b255 a255 : x 12 y 4"},
      {3, 7, "r019 g034 b100 a255 : x 3 y 7"},  // patterned(3, 7) under no stroke
      {-3, 5, "r000 g000 b000 a000 : x -3 y 5"},
      {8, 40, "r000 g000 b000 a000 : x 8 y 40"},  // below the view
  };
  for (const auto &c : cases) {
    // Event positions truncate toward zero to whole pixels.
    send_motion(c.x + (c.x < 0 ? -0.7 : 0.7), c.y + 0.2, 0);
    EXPECT_EQ(statusbar_text(), c.text);
    EXPECT_DOUBLE_EQ(cursor_x, c.x);
  }
}

}  // namespace
