// Straightforward reference arithmetic for the dense linear algebra tests:
// row-major std::vector matrices, written for clarity, not speed.
#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

using Dense = std::vector<double>;

// (r x c) times (c x q), written out in the textbook order.
inline Dense reference_product(const Dense &a, int r, int c, const Dense &b, int q) {
  Dense p(static_cast<size_t>(r) * q, 0.0);
  for (int i = 0; i < r; ++i) {
    for (int j = 0; j < q; ++j) {
      for (int k = 0; k < c; ++k) p[i * q + j] += a[i * c + k] * b[k * q + j];
    }
  }
  return p;
}

inline Dense reference_transpose(const Dense &a, int r, int c) {
  Dense t(a.size());
  for (int i = 0; i < r; ++i) {
    for (int j = 0; j < c; ++j) t[j * r + i] = a[i * c + j];
  }
  return t;
}

inline Dense identity(int n) {
  Dense id(static_cast<size_t>(n) * n, 0.0);
  for (int i = 0; i < n; ++i) id[i * n + i] = 1.0;
  return id;
}

inline Dense random_matrix(int r, int c, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  Dense m(static_cast<size_t>(r) * c);
  for (double &v : m) v = value(rng);
  return m;
}

// M M^T + n I: symmetric, and positive definite with a comfortable margin.
inline Dense random_spd(int n, unsigned seed) {
  Dense m = random_matrix(n, n, seed);
  Dense spd = reference_product(m, n, n, reference_transpose(m, n, n), n);
  for (int i = 0; i < n; ++i) spd[i * n + i] += n;
  return spd;
}

inline double max_abs_difference(const Dense &a, const Dense &b) {
  double worst = 0.0;
  for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
  return worst;
}

// Lower triangle and diagonal of a square matrix, zeros above.
inline Dense lower_part(const Dense &a, int n) {
  Dense l(a.size(), 0.0);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j <= i; ++j) l[i * n + j] = a[i * n + j];
  }
  return l;
}
