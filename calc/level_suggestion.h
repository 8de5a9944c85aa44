// Pyramid settings proposed for a calculation, from the region's size, the
// window radius and the constraints: what the options dialog's "Suggest"
// button fills in and what velorin-matte's --levels auto runs with.
//
// The rule: the deepest pyramid the driver allows for the region and its
// strokes (c2f_levels_allowed: whole windows on every level, and a
// background and a foreground constraint left after each down-sampling),
// no deeper than keeps 40 pixels on the coarsest level's shorter side, with
// every level solved.
#pragma once

#include "engine/tiff.h"

struct level_suggestion {
  int levels;  // pyramid levels, at least 1
  int active;  // levels solved, counted from the coarsest; 1..levels
};

// The proposal for `image` (the calculation region, h x w) under the
// constraint mask and values (h x w doubles, [row][column], not changed)
// with window radius win_size. A region without both a background and a
// foreground constraint gets 1 level. Cheap: a few down-samplings of the
// mask and values, no solve.
level_suggestion suggest_levels(const TIFF_img *image, const double *const *mask,
                                const double *const *values, int win_size);
