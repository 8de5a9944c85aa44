#include "synthetic_scene.h"

#include <cmath>
#include <cstring>

#include "engine/allocate.h"

static unsigned char clamp255(double v) {
  return (unsigned char)(v < 0 ? 0 : (v > 255 ? 255 : v));
}

engine_input make_split_scene(int width, int height) {
  engine_input in;
  get_TIFF(&in.image, height, width, 'c');
  in.constraint_mask = (double **)get_img(width, height, sizeof(double));
  in.constraint_values = (double **)get_img(width, height, sizeof(double));
  const int third = width / 3;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      // 0 on the left third, 1 on the right third, linear in between.
      double t = width > 2 * third ? (double)(x - third) / (width - 2 * third) : 0.5;
      t = t < 0 ? 0 : (t > 1 ? 1 : t);
      // Smooth enough to survive down-sampling: the guided upsampling fits
      // colour to matte on the coarse picture and applies it to the fine one.
      const double texture = 4.0 * sin(x / 5.0) * cos(y / 7.0);
      in.image.color_planes[0][y][x] = clamp255(40 + 180 * t + texture);
      in.image.color_planes[1][y][x] = clamp255(60 + 150 * t - texture);
      in.image.color_planes[2][y][x] = clamp255(90 + 60 * t + 2 * texture);
      const bool bg = x < third, fg = x >= width - third;
      in.constraint_mask[y][x] = (bg || fg) ? 1.0 : 0.0;
      in.constraint_values[y][x] = fg ? 1.0 : 0.0;
    }
  in.has_background = in.has_foreground = third > 0;
  return in;
}

double **copy_array(double **a, int width, int height) {
  double **c = (double **)get_img(width, height, sizeof(double));
  memcpy(c[0], a[0], sizeof(double) * width * height);
  return c;
}

bool same_array(double **a, double **b, int width, int height) {
  return memcmp(a[0], b[0], sizeof(double) * width * height) == 0;
}
