#include "engine/lower_triangular.h"

#include <gtest/gtest.h>

#include "tests/engine/dense_reference.h"

namespace {

const double kTolerance = 1e-12;

// clang-format off
const Dense kL = { 2, 0, 0,
                   1, 4, 0,
                  -3, 2, 5};
// clang-format on

TEST(LowerTriangularSolve, ForwardSubstitutionByHand) {
  // 2 x0 = 4 -> 2;  x0 + 4 x1 = 10 -> 2;  -3 x0 + 2 x1 + 5 x2 = 3 -> 1.
  const double b[] = {4, 10, 3};
  Dense x(3);
  ASSERT_EQ(Lower_Triangular_Solve(kL.data(), b, x.data(), 3), 0);
  EXPECT_EQ(x, (Dense{2, 2, 1}));
}

TEST(LowerTriangularSolve, IgnoresTheUpperTriangleAndMaySolveInPlace) {
  Dense l = kL;
  l[1] = l[2] = l[5] = 99.0;
  Dense x = {4, 10, 3};
  ASSERT_EQ(Lower_Triangular_Solve(l.data(), x.data(), x.data(), 3), 0);
  EXPECT_EQ(x, (Dense{2, 2, 1}));
}

TEST(LowerTriangular, ZeroDiagonalFails) {
  Dense l = kL;
  l[4] = 0.0;
  Dense x(3);
  const double b[] = {1, 1, 1};
  EXPECT_EQ(Lower_Triangular_Solve(l.data(), b, x.data(), 3), -1);
  EXPECT_EQ(Lower_Triangular_Inverse(l.data(), 3), -1);
}

class LowerTriangularRandom : public testing::TestWithParam<int> {};

TEST_P(LowerTriangularRandom, InverseTimesMatrixIsIdentity) {
  int n = GetParam();
  Dense l = lower_part(random_matrix(n, n, 500 + n), n);
  for (int i = 0; i < n; ++i) l[i * n + i] = 2.0 + i;  // well away from singular
  Dense inv = l;
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) inv[i * n + j] = 7.0;  // must survive
  }
  ASSERT_EQ(Lower_Triangular_Inverse(inv.data(), n), 0);
  for (int i = 0; i < n; ++i) {
    for (int j = i + 1; j < n; ++j) EXPECT_EQ(inv[i * n + j], 7.0);
  }
  Dense inv_lower = lower_part(inv, n);
  EXPECT_LT(max_abs_difference(reference_product(l, n, n, inv_lower, n), identity(n)),
            kTolerance * n);
}

INSTANTIATE_TEST_SUITE_P(Sizes, LowerTriangularRandom, testing::Values(1, 2, 4, 7));

}  // namespace
