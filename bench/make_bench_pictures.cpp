// Writes the larger pictures of the solver benchmark (bench/solver_table.sh)
// into OUT_DIR, each folder with image.png, trimap.png and gt_alpha.png like
// the shared test pictures:
//   petals_4mp            petals_1mp upscaled twice in each direction
//                         (2304 x 1728): picture and ground truth bilinear,
//                         trimap nearest, so it keeps only 0, 128 and 255;
//   synthetic_12mp        a 4000 x 3000 synthetic scene (bench/synthetic.h)
//                         with an unknown band around its soft edge;
//   petals_12mp_scribble  petals_1mp_scribble upscaled to 4000 x 3000, for a
//                         one-level stroke solve far beyond memory.
// Usage: make_bench_pictures DATA_DIR OUT_DIR
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "bench/load_pixbuf.h"
#include "bench/synthetic.h"

static const unsigned char kTrimapUnknown = 128;

static GdkPixbuf *load(const std::string &path) { return load_pixbuf("make_bench_pictures", path); }

static bool save(GdkPixbuf *p, const std::string &path) {
  GError *error = nullptr;
  const bool saved = gdk_pixbuf_save(p, path.c_str(), "png", &error, nullptr);
  if (!saved) {
    fprintf(stderr, "make_bench_pictures: %s: %s\n", path.c_str(), error->message);
    g_error_free(error);
  }
  g_object_unref(p);
  return saved;
}

static bool scaled(const std::string &from, const std::string &to, int width, int height,
                   GdkInterpType interpolation) {
  GdkPixbuf *p = load(from);
  if (!p) return false;
  GdkPixbuf *s = gdk_pixbuf_scale_simple(p, width, height, interpolation);
  g_object_unref(p);
  return save(s, to);
}

static bool upscaledSet(const std::string &from, const std::string &to, int width, int height) {
  mkdir(to.c_str(), 0755);
  return scaled(from + "/image.png", to + "/image.png", width, height, GDK_INTERP_BILINEAR) &&
         scaled(from + "/gt_alpha.png", to + "/gt_alpha.png", width, height, GDK_INTERP_BILINEAR) &&
         scaled(from + "/trimap.png", to + "/trimap.png", width, height, GDK_INTERP_NEAREST);
}

// An RGB pixbuf whose three samples of pixel (x, y) are sample(y, x, ch).
template <typename Sample>
static GdkPixbuf *pictureOf(int width, int height, Sample sample) {
  GdkPixbuf *p = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, height);
  const int stride = gdk_pixbuf_get_rowstride(p);
  guchar *pixels = gdk_pixbuf_get_pixels(p);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      for (int ch = 0; ch < 3; ch++) pixels[y * stride + 3 * x + ch] = sample(y, x, ch);
  return p;
}

static bool syntheticSet(const std::string &to, int width, int height) {
  mkdir(to.c_str(), 0755);
  SyntheticScene s = makeSyntheticScene(height, width, (height < width ? height : width) / 30);
  const bool saved =
      save(pictureOf(width, height,
                     [&](int y, int x, int ch) { return s.image.color_planes[ch][y][x]; }),
           to + "/image.png") &&
      save(pictureOf(width, height,
                     [&](int y, int x, int) { return (guchar)(s.alpha[y][x] * 255 + 0.5); }),
           to + "/gt_alpha.png") &&
      save(pictureOf(width, height,
                     [&](int y, int x, int) {
                       return s.mask[y][x] ? (guchar)(255 * s.values[y][x]) : kTrimapUnknown;
                     }),
           to + "/trimap.png");
  freeSyntheticScene(&s);
  return saved;
}

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: make_bench_pictures DATA_DIR OUT_DIR\n");
    return 2;
  }
  const std::string data = argv[1], out = argv[2];
  mkdir(out.c_str(), 0755);
  const bool made =
      upscaledSet(data + "/petals_1mp", out + "/petals_4mp", 2304, 1728) &&
      syntheticSet(out + "/synthetic_12mp", 4000, 3000) &&
      upscaledSet(data + "/petals_1mp_scribble", out + "/petals_12mp_scribble", 4000, 3000);
  return made ? 0 : 1;
}
