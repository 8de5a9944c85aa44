// The constrained system with its decoupled rows taken out.
//
// The row of a pinned pixel that no built window holds has only its
// diagonal, the constraint weight a_kk: it is decoupled, its solution is
// d_k / a_kk whatever the rest does. In a trimap most rows are such, so the
// factorisation only has to see the coupled rows. Such rows are never built
// (addConstraintWeights with `outside` = x keeps their weights in x). Rows
// without any entry and without a weight (an unpinned pixel in no window)
// are not decoupled: they stay in the reduced system, which they make
// singular, as they make the whole system.
#pragma once

#include <cholmod.h>

#include <cstdint>
#include <vector>

#include "engine/umfpack_system.h"
#include "sparse/qmatrix.h"
#include "sparse/vector.h"

struct ReducedSystem {
  size_t N = 0;  // rows of the whole system
  // Reduced row -> 0-based row of the whole system, ascending.
  std::vector<uint32_t> original;
  // The coupled rows' upper triangle in compressed-column form (stype +1,
  // rows sorted, long indices), renumbered 0..original.size()-1. Allocated
  // in the cholmod_common given to splitSystem; free it there.
  cholmod_sparse *A = nullptr;
};

// Splits the rows of L and copies the coupled ones into rs->A. L and x are
// as addConstraintWeights leaves them with `outside` = x: L the upper
// triangle, rows sorted, diagonal first; x[k] (1-based) the weight a_kk of
// each decoupled row, 0 elsewhere. x keeps those weights until
// solveDecoupledRows: that way the whole system can still be rebuilt
// (compressedColumnFromReduced) without keeping L. L is released. Returns
// false when memory runs out (rs->A null).
bool splitSystem(QMatrix *L, const Vector *x, cholmod_common *common, ReducedSystem *rs);

// x[k] = d[k] / a_kk for every decoupled row k (a_kk as kept in x).
void solveDecoupledRows(const ReducedSystem *rs, const Vector *d, Vector *x);

// The whole system in UMFPACK's form, rebuilt from rs->A and the diagonals
// kept in x: bit for bit what compressedColumnFromUpper gives for the whole
// L. False when memory runs out or the indices do not fit UMFPACK's ints.
bool compressedColumnFromReduced(const ReducedSystem *rs, const Vector *x, CompressedColumn *out);
