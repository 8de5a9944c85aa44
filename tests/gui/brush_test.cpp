// Stroke capture driven through the drawing-area handlers: what lands in the
// layer, the view and the stroke records.
#include <climits>
#include <cmath>
#include <string>

#include "gui/brush.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/pointer_events.h"
#include "tests/gui/paint_fixture.h"

typedef std::vector<std::pair<double, double>> point_list;

static bool is_opaque(argb p, guchar r, guchar g, guchar b) {
  return p.a == 255 && p.r == r && p.g == g && p.b == b;
}

static bool is_clear(argb p) { return p.a == 0 && p.r == 0 && p.g == 0 && p.b == 0; }

// Bounding box and count of the opaque layer pixels.
struct coverage {
  int count, left, top, right, bottom;  // right, bottom exclusive
};

static coverage opaque_coverage(void) {
  coverage c = {0, INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  int width = cairo_image_surface_get_width(surf_layer);
  int height = cairo_image_surface_get_height(surf_layer);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (layer_pixel(x, y).a != 0) {
        c.count++;
        c.left = MIN(c.left, x);
        c.top = MIN(c.top, y);
        c.right = MAX(c.right, x + 1);
        c.bottom = MAX(c.bottom, y + 1);
      }
  return c;
}

class BrushTest : public PaintTest {
 protected:
  void SetUp() override {
    PaintTest::SetUp();
    open_grey_picture(200, 150);
  }
};

TEST_F(BrushTest, ClickWithoutMotionStoresThePointTwiceAndPaintsARoundDot) {
  press(50, 50);
  motion(50, 50, 0);

  ASSERT_EQ(g_list_length(history), 1u);
  EXPECT_EQ(current_record()[SLOT_LENGTH], 12);
  EXPECT_EQ(record_points(current_record()), (point_list{{50, 50}, {50, 50}}));
  // Brush size 10: a dot 10 pixels across, centred on the pixel corner (50, 50).
  coverage c = opaque_coverage();
  EXPECT_EQ(c.left, 45);
  EXPECT_EQ(c.right, 55);
  EXPECT_EQ(c.top, 45);
  EXPECT_EQ(c.bottom, 55);
  // Round, not square: the box's corners stay clear.
  EXPECT_TRUE(is_clear(layer_pixel(45, 45)));
  EXPECT_TRUE(is_clear(layer_pixel(54, 54)));
  EXPECT_NEAR(c.count, M_PI * 5 * 5, 12);
}

TEST_F(BrushTest, PointsAreStoredInImagePixelsAtTwiceTheZoom) {
  set_zoom_percent(200);
  press(100, 100);
  motion(140, 100);

  EXPECT_EQ(record_points(current_record()), (point_list{{50, 50}, {50, 50}, {70, 50}}));
  EXPECT_EQ(stroke_idx, 14);
  // A line 10 image pixels wide through row 50.
  for (int y = 40; y < 60; y++)
    EXPECT_EQ(layer_pixel(60, y).a != 0, y >= 45 && y < 55) << "row " << y;
  // The view shows it at twice the size.
  EXPECT_TRUE(is_opaque(view_pixel(120, 92), 255, 255, 255));
  EXPECT_FALSE(is_opaque(view_pixel(120, 88), 255, 255, 255));
}

TEST_F(BrushTest, MotionWithoutButtonEndsTheStroke) {
  press(20, 20);
  motion(30, 20);
  motion(40, 20, 0);
  EXPECT_EQ(finished_stroke, 1);
  motion(50, 20);  // button held again, but no press: not part of any stroke

  EXPECT_EQ(record_points(current_record()), (point_list{{20, 20}, {20, 20}, {30, 20}}));
  EXPECT_TRUE(is_clear(layer_pixel(48, 20)));
}

TEST_F(BrushTest, OnlyTheLeftButtonAndSinglePressesStartStrokes) {
  press(20, 20, 0, 3);
  EXPECT_EQ(history, nullptr);

  GdkEventButton double_click = {};
  double_click.type = GDK_2BUTTON_PRESS;
  double_click.window = drawing_area->window;
  double_click.x = double_click.y = 20;
  double_click.button = 1;
  stroke_button_press(drawing_area, &double_click);
  EXPECT_EQ(history, nullptr);
}

TEST_F(BrushTest, ControlClickDrawsAStraightLineFromTheLastStoredPoint) {
  stroke({{20, 20}, {30, 20}});
  press(60, 40, GDK_CONTROL_MASK);
  motion(60, 40, 0);

  EXPECT_EQ(g_list_length(history), 2u);
  EXPECT_EQ(record_points(current_record()), (point_list{{30, 20}, {60, 40}}));
  EXPECT_TRUE(is_opaque(layer_pixel(45, 30), 255, 255, 255));  // the line's middle
}

TEST_F(BrushTest, ControlClickBeforeAnyStrokeStartsAtTheTopLeftCorner) {
  press(40, 30, GDK_CONTROL_MASK);

  EXPECT_EQ(record_points(current_record()), (point_list{{0, 0}, {40, 30}}));
  EXPECT_TRUE(is_opaque(layer_pixel(20, 15), 255, 255, 255));
}

TEST_F(BrushTest, EraserClearsLayerPixelsAndShowsThePictureAgain) {
  cb_set_BG(NULL, NULL);
  stroke({{20, 50}, {100, 50}});
  ASSERT_TRUE(is_opaque(layer_pixel(60, 50), 0, 0, 0));

  cb_set_Eraser(NULL, NULL);
  EXPECT_EQ(alpha, 0.0);
  stroke({{60, 30}, {60, 70}});
  for (int y = 45; y < 55; y++)
    EXPECT_TRUE(is_clear(layer_pixel(60, y))) << "row " << y;
  argb shown = view_pixel(60, 50);
  EXPECT_EQ(shown.r, 100);
  EXPECT_EQ(shown.g, 110);
  EXPECT_EQ(shown.b, 120);
  EXPECT_TRUE(is_opaque(layer_pixel(30, 50), 0, 0, 0));  // outside the eraser

  cb_set_FG(NULL, NULL);
  stroke({{60, 50}, {61, 50}});
  EXPECT_TRUE(is_opaque(layer_pixel(60, 50), 255, 255, 255));
}

TEST_F(BrushTest, ColourButtonSelectsItsColourAndForegroundReturnsToWhite) {
  GdkColor orange = {0, 0xff00, 0x8000, 0x0000};
  GtkWidget *button = gtk_color_button_new_with_color(&orange);
  g_object_ref_sink(button);  // not packed anywhere: the test owns it
  cb_set_Color(GTK_COLOR_BUTTON(button), NULL);
  EXPECT_EQ(color.red, 0xff00);
  EXPECT_DOUBLE_EQ(green, 0x8000 / 65535.0);
  stroke({{50, 50}, {60, 50}});
  argb painted = layer_pixel(55, 50);
  EXPECT_EQ(painted.a, 255);
  EXPECT_NEAR(painted.r, 255, 1);
  EXPECT_NEAR(painted.g, 128, 1);
  EXPECT_EQ(painted.b, 0);

  cb_set_FG(NULL, NULL);
  EXPECT_EQ(red + green + blue + alpha, 4.0);
  EXPECT_EQ(color.red, 0xff00);
  g_object_unref(button);
}

TEST_F(BrushTest, MotionHintTakesThePointerStateFromTheWindow) {
  press(20, 20);
  GdkEventMotion hint = {};
  hint.type = GDK_MOTION_NOTIFY;
  hint.window = drawing_area->window;
  hint.x = hint.y = 90;
  hint.state = GDK_BUTTON1_MASK;  // stale: the pointer's own state has no button
  hint.is_hint = TRUE;
  motion_notify_event(drawing_area, &hint, NULL);

  EXPECT_EQ(finished_stroke, 1);
  EXPECT_EQ(record_points(current_record()).size(), 2u);
}

// Brush diameter and zoom: every layer pixel is either untouched or fully
// opaque in the brush colour, for odd (pixel-centre) and even
// (pixel-corner) diameters alike.
class NoAntialiasingTest : public BrushTest,
                           public ::testing::WithParamInterface<std::pair<double, double>> {};

TEST_P(NoAntialiasingTest, LayerPixelsAreOpaqueOrUntouched) {
  set_zoom_percent(GetParam().second);
  set_brush_size(GetParam().first);
  cb_set_BG(NULL, NULL);
  stroke({{10, 10}, {47, 23}, {90, 81}, {91, 140}});

  int opaque = 0;
  for (int y = 0; y < 150; y++)
    for (int x = 0; x < 200; x++) {
      argb p = layer_pixel(x, y);
      ASSERT_TRUE(is_clear(p) || is_opaque(p, 0, 0, 0)) << x << "," << y;
      opaque += p.a != 0;
    }
  EXPECT_GT(opaque, 0);
}

INSTANTIATE_TEST_SUITE_P(SizesAndZooms, NoAntialiasingTest,
                         ::testing::Values(std::make_pair(1.0, 100.0),
                                           std::make_pair(4.0, 100.0),
                                           std::make_pair(5.0, 200.0),
                                           std::make_pair(10.0, 50.0),
                                           std::make_pair(15.0, 12.5),
                                           std::make_pair(24.0, 400.0)),
                         [](const ::testing::TestParamInfo<std::pair<double, double>> &info) {
                           return "size" + std::to_string((int)info.param.first) + "_zoom" +
                                  std::to_string((int)(info.param.second * 10)) + "permille";
                         });
