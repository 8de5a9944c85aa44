// A quick look, before anything of a large picture is built, at whether its
// factorisation can fit into memory at all.
#pragma once

#include "engine/solve_alpha.h"
#include "engine/tiff.h"

// Pictures with fewer pixels are not looked at: for them the exact check
// after the analysis (factorisationFits) comes within a few seconds.
extern const long kPrescreenPixels;

// For a picture of at least kPrescreenPixels: the same problem two pyramid
// levels down (about a sixteenth of the pixels) is built and analysed, and
// its factorisation's memory times the ratio of the pixel counts is checked
// with factorisationFits (which fills outcome's figures). The fill of these
// factors grows at least in proportion to the pixels, so that product stays
// below the real need: a refusal here is certain, a pass leaves the decision
// to the exact check. True (fits, or not looked at) or false (refused).
// image, mask and values as solveAlphaWith takes them; none is changed.
bool largeSolveMayFit(TIFF_img *image, double **mask, double **values,
                      double epsilon, int r, const solve_settings *settings,
                      solve_outcome *outcome);
