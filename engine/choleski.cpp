#include "engine/choleski.h"

#include <cmath>

#include "engine/lower_triangular.h"
#include "engine/upper_triangular.h"

int Choleski_LU_Decomposition(double *A, int n) {
  for (int i = 0; i < n; ++i) {
    double *row_i = A + i * n;
    double pivot = row_i[i];
    for (int k = 0; k < i; ++k) pivot -= row_i[k] * row_i[k];
    // Written as "not greater than" so that a NaN pivot fails as well.
    if (!(pivot > 0.0)) return -1;
    row_i[i] = std::sqrt(pivot);
    double reciprocal = 1.0 / row_i[i];
    for (int j = i + 1; j < n; ++j) {
      double *row_j = A + j * n;
      double sum = row_j[i];
      for (int k = 0; k < i; ++k) sum -= row_j[k] * row_i[k];
      row_j[i] = sum * reciprocal;
      row_i[j] = row_j[i];
    }
  }
  return 0;
}

int Choleski_LU_Inverse(double *LU, int n) {
  if (Lower_Triangular_Inverse(LU, n) != 0) return -1;
  // inv(A) = inv(L)^T inv(L). Element (i, j), j <= i, reads only rows k >= i
  // of inv(L) in columns i and j; rows are done in increasing i and each row
  // overwrites its own columns j <= i in increasing j, so every value read is
  // still the inverse factor's. Writes to (j, i) land in the upper triangle,
  // which inv(L) does not use.
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j <= i; ++j) {
      double sum = 0.0;
      for (int k = i; k < n; ++k) sum += LU[k * n + i] * LU[k * n + j];
      LU[i * n + j] = sum;
      LU[j * n + i] = sum;
    }
  }
  return 0;
}

int Choleski_LU_Solve(const double *LU, const double *B, double *x, int n) {
  if (Lower_Triangular_Solve(LU, B, x, n) != 0) return -1;
  // The strict upper triangle holds L^T, so the second half solves in place.
  if (Upper_Triangular_Solve(LU, x, x, n) != 0) return -1;
  return 0;
}
