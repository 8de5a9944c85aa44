// Single-pixel access: addressing by rowstride/stride, channel orders and
// tolerated out-of-range coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/pixel.h"

namespace {

const int WIDTH = 3;
const int HEIGHT = 4;
const int ROW_PADDING = 7;  // bytes beyond width * channels on every row
const int OUTSIDE[][2] = {{-1, 0}, {WIDTH, 0}, {0, -1}, {0, HEIGHT}, {-1, HEIGHT}};

// A pixbuf over our own memory, so padding bytes can be watched.
struct padded_pixbuf {
  std::vector<guchar> memory;
  GdkPixbuf *pixbuf;
  int rowstride;
  int channels;

  explicit padded_pixbuf(bool has_alpha) : channels(has_alpha ? 4 : 3) {
    rowstride = WIDTH * channels + ROW_PADDING;
    memory.assign((size_t)rowstride * HEIGHT, 0xEE);
    pixbuf = gdk_pixbuf_new_from_data(memory.data(), GDK_COLORSPACE_RGB, has_alpha, 8, WIDTH,
                                      HEIGHT, rowstride, NULL, NULL);
  }
  ~padded_pixbuf() { g_object_unref(pixbuf); }
  guchar *at(int x, int y) { return &memory[(size_t)y * rowstride + x * channels]; }
};

// A distinct sample value for every pixel and channel.
guchar sample(int x, int y, int channel) { return (guchar)(16 * y + 4 * x + channel + 1); }

TEST(PixbufPixel, AddressesByRowstrideWritesAlphaOnlyOnFourChannelsAndIgnoresOutside) {
  for (bool has_alpha : {false, true}) {
    SCOPED_TRACE(has_alpha ? "RGBA" : "RGB");
    padded_pixbuf p(has_alpha);
    for (int y = 0; y < HEIGHT; ++y)
      for (int x = 0; x < WIDTH; ++x)
        for (int c = 0; c < p.channels; ++c) p.at(x, y)[c] = sample(x, y, c);
    for (int y = 0; y < HEIGHT; ++y)
      for (int x = 0; x < WIDTH; ++x) {
        guchar r, g, b, a;
        gdkpixbuf_get_pixel(p.pixbuf, x, y, &r, &g, &b, &a);
        EXPECT_EQ(std::vector<int>({r, g, b, a}),
                  std::vector<int>({sample(x, y, 0), sample(x, y, 1), sample(x, y, 2),
                                    has_alpha ? sample(x, y, 3) : 255}))
            << x << "," << y;
      }

    std::vector<guchar> expected = p.memory;
    const guchar written[] = {10, 20, 30, 40};
    std::copy(written, written + p.channels, expected.begin() + (p.at(1, 2) - p.memory.data()));
    gdkpixbuf_put_pixel(p.pixbuf, 1, 2, 10, 20, 30, 40);
    EXPECT_EQ(p.memory, expected);  // its own bytes only, padding untouched

    // Outside the pixbuf, reads leave the outputs and writes touch nothing.
    for (const auto &xy : OUTSIDE) {
      guchar r = 1, g = 2, b = 3, a = 4;
      gdkpixbuf_get_pixel(p.pixbuf, xy[0], xy[1], &r, &g, &b, &a);
      EXPECT_EQ(std::vector<int>({r, g, b, a}), std::vector<int>({1, 2, 3, 4}));
      gdkpixbuf_put_pixel(p.pixbuf, xy[0], xy[1], 9, 9, 9, 9);
    }
    EXPECT_EQ(p.memory, expected);
  }
}

TEST(SurfacePixel, StoresBlueGreenRedAlphaAndReadsBackOnlyInRange) {
  for (cairo_format_t format : {CAIRO_FORMAT_ARGB32, CAIRO_FORMAT_RGB24}) {
    SCOPED_TRACE(format == CAIRO_FORMAT_ARGB32 ? "ARGB32" : "RGB24");
    cairo_surface_t *surface = cairo_image_surface_create(format, WIDTH, HEIGHT);
    cairo_surface_flush(surface);
    cairoimagesurface_put_pixel(surface, 2, 3, 255, 10, 20, 30);
    const unsigned char *stored =
        cairo_image_surface_get_data(surface) + 3 * cairo_image_surface_get_stride(surface) + 4 * 2;
    if (G_BYTE_ORDER == G_LITTLE_ENDIAN) {
      EXPECT_EQ(std::vector<int>(stored, stored + 4), std::vector<int>({30, 20, 10, 255}));
    }
    guchar a = 0, r = 0, g = 0, b = 0;
    cairoimagesurface_get_pixel(surface, 2, 3, &a, &r, &g, &b);
    EXPECT_EQ(std::vector<int>({a, r, g, b}), std::vector<int>({255, 10, 20, 30}));
    for (const auto &xy : OUTSIDE) {
      a = 1, r = 2, g = 3, b = 4;
      cairoimagesurface_get_pixel(surface, xy[0], xy[1], &a, &r, &g, &b);
      EXPECT_EQ(std::vector<int>({a, r, g, b}), std::vector<int>({1, 2, 3, 4}));
    }
    cairo_surface_destroy(surface);
  }
}

}  // namespace
