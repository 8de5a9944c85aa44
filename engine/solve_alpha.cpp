#include "engine/solve_alpha.h"

#include <umfpack.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/allocate.h"
#include "engine/alpha_system.h"
#include "engine/cholesky_system.h"
#include "engine/fatal.h"
#include "engine/get_laplacian.h"
#include "engine/memory_prescreen.h"
#include "engine/solve_guard.h"
#include "engine/solver_threads.h"
#include "engine/umfpack_system.h"
#include "sparse/errhandl.h"

const double kConstraintWeight = 100.0;

// A constrained pixel whose row has entries but a zero diagonal: the
// Laplacian is broken, and no solve of it would mean anything.
[[noreturn]] static void diagonalWithoutMain(void) {
  engine_fatal(" yes off diagonals exist when main is zero.", -1, stdout);
}

// Clamps the solution into 0..1. A singular system (status 1, which is only
// a warning) leaves NaN where pixels are undetermined; those become 0.0, as
// no alpha is known for them and a NaN would reach the 8-bit conversion of
// the matte.
static void clampToUnit(Vector *x) {
  double *cmp = V_Cmp(x);
  for (size_t k = 1; k <= x->Dim; k++) {
    const double v = cmp[k];
    if (v > 1.0) cmp[k] = 1.0;
    if (v < 0.0 || std::isnan(v)) cmp[k] = 0.0;
  }
}

// The solver numbers pixels column by column; the matte is [row][column].
static double **matteFromSolution(const Vector *x, int height, int width) {
  double **alpha = (double **)get_img(width, height, sizeof(double));
  const double *cmp = V_Cmp(x);
  for (int y = 0; y < height; y++)
    for (int c = 0; c < width; c++) alpha[y][c] = cmp[(size_t)c * height + y + 1];
  return alpha;
}

// The matte of a solve that failed, was refused or was cancelled.
static double **emptyMatte(int height, int width) {
  return (double **)get_init_arr(width, height, sizeof(double));
}

// The whole system by UMFPACK, the reference path.
static int solveWholeByLu(QMatrix *L, const Vector *d, Vector *x, const solve_settings *settings,
                          solve_outcome *outcome) {
  CompressedColumn A;
  const bool assembled = compressedColumnFromUpper(L, &A);
  // L goes as soon as it has been copied, so its memory and the
  // factorisation's are not held at once.
  Q_Destr(L);
  returnFreedMemory();
  if (!assembled) return UMFPACK_ERROR_out_of_memory;
  // Components are 1-based; the solver's arrays start at component 1.
  const int status = solveCancelled(settings)
                         ? C2F_STATUS_CANCELLED
                         : umfpackSolve(&A, V_Cmp(d) + 1, V_Cmp(x) + 1, settings, outcome);
  compressedColumnFree(&A);
  return status;
}

void addConstraintWeights(QMatrix *L, Vector *d, const double *const *mask,
                          const double *const *values, int height, int width, Vector *outside) {
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      const size_t k = (size_t)x * height + y + 1;
      const double w = kConstraintWeight * mask[y][x];
      if (outside) V_SetCmp(outside, k, 0.0);
      if (w != 0.0) {
        if (Q_GetEl(L, k, k) != 0.0) {
          Q_AddVal(L, k, 0, w);
        } else if (Q_GetLen(L, k) != 0) {
          diagonalWithoutMain();
        } else if (outside) {
          V_SetCmp(outside, k, w);
        } else {
          // A pixel inside a wholly constrained area is in no built window:
          // its row is just the constraint.
          Q_SetLen(L, k, 1);
          Q_SetEntry(L, k, 0, k, w);
        }
      }
      V_SetCmp(d, k, w * values[y][x]);
    }
}

double **matteFromLaplacian(QMatrix *L, Vector *d, Vector *x, const double *const *mask,
                            const double *const *values, int height, int width,
                            const solve_settings *settings, solve_outcome *outcome) {
  // The Cholesky path keeps pinned pixels without a row out of L, their
  // weights in x (see choleskySolve).
  Vector *outside = settings->solver == SOLVER_CHOLESKY ? x : nullptr;
  addConstraintWeights(L, d, mask, values, height, width, outside);
  if (LASResult() != LASOK) {
    // Building the system failed (out of memory): do not solve half a
    // system; hand back an empty matte and say why.
    Q_Destr(L);
    outcome->status = UMFPACK_ERROR_out_of_memory;
  } else if (settings->solver == SOLVER_LU) {
    outcome->status = solveWholeByLu(L, d, x, settings, outcome);
  } else {
    outcome->status = choleskySolve(L, d, x, settings, outcome);
  }
  // A failed solve leaves x undefined: the matte is empty, never garbage.
  if (outcome->status < 0) return emptyMatte(height, width);
  clampToUnit(x);
  return matteFromSolution(x, height, width);
}

double **solveAlphaWith(const TIFF_img *image, const double *const *constraint_mask,
                        const double *const *constraint_values, double epsilon, int r,
                        const solve_settings *settings, solve_outcome *outcome) {
  const int height = image->height, width = image->width;
  const size_t N = (size_t)height * width;
  *outcome = solve_outcome();
  // Before anything of this solve is built, so the BLAS buffer is mapped
  // while the most memory is free; without room for it no solve can run.
  if (!prepareSolverLibraries()) {
    outcome->status = UMFPACK_ERROR_out_of_memory;
    return emptyMatte(height, width);
  }
  if (solveCancelled(settings)) {
    outcome->status = C2F_STATUS_CANCELLED;
    return emptyMatte(height, width);
  }
  // A factorisation far beyond memory is refused before seconds are spent
  // and gigabytes taken building the system of a large picture.
  if (!largeSolveMayFit(image, constraint_mask, constraint_values, epsilon, r, settings, outcome)) {
    outcome->status = SOLVE_STATUS_OVER_MEMORY;
    return emptyMatte(height, width);
  }
  // The container's error state is sticky; an earlier calculation that ran
  // out of memory must not make this one silently inert.
  LASClearError();
  QMatrix L = getLaplacian1(image, constraint_mask, epsilon, r);
  if (solveCancelled(settings)) {
    Q_Destr(&L);
    outcome->status = C2F_STATUS_CANCELLED;
    return emptyMatte(height, width);
  }
  // addConstraintWeights writes every component of d; the solve every one
  // of x.
  Vector d, x;
  V_Constr(&d, "d", N, Normal, true);
  V_Constr(&x, "x", N, Normal, true);
  double **alpha = matteFromLaplacian(&L, &d, &x, constraint_mask, constraint_values, height, width,
                                      settings, outcome);
  V_Destr(&d);
  V_Destr(&x);
  return alpha;
}

double **solveAlpha(const TIFF_img *image, const double *const *constraint_mask,
                    const double *const *constraint_values, double epsilon, int r, int *status) {
  const solve_settings defaults;
  solve_outcome outcome;
  double **alpha =
      solveAlphaWith(image, constraint_mask, constraint_values, epsilon, r, &defaults, &outcome);
  *status = outcome.status;
  return alpha;
}
