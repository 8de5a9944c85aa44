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

#include <cstdio>

#include "engine/tiff.h"

// Returns a new H x W matte [row][column] (nominally 0..1, a finer level that
// is only upsampled may stray slightly outside; free with free_img). mask and
// values are the caller's and may be changed in place (the finest level's
// refinement writes into them when it is solved). *status receives the
// UMFPACK status of the last (finest) solve.
double **solveAlphaC2F(TIFF_img *image, double **mask, double **values,
                       int levels_num, int Active_levels_num, double threshold,
                       double epsilon, int win_size, int *status);

// The number of levels solveAlphaC2F runs with when asked for levels_num
// (below 1 counts as 1): no deeper than max_pyramid_levels allows for the
// picture's size and win_size, and no deeper than the down-sampled mask and
// values still hold a background and a foreground constraint
// (max_constraint_levels). mask and values are not changed.
int c2f_levels_allowed(TIFF_img *image, double **mask, double **values,
                       int levels_num, int win_size);

// Progress reporting. Process-wide; set them before a calculation starts and
// leave them alone while it runs (the driver reads them on the worker thread).
//
// c2f_level_stream: where the line "levels_num %d Active_levels_num %d\n" goes,
// once per down-sampling, finest first. Default stdout (the window's
// behaviour); nullptr writes no lines.
extern FILE *c2f_level_stream;

// c2f_progress: optional callback (default nullptr) called on the worker
// thread before each stage with the stage name, the pyramid level it works on
// (1 = the full-size picture, levels = the coarsest) and the number of levels.
// Stages: "down-sampling" (level -> level + 1), "solving" (level),
// "upsampling" (level + 1 -> level). user is c2f_progress_user.
typedef void (*c2f_progress_fn)(const char *stage, int level, int levels,
                                void *user);
extern c2f_progress_fn c2f_progress;
extern void *c2f_progress_user;
