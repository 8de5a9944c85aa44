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

// What every level of one run shares: the caller's configuration, the
// floored threshold, the outcome that each solve overwrites, and whether the
// run has stopped (cancelled, or a solve failed).
struct c2f_context {
  const c2f_config *config;
  double threshold;
  solve_outcome *outcome;
  bool stopped;
};

// One pyramid level as the recursion sees it: N levels from here down, of
// which the A coarsest are solved; level 1 is the full-size picture, levels
// the depth of the whole pyramid (for progress only).
struct level_pos {
  int N, A;
  int level, levels;
};

// Reports the stage about to start; false when the run has stopped: a
// solve failed (its outcome stays), or the run has been cancelled (the
// status then says so).
static bool begin_stage(c2f_context *ctx, const char *stage, level_pos pos) {
  const c2f_config *config = ctx->config;
  if (ctx->stopped) return false;
  if (config->cancel && config->cancel->load()) {
    *ctx->outcome = solve_outcome();
    ctx->outcome->status = C2F_STATUS_CANCELLED;
    ctx->stopped = true;
    return false;
  }
  if (config->progress) config->progress(stage, pos.level, pos.levels, config->progress_user);
  return true;
}

static ScratchArray<double> binary_map(int width, int height) {
  return ScratchArray<double>((double **)get_img(width, height, sizeof(double)));
}

static double **zero_matte(const TIFF_img *image) {
  return (double **)get_init_arr(image->width, image->height, sizeof(double));
}

void c2f_refine_constraints(double **up, double **mask, double **values, int width, int height,
                            double threshold) {
  const ScratchArray<double> T = binary_map(width, height);
  const ScratchArray<double> F = binary_map(width, height);
  const ScratchArray<double> B = binary_map(width, height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const double u = up[y][x];
      const double t = values[y][x] + (1.0 - mask[y][x]) * u;
      T[y][x] = t >= kCutOff ? 1.0 : 0.0;
      F[y][x] = u > 1.0 - threshold ? 1.0 : 0.0;
      B[y][x] = u < threshold ? 1.0 : 0.0;
    }
  const ScratchArray<double> F_eroded(imerode(F.get(), width, height, kErodeRadius));
  const ScratchArray<double> B_eroded(imerode(B.get(), width, height, kErodeRadius));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (F_eroded[y][x] == 1.0 || B_eroded[y][x] == 1.0) mask[y][x] = 1.0;
      if (mask[y][x] == 1.0 && T[y][x] == 1.0) values[y][x] = 1.0;
    }
}

static double **coarse_matte_upsampled(c2f_context *ctx, const TIFF_img *image, double **mask,
                                       double **values, level_pos pos);

static double **solve_level(c2f_context *ctx, const TIFF_img *image, double **mask, double **values,
                            level_pos pos) {
  const option_args *opts = &ctx->config->options;
  if (pos.N > 1) {
    double **up = coarse_matte_upsampled(ctx, image, mask, values, pos);
    // Not solved at this level, or stopped below it: an empty matte must not
    // become constraints.
    if (pos.A < pos.N || ctx->stopped) return up;
    c2f_refine_constraints(up, mask, values, image->width, image->height, ctx->threshold);
    free_img((void **)up);
  }
  if (!begin_stage(ctx, "solving", pos)) return zero_matte(image);
  solve_settings settings;
  settings.solver = static_cast<solver_choice>(opts->solver);
  settings.memory_limit = ctx->config->memory_limit;
  settings.cancel = ctx->config->cancel;
  double **matte =
      solveAlphaWith(image, mask, values, opts->epsilon, opts->win_size, &settings, ctx->outcome);
  ctx->stopped = ctx->outcome->status < 0;
  return matte;
}

static double **coarse_matte_upsampled(c2f_context *ctx, const TIFF_img *image, double **mask,
                                       double **values, level_pos pos) {
  const int H = image->height, W = image->width;
  if (!begin_stage(ctx, "down-sampling", pos)) return zero_matte(image);
  TIFF_img coarse = downSmpIm(image, kDownRadius);
  double **coarse_mask = downSmpArr(mask, H, W, kDownRadius);
  double **coarse_values = downSmpArr(values, H, W, kDownRadius);
  FILE *lines = ctx->config->level_stream;
  if (lines) fprintf(lines, "levels_num %d Active_levels_num %d\n", pos.N, pos.A);
  const level_pos below = {pos.N - 1, std::min(pos.N - 1, pos.A), pos.level + 1, pos.levels};
  double **coarse_matte = solve_level(ctx, &coarse, coarse_mask, coarse_values, below);
  double **up = nullptr;
  if (begin_stage(ctx, "upsampling", pos)) {
    const option_args *opts = &ctx->config->options;
    up = upSampleAlphaUsingImg(coarse_matte, &coarse, image, opts->epsilon, opts->win_size);
  } else {
    up = zero_matte(image);
  }
  free_img((void **)coarse_mask);
  free_img((void **)coarse_values);
  free_img((void **)coarse_matte);
  free_TIFF(&coarse);
  return up;
}

int c2f_levels_allowed(const TIFF_img *image, const double *const *mask,
                       const double *const *values, int levels_num, int win_size) {
  // Deeper than the picture allows, levels would be too small for the kernel
  // or the windows; deeper than the strokes survive, a level would have
  // nothing to pin its matte to.
  const int by_size = max_pyramid_levels(image->width, image->height, win_size);
  const int asked = std::min(std::max(levels_num, 1), by_size);
  return max_constraint_levels(mask, values, image->width, image->height, asked);
}

double **c2f_run(const TIFF_img *image, double **mask, double **values, const c2f_config *config,
                 solve_outcome *outcome) {
  const option_args *opts = &config->options;
  c2f_context ctx = {config, std::max(opts->threshold, kThresholdFloor), outcome, false};
  const int N = c2f_levels_allowed(image, mask, values, opts->levels_num, opts->win_size);
  const level_pos top = {N, std::max(opts->Active_levels_num, 1), 1, N};
  return solve_level(&ctx, image, mask, values, top);
}

double **solveAlphaC2F(const TIFF_img *image, double **mask, double **values, int levels_num,
                       int Active_levels_num, double threshold, double epsilon, int win_size,
                       int *status) {
  c2f_config config;
  config.options.levels_num = levels_num;
  config.options.Active_levels_num = Active_levels_num;
  config.options.threshold = threshold;
  config.options.epsilon = epsilon;
  config.options.win_size = win_size;
  config.level_stream = stdout;
  solve_outcome outcome;
  outcome.status = *status;
  double **matte = c2f_run(image, mask, values, &config, &outcome);
  *status = outcome.status;
  return matte;
}
