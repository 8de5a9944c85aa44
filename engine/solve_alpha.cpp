#include "engine/solve_alpha.h"

#include "engine/allocate.h"
#include "engine/alpha_system.h"
#include "engine/get_laplacian.h"
#include "sparse/errhandl.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <umfpack.h>

const double kConstraintWeight = 100.0;

static void diagonalWithoutMain(void) {
  fputs(" yes off diagonals exist when main is zero.", stdout);
  fflush(stdout);
  exit(-1);
}

static void clampToUnit(Vector *x) {
  for (size_t k = 1; k <= x->Dim; k++) {
    const double v = x->Cmp[k];
    if (v > 1.0) x->Cmp[k] = 1.0;
    if (v < 0.0) x->Cmp[k] = 0.0;
  }
}

// The solver numbers pixels column by column; the matte is [row][column].
static double **matteFromSolution(const Vector *x, int height, int width) {
  double **alpha = (double **)get_img(width, height, sizeof(double));
  for (int y = 0; y < height; y++)
    for (int c = 0; c < width; c++)
      alpha[y][c] = x->Cmp[(size_t)c * height + y + 1];
  return alpha;
}

// Hands the constrained system to UMFPACK. L is released as soon as it has
// been copied, so its memory and the factorisation's are not held at once.
static int solveSystem(QMatrix *L, Vector *d, Vector *x) {
  CompressedColumn A;
  const bool assembled = compressedColumnFromUpper(L, &A);
  Q_Destr(L);
  if (!assembled) return UMFPACK_ERROR_out_of_memory;
  // Cmp is 1-based; the solver's arrays start at component 1.
  const int status = umfpackSolve(&A, d->Cmp + 1, x->Cmp + 1);
  compressedColumnFree(&A);
  return status;
}

void addConstraintWeights(QMatrix *L, Vector *d, double **mask,
                          double **values, int height, int width) {
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      const size_t k = (size_t)x * height + y + 1;
      const double w = kConstraintWeight * mask[y][x];
      if (w != 0.0) {
        if (Q_GetEl(L, k, k) != 0.0) {
          Q_AddVal(L, k, 0, w);
        } else if (Q_GetLen(L, k) != 0) {
          diagonalWithoutMain();
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

bool compressedColumnFromUpper(QMatrix *L, CompressedColumn *out) {
  const size_t n = L->Dim;
  out->n = (int)n;
  out->Ap = NULL;
  out->Ai = NULL;
  out->Ax = NULL;
  if (n > (size_t)INT_MAX) return false;
  out->Ap = (int *)calloc(n + 1, sizeof(int));
  if (out->Ap == NULL) return false;
  // Column k holds the mirrored entries of the rows above it, then row k.
  int *count = out->Ap + 1;
  size_t total = 0;
  for (size_t k = 1; k <= n; k++) {
    count[k - 1] += (int)L->Len[k];
    for (unsigned e = 1; e < L->Len[k]; e++) count[L->El[k][e].Pos - 1]++;
    total += L->Len[k] ? 2 * (size_t)L->Len[k] - 1 : 0;
  }
  if (total > (size_t)INT_MAX) {
    compressedColumnFree(out);
    return false;
  }
  out->Ai = (int *)malloc((total ? total : 1) * sizeof(int));
  out->Ax = (double *)malloc((total ? total : 1) * sizeof(double));
  if (out->Ai == NULL || out->Ax == NULL) {
    compressedColumnFree(out);
    return false;
  }
  for (size_t k = 0; k < n; k++) out->Ap[k + 1] += out->Ap[k];
  // next[c]: the next free slot of column c. Rows are taken in ascending
  // order, so each column receives its row indices in ascending order.
  int *next = (int *)malloc((n ? n : 1) * sizeof(int));
  if (next == NULL) {
    compressedColumnFree(out);
    return false;
  }
  for (size_t c = 0; c < n; c++) next[c] = out->Ap[c];
  for (size_t k = 1; k <= n; k++)
    for (unsigned e = 0; e < L->Len[k]; e++) {
      const ElType el = L->El[k][e];
      out->Ai[next[k - 1]] = el.Pos - 1;
      out->Ax[next[k - 1]++] = el.Val;
      if (e == 0) continue;
      out->Ai[next[el.Pos - 1]] = (int)k - 1;
      out->Ax[next[el.Pos - 1]++] = el.Val;
    }
  free(next);
  return true;
}

void compressedColumnFree(CompressedColumn *matrix) {
  free(matrix->Ap);
  free(matrix->Ai);
  free(matrix->Ax);
  matrix->Ap = NULL;
  matrix->Ai = NULL;
  matrix->Ax = NULL;
}

int umfpackSolve(const CompressedColumn *A, const double *b, double *x) {
  double info[UMFPACK_INFO];
  void *symbolic = NULL, *numeric = NULL;
  // Each call runs whatever the previous one left in info: a failure shows
  // in the status of the solve, which is the one reported.
  umfpack_di_symbolic(A->n, A->n, A->Ap, A->Ai, A->Ax, &symbolic, NULL, info);
  umfpack_di_numeric(A->Ap, A->Ai, A->Ax, symbolic, &numeric, NULL, info);
  umfpack_di_free_symbolic(&symbolic);
  umfpack_di_solve(UMFPACK_A, A->Ap, A->Ai, A->Ax, x, b, numeric, NULL, info);
  umfpack_di_free_numeric(&numeric);
  return (int)info[UMFPACK_STATUS];
}

double **matteFromSystem(QMatrix *L, Vector *d, Vector *x, int height,
                         int width, int *status) {
  if (LASResult() != LASOK) {
    // Building the system failed (out of memory): do not solve half a
    // system; hand back an empty matte and say why.
    Q_Destr(L);
    *status = UMFPACK_ERROR_out_of_memory;
    return (double **)get_init_arr(width, height, sizeof(double));
  }
  *status = solveSystem(L, d, x);
  clampToUnit(x);
  return matteFromSolution(x, height, width);
}

double **solveAlpha(TIFF_img *image, double **constraint_mask,
                    double **constraint_values, double epsilon, int r,
                    int *status) {
  const int height = image->height, width = image->width;
  const size_t N = (size_t)height * width;
  // The container's error state is sticky; an earlier calculation that ran
  // out of memory must not make this one silently inert.
  LASClearError();
  QMatrix L = getLaplacian1(image, constraint_mask, epsilon, r);
  Vector d, x;
  V_Constr(&d, "d", N, Normal, true);
  V_SetAllCmp(&d, 0.0);
  V_Constr(&x, "x", N, Normal, true);
  // A failed solve leaves the solution as it found it: zeros, not garbage.
  V_SetAllCmp(&x, 0.0);
  addConstraintWeights(&L, &d, constraint_mask, constraint_values, height,
                       width);
  double **alpha = matteFromSystem(&L, &d, &x, height, width, status);
  V_Destr(&d);
  V_Destr(&x);
  return alpha;
}
