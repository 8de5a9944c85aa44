// The matting Laplacian of one image.
#pragma once

#include "engine/tiff.h"
#include "sparse/qmatrix.h"

// Builds the symmetric N x N matting Laplacian (N = height * width, pixels
// numbered column-major: index = column * height + row, 1-based in the
// matrix), upper triangle only, rows sorted with the diagonal first. Windows
// whose eroded constraint mask is non-zero are skipped. epsilon < 1e-7 and
// r < 1 are raised to those floors. The caller owns the matrix (Q_Destr).
QMatrix getLaplacian1(const TIFF_img *image, const double *const *mask, double epsilon, int r);

// The pixels whose rows getLaplacian1 fills for this mask (height x width,
// [row][column]) and radius: those that some built window holds. Cheaper
// than building the matrix: for sizing a solve before it is built.
long pixelsInBuiltWindows(const double *const *mask, int height, int width, int r);
