// Guided upsampling of a matte through local linear colour models.
//
// Mattes are row-table arrays of doubles indexed [row][column]; coefficient
// stacks are 3-D arrays from multialloc_init indexed [row][column][e]
// (release with multifree(stack, 3)). A colour image ('c', or 'a' whose alpha
// is ignored) has c = 3 channels, any other type c = 1. Colours enter the
// models scaled to 0..1.
//
// Failures end the process: a normal matrix that is not positive definite
// (status 1), a singular factor (status 1), and misuse that the pyramid never
// produces (status -1): an image smaller than one window, coarse and fine
// sizes that do not fit a factor of two, or a factor other than 2.
#pragma once

#include "engine/tiff.h"

// Fits per coarse window a = slopes, b = offset of alpha ~ a . colour + b
// (ridge epsilon on the slopes, window radius r) and upsamples the
// coefficients by two onto bigImage, evaluating them with its colours.
// Returns a new bigImage-sized matte (free with free_img), not clamped.
// image must have at least 2r + 1 rows and columns; bigImage must be the
// finer pyramid level of image and have the same channel count.
double **upSampleAlphaUsingImg(const double *const *alpha, const TIFF_img *image,
                               const TIFF_img *bigImage, double epsilon, int r);

// The coefficient stack [h][w][c + 1] of an h x w matte and image: entries
// 0..c-1 are the slopes, entry c the offset. Pixels within r of the border
// copy the nearest interior window's coefficients.
double ***getLinearCoeff(const double *const *alpha, const TIFF_img *image, double epsilon, int r);

// Upsamples a [h][w][d] stack to [H2][W2][d] with the separable five-tap
// kernel 1/8, 1/2, 3/4, 1/2, 1/8 (f must be 2). Coarse sample i lands on
// fine position 2i + off, off = (H2 - 2h + 1) / 2 on both axes; the lattice
// is extended to the borders with its own edge values.
double ***upSmpArr(double ***coeff, int h, int w, int d, int H2, int W2, int f);
