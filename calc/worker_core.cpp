#include "calc/worker_core.h"

#include <algorithm>

#include "calc/c2f_driver.h"
#include "calc/foreground_colours.h"
#include "calc/level_suggestion.h"
#include "calc/solver_status.h"
#include "engine/allocate.h"
#include "engine/pyramid.h"

// The status a calculation reports if no solve ever overwrites it: UMFPACK's
// "invalid numeric object", the advice to make the problem smaller.
static const int32_t kStatusNotSolved = -3;

int worker_levels_for_region(int width, int height, const option_args *opts) {
  const int asked = std::max(opts->levels_num, 1);
  return std::min(asked, max_pyramid_levels(width, height, opts->win_size));
}

static void store_result(double **alpha, int width, int height, TIFF_img *result) {
  get_TIFF_checked(result, height, width, 'g');
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) result->plane[y][x] = (unsigned char)(int)alpha[y][x];
}

// What the user can be told after a failure: the memory check's figures
// and, after a failure for memory, settings that make the problem smaller.
static failure_details explain_failure(const solve_outcome *solved, TIFF_img *image, double **mask,
                                       double **values, const option_args *used) {
  failure_details details = {};
  details.needed_bytes = solved->needed_bytes;
  details.available_bytes = solved->available_bytes;
  if (!failed_for_memory(solved->status)) return details;
  const level_suggestion s = suggest_levels(image, mask, values, used->win_size);
  if (s.levels != used->levels_num || s.active != used->Active_levels_num) details.suggested = s;
  return details;
}

worker_outcome worker_core_run(TIFF_img *image, double **constraint_mask,
                               double **constraint_values, const c2f_config *config,
                               TIFF_img *result, TIFF_img *colours) {
  const int width = image->width, height = image->height;
  const option_args *opts = &config->options;
  worker_outcome outcome;
  outcome.levels_used = c2f_levels_allowed(image, constraint_mask, constraint_values,
                                           opts->levels_num, opts->win_size);
  outcome.levels_lowered = outcome.levels_used < opts->levels_num;
  c2f_config run = *config;
  run.options.levels_num = outcome.levels_used;
  run.options.Active_levels_num = std::min(opts->Active_levels_num, outcome.levels_used);
  solve_outcome solved;
  solved.status = kStatusNotSolved;
  double **alpha = c2f_run(image, constraint_mask, constraint_values, &run, &solved);
  outcome.status = solved.status;
  outcome.failure =
      explain_failure(&solved, image, constraint_mask, constraint_values, &run.options);
  scale2_255(alpha, width, height);
  store_result(alpha, width, height, result);
  if (colours != nullptr) {
    *colours = TIFF_img{};
    if (opts->estimate_foreground && !calculation_failed(outcome.status))
      store_foreground_colours(image, result, colours);
  }
  free_TIFF(image);
  free_img((void **)constraint_mask);
  free_img((void **)constraint_values);
  free_img((void **)alpha);
  return outcome;
}
