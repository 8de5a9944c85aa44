#include "engine/upper_triangular.h"

int Upper_Triangular_Solve(const double *U, const double *B, double *x, int n) {
  for (int i = n - 1; i >= 0; --i) {
    const double *row = U + i * n;
    if (row[i] == 0.0) return -1;
    // B[i] is read before x[i] is written, so x may share B's storage.
    double sum = B[i];
    for (int k = i + 1; k < n; ++k) sum -= x[k] * row[k];
    x[i] = sum / row[i];
  }
  return 0;
}
