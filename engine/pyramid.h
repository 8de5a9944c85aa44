// Image pyramid helpers for the coarse-to-fine driver.
//
// Down-sampling by two with a binomial kernel of radius r (r = 1: taps
// 1/4, 1/2, 1/4; r = 2: 1/16, 1/4, 3/8, 1/4, 1/16). A size n becomes
// downSmpSize(n, r) = (n - 2r) / 2 + n mod 2; input sample (2i + r) is the
// centre of output sample i. Inputs must have at least 2r + 1 rows and
// columns (otherwise the process ends with status -1); r > 2 ends the process
// with status -1 as well.
#pragma once

#include "engine/tiff.h"

// Size (rows or columns) of the level below one of n samples.
int downSmpSize(int n, int r);

// Returns a new record (planes from get_TIFF, release with free_TIFF): 'c'
// for a 'c' or 'a' input (an alpha plane is ignored), 'g' otherwise. Samples
// are the weighted sums truncated toward zero and clamped to 0..255.
TIFF_img downSmpIm(const TIFF_img *image, int r);

// Returns a new zero-initialised array [row][column] of the down-sampled size
// (free with free_img) holding 1.0 where the weighted sum is at least 0.5 and
// 0.0 elsewhere.
double **downSmpArr(const double *const *array, int height, int width, int r);

// In place, a matte in 0..1 becomes 0..255: above 1 (or NaN) -> 255, else
// v * 255, negative -> 0.
void scale2_255(double **array, int width, int height);

// The deepest pyramid (number of levels, at least 1) a region of
// width x height allows for window radius win_size: every level that is
// down-sampled has at least 5 rows and columns, and every level below the
// first has at least 2 * max(win_size, 1) + 1 rows and columns. Whether the
// region itself is large enough for one window is the caller's check.
int max_pyramid_levels(int width, int height, int win_size);

// The deepest pyramid (at most `levels`, at least 1) whose every level below
// the first still holds a background constraint (mask 1, value 0) and a
// foreground one (mask 1, value 1) after down-sampling the caller's mask and
// values (width x height, [row][column], not changed). Thin strokes vanish
// when down-sampled; a level without both kinds would be solved to a
// meaningless matte that the refinement then spreads over the finer levels.
int max_constraint_levels(const double *const *mask, const double *const *values, int width,
                          int height, int levels);
