// Small synthetic matting problems for the calculation tests.
#pragma once

#include "calc/engine_input.h"

// A width x height picture: dark left, bright right with a soft ramp in the
// middle third, some colour texture; background constraints (0.0) on the
// left third of the columns, foreground (1.0) on the right third. Arrays as
// read_engine_input makes them; release with free_engine_input.
engine_input make_split_scene(int width, int height);

// A copy of a width x height array of doubles (free with free_img).
double **copy_array(double **a, int width, int height);

// Whether two width x height arrays hold the same doubles bit for bit.
bool same_array(double **a, double **b, int width, int height);
