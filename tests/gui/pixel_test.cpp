// Single-pixel access: addressing by rowstride/stride, channel orders,
// tolerated out-of-range coordinates and the fatal preconditions.
#include <gtest/gtest.h>

#include <vector>

#include "gui/pixel.h"

namespace {

const int WIDTH = 3;
const int HEIGHT = 4;
const int ROW_PADDING = 7;  // bytes beyond width * channels on every row

struct padded_pixbuf {
  std::vector<guchar> memory;
  GdkPixbuf *pixbuf;
  int rowstride;
  int channels;

  explicit padded_pixbuf(bool has_alpha)
      : channels(has_alpha ? 4 : 3) {
    rowstride = WIDTH * channels + ROW_PADDING;
    memory.assign((size_t)rowstride * HEIGHT, 0xEE);
    pixbuf = gdk_pixbuf_new_from_data(memory.data(), GDK_COLORSPACE_RGB, has_alpha,
                                      8, WIDTH, HEIGHT, rowstride, NULL, NULL);
  }
  ~padded_pixbuf() { g_object_unref(pixbuf); }
  guchar *at(int x, int y) { return &memory[(size_t)y * rowstride + x * channels]; }
};

// A distinct sample value for every pixel and channel.
guchar sample(int x, int y, int channel) { return (guchar)(16 * y + 4 * x + channel + 1); }

class PixbufPixel : public ::testing::TestWithParam<bool> {};

TEST_P(PixbufPixel, RowsAreAddressedByTheRowstride) {
  padded_pixbuf p(GetParam());
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x)
      for (int c = 0; c < p.channels; ++c) p.at(x, y)[c] = sample(x, y, c);
  for (int y = 0; y < HEIGHT; ++y)
    for (int x = 0; x < WIDTH; ++x) {
      guchar r, g, b, a;
      gdkpixbuf_get_pixel(p.pixbuf, x, y, &r, &g, &b, &a);
      EXPECT_EQ(r, sample(x, y, 0));
      EXPECT_EQ(g, sample(x, y, 1));
      EXPECT_EQ(b, sample(x, y, 2));
      EXPECT_EQ(a, p.channels == 4 ? sample(x, y, 3) : 255) << x << "," << y;
    }
}

TEST_P(PixbufPixel, PutWritesOnlyItsPixelAndAlphaOnlyWithFourChannels) {
  padded_pixbuf p(GetParam());
  const std::vector<guchar> before = p.memory;
  gdkpixbuf_put_pixel(p.pixbuf, 1, 2, 10, 20, 30, 40);
  for (size_t i = 0; i < p.memory.size(); ++i) {
    const size_t start = (size_t)2 * p.rowstride + 1 * p.channels;
    if (i >= start && i < start + p.channels) continue;
    ASSERT_EQ(p.memory[i], before[i]) << "byte " << i << " changed";
  }
  EXPECT_EQ(p.at(1, 2)[0], 10);
  EXPECT_EQ(p.at(1, 2)[1], 20);
  EXPECT_EQ(p.at(1, 2)[2], 30);
  if (p.channels == 4) {
    EXPECT_EQ(p.at(1, 2)[3], 40);
  }
}

TEST_P(PixbufPixel, OutOfRangeReadsAndWritesTouchNothing) {
  padded_pixbuf p(GetParam());
  const std::vector<guchar> before = p.memory;
  const int outside[][2] = {{-1, 0}, {WIDTH, 0}, {0, -1}, {0, HEIGHT}, {-1, HEIGHT}};
  for (const auto &xy : outside) {
    guchar r = 1, g = 2, b = 3, a = 4;
    gdkpixbuf_get_pixel(p.pixbuf, xy[0], xy[1], &r, &g, &b, &a);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(g, 2);
    EXPECT_EQ(b, 3);
    EXPECT_EQ(a, 4);
    gdkpixbuf_put_pixel(p.pixbuf, xy[0], xy[1], 9, 9, 9, 9);
  }
  EXPECT_EQ(p.memory, before);
}

INSTANTIATE_TEST_SUITE_P(ThreeAndFourChannels, PixbufPixel, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &i) {
                           return i.param ? "RGBA" : "RGB";
                         });

class SurfacePixel : public ::testing::TestWithParam<cairo_format_t> {
 protected:
  void SetUp() override {
    surface = cairo_image_surface_create(GetParam(), WIDTH, HEIGHT);
    cairo_surface_flush(surface);
  }
  void TearDown() override { cairo_surface_destroy(surface); }
  unsigned char *bytes(int x, int y) {
    return cairo_image_surface_get_data(surface) +
           y * cairo_image_surface_get_stride(surface) + 4 * x;
  }
  cairo_surface_t *surface = NULL;
};

