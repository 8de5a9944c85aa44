// Scores a computed alpha matte against the ground truth over the unknown
// region of a trimap, the way the common matting benchmarks do.
//
//   score_alpha ALPHA.png GT_ALPHA.png TRIMAP.png
//
// Prints one line: "width height unknown_pixels SAD MSE", where alpha is in
// 0..1, SAD = sum of |alpha - truth| over the unknown pixels / 1000 and MSE is
// the mean squared difference over the same pixels. ALPHA may be grey or
// carry an alpha channel (then that channel is the matte). Exit status 2 on
// unreadable or mismatched inputs.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cmath>
#include <cstdio>

static const double SAD_UNIT = 1000.0;
static const int TRIMAP_BACKGROUND = 0;
static const int TRIMAP_FOREGROUND = 255;

// The matte channel: alpha when present, else the first (grey) channel.
struct matte_view {
  const guchar *pixels;
  int stride, step, channel;
};

static matte_view view_of(GdkPixbuf *p) {
  int n = gdk_pixbuf_get_n_channels(p);
  return {gdk_pixbuf_read_pixels(p), gdk_pixbuf_get_rowstride(p), n,
          gdk_pixbuf_get_has_alpha(p) ? n - 1 : 0};
}

static int at(const matte_view &v, int x, int y) {
  return v.pixels[y * v.stride + x * v.step + v.channel];
}

static GdkPixbuf *load(const char *path) {
  GError *error = nullptr;
  GdkPixbuf *p = gdk_pixbuf_new_from_file(path, &error);
  if (!p) {
    fprintf(stderr, "score_alpha: cannot read '%s': %s\n", path, error->message);
    g_error_free(error);
  }
  return p;
}

int main(int argc, char **argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: score_alpha ALPHA.png GT_ALPHA.png TRIMAP.png\n");
    return 2;
  }
  GdkPixbuf *images[3] = {load(argv[1]), load(argv[2]), load(argv[3])};
  if (!images[0] || !images[1] || !images[2]) return 2;
  int width = gdk_pixbuf_get_width(images[1]), height = gdk_pixbuf_get_height(images[1]);
  for (GdkPixbuf *p : images)
    if (gdk_pixbuf_get_width(p) != width || gdk_pixbuf_get_height(p) != height) {
      fprintf(stderr, "score_alpha: the three pictures differ in size\n");
      return 2;
    }
  // The trimap's alpha channel, if any, is not its content: read channel 0.
  matte_view alpha = view_of(images[0]), truth = view_of(images[1]);
  matte_view trimap = {gdk_pixbuf_read_pixels(images[2]), gdk_pixbuf_get_rowstride(images[2]),
                       gdk_pixbuf_get_n_channels(images[2]), 0};
  long unknown = 0;
  double sad = 0, squares = 0;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      int t = at(trimap, x, y);
      if (t == TRIMAP_BACKGROUND || t == TRIMAP_FOREGROUND) continue;
      double d = (at(alpha, x, y) - at(truth, x, y)) / 255.0;
      sad += std::fabs(d);
      squares += d * d;
      unknown++;
    }
  printf("%d %d %ld %.3f %.6f\n", width, height, unknown, sad / SAD_UNIT,
         unknown ? squares / unknown : 0.0);
  for (GdkPixbuf *p : images) g_object_unref(p);
  return 0;
}
