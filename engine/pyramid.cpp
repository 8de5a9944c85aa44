#include "engine/pyramid.h"

#include <algorithm>
#include <cstdio>

#include "engine/allocate.h"
#include "engine/fatal.h"

// The driver down-samples with radius 2 (a 5 x 5 binomial kernel), so a level
// that is down-sampled needs at least 5 rows and columns.
static const int kPyramidRadius = 2;
static const int kMinDownSampledSize = 2 * kPyramidRadius + 1;

// 1-D binomial taps for radius 1 and radius 2.
static const double kTaps1[3] = {0.25, 0.5, 0.25};
static const double kTaps2[5] = {0.0625, 0.25, 0.375, 0.25, 0.0625};

// Outer product of the taps: weight[b + r][a + r] for offsets -r..r. Radius 1
// takes the three taps, any other radius the five (only 1 and 2 are used).
static ScratchArray<double> make_weight_table(int r) {
  const double *taps = (r == 1) ? kTaps1 : kTaps2;
  const int n = 2 * r + 1;
  ScratchArray<double> weight((double **)get_img(n, n, sizeof(double)));
  for (int b = 0; b < n; b++)
    for (int a = 0; a < n; a++) weight[b][a] = taps[b] * taps[a];
  return weight;
}

// The input must cover at least one full kernel; smaller inputs would give
// planes the loops never write. Callers size their pyramids with
// max_pyramid_levels, so reaching this is a programming error.
static void check_input_size(const char *who, int height, int width, int r) {
  if (height >= 2 * r + 1 && width >= 2 * r + 1) return;
  char message[160];
  snprintf(message, sizeof message, "\n%s: %d x %d is too small to down-sample with radius %d\n",
           who, height, width, r);
  engine_fatal(message, -1);
}

// Weighted sum of the (2r+1) x (2r+1) square centred at (y, x) of any 2-D
// array of samples.
template <typename Sample>
static double weighted_sum(const Sample *const *in, const double *const *weight, int y, int x,
                           int r) {
  double s = 0.0;
  for (int b = -r; b <= r; b++)
    for (int a = -r; a <= r; a++) s += in[y + b][x + a] * weight[b + r][a + r];
  return s;
}

static unsigned char to_sample(double s) {
  const int v = (int)s;  // truncation toward zero
  if (v <= 0) return 0;
  if (v > 255) return 255;
  return (unsigned char)v;
}

static void down_sample_plane(const unsigned char *const *in, unsigned char **out, int height,
                              int width, const double *const *weight, int r) {
  for (int x = r; x < width - r; x += 2)
    for (int y = r; y < height - r; y += 2)
      out[(y - r) / 2][(x - r) / 2] = to_sample(weighted_sum(in, weight, y, x, r));
}

int downSmpSize(int n, int r) { return (n - 2 * r) / 2 + n % 2; }

TIFF_img downSmpIm(const TIFF_img *image, int r) {
  if (r > 2)
    engine_fatal("\nNo filter matrix set for dimensions over 5x5 i.e. > than filts 2!", -1);
  check_input_size("downSmpIm", image->height, image->width, r);
  const bool colour = image->TIFF_type == 'c' || image->TIFF_type == 'a';
  TIFF_img out;
  get_TIFF_checked(&out, downSmpSize(image->height, r), downSmpSize(image->width, r),
                   colour ? 'c' : 'g');
  const ScratchArray<double> weight = make_weight_table(r);
  if (colour) {
    for (int p = 0; p < 3; p++)
      down_sample_plane(image->color_planes[p], out.color_planes[p], image->height, image->width,
                        weight.get(), r);
  } else {
    down_sample_plane(image->plane, out.plane, image->height, image->width, weight.get(), r);
  }
  return out;
}

double **downSmpArr(const double *const *array, int height, int width, int r) {
  check_input_size("downSmpArr", height, width, r);
  const int out_h = downSmpSize(height, r);
  const int out_w = downSmpSize(width, r);
  double **out = (double **)get_init_arr(out_w, out_h, sizeof(double));
  const ScratchArray<double> weight = make_weight_table(r);
  for (int x = r; x < width - r; x += 2)
    for (int y = r; y < height - r; y += 2)
      out[(y - r) / 2][(x - r) / 2] = weighted_sum(array, weight.get(), y, x, r) >= 0.5 ? 1.0 : 0.0;
  return out;
}

void scale2_255(double **array, int width, int height) {
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      double v = array[y][x];
      // Written as "not at most 1" so that a NaN from a failed solve also
      // becomes opaque rather than an undefined sample.
      v = !(v <= 1.0) ? 255.0 : v * 255.0;
      array[y][x] = v < 0.0 ? 0.0 : v;
    }
}

// Whether the 0/1 maps of a pyramid level hold a background (value 0) and a
// foreground (value 1) constraint.
static bool holds_both_kinds(const double *const *mask, const double *const *values, int width,
                             int height) {
  bool background = false, foreground = false;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (mask[y][x] != 1.0) continue;
      background |= values[y][x] == 0.0;
      foreground |= values[y][x] == 1.0;
    }
  return background && foreground;
}

int max_constraint_levels(const double *const *mask, const double *const *values, int width,
                          int height, int levels) {
  int kept = 1;
  // The last level made; each replaces the one it was made from.
  ScratchArray<double> m, v;
  while (kept < levels && width >= kMinDownSampledSize && height >= kMinDownSampledSize) {
    m.reset(downSmpArr(m ? m.get() : mask, height, width, kPyramidRadius));
    v.reset(downSmpArr(v ? v.get() : values, height, width, kPyramidRadius));
    width = downSmpSize(width, kPyramidRadius);
    height = downSmpSize(height, kPyramidRadius);
    if (!holds_both_kinds(m.get(), v.get(), width, height)) break;
    kept++;
  }
  return kept;
}

int max_pyramid_levels(int width, int height, int win_size) {
  // Every level needs whole windows for the Laplacian and the upsampling fit;
  // the Laplacian raises a radius below 1 to 1.
  const int need = 2 * std::max(win_size, 1) + 1;
  int levels = 1;
  while (width >= kMinDownSampledSize && height >= kMinDownSampledSize) {
    const int next_w = downSmpSize(width, kPyramidRadius);
    const int next_h = downSmpSize(height, kPyramidRadius);
    if (next_w < need || next_h < need) break;
    width = next_w;
    height = next_h;
    levels++;
  }
  return levels;
}
