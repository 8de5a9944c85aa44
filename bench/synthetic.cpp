#include "bench/synthetic.h"

#include <cmath>
#include <cstdlib>

#include "engine/allocate.h"

static const double kPi = 3.14159265358979323846;

// Small deterministic texture in -1..1 from a hashed position.
static double grain(int y, int x, unsigned salt) {
  unsigned h = (unsigned)y * 73856093u ^ (unsigned)x * 19349663u ^ salt * 83492791u;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return (h & 0xffff) / 32767.5 - 1.0;
}

// A blob whose radius wobbles with the angle (strands of hair, roughly),
// with an edge about 1.5 % of the picture wide.
static double trueAlpha(int y, int x, int height, int width) {
  const double cy = 0.5 * height, cx = 0.45 * width;
  const double base = 0.3 * (height < width ? height : width);
  const double soft = 0.015 * (height < width ? height : width) + 1.0;
  const double dy = y - cy, dx = x - cx;
  const double angle = atan2(dy, dx);
  const double radius = base * (1.0 + 0.12 * sin(9 * angle) + 0.05 * sin(31 * angle));
  const double a = 0.5 - (sqrt(dx * dx + dy * dy) - radius) / soft;
  return a < 0.0 ? 0.0 : (a > 1.0 ? 1.0 : a);
}

static void sceneColours(int y, int x, int height, int width, double fg[3], double bg[3]) {
  const double v = (double)y / height, u = (double)x / width;
  const double stripes = sin(2 * kPi * (7 * u + 3 * v));
  fg[0] = 200 + 30 * v + 10 * grain(y, x, 1);
  fg[1] = 120 + 40 * u + 12 * stripes;
  fg[2] = 60 + 20 * grain(y, x, 2);
  bg[0] = 40 + 50 * u + 15 * grain(y, x, 3);
  bg[1] = 90 + 30 * stripes + 20 * v;
  bg[2] = 170 - 40 * v + 15 * grain(y, x, 4);
}

static unsigned char toSample(double v) {
  long s = lround(v);
  return (unsigned char)(s < 0 ? 0 : (s > 255 ? 255 : s));
}

// near[y][x] = 1 when a fractional-alpha pixel lies within `band` (square
// neighbourhood), by a separable maximum filter.
static unsigned char **nearSoftEdge(double **alpha, int height, int width, int band) {
  unsigned char **rowPass = (unsigned char **)get_init_arr(width, height, 1);
  unsigned char **near = (unsigned char **)get_init_arr(width, height, 1);
  for (int y = 0; y < height; y++) {
    int last = -1000000;  // column of the latest fractional pixel seen
    for (int x = 0; x < width + band; x++) {
      if (x < width && alpha[y][x] > 0.0 && alpha[y][x] < 1.0) last = x;
      const int target = x - band;  // window [target - band, target + band] seen up to x
      if (target >= 0 && target < width) rowPass[y][target] = x - last <= 2 * band;
    }
  }
  for (int x = 0; x < width; x++) {
    int last = -1000000;
    for (int y = 0; y < height + band; y++) {
      if (y < height && rowPass[y][x]) last = y;
      const int target = y - band;
      if (target >= 0 && target < height) near[target][x] = y - last <= 2 * band;
    }
  }
  free_img((void **)rowPass);
  return near;
}

SyntheticScene makeSyntheticScene(int height, int width, int band) {
  SyntheticScene s;
  get_TIFF_checked(&s.image, height, width, 'c');
  s.alpha = (double **)get_img(width, height, sizeof(double));
  s.mask = (double **)get_init_arr(width, height, sizeof(double));
  s.values = (double **)get_init_arr(width, height, sizeof(double));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      double fg[3], bg[3];
      const double a = trueAlpha(y, x, height, width);
      sceneColours(y, x, height, width, fg, bg);
      s.alpha[y][x] = a;
      for (int ch = 0; ch < 3; ch++)
        s.image.color_planes[ch][y][x] = toSample(a * fg[ch] + (1 - a) * bg[ch]);
    }
  unsigned char **near = nearSoftEdge(s.alpha, height, width, band);
  s.unknown = 0;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (near[y][x]) {
        s.unknown++;
        continue;
      }
      s.mask[y][x] = 1.0;
      s.values[y][x] = s.alpha[y][x];
    }
  free_img((void **)near);
  return s;
}

void freeSyntheticScene(SyntheticScene *scene) {
  free_TIFF(&scene->image);
  free_img((void **)scene->alpha);
  free_img((void **)scene->mask);
  free_img((void **)scene->values);
}
