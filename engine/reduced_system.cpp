#include "engine/reduced_system.h"

#include <climits>
#include <cstdlib>
#include <new>

#include "engine/allocate.h"
#include "engine/solve_guard.h"

static const uint32_t kDecoupled = UINT32_MAX;

// A pinned pixel that no built window holds has no row, and its weight in
// x: its row is decoupled. Every other row goes to the factorisation; an
// empty one without a weight (an unpinned pixel in no window) makes it
// singular, as it makes the whole system.
static bool decoupled(const QMatrix *L, const Vector *x, size_t k) {
  return Q_Row(L, k + 1).Len == 0 && V_Cmp(x)[k + 1] != 0.0;
}

// Numbers the coupled rows (slot[k] = reduced row, kDecoupled for the
// others) and lists them in rs->original. Returns their element count.
static size_t numberCoupledRows(const QMatrix *L, const Vector *x, std::vector<uint32_t> *slot,
                                ReducedSystem *rs) {
  size_t coupled = 0, elements = 0;
  for (size_t k = 0; k < L->Dim; k++) coupled += !decoupled(L, x, k);
  rs->original.resize(coupled);
  uint32_t next = 0;
  for (size_t k = 0; k < L->Dim; k++) {
    if (decoupled(L, x, k)) {
      (*slot)[k] = kDecoupled;
      continue;
    }
    rs->original[next] = (uint32_t)k;
    (*slot)[k] = next++;
    elements += Q_Row(L, k + 1).Len;
  }
  return elements;
}

// Row k of L holds (k, p) for p >= k: in the upper triangle by columns that
// element sits in column p at row k. Rows are taken in ascending order, so
// every column receives its row numbers ascending.
static void copyUpperTriangle(const QMatrix *L, const std::vector<uint32_t> &slot,
                              const ReducedSystem *rs, cholmod_sparse *A) {
  SuiteSparse_long *Ap = (SuiteSparse_long *)A->p;
  SuiteSparse_long *Ai = (SuiteSparse_long *)A->i;
  double *Ax = (double *)A->x;
  const size_t n = rs->original.size();
  for (size_t c = 0; c <= n; c++) Ap[c] = 0;
  for (uint32_t k : rs->original) {
    const QRow row = Q_Row(L, k + 1);
    for (unsigned e = 0; e < row.Len; e++) Ap[slot[row.El[e].Pos - 1] + 1]++;
  }
  for (size_t c = 0; c < n; c++) Ap[c + 1] += Ap[c];
  std::vector<SuiteSparse_long> next(Ap, Ap + n);
  for (size_t row = 0; row < n; row++) {
    const QRow entries = Q_Row(L, rs->original[row] + 1);
    for (unsigned e = 0; e < entries.Len; e++) {
      const SuiteSparse_long at = next[slot[entries.El[e].Pos - 1]]++;
      Ai[at] = (SuiteSparse_long)row;
      Ax[at] = entries.El[e].Val;
    }
  }
}

bool splitSystem(QMatrix *L, const Vector *x, cholmod_common *common, ReducedSystem *rs) {
  rs->N = L->Dim;
  rs->A = nullptr;
  try {
    std::vector<uint32_t> slot(L->Dim);
    const size_t elements = numberCoupledRows(L, x, &slot, rs);
    const size_t n = rs->original.size();
    rs->A = cholmod_l_allocate_sparse(n, n, elements, true, true, 1, CHOLMOD_REAL, common);
    if (rs->A != nullptr) copyUpperTriangle(L, slot, rs, rs->A);
  } catch (const std::bad_alloc &) {
    cholmod_l_free_sparse(&rs->A, common);
  }
  Q_Destr(L);
  returnFreedMemory();
  return rs->A != nullptr;
}

void solveDecoupledRows(const ReducedSystem *rs, const Vector *d, Vector *x) {
  const double *b = V_Cmp(d);
  double *solution = V_Cmp(x);
  size_t next = 0;
  for (size_t k = 0; k < rs->N; k++) {
    if (next < rs->original.size() && rs->original[next] == k) {
      next++;
      continue;
    }
    solution[k + 1] = b[k + 1] / solution[k + 1];
  }
}

