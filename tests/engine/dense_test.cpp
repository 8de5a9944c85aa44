#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "engine/choleski.h"
#include "engine/lower_triangular.h"
#include "engine/matrixutil.h"
#include "engine/upper_triangular.h"

namespace {

// Straightforward reference arithmetic: row-major std::vector matrices.
using Dense = std::vector<double>;

// (r x c) times (c x q), written out in the textbook order.
Dense reference_product(const Dense &a, int r, int c, const Dense &b, int q) {
  Dense p(static_cast<size_t>(r) * q, 0.0);
  for (int i = 0; i < r; ++i)
    for (int j = 0; j < q; ++j)
      for (int k = 0; k < c; ++k) p[i * q + j] += a[i * c + k] * b[k * q + j];
  return p;
}

Dense reference_transpose(const Dense &a, int r, int c) {
  Dense t(a.size());
  for (int i = 0; i < r; ++i)
    for (int j = 0; j < c; ++j) t[j * r + i] = a[i * c + j];
  return t;
}

Dense identity(int n) {
  Dense id(static_cast<size_t>(n) * n, 0.0);
  for (int i = 0; i < n; ++i) id[i * n + i] = 1.0;
  return id;
}

Dense random_matrix(int r, int c, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  Dense m(static_cast<size_t>(r) * c);
  for (double &v : m) v = value(rng);
  return m;
}

// Lower triangle and diagonal of a square matrix, zeros above.
Dense lower_part(const Dense &a, int n) {
  Dense l(a.size(), 0.0);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j <= i; ++j) l[i * n + j] = a[i * n + j];
  return l;
}

double max_abs_difference(const Dense &a, const Dense &b) {
  double worst = 0.0;
  for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
  return worst;
}

const double kTolerance = 1e-12;

// clang-format off
// A = L L^T with L = [2 0 0; 1 3 0; -1 2 4]; the factor keeps L^T above.
const Dense kIntegerA      = { 4,  2, -2,   2, 10, 5,   -2, 5, 21};
const Dense kIntegerFactor = { 2,  1, -1,   1,  3, 2,   -1, 2,  4};
// clang-format on

TEST(Choleski, IntegerFactorIsExactAndOnlyTheLowerTriangleIsRead) {
  Dense a = kIntegerA;
  a[1] = a[2] = a[5] = 1e9;
  ASSERT_EQ(Choleski_LU_Decomposition(a.data(), 3), 0);
  EXPECT_EQ(a, kIntegerFactor);
  Dense one = {4.0};
  ASSERT_EQ(Choleski_LU_Decomposition(one.data(), 1), 0);
  ASSERT_EQ(Choleski_LU_Inverse(one.data(), 1), 0);
  EXPECT_EQ(one[0], 0.25);
}

TEST(Choleski, RefusesMatricesThatAreNotPositiveDefinite) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Dense refused[] = {{1, 2, 2, 1}, {0}, {-4}, {1, 1, 1, 1},
                           {4, 2, 0, 2, 1, 0, 0, 0, 1}, {nan, 0, 0, 1}};
  for (Dense a : refused) {
    int n = static_cast<int>(std::sqrt(static_cast<double>(a.size())));
    EXPECT_EQ(Choleski_LU_Decomposition(a.data(), n), -1) << a.size() << " " << a[0];
  }
}

TEST(TriangularSolves, ZeroDiagonalFails) {
  Dense singular = {0, 0, 0, 1}, x(2);
  const double b[] = {1, 1};
  EXPECT_EQ(Choleski_LU_Solve(singular.data(), b, x.data(), 2), -1);
  EXPECT_EQ(Choleski_LU_Inverse(singular.data(), 2), -1);
  EXPECT_EQ(Lower_Triangular_Solve(singular.data(), b, x.data(), 2), -1);
  EXPECT_EQ(Lower_Triangular_Inverse(singular.data(), 2), -1);
  EXPECT_EQ(Upper_Triangular_Solve(singular.data(), b, x.data(), 2), -1);
}

TEST(TriangularSolves, HandWorkedSystemsInPlaceIgnoringTheOtherTriangle) {
  // 2 x0 = 4;  x0 + 4 x1 = 10;  -3 x0 + 2 x1 + 5 x2 = 3  ->  (2, 2, 1).
  const Dense lower = {2, 99, 99, 1, 4, 99, -3, 2, 5};
  Dense x = {4, 10, 3};
  ASSERT_EQ(Lower_Triangular_Solve(lower.data(), x.data(), x.data(), 3), 0);
  EXPECT_EQ(x, (Dense{2, 2, 1}));
  // 5 x2 = 10;  4 x1 + 3 x2 = 10;  2 x0 + x1 - x2 = 5  ->  (3, 1, 2).
  const Dense upper = {2, 1, -1, 99, 4, 3, 99, 99, 5};
  x = {5, 10, 10};
  ASSERT_EQ(Upper_Triangular_Solve(upper.data(), x.data(), x.data(), 3), 0);
  EXPECT_EQ(x, (Dense{3, 1, 2}));
}

class RandomSpd : public testing::TestWithParam<int> {};

