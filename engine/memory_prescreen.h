// A quick look, before anything of a large picture is built, at whether its
// factorisation can fit into memory at all.
#pragma once

#include "engine/solve_alpha.h"
#include "engine/tiff.h"

// Problems that factor fewer rows are not looked at: for them the exact
// check after the analysis (factorisationFits) comes within a few seconds.
extern const long kPrescreenRows;
// Nor are pictures with fewer rows or columns than this.
extern const int kShortestPrescreenSide;

// An estimate, from below, of the bytes of the factor choleskySolve would
// compute for the problem: the problem two pyramid levels down (about a
// sixteenth of the pixels) is analysed, and its factor per factored row is
// carried over to `rows`, the rows of the whole problem
// (pixelsInBuiltWindows). 0 when it cannot be told. image, mask and values
// as solveAlphaWith takes them (at least kShortestPrescreenSide rows and
// columns); none is changed.
double factorBytesFromTwoLevelsDown(const TIFF_img *image, const double *const *mask,
                                    const double *const *values, double epsilon, int r, long rows);

// For a problem that factors at least kPrescreenRows rows: checks that
// estimate with factorisationFits (which fills outcome's figures). True when
// it fits or the problem is not looked at; false: refused.
bool largeSolveMayFit(const TIFF_img *image, const double *const *mask, const double *const *values,
                      double epsilon, int r, const solve_settings *settings,
                      solve_outcome *outcome);
