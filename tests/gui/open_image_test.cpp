// The open modes on small pictures written by the tests, the failures that
// must leave everything as it was, and the "Open image" dialog.
#include "calc/options.h"
#include "calc/rgb2grey.h"
#include "gui/globals.h"
#include "gui/open_image.h"
#include "gui/pixel.h"
#include "tests/gui/paint_fixture.h"

static rgba pixbuf_pixel(GdkPixbuf *pixbuf, int x, int y) {
  rgba p = {0, 0, 0, 0};
  gdkpixbuf_get_pixel(pixbuf, x, y, &p.r, &p.g, &p.b, &p.a);
  return p;
}

static int layer_width(void) { return cairo_image_surface_get_width(surf_layer); }
static int layer_height(void) { return cairo_image_surface_get_height(surf_layer); }

static int count_known_layer_pixels(void) {
  int known = 0;
  for (int y = 0; y < layer_height(); y++)
    for (int x = 0; x < layer_width(); x++)
      known += layer_pixel(x, y).a != 0;
  return known;
}

static rgba gradient(int x, int y) {
  return rgba{(guchar)(10 * x), (guchar)(7 * y), (guchar)(x + y), 255};
}

class OpenImageTest : public PaintTest {
 protected:
  void SetUp() override {
    PaintTest::SetUp();
    open_picture(40, 30, gradient);
    stroke({{5, 5}, {20, 5}});  // a history for the modes to keep or empty
    pass_option_args->epsilon = OPT_EPSILON.upper;  // not a default
  }

  int open(const std::string &path, open_mode mode) {
    GError *error = NULL;
    int status = open_image_file(path.c_str(), mode, &error);
    if (error)
      g_error_free(error);
    return status;
  }
};

TEST_F(OpenImageTest, DefaultOpenReplacesPictureAndEmptiesHistory) {
  set_zoom_percent(200);
  ASSERT_EQ(open(write_picture("new.png", 16, 12, false, gradient), OPEN_DEFAULT), 0);

  EXPECT_FALSE(gdk_pixbuf_get_has_alpha(pixbuf_no_alpha));
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(pixbuf_alpha));
  EXPECT_EQ(pixbuf_image, pixbuf_no_alpha);
  EXPECT_EQ(gdk_pixbuf_get_width(pixbuf_alpha), 16);
  rgba with_alpha = pixbuf_pixel(pixbuf_alpha, 15, 11);
  rgba expected = gradient(15, 11);
  EXPECT_EQ(with_alpha.r, expected.r);
  EXPECT_EQ(with_alpha.a, 255);
  EXPECT_EQ(initialisinglayer, nullptr);
  EXPECT_EQ(history, nullptr);
  EXPECT_EQ(current, nullptr);
  EXPECT_EQ(layer_width(), 16);
  EXPECT_EQ(count_known_layer_pixels(), 0);
  EXPECT_EQ(cairo_image_surface_get_width(win_surf), 32);
  EXPECT_EQ(cairo_image_surface_get_height(win_surf), 24);
  EXPECT_EQ(pass_option_args->epsilon, OPT_EPSILON.default_value);
  EXPECT_EQ(pass_option_args->img_width, 16);
  EXPECT_EQ(pass_option_args->img_height, 12);
  EXPECT_EQ(left_x, 0);
  EXPECT_GE(selection_w, 32);  // the selection covers the whole view
}

TEST_F(OpenImageTest, DefaultOpenOfPictureWithAlphaKeepsItsColoursAndAlpha) {
  ASSERT_EQ(open(write_picture("alpha.png", 8, 6, true, [](int x, int y) {
              return rgba{200, (guchar)(x * 20), (guchar)(y * 30), (guchar)(x * 30)};
            }), OPEN_DEFAULT), 0);

  rgba colour = pixbuf_pixel(pixbuf_no_alpha, 0, 5);  // alpha 0 there
  EXPECT_EQ(colour.r, 200);
  EXPECT_EQ(colour.b, 150);
  EXPECT_FALSE(gdk_pixbuf_get_has_alpha(pixbuf_no_alpha));
  EXPECT_EQ(pixbuf_pixel(pixbuf_alpha, 3, 2).a, 90);
  EXPECT_EQ(initialisinglayer, nullptr);
  EXPECT_EQ(count_known_layer_pixels(), 0);
}

