#include "tests/support/pixbuf_pictures.h"

#include <gtest/gtest.h>

GdkPixbuf *make_pixbuf(int width, int height, bool has_alpha, const pixel_fn &pixel) {
  GdkPixbuf *p = gdk_pixbuf_new(GDK_COLORSPACE_RGB, has_alpha, 8, width, height);
  const int channels = has_alpha ? 4 : 3, stride = gdk_pixbuf_get_rowstride(p);
  const std::vector<unsigned char> bytes = rgb_bytes(width, height, channels, pixel, stride);
  // The last row of a pixbuf may be shorter than the stride.
  std::copy(bytes.begin(), bytes.begin() + (height - 1) * stride + width * channels,
            gdk_pixbuf_get_pixels(p));
  return p;
}

void write_png(const std::string &path, int width, int height, bool has_alpha,
               const pixel_fn &pixel) {
  GdkPixbuf *p = make_pixbuf(width, height, has_alpha, pixel);
  EXPECT_TRUE(gdk_pixbuf_save(p, path.c_str(), "png", nullptr, nullptr)) << path;
  g_object_unref(p);
}

std::vector<int> read_channel(const std::string &path, int channel) {
  std::vector<int> values;
  GdkPixbuf *p = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (!p) return values;
  const int n = gdk_pixbuf_get_n_channels(p), stride = gdk_pixbuf_get_rowstride(p);
  for (int y = 0; y < gdk_pixbuf_get_height(p); y++)
    for (int x = 0; x < gdk_pixbuf_get_width(p); x++)
      values.push_back(gdk_pixbuf_get_pixels(p)[y * stride + x * n + channel]);
  g_object_unref(p);
  return values;
}
