#include "engine/cholesky_system.h"

#include <cholmod.h>
#include <umfpack.h>

#include "engine/reduced_system.h"
#include "engine/solve_guard.h"
#include "engine/umfpack_system.h"

namespace {

// One CHOLMOD session: the common block and everything allocated in it,
// released together whichever way the solve ends.
struct CholmodSession {
  cholmod_common common;
  ReducedSystem system;
  cholmod_factor *factor = nullptr;

  CholmodSession() {
    cholmod_l_start(&common);
    // Failures travel back as the solve's status; CHOLMOD's own messages
    // would only clutter the terminal.
    common.print = 0;
    // One AMD ordering. CHOLMOD's default tries several and spends seconds
    // analysing a photo with strokes; nested dissection's somewhat smaller
    // factor does not pay for its analysis time on these matrices.
    common.nmethods = 1;
    common.method[0].ordering = CHOLMOD_AMD;
    // Supernodal even where CHOLMOD would choose simplicial: on matting
    // systems it is the faster of the two beyond small pictures.
    common.supernodal = CHOLMOD_SUPERNODAL;
    // A matrix that is not positive definite goes to LU anyway.
    common.quick_return_if_not_posdef = true;
  }
  ~CholmodSession() {
    cholmod_l_free_factor(&factor, &common);
    cholmod_l_free_sparse(&system.A, &common);
    cholmod_l_finish(&common);
  }
  CholmodSession(const CholmodSession &) = delete;
  CholmodSession &operator=(const CholmodSession &) = delete;
};

}  // namespace

static bool ranOutOfMemory(const cholmod_common *common) {
  return common->status == CHOLMOD_OUT_OF_MEMORY || common->status == CHOLMOD_TOO_LARGE;
}

// What the numeric factorisation and the solve add to what the analysis
// holds: the factor's values, the permuted copy of A the factorisation
// works on, its largest update matrix and integer workspace, and the solve's
// vectors.
static double choleskyFactorisationBytes(const cholmod_factor *L, const cholmod_sparse *A) {
  const double n = (double)L->n;
  const double elements = (double)((const SuiteSparse_long *)A->p)[A->ncol];
  const double factor = 8.0 * L->xsize;
  const double permuted = 16.0 * elements + 8.0 * (n + 1);
  const double update = 8.0 * L->maxcsize;
  const double workspace = 8.0 * (6 * n + 4.0 * L->nsuper);
  return factor + permuted + update + workspace;
}

// The whole system by LU, for a matrix Cholesky cannot factor.
static int handOverToLu(CholmodSession *s, const Vector *d, Vector *x,
                        const solve_settings *settings, solve_outcome *outcome) {
  cholmod_l_free_factor(&s->factor, &s->common);
  CompressedColumn A;
  const bool built = compressedColumnFromReduced(&s->system, x, &A);
  cholmod_l_free_sparse(&s->system.A, &s->common);
  if (!built) return UMFPACK_ERROR_out_of_memory;
  const int status = umfpackSolve(&A, V_Cmp(d) + 1, V_Cmp(x) + 1, settings, outcome);
  compressedColumnFree(&A);
  return status;
}

// x of the coupled rows from the factor. False when memory runs out.
static bool solveCoupledRows(CholmodSession *s, const Vector *d, Vector *x) {
  const std::vector<uint32_t> &original = s->system.original;
  const size_t n = original.size();
  cholmod_dense *B = cholmod_l_allocate_dense(n, 1, n, CHOLMOD_REAL, &s->common);
  if (B == nullptr) return false;
  double *b = (double *)B->x;
  const double *rhs = V_Cmp(d);
  for (size_t r = 0; r < n; r++) b[r] = rhs[original[r] + 1];
  cholmod_dense *X = cholmod_l_solve(CHOLMOD_A, s->factor, B, &s->common);
  cholmod_l_free_dense(&B, &s->common);
  if (X == nullptr) return false;
  const double *solution = (const double *)X->x;
  double *unknowns = V_Cmp(x);
  for (size_t r = 0; r < n; r++) unknowns[original[r] + 1] = solution[r];
  cholmod_l_free_dense(&X, &s->common);
  return true;
}

// Analysis, memory check, factorisation and solve of the coupled rows, then
// the decoupled ones; or the whole system by LU.
static int solveReduced(CholmodSession *s, const Vector *d, Vector *x,
                        const solve_settings *settings, solve_outcome *outcome) {
  if (solveCancelled(settings)) return C2F_STATUS_CANCELLED;
  s->factor = cholmod_l_analyze(s->system.A, &s->common);
  if (s->factor == nullptr) {
    if (ranOutOfMemory(&s->common)) return UMFPACK_ERROR_out_of_memory;
    return handOverToLu(s, d, x, settings, outcome);
  }
  // The analysis's workspace is sized for its own needs; the factorisation
  // allocates what it needs itself.
  cholmod_l_free_work(&s->common);
  returnFreedMemory();
  if (solveCancelled(settings)) return C2F_STATUS_CANCELLED;
  if (!factorisationFits(settings, choleskyFactorisationBytes(s->factor, s->system.A), outcome))
    return SOLVE_STATUS_OVER_MEMORY;
  cholmod_l_factorize(s->system.A, s->factor, &s->common);
  if (ranOutOfMemory(&s->common)) return UMFPACK_ERROR_out_of_memory;
  if (s->common.status != CHOLMOD_OK || s->factor->minor < s->system.original.size())
    return handOverToLu(s, d, x, settings, outcome);
  // The solve needs only the factor.
  cholmod_l_free_sparse(&s->system.A, &s->common);
  if (solveCancelled(settings)) return C2F_STATUS_CANCELLED;
  if (!solveCoupledRows(s, d, x)) return UMFPACK_ERROR_out_of_memory;
  solveDecoupledRows(&s->system, d, x);
  return UMFPACK_OK;
}

int choleskySolve(QMatrix *L, const Vector *d, Vector *x, const solve_settings *settings,
                  solve_outcome *outcome) {
  CholmodSession s;
  if (!splitSystem(L, x, &s.common, &s.system)) return UMFPACK_ERROR_out_of_memory;
  if (!s.system.original.empty()) return solveReduced(&s, d, x, settings, outcome);
  solveDecoupledRows(&s.system, d, x);
  return UMFPACK_OK;
}

CholeskyCost choleskyCostOf(QMatrix *L, const Vector *x) {
  CholmodSession s;
  CholeskyCost cost = {0, 0};
  if (splitSystem(L, x, &s.common, &s.system) && !s.system.original.empty()) {
    s.factor = cholmod_l_analyze(s.system.A, &s.common);
    if (s.factor != nullptr) cost = {(double)s.system.original.size(), 8.0 * s.factor->xsize};
  }
  return cost;
}