// Elements per column of the whole symmetric matrix: 1 for a decoupled row;
// for a coupled one its upper part (column of A) plus its lower part (its
// row of A beyond the diagonal, mirrored).
static std::vector<size_t> wholeColumnCounts(const ReducedSystem *rs) {
  const cholmod_sparse *A = rs->A;
  const SuiteSparse_long *Ap = (const SuiteSparse_long *)A->p;
  const SuiteSparse_long *Ai = (const SuiteSparse_long *)A->i;
  std::vector<size_t> count(rs->N, 1);
  const size_t n = rs->original.size();
  for (size_t c = 0; c < n; c++) count[rs->original[c]] = Ap[c + 1] - Ap[c];
  for (size_t c = 0; c < n; c++)
    for (SuiteSparse_long at = Ap[c]; at < Ap[c + 1]; at++)
      if ((size_t)Ai[at] < c) count[rs->original[Ai[at]]]++;
  return count;
}

// Column j holds its upper part (rows up to j), then its lower part.
static void fillWholeColumns(const ReducedSystem *rs, const Vector *x, CompressedColumn *out) {
  const cholmod_sparse *A = rs->A;
  const SuiteSparse_long *Ap = (const SuiteSparse_long *)A->p;
  const SuiteSparse_long *Ai = (const SuiteSparse_long *)A->i;
  const double *Ax = (const double *)A->x;
  const size_t n = rs->original.size();
  size_t coupled = 0;
  for (size_t j = 0; j < rs->N; j++) {
    if (coupled < n && rs->original[coupled] == j) {
      coupled++;
      continue;
    }
    out->Ai[out->Ap[j]] = (int)j;
    out->Ax[out->Ap[j]] = V_Cmp(x)[j + 1];
  }
  std::vector<int> next(n);
  for (size_t c = 0; c < n; c++) {
    int at = out->Ap[rs->original[c]];
    for (SuiteSparse_long e = Ap[c]; e < Ap[c + 1]; e++, at++) {
      out->Ai[at] = (int)rs->original[Ai[e]];
      out->Ax[at] = Ax[e];
    }
    next[c] = at;
  }
  for (size_t c = 0; c < n; c++)
    for (SuiteSparse_long e = Ap[c]; e < Ap[c + 1]; e++) {
      const size_t row = Ai[e];
      if (row == c) continue;
      out->Ai[next[row]] = (int)rs->original[c];
      out->Ax[next[row]++] = Ax[e];
    }
}

bool compressedColumnFromReduced(const ReducedSystem *rs, const Vector *x, CompressedColumn *out) {
  *out = CompressedColumn{(int)rs->N, nullptr, nullptr, nullptr};
  if (rs->N > (size_t)INT_MAX) return false;
  try {
    const std::vector<size_t> count = wholeColumnCounts(rs);
    size_t total = 0;
    for (size_t c : count) total += c;
    if (total > (size_t)INT_MAX) return false;
    ScratchBlock<int> Ap = tryScratchBlock<int>(rs->N + 1);
    ScratchBlock<int> Ai = tryScratchBlock<int>(total);
    ScratchBlock<double> Ax = tryScratchBlock<double>(total);
    if (!Ap || !Ai || !Ax) return false;
    Ap[0] = 0;
    for (size_t j = 0; j < rs->N; j++) Ap[j + 1] = Ap[j] + (int)count[j];
    // Filled through a view, so a failure on the way leaves `out` empty.
    CompressedColumn whole = {(int)rs->N, Ap.get(), Ai.get(), Ax.get()};
    fillWholeColumns(rs, x, &whole);
    out->Ap = Ap.release();
    out->Ai = Ai.release();
    out->Ax = Ax.release();
  } catch (const std::bad_alloc &) {
    return false;
  }
  return true;
}
