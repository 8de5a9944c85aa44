// Single-pixel access to pixbufs and cairo surfaces.
#include "gui/pixel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

const int WIDTH = 3, HEIGHT = 4;
const int ROW_PADDING = 7;  // bytes beyond width * channels on every row
const int OUTSIDE[][2] = {{-1, 0}, {WIDTH, 0}, {0, -1}, {0, HEIGHT}};

typedef std::vector<int> channels;

// Over memory of the test's own, so that padding bytes can be watched; a
// pixbuf without alpha reads as opaque and keeps its three bytes a pixel.
TEST(PixbufPixel, AddressesByRowstrideWritesAlphaOnlyOnFourChannelsAndIgnoresOutside) {
  for (int n : {3, 4}) {
    SCOPED_TRACE(n == 4 ? "RGBA" : "RGB");
    const int rowstride = WIDTH * n + ROW_PADDING;
    std::vector<guchar> memory((size_t)rowstride * HEIGHT);
    for (size_t i = 0; i < memory.size(); i++) memory[i] = (guchar)i;
    GdkPixbuf *pixbuf = gdk_pixbuf_new_from_data(memory.data(), GDK_COLORSPACE_RGB, n == 4, 8,
                                                 WIDTH, HEIGHT, rowstride, NULL, NULL);
    const int at = 2 * rowstride + 1 * n;  // pixel (1, 2)
    guchar r, g, b, a;
    gdkpixbuf_get_pixel(pixbuf, 1, 2, &r, &g, &b, &a);
    EXPECT_EQ((channels{r, g, b, a}), (channels{at, at + 1, at + 2, n == 4 ? at + 3 : 255}));

    std::vector<guchar> expected = memory;
    const guchar written[] = {10, 20, 30, 40};
    std::copy(written, written + n, expected.begin() + at);
    gdkpixbuf_put_pixel(pixbuf, 1, 2, 10, 20, 30, 40);
    EXPECT_EQ(memory, expected);  // its own bytes only, padding untouched
    // Outside the pixbuf, reads leave the outputs and writes touch nothing.
    for (const auto &xy : OUTSIDE) {
      r = 1, g = 2, b = 3, a = 4;
      gdkpixbuf_get_pixel(pixbuf, xy[0], xy[1], &r, &g, &b, &a);
      EXPECT_EQ((channels{r, g, b, a}), (channels{1, 2, 3, 4}));
      gdkpixbuf_put_pixel(pixbuf, xy[0], xy[1], 9, 9, 9, 9);
    }
    EXPECT_EQ(memory, expected);
    g_object_unref(pixbuf);
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
      EXPECT_EQ(channels(stored, stored + 4), (channels{30, 20, 10, 255}));
    }
    guchar a = 0, r = 0, g = 0, b = 0;
    cairoimagesurface_get_pixel(surface, 2, 3, &a, &r, &g, &b);
    EXPECT_EQ((channels{a, r, g, b}), (channels{255, 10, 20, 30}));
    for (const auto &xy : OUTSIDE) {
      a = 1, r = 2, g = 3, b = 4;
      cairoimagesurface_get_pixel(surface, xy[0], xy[1], &a, &r, &g, &b);
      EXPECT_EQ((channels{a, r, g, b}), (channels{1, 2, 3, 4}));
    }
    cairo_surface_destroy(surface);
  }
}

}  // namespace