TEST_F(OpenImageTest, AlphaAsInputTurnsTheAlphaChannelIntoATrimatte) {
  // One column per alpha value.
  static const guchar column_alpha[] = {255, 0, 128, 1, 254};
  ASSERT_EQ(open(write_picture("matte.png", 5, 3, true, [](int x, int) {
              return rgba{90, 60, 30, column_alpha[x]};
            }), OPEN_ALPHA_AS_INPUT), 0);

  for (int x = 0; x < 5; x++) {
    SCOPED_TRACE(column_alpha[x]);
    argb layer = layer_pixel(x, 1);
    rgba base = pixbuf_pixel(initialisinglayer, x, 1);
    if (column_alpha[x] == 255) {
      EXPECT_EQ(layer.a + layer.r + layer.g + layer.b, 4 * 255);
      EXPECT_EQ(base.r + base.g + base.b + base.a, 4 * 255);
    } else if (column_alpha[x] == 0) {
      EXPECT_EQ(layer.a, 255);
      EXPECT_EQ(layer.r + layer.g + layer.b, 0);
      EXPECT_EQ(base.a, 255);
      EXPECT_EQ(base.r + base.g + base.b, 0);
    } else {
      EXPECT_EQ(layer.a + layer.r + layer.g + layer.b, 0);
      EXPECT_EQ(base.a + base.r + base.g + base.b, 0);
    }
    EXPECT_EQ(pixbuf_pixel(pixbuf_no_alpha, x, 1).g, 60);
    EXPECT_EQ(pixbuf_pixel(pixbuf_alpha, x, 1).a, column_alpha[x]);
  }
  EXPECT_EQ(g_list_length(history), 1u);  // kept
  EXPECT_EQ(pass_option_args->epsilon, OPT_EPSILON.default_value);
  EXPECT_EQ(pass_option_args->img_width, 5);
  // The view shows the picture with the trimatte over it.
  EXPECT_EQ(view_pixel(0, 0).r, 255);
}

TEST_F(OpenImageTest, AlphaAsInputWithoutAlphaIsADefaultOpen) {
  ASSERT_EQ(open(write_picture("plain.png", 12, 9, false, gradient), OPEN_ALPHA_AS_INPUT), 0);
  EXPECT_EQ(history, nullptr);
  EXPECT_EQ(initialisinglayer, nullptr);
  EXPECT_EQ(count_known_layer_pixels(), 0);
  EXPECT_EQ(layer_width(), 12);
  EXPECT_EQ(pass_option_args->img_width, 12);
}

TEST_F(OpenImageTest, OpenAsLayerKeepsPictureHistoryOptionsAndSelection) {
  GdkPixbuf *picture = pixbuf_no_alpha;
  left_x = 7;
  selection_w = 11;
  ASSERT_EQ(open(write_picture("copy.png", 40, 30, false, gradient), OPEN_AS_LAYER), 0);

  EXPECT_EQ(pixbuf_no_alpha, picture);
  EXPECT_EQ(g_list_length(history), 1u);
  EXPECT_EQ(pass_option_args->epsilon, OPT_EPSILON.upper);
  EXPECT_EQ(left_x, 7);
  EXPECT_EQ(selection_w, 11);
  // An unchanged copy of the picture: all unknown, the old strokes gone.
  EXPECT_EQ(count_known_layer_pixels(), 0);
  ASSERT_NE(initialisinglayer, nullptr);
  EXPECT_EQ(pixbuf_pixel(initialisinglayer, 5, 5).a, 0);
}

// Painted copies of the 40 x 30 picture, larger or smaller than it, with one
// changed pixel inside the picture and, for the larger one, one outside.
struct painted_copy_case {
  int width, height;
};

class OpenAsLayerSizeTest : public OpenImageTest,
                            public ::testing::WithParamInterface<painted_copy_case> {};

TEST_P(OpenAsLayerSizeTest, ChangedPixelsBecomeGreyStrokesInsideThePicture) {
  const painted_copy_case c = GetParam();
  static const rgba PAINT = {200, 40, 90, 255};
  ASSERT_EQ(open(write_picture("painted.png", c.width, c.height, false, [](int x, int y) {
              return (x == 3 && y == 4) || (x == 45 && y == 33) ? PAINT : gradient(x, y);
            }), OPEN_AS_LAYER), 0);

  EXPECT_EQ(layer_width(), 40);
  EXPECT_EQ(layer_height(), 30);
  EXPECT_EQ(count_known_layer_pixels(), 1);
  int grey = rgb2grey(PAINT.r, PAINT.g, PAINT.b);
  argb stroke = layer_pixel(3, 4);
  EXPECT_EQ(stroke.a, 255);
  EXPECT_EQ(stroke.r, grey);
  EXPECT_EQ(stroke.b, grey);
  EXPECT_EQ(gdk_pixbuf_get_width(initialisinglayer), MIN(c.width, 40));
  EXPECT_EQ(gdk_pixbuf_get_height(initialisinglayer), MIN(c.height, 30));
  EXPECT_EQ(pixbuf_pixel(initialisinglayer, 3, 4).r, grey);
}

