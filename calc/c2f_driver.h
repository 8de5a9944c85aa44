// The coarse-to-fine matting driver.
#pragma once

#include "engine/tiff.h"

// Returns a new H x W matte (nominally 0..1; free with free_img). mask and
// values are the caller's and may be changed in place.
double **solveAlphaC2F(TIFF_img *image, double **mask, double **values,
                       int levels_num, int Active_levels_num, double threshold,
                       double epsilon, int win_size, int *status);
