#include "engine/matrixutil.h"

#include <gtest/gtest.h>

#include "tests/engine/dense_reference.h"

namespace {

const double kTolerance = 1e-12;

// clang-format off
const Dense kA = {1, 2, 3,      // 2 x 3
                  4, 5, 6};
const Dense kB = {7,  8,        // 3 x 2
                  9, 10,
                 11, 12};
// clang-format on

TEST(MatrixUtil, TransposeByHand) {
  Dense t(6);
  Transpose_Matrix(t.data(), kA.data(), 2, 3);
  EXPECT_EQ(t, (Dense{1, 4, 2, 5, 3, 6}));
}

TEST(MatrixUtil, ProductByHand) {
  // [1 2 3; 4 5 6] [7 8; 9 10; 11 12] = [58 64; 139 154]
  Dense p(4);
  Multiply_Matrices(p.data(), kA.data(), 2, 3, kB.data(), 2);
  EXPECT_EQ(p, (Dense{58, 64, 139, 154}));
}

struct Shape {
  int r, c, q;
};

void PrintTo(const Shape &s, std::ostream *os) { *os << s.r << "x" << s.c << "x" << s.q; }

class ProductsAgainstReference : public testing::TestWithParam<Shape> {};

TEST_P(ProductsAgainstReference, MatrixTimesMatrix) {
  Shape s = GetParam();
  Dense a = random_matrix(s.r, s.c, 1), b = random_matrix(s.c, s.q, 2);
  Dense p(static_cast<size_t>(s.r) * s.q);
  Multiply_Matrices(p.data(), a.data(), s.r, s.c, b.data(), s.q);
  EXPECT_LT(max_abs_difference(p, reference_product(a, s.r, s.c, b, s.q)), kTolerance);
}

TEST_P(ProductsAgainstReference, MatrixTimesTransposed) {
  Shape s = GetParam();
  Dense a = random_matrix(s.r, s.c, 3), b = random_matrix(s.q, s.c, 4);
  Dense p(static_cast<size_t>(s.r) * s.q);
  Multiply_Matrix_with_Transpose(p.data(), a.data(), s.r, s.c, b.data(), s.q);
  Dense expected = reference_product(a, s.r, s.c, reference_transpose(b, s.q, s.c), s.q);
  EXPECT_LT(max_abs_difference(p, expected), kTolerance);
}

TEST_P(ProductsAgainstReference, SelfTimesTransposeIsSymmetric) {
  Shape s = GetParam();
  Dense a = random_matrix(s.r, s.c, 5);
  Dense p(static_cast<size_t>(s.r) * s.r);
  Multiply_Self_Transpose(p.data(), a.data(), s.r, s.c);
  Dense expected = reference_product(a, s.r, s.c, reference_transpose(a, s.r, s.c), s.r);
  EXPECT_LT(max_abs_difference(p, expected), kTolerance);
  EXPECT_EQ(p, reference_transpose(p, s.r, s.r));
}

TEST_P(ProductsAgainstReference, TransposeTimesSelfIsSymmetric) {
  Shape s = GetParam();
  Dense a = random_matrix(s.r, s.c, 6);
  Dense p(static_cast<size_t>(s.c) * s.c);
  Self_Transpose_Multiply(p.data(), a.data(), s.r, s.c);
  Dense expected = reference_product(reference_transpose(a, s.r, s.c), s.c, s.r, a, s.c);
  EXPECT_LT(max_abs_difference(p, expected), kTolerance);
  EXPECT_EQ(p, reference_transpose(p, s.c, s.c));
}

INSTANTIATE_TEST_SUITE_P(Shapes, ProductsAgainstReference,
                         testing::Values(Shape{1, 1, 1}, Shape{3, 3, 3}, Shape{4, 2, 5},
                                         Shape{2, 7, 1}, Shape{9, 4, 9}));

TEST(MatrixUtil, DivisionMultipliesByTheReciprocal) {
  Dense a(100);
  for (int i = 0; i < 100; ++i) a[i] = i + 1;
  Dense scaled = a;
  Divide_Matrix_by_Scalar(scaled.data(), 3.0, 10, 10);
  const double third = 1.0 / 3.0;
  int differs_from_true_division = 0;
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(scaled[i], a[i] * third) << a[i];
    if (scaled[i] != a[i] / 3.0) ++differs_from_true_division;
  }
  // The sample must contain a value where the two ways round differently,
  // otherwise this test could not tell them apart.
  EXPECT_GT(differs_from_true_division, 0);
}

}  // namespace
