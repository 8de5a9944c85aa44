#include "engine/lower_triangular.h"

int Lower_Triangular_Solve(const double *L, const double *B, double *x, int n) {
  for (int i = 0; i < n; ++i) {
    const double *row = L + i * n;
    if (row[i] == 0.0) return -1;
    double sum = B[i];
    for (int k = 0; k < i; ++k) sum -= x[k] * row[k];
    x[i] = sum / row[i];
  }
  return 0;
}

int Lower_Triangular_Inverse(double *L, int n) {
  for (int i = 0; i < n; ++i) {
    double *diagonal = L + i * n + i;
    if (*diagonal == 0.0) return -1;
    *diagonal = 1.0 / *diagonal;
  }
  // Row i of the inverse from rows above it, already inverted: column j uses
  // the original L[i][k] for k >= j, which the ascending j loop has not yet
  // overwritten, and the inverted L[k][j] of the rows above.
  for (int i = 1; i < n; ++i) {
    double *row = L + i * n;
    for (int j = 0; j < i; ++j) {
      double sum = 0.0;
      for (int k = j; k < i; ++k) sum += row[k] * L[k * n + j];
      row[j] = -row[i] * sum;
    }
  }
  return 0;
}
