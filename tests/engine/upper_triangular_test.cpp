#include "engine/upper_triangular.h"

#include <gtest/gtest.h>

#include "tests/engine/dense_reference.h"

namespace {

// clang-format off
// The lower triangle holds values the solve must never read.
const Dense kU = { 2,  1, -1,
                  99,  4,  3,
                  99, 99,  5};
// clang-format on

TEST(UpperTriangularSolve, BackSubstitutionByHand) {
  // 5 x2 = 10 -> 2;  4 x1 + 3 x2 = 10 -> 1;  2 x0 + x1 - x2 = 5 -> 3.
  const double b[] = {5, 10, 10};
  Dense x(3);
  ASSERT_EQ(Upper_Triangular_Solve(kU.data(), b, x.data(), 3), 0);
  EXPECT_EQ(x, (Dense{3, 1, 2}));
}

TEST(UpperTriangularSolve, SolvesInPlace) {
  Dense x = {5, 10, 10};
  ASSERT_EQ(Upper_Triangular_Solve(kU.data(), x.data(), x.data(), 3), 0);
  EXPECT_EQ(x, (Dense{3, 1, 2}));
}

TEST(UpperTriangularSolve, ZeroDiagonalFails) {
  Dense u = kU;
  u[0] = 0.0;
  Dense x(3);
  const double b[] = {1, 1, 1};
  EXPECT_EQ(Upper_Triangular_Solve(u.data(), b, x.data(), 3), -1);
}

TEST(UpperTriangularSolve, RandomSystemIsSatisfied) {
  const int n = 6;
  Dense u = reference_transpose(lower_part(random_matrix(n, n, 77), n), n, n);
  for (int i = 0; i < n; ++i) u[i * n + i] = 1.5 + i;
  Dense b = random_matrix(n, 1, 78);
  Dense x(n);
  ASSERT_EQ(Upper_Triangular_Solve(u.data(), b.data(), x.data(), n), 0);
  EXPECT_LT(max_abs_difference(reference_product(u, n, n, x, 1), b), 1e-12);
}

}  // namespace
