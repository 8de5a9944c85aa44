// Canvas: zoom, composition, the brush cursor on show, expose and the status read-out.
#include "gui/canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gui/globals.h"
#include "gui/main_window.h"
#include "tests/gui/gui_test_support.h"

namespace {

class CanvasTest : public WindowTest {};

TEST_F(CanvasTest, ZoomGivesTruncatedViewSizeAndShowsTheStrokes) {
  open_picture(100, 100, patterned, true);
  for (int y = 4; y <= 6; y++)
    for (int x = 4; x <= 6; x++) paint_layer_pixel(x, y);
  const struct {
    double percent;
    int side;
  } zooms[] = {{12.5, 12}, {37.5, 37}, {250, 250}, {400, 400}};
  for (const auto &z : zooms) {
    SCOPED_TRACE(z.percent);
    set_zoom_percent(z.percent);
    EXPECT_DOUBLE_EQ(scale, z.percent / 100);
    EXPECT_EQ(cairo_image_surface_get_width(win_surf), z.side);
    EXPECT_EQ(cairo_image_surface_get_height(win_surf), z.side);
    int w = 0, h = 0;
    gtk_widget_get_size_request(drawing_area, &w, &h);
    EXPECT_EQ(w, z.side);
    EXPECT_EQ(h, z.side);
  }
  // At 400 % window (21, 21) lies inside picture pixel 5, amid the white block.
  EXPECT_EQ(view_pixel(21, 21), kWhite);
  EXPECT_NE(view_pixel(5, 5), kWhite);
  set_view_mode(true);  // the view mode's zoom shows the result alone
  set_zoom_percent(300);
  EXPECT_NE(view_pixel(16, 16), kWhite);
  g_signal_emit_by_name(toolbar_item(TB_ZOOM_100), "clicked");
  EXPECT_DOUBLE_EQ(scale, 1.0);
  EXPECT_EQ(cairo_image_surface_get_width(win_surf), 100);
}

// What the drawing area shows, painted on a surface of the view's size; the
// caller destroys it.
cairo_surface_t *canvas_shown(void) {
  cairo_surface_t *surface = cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(win_surf),
      cairo_image_surface_get_height(win_surf));
  cairo_t *cr = cairo_create(surface);
  paint_canvas(cr);
  cairo_destroy(cr);
  return surface;
}

TEST_F(CanvasTest, CanvasShowsBrushCursorInEditModeOnly) {
  open_picture(60, 40, patterned, true);
  cursor_x = 30, cursor_y = 20;
  cairo_surface_t *shown = canvas_shown();
  EXPECT_EQ(surface_pixel(shown, 30, 20), (rgba{255, 0, 0, 255}));  // white brush, red inside
  EXPECT_EQ(surface_pixel(shown, 45, 20), view_pixel(45, 20));
  cairo_surface_destroy(shown);
  // Expose remembers where it drew the cursor, to erase it on the next move.
  on_expose_event(drawing_area, NULL, NULL);
  EXPECT_DOUBLE_EQ(prev_cursor_x, 30);
  EXPECT_DOUBLE_EQ(prev_cursor_y, 20);
  set_view_mode(true);
  shown = canvas_shown();
  EXPECT_EQ(surface_bytes(shown), surface_bytes(win_surf));
  cairo_surface_destroy(shown);
}

TEST_F(CanvasTest, MotionShowsViewPixelUnderPointerOrZeros) {
  open_picture(60, 40, patterned, true);
  paint_layer_pixel(12, 4);
  char picture_text[64];
  snprintf(picture_text, sizeof picture_text, "r%03d g%03d b%03d a255 : x 3 y 7",
           patterned(3, 7).r, patterned(3, 7).g, patterned(3, 7).b);
  const struct {
    int x, y;
    const char *text;
  } cases[] = {
      {12, 4, "r255 g255 b255 a255 : x 12 y 4"},
      {3, 7, picture_text},
      {60, 5, "r000 g000 b000 a000 : x 60 y 5"},  // right of the view
      {-3, 5, "r000 g000 b000 a000 : x -3 y 5"},
      {8, 40, "r000 g000 b000 a000 : x 8 y 40"},  // below it
  };
  for (const auto &c : cases) {
    // Event positions truncate toward zero to whole pixels.
    send_motion(c.x + (c.x < 0 ? -0.7 : 0.7), c.y + 0.2, 0);
    EXPECT_EQ(statusbar_text(), c.text);
    EXPECT_DOUBLE_EQ(cursor_x, c.x);
    EXPECT_DOUBLE_EQ(cursor_y, c.y);
  }
}

}  // namespace
