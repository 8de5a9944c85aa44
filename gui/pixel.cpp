#include "gui/pixel.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Broken preconditions are programming errors (every pixbuf and surface the
// program makes meets them), so they stop the process with a message that
// names where and what, like the C library's assert but also in release
// builds. `helper` is the public helper the caller was asked for, so
// checks shared through static functions still name it.
#define PIXEL_ASSERT(helper, condition)                                               \
  do {                                                                                \
    if (!(condition)) pixel_assertion_failed(__FILE__, __LINE__, helper, #condition); \
  } while (0)

[[noreturn]] static void pixel_assertion_failed(const char *file, int line, const char *function,
                                                const char *condition) {
  fprintf(stderr, "%s:%d: %s: Assertion `%s' failed.\n", file, line, function, condition);
  fflush(stderr);
  abort();
}

// Start of pixel (x, y) of an 8-bit RGB pixbuf, or NULL outside it.
static guchar *pixbuf_pixel_address(const char *helper, GdkPixbuf *pixbuf, int x, int y) {
  PIXEL_ASSERT(helper, gdk_pixbuf_get_colorspace(pixbuf) == GDK_COLORSPACE_RGB);
  PIXEL_ASSERT(helper, gdk_pixbuf_get_bits_per_sample(pixbuf) == 8);
  const int n_channels = gdk_pixbuf_get_n_channels(pixbuf);
  PIXEL_ASSERT(helper, n_channels == 4 || n_channels == 3);
  if (x < 0 || x >= gdk_pixbuf_get_width(pixbuf) || y < 0 || y >= gdk_pixbuf_get_height(pixbuf))
    return NULL;
  return gdk_pixbuf_get_pixels(pixbuf) + (size_t)y * gdk_pixbuf_get_rowstride(pixbuf) +
         (size_t)x * n_channels;
}

static void assert_surface_format(const char *helper, cairo_surface_t *surface) {
  const cairo_format_t cairoFMT = cairo_image_surface_get_format(surface);
  PIXEL_ASSERT(helper, cairoFMT == CAIRO_FORMAT_ARGB32 || cairoFMT == CAIRO_FORMAT_RGB24);
}

// Start of pixel (x, y) of a 32-bit image surface (no bounds check).
static unsigned char *surface_pixel_address(cairo_surface_t *surface, int x, int y) {
  return cairo_image_surface_get_data(surface) +
         (size_t)y * cairo_image_surface_get_stride(surface) + 4 * (size_t)x;
}

void gdkpixbuf_put_pixel(GdkPixbuf *pixbuf, int x, int y, guchar red, guchar green, guchar blue,
                         guchar alpha) {
  guchar *p = pixbuf_pixel_address(__func__, pixbuf, x, y);
  if (!p) return;
  p[0] = red;
  p[1] = green;
  p[2] = blue;
  if (gdk_pixbuf_get_n_channels(pixbuf) == 4) p[3] = alpha;
}

void gdkpixbuf_get_pixel(GdkPixbuf *pixbuf, int x, int y, guchar *red, guchar *green, guchar *blue,
                         guchar *alpha) {
  const guchar *p = pixbuf_pixel_address(__func__, pixbuf, x, y);
  if (!p) return;
  *red = p[0];
  *green = p[1];
  *blue = p[2];
  *alpha = gdk_pixbuf_get_n_channels(pixbuf) == 4 ? p[3] : 255;
}

// Cairo keeps each pixel as one native-endian 32-bit word 0xAARRGGBB (bytes
// blue, green, red, alpha on a little-endian machine); going through the
// word keeps that right on any byte order.
void cairoimagesurface_put_pixel(cairo_surface_t *surface, int x, int y, guchar alpha, guchar red,
                                 guchar green, guchar blue) {
  assert_surface_format(__func__, surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  PIXEL_ASSERT(__func__, x >= 0 && x < width);
  PIXEL_ASSERT(__func__, y >= 0 && y < height);
  const guint32 word =
      (guint32)alpha << 24 | (guint32)red << 16 | (guint32)green << 8 | (guint32)blue;
  memcpy(surface_pixel_address(surface, x, y), &word, sizeof word);
}

void cairoimagesurface_get_pixel(cairo_surface_t *surface, int x, int y, guchar *alpha, guchar *red,
                                 guchar *green, guchar *blue) {
  assert_surface_format(__func__, surface);
  if (x < 0 || x >= cairo_image_surface_get_width(surface) || y < 0 ||
      y >= cairo_image_surface_get_height(surface))
    return;
  guint32 word;
  memcpy(&word, surface_pixel_address(surface, x, y), sizeof word);
  *alpha = word >> 24;
  *red = (word >> 16) & 0xff;
  *green = (word >> 8) & 0xff;
  *blue = word & 0xff;
}
