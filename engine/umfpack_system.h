// The Laplacian system in UMFPACK's form, and its solve.
#pragma once

#include "sparse/qmatrix.h"

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
