// The Laplacian system in UMFPACK's form, and its solve.
#pragma once

#include "engine/solve_alpha.h"
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
bool compressedColumnFromUpper(const QMatrix *L, CompressedColumn *out);
void compressedColumnFree(CompressedColumn *matrix);

// Factors and solves A x = b with UMFPACK's default control, one step at a
// time, releasing each object as soon as it is no longer needed: the
// symbolic analysis; then, unless the settings' cancel flag is up or
// UMFPACK's own estimate of the factorisation's memory does not fit
// (factorisationFits), the numeric factorisation; then the solve. b and x are
// 0-based arrays of A.n doubles; x is written only by the solve.
// Returns the status of the first step that fails, so that a factorisation
// that runs out of memory reports UMFPACK_ERROR_out_of_memory (not the solve
// step's invalid numeric object), or C2F_STATUS_CANCELLED, or
// SOLVE_STATUS_OVER_MEMORY; otherwise the solve step's status (0, or a
// warning such as 1 for a singular matrix). The memory figures go into
// `outcome`, whose status is left to the caller.
int umfpackSolve(const CompressedColumn *A, const double *b, double *x,
                 const solve_settings *settings, solve_outcome *outcome);

// The bytes UMFPACK's numeric factorisation is expected to take on a matting
// system, from the Info array its symbolic analysis filled.
double umfpackFactorisationBytes(const double *info);