INSTANTIATE_TEST_SUITE_P(LargerAndSmaller, OpenAsLayerSizeTest,
                         ::testing::Values(painted_copy_case{60, 50},
                                           painted_copy_case{20, 10},
                                           painted_copy_case{40, 30}),
                         [](const ::testing::TestParamInfo<painted_copy_case> &info) {
                           return std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.height);
                         });

TEST_F(OpenImageTest, OpenAsLayerTakesATrimatteWithAlphaAsItIs) {
  // Smaller than the picture: white left half, black right half, rest unknown.
  ASSERT_EQ(open(write_picture("trimatte.png", 10, 8, true, [](int x, int) {
              return x < 5 ? rgba{255, 255, 255, 255} : rgba{0, 0, 0, 255};
            }), OPEN_AS_LAYER), 0);

  EXPECT_EQ(layer_pixel(2, 2).r, 255);
  EXPECT_EQ(layer_pixel(7, 2).a, 255);
  EXPECT_EQ(layer_pixel(7, 2).r, 0);
  EXPECT_EQ(count_known_layer_pixels(), 10 * 8);
  EXPECT_EQ(gdk_pixbuf_get_width(initialisinglayer), 10);
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(initialisinglayer));
}

TEST_F(OpenImageTest, OpenInViewModeShowsThePictureWithAlpha) {
  GtkToolItem *mode = gtk_toolbar_get_nth_item(GTK_TOOLBAR(toolbar), TB_MODE_TOGGLE);
  gtk_toggle_tool_button_set_active(GTK_TOGGLE_TOOL_BUTTON(mode), TRUE);
  ASSERT_EQ(in_edit_mode, 0);
  ASSERT_EQ(open(write_picture("view.png", 8, 6, false, gradient), OPEN_DEFAULT), 0);
  EXPECT_EQ(pixbuf_image, pixbuf_alpha);
  EXPECT_EQ(in_edit_mode, 0);
}

// Files that cannot be opened leave every piece of state as it was.
enum failing_file { MISSING_FILE, NOT_A_PICTURE, TOO_LARGE_TO_SHOW };

class OpenFailureTest : public OpenImageTest,
                        public ::testing::WithParamInterface<failing_file> {};

TEST_P(OpenFailureTest, ReportsAnErrorAndChangesNothing) {
  std::string path = dir + "/missing.png";
  if (GetParam() == NOT_A_PICTURE) {
    path = dir + "/broken.png";
    ASSERT_TRUE(g_file_set_contents(path.c_str(), "not a picture", -1, NULL));
  } else if (GetParam() == TOO_LARGE_TO_SHOW) {
    // 9000 pixels at 400 % is wider than any cairo surface.
    set_zoom_percent(400);
    path = write_picture("wide.png", 9000, 2, false, gradient);
  }
  GdkPixbuf *no_alpha = pixbuf_no_alpha, *with_alpha = pixbuf_alpha;
  cairo_surface_t *layer = surf_layer, *view = win_surf;
  GList *strokes = history;
  std::vector<unsigned char> layer_before = layer_bytes();

  GError *error = NULL;
  EXPECT_EQ(open_image_file(path.c_str(), OPEN_DEFAULT, &error), -1);
  ASSERT_NE(error, nullptr);
  EXPECT_STRNE(error->message, "");
  g_error_free(error);
  EXPECT_EQ(pixbuf_no_alpha, no_alpha);
  EXPECT_EQ(pixbuf_alpha, with_alpha);
  EXPECT_EQ(surf_layer, layer);
  EXPECT_EQ(win_surf, view);
  EXPECT_EQ(history, strokes);
  EXPECT_EQ(g_list_length(history), 1u);
  EXPECT_EQ(layer_bytes(), layer_before);
  EXPECT_EQ(pass_option_args->img_width, 40);
  EXPECT_EQ(pass_option_args->epsilon, OPT_EPSILON.upper);
}

static std::string failing_file_name(const ::testing::TestParamInfo<failing_file> &info) {
  static const char *names[] = {"Missing", "NotAPicture", "TooLargeToShow"};
  return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Files, OpenFailureTest,
                         ::testing::Values(MISSING_FILE, NOT_A_PICTURE, TOO_LARGE_TO_SHOW),
                         failing_file_name);
