// Foreground and background colours behind a matte.
//
// A pixel at a soft edge mixes two colours, I = alpha F + (1 - alpha) B.
// Cutting it out with the picture's own colours carries the old background
// B into every new composite. estimateForeground recovers F (and B) for
// every pixel by minimising, over the whole picture,
//
//   sum_i (alpha_i F_i + (1 - alpha_i) B_i - I_i)^2
//   + sum over 4-neighbour pairs (i, j) of
//     (regularisation + |alpha_i - alpha_j|) (|F_i - F_j|^2 + |B_i - B_j|^2)
//
// coarse to fine: the picture and alpha are resampled to levels from 1 x 1
// up to the full size in geometric steps; each level starts from the coarser
// level's F and B and runs a few Gauss-Seidel sweeps, in which every pixel
// solves its own 2 x 2 system per channel for its F and B with its
// neighbours' current values fixed, clamped to 0..1. Where alpha is 1 the
// data pins F to the picture and B is carried in smoothly from the
// background (and the other way round where alpha is 0).
//
// Everything is defined for every picture of at least 1 x 1 and any alpha:
// no pixel's system is singular except one without neighbours (a 1 x 1
// level), which keeps F = B = its picture colour.
#pragma once

#include "engine/tiff.h"

// The constants of the method; FOREGROUND_DEFAULTS holds the measured ones.
struct foreground_params {
  float regularisation;  // added to every neighbour weight; must be > 0
  int sweeps;            // Gauss-Seidel sweeps on the larger levels
  int small_sweeps;      // sweeps on the levels with both sides <= small_side
  int small_side;
  double level_step;  // size ratio of successive levels; must be > 1
};

extern const foreground_params FOREGROUND_DEFAULTS;

// Estimates F and B for an h x w picture.
//   image: a 'c' record (8-bit R, G, B planes [row][column]); not changed.
//   alpha: h rows of w samples 0..255 [row][column] (a 'g' record's plane);
//          not changed.
//   foreground: h * w * 3 floats filled with F in 0..1, pixel (y, x) channel
//          c at ((y * w + x) * 3 + c).
//   background: likewise for B, or null when B is not wanted.
// Working memory peaks at about 50 bytes per pixel besides the outputs
// (picture, alpha, F and B of the finest level as floats, and the coarser
// level's F and B); an exhausted heap ends the process like every engine
// allocation.
void estimateForeground(const TIFF_img *image, const unsigned char *const *alpha, float *foreground,
                        float *background, const foreground_params *params = &FOREGROUND_DEFAULTS);
