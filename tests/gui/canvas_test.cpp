// Canvas: zoom, composition, brush cursor, expose and the status read-out.
#include "gui/canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "gui/region.h"
#include "tests/gui/view_fixture.h"

namespace {

std::string status_text(void) {
  GtkWidget *area = gtk_statusbar_get_message_area(GTK_STATUSBAR(status_bar));
  GList *children = gtk_container_get_children(GTK_CONTAINER(area));
  std::string text = gtk_label_get_text(GTK_LABEL(children->data));
  g_list_free(children);
  return text;
}

struct ZoomCase {
  double percent;
  int expected_side;  // of a 100 x 100 picture, truncated
};
void PrintTo(const ZoomCase &c, std::ostream *os) { *os << c.percent << "%"; }

class ZoomTest : public ViewTest, public ::testing::WithParamInterface<ZoomCase> {};

TEST_P(ZoomTest, ViewSizeIsTruncatedZoomedPictureSize) {
  load_picture(100, 100);
  gtk_adjustment_set_value(zoom_adjustment(), GetParam().percent);
  EXPECT_DOUBLE_EQ(scale, GetParam().percent / 100);
  EXPECT_EQ(cairo_image_surface_get_width(win_surf), GetParam().expected_side);
  EXPECT_EQ(cairo_image_surface_get_height(win_surf), GetParam().expected_side);
  int w = 0, h = 0;
  gtk_widget_get_size_request(drawing_area, &w, &h);
  EXPECT_EQ(w, GetParam().expected_side);
  EXPECT_EQ(h, GetParam().expected_side);
}

INSTANTIATE_TEST_SUITE_P(Canvas, ZoomTest,
                         ::testing::Values(ZoomCase{12.5, 12}, ZoomCase{37.5, 37},
                                           ZoomCase{250, 250}, ZoomCase{400, 400}));

TEST_F(ViewTest, ZoomPaintsStrokesOnlyInEditMode) {
  load_picture(20, 20);
  for (int y = 4; y <= 6; y++)
    for (int x = 4; x <= 6; x++) paint_layer_pixel(x, y);
  gtk_adjustment_set_value(zoom_adjustment(), 200);
  // Window (11, 11) lies inside picture pixel 5, amid the white block.
  const view_pixel white{255, 255, 255, 255};
  EXPECT_EQ(surface_pixel(win_surf, 11, 11), white);
  EXPECT_NE(surface_pixel(win_surf, 5, 5), white);
  set_view_mode(true);
  gtk_adjustment_set_value(zoom_adjustment(), 300);
  EXPECT_NE(surface_pixel(win_surf, 16, 16), white);
}

TEST_F(ViewTest, ZoomRedrawsSelectionOverTheSamePicturePixels) {
  load_picture(40, 30);
  set_view_mode(true);
  x_img_ROI = 2, y_img_ROI = 3, w_img_ROI = 4, h_img_ROI = 5;
  const double percents[] = {200, 100, 400};
  for (double percent : percents) {
    gtk_adjustment_set_value(zoom_adjustment(), percent);
    EXPECT_DOUBLE_EQ(left_x, 2 * scale);
    EXPECT_DOUBLE_EQ(top_y, 3 * scale);
    EXPECT_DOUBLE_EQ(selection_w, 4 * scale);
    EXPECT_DOUBLE_EQ(selection_h, 5 * scale);
    // The top edge of the black outline runs one pixel above the region.
    EXPECT_EQ(surface_pixel(win_surf, (int)left_x + 1, (int)top_y - 1),
              (view_pixel{255, 0, 0, 0}))
        << percent;
  }
}

TEST_F(ViewTest, HundredPercentButtonResetsZoomOnlyWhenItDiffers) {
  load_picture(30, 30);
  GtkToolButton *reset = GTK_TOOL_BUTTON(toolbar_item(TB_ZOOM_100));
  cairo_surface_t *before = win_surf;
  g_signal_emit_by_name(reset, "clicked");
  EXPECT_EQ(win_surf, before);  // no zoom ran: the view was not rebuilt
  gtk_adjustment_set_value(zoom_adjustment(), 250);
  g_signal_emit_by_name(reset, "clicked");
  EXPECT_DOUBLE_EQ(gtk_adjustment_get_value(zoom_adjustment()), 100);
  EXPECT_DOUBLE_EQ(scale, 1.0);
  EXPECT_EQ(cairo_image_surface_get_width(win_surf), 30);
}

// Draws the cursor of the current brush at (cursor_x, cursor_y) onto a
// fresh transparent surface; the caller destroys it.
cairo_surface_t *draw_cursor_alone(void) {
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 60, 60);
  cairo_t *cr = cairo_create(surface);
  draw_brush(cr);
  cairo_destroy(cr);
  return surface;
}

struct RingCase {
  double scale, radius;
  bool ring;  // expected: brush at most 1.5 screen pixels in radius
};
void PrintTo(const RingCase &c, std::ostream *os) {
  *os << "scale " << c.scale << " radius " << c.radius;
}

class BrushCursorRingTest : public ::testing::TestWithParam<RingCase> {};

