#include "engine/umfpack_system.h"

#include <umfpack.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "engine/allocate.h"
#include "engine/solve_guard.h"

bool compressedColumnFromUpper(const QMatrix *L, CompressedColumn *out) {
  const size_t n = L->Dim;
  *out = CompressedColumn{(int)n, NULL, NULL, NULL};
  if (n > (size_t)INT_MAX) return false;
  ScratchBlock<int> Ap = tryScratchBlock<int>(n + 1);
  if (!Ap) return false;
  std::fill(Ap.get(), Ap.get() + n + 1, 0);
  // Column k holds the mirrored entries of the rows above it, then row k.
  int *count = Ap.get() + 1;
  size_t total = 0;
  for (size_t k = 1; k <= n; k++) {
    const QRow row = Q_Row(L, k);
    count[k - 1] += (int)row.Len;
    for (unsigned e = 1; e < row.Len; e++) count[row.El[e].Pos - 1]++;
    total += row.Len ? 2 * (size_t)row.Len - 1 : 0;
  }
  if (total > (size_t)INT_MAX) return false;
  ScratchBlock<int> Ai = tryScratchBlock<int>(total);
  ScratchBlock<double> Ax = tryScratchBlock<double>(total);
  // next[c]: the next free slot of column c. Rows are taken in ascending
  // order, so each column receives its row indices in ascending order.
  ScratchBlock<int> next = tryScratchBlock<int>(n);
  if (!Ai || !Ax || !next) return false;
  for (size_t k = 0; k < n; k++) Ap[k + 1] += Ap[k];
  for (size_t c = 0; c < n; c++) next[c] = Ap[c];
  for (size_t k = 1; k <= n; k++) {
    const QRow row = Q_Row(L, k);
    for (unsigned e = 0; e < row.Len; e++) {
      const ElType el = row.El[e];
      Ai[next[k - 1]] = el.Pos - 1;
      Ax[next[k - 1]++] = el.Val;
      if (e == 0) continue;
      Ai[next[el.Pos - 1]] = (int)k - 1;
      Ax[next[el.Pos - 1]++] = el.Val;
    }
  }
  out->Ap = Ap.release();
  out->Ai = Ai.release();
  out->Ax = Ax.release();
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

double umfpackFactorisationBytes(const double *info) {
  // UMFPACK's own peak estimate allows for the worst off-diagonal pivoting:
  // on matting systems (symmetric, positive definite, diagonal pivots) it is
  // 6 to 21 times what the factorisation takes. The entries of L + U under
  // the symmetric ordering, a value and an index each, came to 0.85..1.34
  // times the measured peaks (0.25 and 1 MP trimaps, 0.25 MP strokes); a
  // quarter more keeps the check on the safe side.
  static const double kWorkingSpace = 1.25;
  return kWorkingSpace * info[UMFPACK_SYMMETRIC_LUNZ] * (sizeof(double) + sizeof(int));
}

int umfpackSolve(const CompressedColumn *A, const double *b, double *x,
                 const solve_settings *settings, solve_outcome *outcome) {
  double info[UMFPACK_INFO];
  void *symbolic = NULL, *numeric = NULL;
  int status = umfpack_di_symbolic(A->n, A->n, A->Ap, A->Ai, A->Ax, &symbolic, NULL, info);
  if (status < 0) return status;
  if (solveCancelled(settings)) {
    status = C2F_STATUS_CANCELLED;
  } else if (!factorisationFits(settings, umfpackFactorisationBytes(info), outcome)) {
    status = SOLVE_STATUS_OVER_MEMORY;
  } else {
    status = umfpack_di_numeric(A->Ap, A->Ai, A->Ax, symbolic, &numeric, NULL, info);
  }
  umfpack_di_free_symbolic(&symbolic);
  if (status < 0) return status;
  if (solveCancelled(settings)) {
    status = C2F_STATUS_CANCELLED;
  } else {
    status = umfpack_di_solve(UMFPACK_A, A->Ap, A->Ai, A->Ax, x, b, numeric, NULL, info);
  }
  umfpack_di_free_numeric(&numeric);
  return status;
}
