// The open modes on small pictures written by the tests, and the failures
// that must leave everything as it was.
#include "calc/options.h"
#include "calc/rgb2grey.h"
#include "gui/globals.h"
#include "gui/open_image.h"
#include "gui/pixel.h"
#include "tests/gui/paint_fixture.h"

static rgba pixbuf_pixel(GdkPixbuf *pixbuf, int x, int y) {
  guchar r = 0, g = 0, b = 0, a = 0;
  gdkpixbuf_get_pixel(pixbuf, x, y, &r, &g, &b, &a);
  return rgba{r, g, b, a};
}

static int layer_width(void) { return cairo_image_surface_get_width(surf_layer); }

static int count_known_layer_pixels(void) {
  int known = 0;
  for (int y = 0; y < cairo_image_surface_get_height(surf_layer); y++)
    for (int x = 0; x < layer_width(); x++)
      known += layer_pixel(x, y).a != 0;
  return known;
}

static rgba gradient(int x, int y) { return rgba{10 * x, 7 * y, x + y, 255}; }

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
    g_clear_error(&error);
    return status;
  }
};

TEST_F(OpenImageTest, DefaultOpenReplacesPictureAndEmptiesHistory) {
  set_zoom_percent(200);
  ASSERT_EQ(open(write_picture("new.png", 16, 12, true, [](int x, int y) {
              return rgba{200, x * 10, y * 20, x * 15};
            }), OPEN_DEFAULT), 0);

  // The colours, also where alpha is 0, and the alpha apart.
  EXPECT_FALSE(gdk_pixbuf_get_has_alpha(pixbuf_no_alpha));
  EXPECT_EQ(pixbuf_image, pixbuf_no_alpha);
  rgba colour = pixbuf_pixel(pixbuf_no_alpha, 0, 5);
  EXPECT_EQ(colour.r, 200);
  EXPECT_EQ(colour.b, 100);
  EXPECT_EQ(pixbuf_pixel(pixbuf_alpha, 3, 2).a, 45);
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

  // In view mode the new picture shows with its alpha.
  set_view_mode(true);
  ASSERT_EQ(open(write_picture("view.png", 8, 6, false, gradient), OPEN_DEFAULT), 0);
  EXPECT_EQ(pixbuf_image, pixbuf_alpha);
  EXPECT_EQ(pixbuf_pixel(pixbuf_alpha, 7, 5).a, 255);
}

TEST_F(OpenImageTest, AlphaAsInputTurnsTheAlphaChannelIntoATrimatte) {
  // One column per alpha value: 255 white, 0 black, the rest unknown.
  static const int column_alpha[] = {255, 0, 128, 1, 254};
  ASSERT_EQ(open(write_picture("matte.png", 5, 3, true, [](int x, int) {
              return rgba{90, 60, 30, column_alpha[x]};
            }), OPEN_ALPHA_AS_INPUT), 0);

  for (int x = 0; x < 5; x++) {
    SCOPED_TRACE(column_alpha[x]);
    int a = column_alpha[x];
    argb expected = a == 255 ? argb{255, 255, 255, 255} : a == 0 ? argb{255, 0, 0, 0}
                                                                 : argb{0, 0, 0, 0};
    EXPECT_EQ(layer_pixel(x, 1), expected);
    rgba base = pixbuf_pixel(initialisinglayer, x, 1);
    EXPECT_EQ((argb{base.a, base.r, base.g, base.b}), expected);
    EXPECT_EQ(pixbuf_pixel(pixbuf_no_alpha, x, 1).g, 60);
    EXPECT_EQ(pixbuf_pixel(pixbuf_alpha, x, 1).a, a);
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

TEST_F(OpenImageTest, OpenAsLayerTurnsChangedPixelsIntoGreyStrokesInsideThePicture) {
  // Painted copies of the 40 x 30 picture, larger, smaller and of its size,
  // with one changed pixel inside the picture and, when larger, one outside.
  static const rgba PAINT = {200, 40, 90, 255};
  const int grey = rgb2grey(PAINT.r, PAINT.g, PAINT.b);
  const int sizes[][2] = {{60, 50}, {20, 10}, {40, 30}};
  for (const auto &size : sizes) {
    SCOPED_TRACE(::testing::Message() << size[0] << "x" << size[1]);
    ASSERT_EQ(open(write_picture("painted.png", size[0], size[1], false, [](int x, int y) {
                return (x == 3 && y == 4) || (x == 45 && y == 33) ? PAINT : gradient(x, y);
              }), OPEN_AS_LAYER), 0);
    EXPECT_EQ(layer_width(), 40);
    EXPECT_EQ(cairo_image_surface_get_height(surf_layer), 30);
    EXPECT_EQ(count_known_layer_pixels(), 1);
    EXPECT_EQ(layer_pixel(3, 4), (argb{255, grey, grey, grey}));
    EXPECT_EQ(gdk_pixbuf_get_width(initialisinglayer), MIN(size[0], 40));
    EXPECT_EQ(gdk_pixbuf_get_height(initialisinglayer), MIN(size[1], 30));
    EXPECT_EQ(pixbuf_pixel(initialisinglayer, 3, 4).r, grey);
  }
}

TEST_F(OpenImageTest, OpenAsLayerTakesATrimatteWithAlphaAsItIs) {
  // Smaller than the picture: white left half, black right half, rest unknown.
  ASSERT_EQ(open(write_picture("trimatte.png", 10, 8, true, [](int x, int) {
              return x < 5 ? rgba{255, 255, 255, 255} : rgba{0, 0, 0, 255};
            }), OPEN_AS_LAYER), 0);

  EXPECT_EQ(layer_pixel(2, 2), (argb{255, 255, 255, 255}));
  EXPECT_EQ(layer_pixel(7, 2), (argb{255, 0, 0, 0}));
  EXPECT_EQ(count_known_layer_pixels(), 10 * 8);
  EXPECT_EQ(gdk_pixbuf_get_width(initialisinglayer), 10);
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(initialisinglayer));
}

// Files that cannot be opened leave every piece of state as it was.
TEST_F(OpenImageTest, FailureReportsAnErrorAndChangesNothing) {
  std::string broken = dir + "/broken.png";
  ASSERT_TRUE(g_file_set_contents(broken.c_str(), "not a picture", -1, NULL));
  std::string wide = write_picture("wide.png", 9000, 2, false, gradient);
  const struct {
    std::string path;
    double percent;
  } files[] = {{dir + "/missing.png", 100}, {broken, 100},
               {wide, 400}};  // 9000 pixels at 400 % is wider than any cairo surface
  GdkPixbuf *no_alpha = pixbuf_no_alpha, *with_alpha = pixbuf_alpha;
  GList *strokes = history;
  std::vector<unsigned char> layer_before = layer_bytes();
  for (const auto &f : files) {
    SCOPED_TRACE(f.path);
    set_zoom_percent(f.percent);
    cairo_surface_t *layer = surf_layer, *view = win_surf;
    GError *error = NULL;
    EXPECT_EQ(open_image_file(f.path.c_str(), OPEN_DEFAULT, &error), -1);
    ASSERT_NE(error, nullptr);
    EXPECT_STRNE(error->message, "");
    g_error_free(error);
    EXPECT_TRUE(pixbuf_no_alpha == no_alpha && pixbuf_alpha == with_alpha);
    EXPECT_TRUE(surf_layer == layer && win_surf == view && history == strokes);
    EXPECT_EQ(layer_bytes(), layer_before);
    EXPECT_EQ(pass_option_args->img_width, 40);
    EXPECT_EQ(pass_option_args->epsilon, OPT_EPSILON.upper);
  }
}