TEST_P(BrushCursorRingTest, TinyBrushesGetAlternatingMarkerRing) {
  scale = GetParam().scale;
  radius = GetParam().radius;
  red = green = blue = 0;  // black brush, so the red pieces stand apart
  cursor_x = cursor_y = 20;
  cairo_surface_t *surface = draw_cursor_alone();
  double shift = brush_diameter_is_odd(radius) ? 0.5 * scale : 0;
  auto ring_pixel = [&](double angle) {
    return surface_pixel(surface, (int)std::floor(20 + shift + 5 * std::cos(angle)),
                         (int)std::floor(20 + shift + 5 * std::sin(angle)));
  };
  // Middles of the first piece (brush colour) and the second (red).
  view_pixel brush_piece = ring_pixel(M_PI / 8);
  view_pixel red_piece = ring_pixel(3 * M_PI / 8);
  if (GetParam().ring) {
    EXPECT_GT(brush_piece.a, 0);
    EXPECT_EQ(brush_piece.r, 0);
    EXPECT_GT(red_piece.a, 0);
    EXPECT_GT(red_piece.r, 0);
    EXPECT_EQ(red_piece.g, 0);
  } else {
    EXPECT_EQ(brush_piece.a, 0);
    EXPECT_EQ(red_piece.a, 0);
  }
  cairo_surface_destroy(surface);
}

INSTANTIATE_TEST_SUITE_P(Canvas, BrushCursorRingTest,
                         ::testing::Values(RingCase{1.0, 0.5, true},
                                           RingCase{1.0, 2.0, false},
                                           RingCase{0.25, 5.0, true},
                                           RingCase{4.0, 0.5, false},
                                           RingCase{1.0, 1.5, true}));

TEST(BrushCursor, WhiteBrushHasRedCentreAndBlackBrushCyan) {
  scale = 1.0;
  radius = 5.0;
  cursor_x = cursor_y = 30;
  struct {
    double colour;
    view_pixel outer, inner;
  } brushes[] = {{1.0, {255, 255, 255, 255}, {255, 255, 0, 0}},
                 {0.0, {255, 0, 0, 0}, {255, 0, 255, 255}}};
  for (auto &b : brushes) {
    red = green = blue = b.colour;
    cairo_surface_t *surface = draw_cursor_alone();
    EXPECT_EQ(surface_pixel(surface, 33, 30), b.outer);  // 3 to 4 px out
    EXPECT_EQ(surface_pixel(surface, 30, 30), b.inner);
    EXPECT_EQ(surface_pixel(surface, 37, 30).a, 0);      // beyond the radius
    cairo_surface_destroy(surface);
  }
}

// What the drawing area shows, painted on a surface of the view's size.
cairo_surface_t *paint_canvas_alone(void) {
  cairo_surface_t *surface = cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(win_surf),
      cairo_image_surface_get_height(win_surf));
  cairo_t *cr = cairo_create(surface);
  paint_canvas(cr);
  cairo_destroy(cr);
  return surface;
}

TEST_F(ViewTest, CanvasShowsBrushCursorInEditModeOnly) {
  load_picture(60, 40);
  cursor_x = 30, cursor_y = 20;
  const view_pixel cursor_centre{255, 255, 0, 0};  // white brush: red inside
  cairo_surface_t *shown = paint_canvas_alone();
  EXPECT_EQ(surface_pixel(shown, 30, 20), cursor_centre);
  EXPECT_EQ(surface_pixel(shown, 45, 20), picture_pixel(45, 20));
  cairo_surface_destroy(shown);
  set_view_mode(true);
  shown = paint_canvas_alone();
  EXPECT_EQ(surface_bytes(shown), surface_bytes(win_surf));
  cairo_surface_destroy(shown);
}

TEST_F(ViewTest, ExposeRemembersWhereTheCursorWasDrawn) {
  cursor_x = 31, cursor_y = 17;
  on_expose_event(drawing_area, NULL, NULL);
  EXPECT_DOUBLE_EQ(prev_cursor_x, 31);
  EXPECT_DOUBLE_EQ(prev_cursor_y, 17);
}

struct ReadoutCase {
  int x, y;
  const char *text;
};

TEST_F(ViewTest, MotionShowsViewPixelUnderPointerOrZeros) {
  load_picture(60, 40);
  paint_layer_pixel(12, 4);
  guchar r, g, b;
  picture_colour(3, 7, &r, &g, &b);
  char *picture_text = g_strdup_printf("r%03d g%03d b%03d a255 : x 3 y 7", r, g, b);
  const ReadoutCase cases[] = {
      {12, 4, "r255 g255 b255 a255 : x 12 y 4"},
      {3, 7, picture_text},
      {60, 5, "r000 g000 b000 a000 : x 60 y 5"},  // right of the view
      {-3, 5, "r000 g000 b000 a000 : x -3 y 5"},
      {8, 40, "r000 g000 b000 a000 : x 8 y 40"},  // below it
  };
  for (const ReadoutCase &c : cases) {
    // Event positions truncate toward zero to whole pixels.
    move(c.x + (c.x < 0 ? -0.7 : 0.7), c.y + 0.2, 0);
    EXPECT_EQ(status_text(), c.text);
    EXPECT_DOUBLE_EQ(cursor_x, c.x);
    EXPECT_DOUBLE_EQ(cursor_y, c.y);
  }
  g_free(picture_text);
}

}  // namespace