TEST_P(SurfacePixel, StoresBlueGreenRedAlphaInMemoryAndReadsThemBack) {
  cairoimagesurface_put_pixel(surface, 2, 3, 255, 10, 20, 30);
  if (G_BYTE_ORDER == G_LITTLE_ENDIAN) {
    const unsigned char *p = bytes(2, 3);
    EXPECT_EQ(p[0], 30);
    EXPECT_EQ(p[1], 20);
    EXPECT_EQ(p[2], 10);
    EXPECT_EQ(p[3], 255);
  }
  guchar a = 0, r = 0, g = 0, b = 0;
  cairoimagesurface_get_pixel(surface, 2, 3, &a, &r, &g, &b);
  EXPECT_EQ(a, 255);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(g, 20);
  EXPECT_EQ(b, 30);
  // Its neighbours, including the first pixel of the next row, are untouched.
  cairoimagesurface_get_pixel(surface, 1, 3, &a, &r, &g, &b);
  EXPECT_EQ(a | r | g | b, 0);
  cairoimagesurface_get_pixel(surface, 2, 2, &a, &r, &g, &b);
  EXPECT_EQ(a | r | g | b, 0);
}

TEST_P(SurfacePixel, StoredBytesAreWhatCairoDraws) {
  // Translucent pixels come back premultiplied, exactly as cairo keeps them.
  cairo_t *cr = cairo_create(surface);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, 1.0, 0.0, 0.0, 0.5);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  guchar a = 0, r = 0, g = 0, b = 0;
  cairoimagesurface_get_pixel(surface, 0, 0, &a, &r, &g, &b);
  if (GetParam() == CAIRO_FORMAT_ARGB32) {
    EXPECT_NEAR(a, 128, 1);
    EXPECT_EQ(r, a);
  } else {
    EXPECT_NEAR(r, 128, 1);  // RGB24 flattens onto black
  }
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 0);
}

TEST_P(SurfacePixel, OutOfRangeReadsLeaveTheOutputs) {
  const int outside[][2] = {{-1, 0}, {WIDTH, 0}, {0, -1}, {0, HEIGHT}};
  for (const auto &xy : outside) {
    guchar a = 1, r = 2, g = 3, b = 4;
    cairoimagesurface_get_pixel(surface, xy[0], xy[1], &a, &r, &g, &b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(r, 2);
    EXPECT_EQ(g, 3);
    EXPECT_EQ(b, 4);
  }
}

TEST_P(SurfacePixel, WritingOutsideTheSurfaceIsFatal) {
  EXPECT_DEATH(cairoimagesurface_put_pixel(surface, -1, 0, 255, 0, 0, 0),
               "cairoimagesurface_put_pixel.*x >= 0 && x < width");
  EXPECT_DEATH(cairoimagesurface_put_pixel(surface, WIDTH, 0, 255, 0, 0, 0),
               "x >= 0 && x < width");
  EXPECT_DEATH(cairoimagesurface_put_pixel(surface, 0, HEIGHT, 255, 0, 0, 0),
               "pixel.cpp:[0-9]+: cairoimagesurface_put_pixel.*y >= 0 && y < height");
}

INSTANTIATE_TEST_SUITE_P(Formats, SurfacePixel,
                         ::testing::Values(CAIRO_FORMAT_ARGB32, CAIRO_FORMAT_RGB24),
                         [](const ::testing::TestParamInfo<cairo_format_t> &i) {
                           return i.param == CAIRO_FORMAT_ARGB32 ? "ARGB32" : "RGB24";
                         });

TEST(SurfacePixelFormat, OtherFormatsAreFatalForBothHelpers) {
  cairo_surface_t *a8 = cairo_image_surface_create(CAIRO_FORMAT_A8, 4, 4);
  guchar a, r, g, b;
  EXPECT_DEATH(cairoimagesurface_get_pixel(a8, 0, 0, &a, &r, &g, &b),
               "cairoimagesurface_get_pixel.*cairoFMT == CAIRO_FORMAT_ARGB32 \\|\\| "
               "cairoFMT == CAIRO_FORMAT_RGB24");
  EXPECT_DEATH(cairoimagesurface_put_pixel(a8, 0, 0, 1, 2, 3, 4),
               "cairoimagesurface_put_pixel.*cairoFMT == CAIRO_FORMAT_ARGB32");
  cairo_surface_destroy(a8);
}

}  // namespace

namespace {

// gdk-pixbuf itself only makes 8-bit pixbufs, but its object properties
// still accept other depths, which is how a foreign one could arrive.
TEST(PixbufPixelFormat, OtherSampleDepthsAreFatalForBothHelpers) {
  static guchar memory[16] = {0};
  GdkPixbuf *deep = GDK_PIXBUF(g_object_new(
      GDK_TYPE_PIXBUF, "colorspace", GDK_COLORSPACE_RGB, "n-channels", 3,
      "has-alpha", FALSE, "bits-per-sample", 16, "width", 1, "height", 1,
      "rowstride", 8, "pixels", memory, NULL));
  ASSERT_EQ(gdk_pixbuf_get_bits_per_sample(deep), 16);
  guchar r, g, b, a;
  EXPECT_DEATH(gdkpixbuf_get_pixel(deep, 0, 0, &r, &g, &b, &a),
               "gdkpixbuf_get_pixel.*gdk_pixbuf_get_bits_per_sample\\(pixbuf\\) == 8");
  EXPECT_DEATH(gdkpixbuf_put_pixel(deep, 0, 0, r, g, b, a),
               "gdkpixbuf_put_pixel.*gdk_pixbuf_get_bits_per_sample\\(pixbuf\\) == 8");
  g_object_unref(deep);
}

}  // namespace
