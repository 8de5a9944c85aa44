#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "engine/choleski.h"

namespace {

// Row-major n x n matrices.
using Dense = std::vector<double>;

Dense product(const Dense &a, const Dense &b, int n, int q) {
  Dense p(static_cast<size_t>(n) * q, 0.0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < q; ++j)
      for (int k = 0; k < n; ++k) p[i * q + j] += a[i * n + k] * b[k * q + j];
  return p;
}

double max_abs_difference(const Dense &a, const Dense &b) {
  double worst = 0.0;
  for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
  return worst;
}

// The window statistics and the upsampling fit end the process on a
// refusal instead of dividing by a pivot that is not positive.
TEST(Choleski, RefusesMatricesThatAreNotPositiveDefinite) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Dense refused[] = {{1, 2, 2, 1}, {0}, {-4}, {1, 1, 1, 1},
                           {4, 2, 0, 2, 1, 0, 0, 0, 1}, {nan, 0, 0, 1}};
  for (Dense a : refused) {
    int n = static_cast<int>(std::sqrt(static_cast<double>(a.size())));
    EXPECT_EQ(Choleski_LU_Decomposition(a.data(), n), -1) << a.size() << " " << a[0];
  }
}

class RandomSpd : public testing::TestWithParam<int> {};

// M M^T + n I is comfortably positive definite: the factor reproduces it,
// the solve solves it and the inverse inverts it.
TEST_P(RandomSpd, FactorInverseAndSolveAgreeWithTheReference) {
  const int n = GetParam();
  std::mt19937 rng(100 + n);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  Dense m(n * n), b(n), a(n * n), identity(n * n, 0.0);
  for (double &v : m) v = value(rng);
  for (double &v : b) v = value(rng);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      for (int k = 0; k < n; ++k) a[i * n + j] += m[i * n + k] * m[j * n + k];
      if (i == j) a[i * n + j] += n, identity[i * n + j] = 1.0;
    }
  const double tolerance = 1e-12 * n;
  Dense f = a;
  ASSERT_EQ(Choleski_LU_Decomposition(f.data(), n), 0);
  Dense lower(n * n, 0.0), upper(n * n, 0.0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j <= i; ++j) lower[i * n + j] = upper[j * n + i] = f[i * n + j];
  EXPECT_LT(max_abs_difference(product(lower, upper, n, n), a), tolerance);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < i; ++j) EXPECT_EQ(f[j * n + i], f[i * n + j]);  // L^T above
  Dense x(n);
  ASSERT_EQ(Choleski_LU_Solve(f.data(), b.data(), x.data(), n), 0);
  EXPECT_LT(max_abs_difference(product(a, x, n, 1), b), tolerance);
  ASSERT_EQ(Choleski_LU_Inverse(f.data(), n), 0);
  EXPECT_LT(max_abs_difference(product(a, f, n, n), identity), tolerance);
}

// The window statistics factor 1 x 1 (grey) and 3 x 3 (colour), the
// upsampling fit 4 x 4.
INSTANTIATE_TEST_SUITE_P(Sizes, RandomSpd, testing::Values(1, 3, 4));

}  // namespace
