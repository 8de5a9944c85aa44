// Canvas: zoom, composition, brush cursor, expose and the status read-out.
#include "gui/canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gui/globals.h"
#include "gui/main_window.h"
#include "tests/gui/gui_test_support.h"
#include "tests/gui/paint_fixture.h"

namespace {

class CanvasTest : public PaintTest {};

TEST_F(CanvasTest, ZoomGivesTruncatedViewSizeAndShowsTheStrokes) {
  open_patterned_picture(100, 100);
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

TEST(BrushCursor, TinyBrushesGetAlternatingMarkerRing) {
  const struct {
    double scale, radius;
    bool ring;  // brush at most 1.5 screen pixels in radius
  } brushes[] = {{1.0, 0.5, true}, {1.0, 2.0, false}, {0.25, 5.0, true},
                 {4.0, 0.5, false}, {1.0, 1.5, true}};
  red = green = blue = 0;  // black brush, so the red pieces stand apart
  cursor_x = cursor_y = 20;
  for (const auto &b : brushes) {
    SCOPED_TRACE(::testing::Message() << "scale " << b.scale << " radius " << b.radius);
    scale = b.scale;
    radius = b.radius;
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 60, 60);
    cairo_t *cr = cairo_create(surface);
    draw_brush(cr);
    cairo_destroy(cr);
    // Middles of the ring's first piece (brush colour) and second (red).
    double centre = 20 + (brush_diameter_is_odd(radius) ? 0.5 * scale : 0);
    argb brush_piece = surface_pixel(surface, (int)(centre + 5 * std::cos(M_PI / 8)),
                                     (int)(centre + 5 * std::sin(M_PI / 8)));
    argb red_piece = surface_pixel(surface, (int)(centre + 5 * std::cos(3 * M_PI / 8)),
                                   (int)(centre + 5 * std::sin(3 * M_PI / 8)));
    EXPECT_EQ(brush_piece.a > 0 && brush_piece.r == 0, b.ring);
    EXPECT_EQ(red_piece.a > 0 && red_piece.r > 0 && red_piece.g == 0, b.ring);
    cairo_surface_destroy(surface);
  }
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
  open_patterned_picture(60, 40);
  cursor_x = 30, cursor_y = 20;
  cairo_surface_t *shown = canvas_shown();
  EXPECT_EQ(surface_pixel(shown, 30, 20), (argb{255, 255, 0, 0}));  // white brush, red inside
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

std::string status_text(void) {
  GtkWidget *area = gtk_statusbar_get_message_area(GTK_STATUSBAR(status_bar));
  GList *children = gtk_container_get_children(GTK_CONTAINER(area));
  std::string text = gtk_label_get_text(GTK_LABEL(children->data));
  g_list_free(children);
  return text;
}

TEST_F(CanvasTest, MotionShowsViewPixelUnderPointerOrZeros) {
  open_patterned_picture(60, 40);
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
    EXPECT_EQ(status_text(), c.text);
    EXPECT_DOUBLE_EQ(cursor_x, c.x);
    EXPECT_DOUBLE_EQ(cursor_y, c.y);
  }
}

}  // namespace
