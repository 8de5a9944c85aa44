// The stages of one alpha solve, on their own so that tests and benchmarks
// can reach each of them; solveAlpha runs them in order.
#pragma once

#include "sparse/qmatrix.h"
#include "sparse/vector.h"

// Weight of a constraint on the diagonal: large against the Laplacian's
// entries (at most a few units), so pinned pixels land close to their value.
extern const double kConstraintWeight;

// Adds kConstraintWeight * mask[y][x] to the diagonal of L (1-based,
// column-major pixel numbering) and sets d[k] = that weight * values[y][x].
// A constrained pixel with an empty row gets the 1 x 1 row (k, weight).
// mask and values are height x width arrays indexed [row][column]; d must
// have dimension height * width. Containers in an error state are left as
// they are.
void addConstraintWeights(QMatrix *L, Vector *d, double **mask,
                          double **values, int height, int width);

// The full symmetric matrix in compressed-column form for UMFPACK: column
// pointers Ap (n + 1), row indices Ai and values Ax (Ap[n] each), 0-based,
// row indices ascending within each column. Owns its arrays.
struct CompressedColumn {
  int n;
  int *Ap;
  int *Ai;
  double *Ax;
};

// Mirrors L (upper triangle, rows sorted, diagonal first) into `out`: both
// triangles, each off-diagonal element twice, the diagonal once. Returns
// false, with `out` empty, when the arrays cannot be allocated or the matrix
// has more elements than UMFPACK's int indices can count. L is not changed.
bool compressedColumnFromUpper(QMatrix *L, CompressedColumn *out);
void compressedColumnFree(CompressedColumn *matrix);

// Factors and solves A x = b with UMFPACK's default control: symbolic,
// numeric, solve, releasing each object as soon as it is no longer needed.
// b and x are 0-based arrays of A.n doubles; x is written only by the solve.
// Returns UMFPACK's status of the solve step (a failed factorisation shows
// there as an invalid numeric object).
int umfpackSolve(const CompressedColumn *A, const double *b, double *x);

// Solves the built system (L with its constraints, right-hand side d) into
// x and returns the clamped matte as a new height x width array [row][column]
// (free with free_img); *status gets umfpackSolve's status. L is released.
// When the container recorded an error while the system was built nothing is
// solved: the matte is all zeros and *status is UMFPACK_ERROR_out_of_memory.
double **matteFromSystem(QMatrix *L, Vector *d, Vector *x, int height,
                         int width, int *status);
