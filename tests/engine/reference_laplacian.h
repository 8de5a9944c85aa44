// The matting Laplacian built the plain way, as the yardstick for the fast
// construction: every window is merged into its sorted rows (each row
// reallocated at every merge) and the diagonal is found by element lookups.
// Same arguments, result and ownership as getLaplacian1.
#pragma once

#include "engine/tiff.h"
#include "sparse/qmatrix.h"

QMatrix referenceLaplacian(TIFF_img *image, double **mask, double epsilon, int r);
