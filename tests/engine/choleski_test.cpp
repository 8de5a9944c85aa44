#include "engine/choleski.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/engine/dense_reference.h"

namespace {

const double kTolerance = 1e-12;

// clang-format off
// A = L L^T with the integer factor
//   L = [ 2 0 0 ]        A = [  4  2 -2 ]
//       [ 1 3 0 ]            [  2 10  5 ]
//       [-1 2 4 ]            [ -2  5 21 ]
const Dense kIntegerA = { 4,  2, -2,
                          2, 10,  5,
                         -2,  5, 21};
const Dense kIntegerFactor = { 2, 1, -1,    // L below and on the diagonal,
                               1, 3,  2,    // L^T above it
                              -1, 2,  4};
// clang-format on

TEST(CholeskiDecomposition, OneByOne) {
  Dense a = {4.0};
  ASSERT_EQ(Choleski_LU_Decomposition(a.data(), 1), 0);
  EXPECT_EQ(a[0], 2.0);
  ASSERT_EQ(Choleski_LU_Inverse(a.data(), 1), 0);
  EXPECT_EQ(a[0], 0.25);
}

TEST(CholeskiDecomposition, IntegerFactorIsExactWithItsTransposeAbove) {
  Dense a = kIntegerA;
  ASSERT_EQ(Choleski_LU_Decomposition(a.data(), 3), 0);
  EXPECT_EQ(a, kIntegerFactor);
}

TEST(CholeskiDecomposition, ReadsOnlyTheLowerTriangle) {
  Dense a = kIntegerA;
  a[1] = a[2] = a[5] = 1e9;
  ASSERT_EQ(Choleski_LU_Decomposition(a.data(), 3), 0);
  EXPECT_EQ(a, kIntegerFactor);
}

struct NotDefinite {
  const char *name;
  Dense a;
};

void PrintTo(const NotDefinite &c, std::ostream *os) { *os << c.name; }

class CholeskiRefusal : public testing::TestWithParam<NotDefinite> {};

TEST_P(CholeskiRefusal, FailsOnAPivotThatIsNotPositive) {
  Dense a = GetParam().a;
  int n = static_cast<int>(std::sqrt(static_cast<double>(a.size())));
  EXPECT_EQ(Choleski_LU_Decomposition(a.data(), n), -1);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Matrices, CholeskiRefusal,
    testing::Values(NotDefinite{"indefinite", {1, 2, 2, 1}},
                    NotDefinite{"zero", {0}},
                    NotDefinite{"negative", {-4}},
                    NotDefinite{"singular", {1, 1, 1, 1}},
                    NotDefinite{"second pivot negative", {4, 2, 0, 2, 1, 0, 0, 0, 1}},
                    NotDefinite{"not a number", {kNaN, 0, 0, 1}}));

TEST(CholeskiSolve, TwoByTwoExample) {
  // [4 2; 2 3] x = (2, 1): x = (0.5, 0).
  Dense a = {4, 2, 2, 3};
  ASSERT_EQ(Choleski_LU_Decomposition(a.data(), 2), 0);
  Dense x(2);
  const double b[] = {2, 1};
  ASSERT_EQ(Choleski_LU_Solve(a.data(), b, x.data(), 2), 0);
  EXPECT_NEAR(x[0], 0.5, kTolerance);
  EXPECT_NEAR(x[1], 0.0, kTolerance);
}

TEST(CholeskiSolve, ZeroDiagonalFails) {
  Dense lu = {0, 0, 0, 1};
  Dense x(2);
  const double b[] = {1, 1};
  EXPECT_EQ(Choleski_LU_Solve(lu.data(), b, x.data(), 2), -1);
  EXPECT_EQ(Choleski_LU_Inverse(lu.data(), 2), -1);
}

class CholeskiRandomSpd : public testing::TestWithParam<int> {};

TEST_P(CholeskiRandomSpd, FactorReproducesTheMatrix) {
  int n = GetParam();
  Dense a = random_spd(n, 100 + n);
  Dense f = a;
  ASSERT_EQ(Choleski_LU_Decomposition(f.data(), n), 0);
  Dense l = lower_part(f, n);
  // L^T above the diagonal makes the whole array symmetric.
  EXPECT_EQ(f, reference_transpose(f, n, n));
  EXPECT_LT(max_abs_difference(reference_product(l, n, n, reference_transpose(l, n, n), n), a),
            kTolerance * n);
}

TEST_P(CholeskiRandomSpd, InverseTimesMatrixIsIdentity) {
  int n = GetParam();
  Dense a = random_spd(n, 200 + n);
  Dense inv = a;
  ASSERT_EQ(Choleski_LU_Decomposition(inv.data(), n), 0);
  ASSERT_EQ(Choleski_LU_Inverse(inv.data(), n), 0);
  EXPECT_EQ(inv, reference_transpose(inv, n, n));
  EXPECT_LT(max_abs_difference(reference_product(a, n, n, inv, n), identity(n)), kTolerance * n);
}

TEST_P(CholeskiRandomSpd, SolutionSatisfiesTheSystem) {
  int n = GetParam();
  Dense a = random_spd(n, 300 + n);
  Dense b = random_matrix(n, 1, 400 + n);
  Dense f = a;
  ASSERT_EQ(Choleski_LU_Decomposition(f.data(), n), 0);
  Dense factor = f;
  Dense x(n);
  ASSERT_EQ(Choleski_LU_Solve(f.data(), b.data(), x.data(), n), 0);
  EXPECT_EQ(f, factor);  // the factor is only read
  EXPECT_LT(max_abs_difference(reference_product(a, n, n, x, 1), b), kTolerance * n);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CholeskiRandomSpd, testing::Values(1, 2, 3, 4, 6, 9));

}  // namespace
