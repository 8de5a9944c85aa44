// Image pyramid helpers for the coarse-to-fine driver.
#pragma once

#include "engine/tiff.h"

TIFF_img downSmpIm(TIFF_img *image, int r);
double **downSmpArr(double **array, int height, int width, int r);
void scale2_255(double **array, int width, int height);

// The deepest pyramid (number of levels, at least 1) a region of
// width x height allows for window radius win_size.
int max_pyramid_levels(int width, int height, int win_size);
