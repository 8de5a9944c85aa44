// One closed-form matting solve.
#pragma once

#include "engine/tiff.h"

// Solves for the matte of `image` with the constrained pixels (mask 1.0)
// pinned to their values. Returns a new height x width array of doubles
// clamped to 0..1 (free with free_img). *status receives UMFPACK's status
// (0 ok, 1 singular-matrix warning, negative: failure).
double **solveAlpha(TIFF_img *image, double **constraint_mask,
                    double **constraint_values, double epsilon, int r,
                    int *status);
