// Affinity weights of one image window for the matting Laplacian.
//
// A window is the (2r+1) x (2r+1) square centred at (row y, column x); its n
// pixels are numbered k = (dx + r) * (2r + 1) + (dy + r), column offset dx
// outer, row offset dy inner, which is ascending column-major pixel index.
// Colours are taken as 0..1 (8-bit sample / 255). The arithmetic follows the
// plain dense-routine formulation step by step, so the weights are bitwise
// those of the straightforward construction.
#pragma once

#include "engine/allocate.h"
#include "engine/tiff.h"

// Working arrays of one window, allocated once and reused for every window.
// The record owns them: they go with it.
struct WindowWork {
  int n = 0;                  // pixels per window, (2r+1)^2
  int c = 0;                  // channels: 3 for 'c' and 'a' pictures, else 1
  ScratchBlock<double> winI;  // n x c row-major: the window's colours, then centred
  ScratchBlock<double> T;     // n x c: centred colours times the inverse covariance
  ScratchBlock<double> V;     // n x n row-major: affinities; only j >= i is filled
  double mu[3];               // channel means
  double S[9];                // c x c covariance, then its inverse
  double P[9];                // c x c product mu mu^T
};

// Channel count the Laplacian uses for this picture.
int windowChannels(const TIFF_img *image);

// Sizes the record for radius r and `channels` channels (zeroed arrays).
void windowWorkInit(WindowWork *work, int r, int channels);

// The picture's samples the windows read, column-major and interleaved:
// sample (row y, column x, channel ch) at (x * height + y) * c + ch, with c
// from windowChannels. Windows walk down columns, so this keeps each one's
// samples in a few cache lines. Caller frees the block with free().
unsigned char *columnMajorSamples(const TIFF_img *image);

// Fills work->V[i][j], j >= i, with the window's affinities
// (1 + (I_i - mu)^T (S + epsilon/n Id)^-1 (I_j - mu)) / n for the window
// centred at (y, x), which must lie wholly inside the picture; `samples`
// comes from columnMajorSamples of a picture `height` rows high. A covariance
// that cannot be factored ends the process with exit status 1.
void windowWeights(WindowWork *work, const unsigned char *samples, int height, int y, int x, int r,
                   double epsilon);
