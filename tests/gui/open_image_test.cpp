// The open modes, the command line's picture and failed opens.
#include "gui/open_image.h"

#include "calc/options.h"
#include "calc/rgb2grey.h"
#include "gui/command_line.h"
#include "gui/globals.h"
#include "tests/gui/gui_test_support.h"

namespace {

int layer_width(void) { return cairo_image_surface_get_width(surf_layer); }

int count_known_layer_pixels(void) {
  int known = 0;
  for (int y = 0; y < cairo_image_surface_get_height(surf_layer); y++)
    for (int x = 0; x < layer_width(); x++) known += layer_pixel(x, y).a != 0;
  return known;
}

rgba gradient(int x, int y) { return rgba{10 * x, 7 * y, x + y, 255}; }
// One column per alpha value: 255 white, 0 black, the rest unknown.
const int COLUMN_ALPHA[] = {255, 0, 128, 1, 254};
rgba alpha_columns(int x, int) { return rgba{90, 60, 30, COLUMN_ALPHA[x]}; }
// gradient(3, 4) but for blue, at (3, 4) and at (45, 33), beyond a 40 x 30 picture.
const rgba BLUER = {30, 28, 200, 255};
rgba two_bluer(int x, int y) {
  return (x == 3 && y == 4) || (x == 45 && y == 33) ? BLUER : gradient(x, y);
}
rgba white_then_black(int x, int) { return x < 5 ? kWhite : kBlack; }

class OpenImageTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    open_picture(40, 30, gradient);
    stroke({{5, 5}, {20, 5}});                      // a history for the modes to keep or empty
    pass_option_args->epsilon = OPT_EPSILON.upper;  // not a default
  }
};

// The command line's picture too, from the main loop: with alpha it still
// opens as "Default open", not as a trimatte.
TEST_F(OpenImageTest, DefaultOpenReplacesPictureAndEmptiesHistory) {
  set_zoom_percent(200);
  const std::string path = write_picture("next picture.png", 16, 12, true, [](int x, int y) {
    return rgba{200, x * 10, y * 20, x * 15};
  });
  g_idle_add(cb_open_command_line_picture, g_strdup(path.c_str()));  // frees it
  flush_events();
  // The colours, also where alpha is 0, and the alpha apart.
  EXPECT_EQ(pixbuf_pixel(pixbuf_no_alpha, 0, 5), (rgba{200, 0, 100, 255}));
  EXPECT_EQ(pixbuf_pixel(pixbuf_alpha, 3, 2).a, 45);
  EXPECT_EQ(count_known_layer_pixels(), 0);
  EXPECT_EQ(cairo_image_surface_get_height(win_surf), 24);  // at the zoom in force
  EXPECT_EQ(pass_option_args->epsilon, OPT_EPSILON.default_value);
}

TEST_F(OpenImageTest, AlphaAsInputTurnsTheAlphaChannelIntoATrimatte) {
  open_picture(5, 3, alpha_columns, true, OPEN_ALPHA_AS_INPUT);
  for (int x = 0; x < 5; x++) {
    int a = COLUMN_ALPHA[x];
    rgba expected = a == 255 ? kWhite : a == 0 ? kBlack : kClear;
    EXPECT_EQ(layer_pixel(x, 1), expected) << a;
  }
  EXPECT_EQ(g_list_length(history), 1u);  // kept
  // A picture without alpha falls back to a Default open.
  open_picture(12, 9, gradient, false, OPEN_ALPHA_AS_INPUT);
  EXPECT_EQ(history, nullptr);
  EXPECT_EQ(initialisinglayer, nullptr);
}

TEST_F(OpenImageTest, OpenAsLayerMakesChangedPixelsGreyStrokesAndKeepsTheRest) {
  const int grey = rgb2grey(BLUER.r, BLUER.g, BLUER.b);
  GdkPixbuf *picture = pixbuf_no_alpha;
  open_picture(60, 50, two_bluer, false, OPEN_AS_LAYER);
  EXPECT_EQ(layer_width(), 40);
  EXPECT_EQ(count_known_layer_pixels(), 1);  // the old strokes gone
  EXPECT_EQ(layer_pixel(3, 4), (rgba{grey, grey, grey, 255}));
  EXPECT_EQ(pixbuf_no_alpha, picture);
  EXPECT_EQ(g_list_length(history), 1u);
  EXPECT_EQ(pass_option_args->epsilon, OPT_EPSILON.upper);
  // A file with alpha is a trimatte already, taken as it is.
  open_picture(10, 8, white_then_black, true, OPEN_AS_LAYER);
  EXPECT_EQ(layer_pixel(7, 2), kBlack);
  EXPECT_EQ(count_known_layer_pixels(), 10 * 8);
}

TEST_F(OpenImageTest, OpenAsTrimapMakesSureAreasStrokesWhatEverTheColourOrAlpha) {
  // One column per trimap pixel: its grey level (max + min) / 2 decides;
  // the alpha channel plays no part.
  static const struct {
    rgba pixel;
    rgba stroke;
  } columns[] = {
      {{0, 0, 0, 255}, kBlack},   {{255, 255, 255, 255}, kWhite}, {{254, 254, 254, 255}, kClear},
      {{255, 0, 0, 255}, kClear}, {{1, 0, 0, 255}, kBlack},       {{255, 255, 255, 0}, kWhite},
  };
  const int n = sizeof columns / sizeof columns[0];
  GdkPixbuf *picture = pixbuf_no_alpha;
  open_picture(
      40, 30, [&](int x, int) { return columns[x % n].pixel; }, true, OPEN_AS_TRIMAP);
  for (int x = 0; x < n; x++) EXPECT_EQ(layer_pixel(x, 5), columns[x].stroke) << x;
  EXPECT_EQ(pixbuf_no_alpha, picture);
  EXPECT_EQ(g_list_length(history), 1u);
}

TEST_F(OpenImageTest, FailureReportsAnErrorAndChangesNothing) {
  std::string broken = dir + "/broken.png";
  ASSERT_TRUE(g_file_set_contents(broken.c_str(), "not a picture", -1, NULL));
  const struct {
    std::string path;
    double percent;
    open_mode mode;
  } files[] = {{dir + "/missing.png", 100, OPEN_DEFAULT},
               {broken, 100, OPEN_AS_LAYER},
               // 9000 pixels at 400 % is wider than any cairo surface
               {write_picture("wide.png", 9000, 2, false, gradient), 400, OPEN_DEFAULT},
               // a trimap marks the pixels of a picture of its own size
               {write_picture("trimap.png", 40, 31, false, gradient), 100, OPEN_AS_TRIMAP}};
  GdkPixbuf *picture = pixbuf_no_alpha;
  GList *strokes = history;
  const std::vector<unsigned char> layer = layer_bytes();
  for (const auto &f : files) {
    SCOPED_TRACE(f.path);
    set_zoom_percent(f.percent);
    cairo_surface_t *view = win_surf;
    GError *error = NULL;
    EXPECT_EQ(open_image_file(f.path.c_str(), f.mode, &error), -1);
    ASSERT_NE(error, nullptr);
    g_error_free(error);
    EXPECT_TRUE(pixbuf_no_alpha == picture && win_surf == view && history == strokes);
    EXPECT_EQ(layer_bytes(), layer);
    EXPECT_EQ(pass_option_args->epsilon, OPT_EPSILON.upper);
  }
}

}  // namespace
