// The constrained system solved by sparse Cholesky on its coupled rows.
#pragma once

#include "engine/solve_alpha.h"
#include "sparse/qmatrix.h"
#include "sparse/vector.h"

// Solves L x = d (L with its constraints, upper triangle, and x as
// addConstraintWeights leaves them with `outside` = x; d and x 1-based,
// dimension L.Dim): the decoupled rows directly, the coupled rest by
// CHOLMOD's supernodal LL' with one AMD ordering. When CHOLMOD finds the matrix not positive
// definite (a singular system, e.g. an unpinned pixel in no window), the whole system goes to
// umfpackSolve and its status is returned. Between the stages the settings' cancel flag is looked
// at, and before the factorisation its memory is checked (factorisationFits). L is released.
// Returns 0, a warning of the LU path, or a failure: out of memory
// (UMFPACK_ERROR_out_of_memory, whichever step ran out),
// SOLVE_STATUS_OVER_MEMORY, C2F_STATUS_CANCELLED; x is undefined after a
// failure.
int choleskySolve(QMatrix *L, const Vector *d, Vector *x, const solve_settings *settings,
                  solve_outcome *outcome);

// What choleskySolve's factorisation of a system would face, from its
// analysis alone (nothing is factored): the rows it factors and the bytes
// of the factor's values. Both 0 when the system has no coupled rows or
// memory runs out.
struct CholeskyCost {
  double rows;
  double factorBytes;
};

// The cost of the system L, x (as choleskySolve takes them). L is released.
CholeskyCost choleskyCostOf(QMatrix *L, const Vector *x);
