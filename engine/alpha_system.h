// The stages of one alpha solve, on their own so that tests and benchmarks
// can reach each of them; solveAlpha runs them in order.
#pragma once

#include "engine/solve_alpha.h"
#include "sparse/qmatrix.h"
#include "sparse/vector.h"

// Weight of a constraint on the diagonal: large against the Laplacian's
// entries, which stay of the order of one, so pinned pixels land close to
// their values.
extern const double kConstraintWeight;

// Adds kConstraintWeight * mask[y][x] to the diagonal of L (1-based,
// column-major pixel numbering) and sets d[k] = that weight * values[y][x].
// A constrained pixel with an empty row gets the 1 x 1 row (k, weight); or,
// when `outside` is given, no row: its weight goes to outside[k] instead,
// and every other component of `outside` becomes 0 (the Cholesky path takes
// such rows apart anyway, and building millions of one-entry rows costs
// more than the rest of a trimap's system). mask and values are
// height x width arrays indexed [row][column]; d and outside must have
// dimension height * width. Containers in an error state are left as they
// are.
void addConstraintWeights(QMatrix *L, Vector *d, const double *const *mask,
                          const double *const *values, int height, int width,
                          Vector *outside = nullptr);

// Adds the constraints to the Laplacian L in the form the settings' solver
// takes, solves the system into x (right-hand side in d; both of dimension
// height * width) and returns the clamped matte as a new height x width
// array [row][column] (free with free_img); outcome as solveAlphaWith
// describes it. L is released. When the container records an error while
// the system is built nothing is solved: the status is
// UMFPACK_ERROR_out_of_memory. After any failure the matte is all zeros.
double **matteFromLaplacian(QMatrix *L, Vector *d, Vector *x, const double *const *mask,
                            const double *const *values, int height, int width,
                            const solve_settings *settings, solve_outcome *outcome);
