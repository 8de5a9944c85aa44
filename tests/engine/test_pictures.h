// Small deterministic pictures and arrays for the engine tests.
#pragma once

#include "engine/tiff.h"

// A 'c' (or 'g') picture of uniform random samples from a fixed seed.
TIFF_img noisePicture(int height, int width, char type, unsigned seed);

// A 'c' picture whose samples all equal `grey`.
TIFF_img flatPicture(int height, int width, unsigned char grey);

// A height x width array of doubles, every element `value` (free_img).
double **filledArray(int height, int width, double value);
