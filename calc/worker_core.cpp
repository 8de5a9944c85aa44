#include "calc/worker_core.h"

#include <algorithm>

#include "calc/c2f_driver.h"
#include "calc/foreground_colours.h"
#include "engine/allocate.h"
#include "engine/pyramid.h"

// The status a calculation reports if no solve ever overwrites it: UMFPACK's
// "invalid numeric object", the advice to make the problem smaller.
static const int32_t kStatusNotSolved = -3;

int worker_levels_for_region(int width, int height, const option_args *opts) {
  const int asked = std::max(opts->levels_num, 1);
  return std::min(asked, max_pyramid_levels(width, height, opts->win_size));
}

static void store_result(double **alpha, int width, int height,
                         TIFF_img *result) {
  get_TIFF(result, height, width, 'g');
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      result->plane[y][x] = (unsigned char)(int)alpha[y][x];
}

worker_outcome worker_core_run(TIFF_img *image, double **constraint_mask,
                               double **constraint_values,
                               const c2f_config *config, TIFF_img *result,
                               TIFF_img *colours) {
  const int width = image->width, height = image->height;
  const option_args *opts = &config->options;
  worker_outcome outcome;
  outcome.levels_used =
      c2f_levels_allowed(image, constraint_mask, constraint_values,
                         opts->levels_num, opts->win_size);
  outcome.levels_lowered = outcome.levels_used < opts->levels_num;
  c2f_config run = *config;
  run.options.levels_num = outcome.levels_used;
  run.options.Active_levels_num =
      std::min(opts->Active_levels_num, outcome.levels_used);
  int status = kStatusNotSolved;
  double **alpha =
      c2f_run(image, constraint_mask, constraint_values, &run, &status);
  outcome.status = status;
  scale2_255(alpha, width, height);
  store_result(alpha, width, height, result);
  if (colours != nullptr) {
    *colours = TIFF_img{};
    if (opts->estimate_foreground && status != C2F_STATUS_CANCELLED)
      store_foreground_colours(image, result, colours);
  }
  free_TIFF(image);
  free_img((void **)constraint_mask);
  free_img((void **)constraint_values);
  free_img((void **)alpha);
  return outcome;
}
