// The coarse-to-fine matting driver.
//
// With levels_num = N and Active_levels_num = A it down-samples the picture
// and the constraints N - 1 times (radius 2), solves the coarsest level, and
// on the way up upsamples each coarser matte guided by the finer picture; the
// A coarsest levels are solved again with the confident parts of the
// upsampled matte as extra constraints, the finer ones are only upsampled.
// A threshold below 0.02 counts as 0.02 and A below 1 as 1. N is lowered to
// c2f_levels_allowed if it asks for a deeper pyramid than the picture and its
// constraints allow.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "calc/options.h"
#include "engine/solve_alpha.h"
#include "engine/tiff.h"

// Called on the worker thread before each stage with the stage name, the
// pyramid level it works on (1 = the full-size picture, levels = the
// coarsest) and the number of levels. Stages: "down-sampling" (level ->
// level + 1), "solving" (level), "upsampling" (level + 1 -> level).
typedef void (*c2f_progress_fn)(const char *stage, int level, int levels, void *user);

// Everything one run of the driver is told. Read on the worker thread; the
// caller keeps it (and what it points to) alive and unchanged for the run,
// except *cancel, which may be set from any thread.
struct c2f_config {
  // levels_num, Active_levels_num, epsilon, threshold, win_size and solver
  // steer the run; the picture size fields are not used.
  option_args options = {};
  // The most memory each solve's factorisation may bring the process to, in
  // bytes; 0: what the system has available (see solve_settings).
  uint64_t memory_limit = 0;
  // Where the line "levels_num %d Active_levels_num %d\n" goes, once per
  // down-sampling, finest first; nullptr writes no lines.
  FILE *level_stream = nullptr;
  c2f_progress_fn progress = nullptr;  // optional
  void *progress_user = nullptr;       // handed to progress
  // Optional: once it reads true the run stops at the next stage boundary,
  // inside a solve too, and reports C2F_STATUS_CANCELLED (engine/solve_alpha.h).
  const std::atomic<bool> *cancel = nullptr;
};

// Returns a new H x W matte [row][column] (nominally 0..1, a finer level that
// is only upsampled may stray slightly outside; free with free_img). mask and
// values are the caller's and may be changed in place (the finest level's
// refinement writes into them when it is solved). *outcome receives the
// outcome of the last (finest) solve. A solve that fails (negative status:
// a solver failure, a refusal for memory, a cancel) ends the run there with
// its outcome and an all-zero matte: a coarse failure must not be spread
// over the finer levels as if it were a matte.
double **c2f_run(const TIFF_img *image, double **mask, double **values, const c2f_config *config,
                 solve_outcome *outcome);

// The driver with its fixed behaviour: the level lines on standard output, no
// progress callback, no cancel.
double **solveAlphaC2F(const TIFF_img *image, double **mask, double **values, int levels_num,
                       int Active_levels_num, double threshold, double epsilon, int win_size,
                       int *status);

// The number of levels solveAlphaC2F runs with when asked for levels_num
// (below 1 counts as 1): no deeper than max_pyramid_levels allows for the
// picture's size and win_size, and no deeper than the down-sampled mask and
// values still hold a background and a foreground constraint
// (max_constraint_levels). mask and values are not changed.
int c2f_levels_allowed(const TIFF_img *image, const double *const *mask,
                       const double *const *values, int levels_num, int win_size);

// The refinement of a solved level below the coarsest: turns the upsampled
// matte `up`'s confident parts into constraints, in place in mask and values
// (all width x height, [row][column]). Pixels whose whole 3 x 3 neighbourhood
// is above 1 - threshold become foreground constraints (1.0), all below
// threshold background ones (0.0); an existing constraint of 0.5 or more is
// raised to 1.0, one below keeps its value.
void c2f_refine_constraints(double **up, double **mask, double **values, int width, int height,
                            double threshold);
