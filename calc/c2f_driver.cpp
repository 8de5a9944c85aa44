#include "calc/c2f_driver.h"

#include <algorithm>

#include "engine/allocate.h"
#include "engine/pyramid.h"
#include "engine/solve_alpha.h"
#include "engine/upsample.h"

// Below this the upsampled matte's near-0 and near-1 parts are too noisy to
// serve as constraints.
static const double kThresholdFloor = 0.02;
static const int kDownRadius = 2;
// Radius of the erosion that keeps only confident pixels whose whole 3 x 3
// neighbourhood agrees.
static const int kErodeRadius = 1;
static const double kCutOff = 0.5;

FILE *c2f_level_stream = stdout;
c2f_progress_fn c2f_progress = nullptr;
void *c2f_progress_user = nullptr;

// One pyramid level as the recursion sees it: level 1 is the full-size
// picture, levels the depth of the whole pyramid (for progress only).
struct level_pos {
  int level;
  int levels;
};

static void report(const char *stage, level_pos pos) {
  if (c2f_progress) c2f_progress(stage, pos.level, pos.levels, c2f_progress_user);
}

static double **binary_map(int width, int height) {
  return (double **)get_img(width, height, sizeof(double));
}

// Turns the upsampled matte's confident parts into constraints: pixels whose
// 3 x 3 neighbourhood is all above 1 - threshold become foreground (1.0),
// all below threshold background (0.0); an existing constraint of 0.5 or
// more is raised to 1.0, one below keeps its value.
static void refine_constraints(double **up, double **mask, double **values,
                               int width, int height, double threshold) {
  double **T = binary_map(width, height);
  double **F = binary_map(width, height);
  double **B = binary_map(width, height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const double u = up[y][x];
      const double t = values[y][x] + (1.0 - mask[y][x]) * u;
      T[y][x] = t >= kCutOff ? 1.0 : 0.0;
      F[y][x] = u > 1.0 - threshold ? 1.0 : 0.0;
      B[y][x] = u < threshold ? 1.0 : 0.0;
    }
  double **F_eroded = imerode(F, width, height, kErodeRadius);
  double **B_eroded = imerode(B, width, height, kErodeRadius);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (F_eroded[y][x] == 1.0 || B_eroded[y][x] == 1.0) mask[y][x] = 1.0;
      if (mask[y][x] == 1.0 && T[y][x] == 1.0) values[y][x] = 1.0;
    }
  free_img((void **)T);
  free_img((void **)F);
  free_img((void **)B);
  free_img((void **)F_eroded);
  free_img((void **)B_eroded);
}

// Matte of the level below this one, upsampled onto this level's picture.
static double **coarse_matte_upsampled(TIFF_img *image, double **mask,
                                       double **values, int N, int A,
                                       double threshold, double epsilon,
                                       int win_size, int *status,
                                       level_pos pos);

static double **solve_level(TIFF_img *image, double **mask, double **values,
                            int N, int A, double threshold, double epsilon,
                            int win_size, int *status, level_pos pos) {
  if (N > 1) {
    double **up = coarse_matte_upsampled(image, mask, values, N, A, threshold,
                                         epsilon, win_size, status, pos);
    if (A < N) return up;  // this level is not solved
    refine_constraints(up, mask, values, image->width, image->height,
                       threshold);
    free_img((void **)up);
  }
  report("solving", pos);
  return solveAlpha(image, mask, values, epsilon, win_size, status);
}

static double **coarse_matte_upsampled(TIFF_img *image, double **mask,
                                       double **values, int N, int A,
                                       double threshold, double epsilon,
                                       int win_size, int *status,
                                       level_pos pos) {
  const int H = image->height, W = image->width;
  report("down-sampling", pos);
  TIFF_img coarse = downSmpIm(image, kDownRadius);
  double **coarse_mask = downSmpArr(mask, H, W, kDownRadius);
  double **coarse_values = downSmpArr(values, H, W, kDownRadius);
  if (c2f_level_stream)
    fprintf(c2f_level_stream, "levels_num %d Active_levels_num %d\n", N, A);
  const level_pos below = {pos.level + 1, pos.levels};
  double **coarse_matte =
      solve_level(&coarse, coarse_mask, coarse_values, N - 1,
                  std::min(N - 1, A), threshold, epsilon, win_size, status,
                  below);
  report("upsampling", pos);
  double **up =
      upSampleAlphaUsingImg(coarse_matte, &coarse, image, epsilon, win_size);
  free_img((void **)coarse_mask);
  free_img((void **)coarse_values);
  free_img((void **)coarse_matte);
  free_TIFF(&coarse);
  return up;
}

int c2f_levels_allowed(TIFF_img *image, double **mask, double **values,
                       int levels_num, int win_size) {
  // Deeper than the picture allows, levels would be too small for the kernel
  // or the windows; deeper than the strokes survive, a level would have
  // nothing to pin its matte to.
  const int by_size = max_pyramid_levels(image->width, image->height, win_size);
  const int asked = std::min(std::max(levels_num, 1), by_size);
  return max_constraint_levels(mask, values, image->width, image->height,
                               asked);
}

double **solveAlphaC2F(TIFF_img *image, double **mask, double **values,
                       int levels_num, int Active_levels_num, double threshold,
                       double epsilon, int win_size, int *status) {
  threshold = std::max(threshold, kThresholdFloor);
  Active_levels_num = std::max(Active_levels_num, 1);
  levels_num = c2f_levels_allowed(image, mask, values, levels_num, win_size);
  const level_pos top = {1, levels_num};
  return solve_level(image, mask, values, levels_num, Active_levels_num,
                     threshold, epsilon, win_size, status, top);
}