TEST_P(RandomSpd, FactorInverseAndSolveAgreeWithTheReference) {
  const int n = GetParam();
  Dense a = random_matrix(n, n, 100 + n);  // M M^T + n I: comfortably positive definite
  a = reference_product(a, n, n, reference_transpose(a, n, n), n);
  for (int i = 0; i < n; ++i) a[i * n + i] += n;
  const Dense b = random_matrix(n, 1, 400 + n);
  Dense f = a;
  ASSERT_EQ(Choleski_LU_Decomposition(f.data(), n), 0);
  const Dense l = lower_part(f, n);
  EXPECT_EQ(f, reference_transpose(f, n, n));  // L^T above the diagonal
  EXPECT_LT(max_abs_difference(reference_product(l, n, n, reference_transpose(l, n, n), n), a),
            kTolerance * n);
  Dense x(n);
  const Dense factor = f;
  ASSERT_EQ(Choleski_LU_Solve(f.data(), b.data(), x.data(), n), 0);
  EXPECT_EQ(f, factor);  // the factor is only read
  EXPECT_LT(max_abs_difference(reference_product(a, n, n, x, 1), b), kTolerance * n);
  ASSERT_EQ(Choleski_LU_Inverse(f.data(), n), 0);
  EXPECT_EQ(f, reference_transpose(f, n, n));
  EXPECT_LT(max_abs_difference(reference_product(a, n, n, f, n), identity(n)), kTolerance * n);
}

TEST_P(RandomSpd, TriangularInverseAndBackSubstitution) {
  const int n = GetParam();
  Dense l = lower_part(random_matrix(n, n, 500 + n), n);
  for (int i = 0; i < n; ++i) l[i * n + i] = 2.0 + i;  // well away from singular
  Dense inv = l;
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j) inv[i * n + j] = 7.0;  // must survive
  ASSERT_EQ(Lower_Triangular_Inverse(inv.data(), n), 0);
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j) EXPECT_EQ(inv[i * n + j], 7.0);
  EXPECT_LT(max_abs_difference(reference_product(l, n, n, lower_part(inv, n), n), identity(n)),
            kTolerance * n);
  const Dense u = reference_transpose(l, n, n), b = random_matrix(n, 1, 78);
  Dense x(n);
  ASSERT_EQ(Upper_Triangular_Solve(u.data(), b.data(), x.data(), n), 0);
  EXPECT_LT(max_abs_difference(reference_product(u, n, n, x, 1), b), kTolerance * n);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RandomSpd, testing::Values(1, 2, 3, 6, 9));

struct Shape {
  int r, c, q;
};

void PrintTo(const Shape &s, std::ostream *os) { *os << s.r << "x" << s.c << "x" << s.q; }

class Products : public testing::TestWithParam<Shape> {};

TEST_P(Products, AgreeWithTheReferenceAndSelfProductsAreSymmetric) {
  const Shape s = GetParam();
  const Dense a = random_matrix(s.r, s.c, 1), b = random_matrix(s.c, s.q, 2);
  const Dense at = reference_transpose(a, s.r, s.c), bt = reference_transpose(b, s.c, s.q);
  Dense ab(s.r * s.q), abt(s.r * s.q), aat(s.r * s.r), ata(s.c * s.c), t(s.r * s.c);
  Multiply_Matrices(ab.data(), a.data(), s.r, s.c, b.data(), s.q);
  Multiply_Matrix_with_Transpose(abt.data(), a.data(), s.r, s.c, bt.data(), s.q);
  Multiply_Self_Transpose(aat.data(), a.data(), s.r, s.c);
  Self_Transpose_Multiply(ata.data(), a.data(), s.r, s.c);
  Transpose_Matrix(t.data(), a.data(), s.r, s.c);
  const Dense expected = reference_product(a, s.r, s.c, b, s.q);
  EXPECT_LT(max_abs_difference(ab, expected), kTolerance);
  EXPECT_LT(max_abs_difference(abt, expected), kTolerance);
  EXPECT_LT(max_abs_difference(aat, reference_product(a, s.r, s.c, at, s.r)), kTolerance);
  EXPECT_LT(max_abs_difference(ata, reference_product(at, s.c, s.r, a, s.c)), kTolerance);
  EXPECT_EQ(aat, reference_transpose(aat, s.r, s.r));
  EXPECT_EQ(ata, reference_transpose(ata, s.c, s.c));
  EXPECT_EQ(t, at);
}

INSTANTIATE_TEST_SUITE_P(Shapes, Products,
                         testing::Values(Shape{1, 1, 1}, Shape{2, 3, 2}, Shape{4, 2, 5},
                                         Shape{2, 7, 1}, Shape{9, 4, 9}));

TEST(DivideMatrixByScalar, MultipliesByTheReciprocal) {
  Dense a(100);
  for (int i = 0; i < 100; ++i) a[i] = i + 1;
  Dense scaled = a;
  Divide_Matrix_by_Scalar(scaled.data(), 3.0, 10, 10);
  int differs_from_true_division = 0;
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(scaled[i], a[i] * (1.0 / 3.0)) << a[i];
    differs_from_true_division += scaled[i] != a[i] / 3.0;
  }
  EXPECT_GT(differs_from_true_division, 0);  // else the test could not tell the two apart
}

}  // namespace
