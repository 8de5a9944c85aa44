#include "engine/get_laplacian.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/allocate.h"
#include "reference_laplacian.h"
#include "sparse/errhandl.h"
#include "test_pictures.h"

namespace {

const double kTight = 1e-12;

enum MaskKind { kNoConstraints, kConstrainedBlock, kScatteredConstraints };

double **makeMask(int height, int width, MaskKind kind) {
  double **mask = filledArray(height, width, 0.0);
  unsigned state = 12345u;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      state = state * 1664525u + 1013904223u;
      if (kind == kConstrainedBlock) mask[y][x] = (x < width / 2 && y >= height / 3) ? 1.0 : 0.0;
      if (kind == kScatteredConstraints) mask[y][x] = (state >> 30) != 0 ? 1.0 : 0.0;
    }
  return mask;
}

// The element (row, column) of the full symmetric matrix.
double fullElement(QMatrix *A, size_t row, size_t column) {
  return Q_GetEl(A, row, column);
}

void expectIdenticalMatrices(QMatrix *expected, QMatrix *actual) {
  ASSERT_EQ(expected->Dim, actual->Dim);
  for (size_t k = 1; k <= expected->Dim; k++) {
    ASSERT_EQ(Q_GetLen(expected, k), Q_GetLen(actual, k)) << "row " << k;
    for (size_t e = 0; e < Q_GetLen(expected, k); e++) {
      ASSERT_EQ(Q_GetPos(expected, k, e), Q_GetPos(actual, k, e)) << "row " << k;
      ASSERT_EQ(Q_GetVal(expected, k, e), Q_GetVal(actual, k, e))
          << "row " << k << " column " << Q_GetPos(actual, k, e);
    }
  }
}

// A pixel's row is empty exactly when no window that is built contains it;
// a window is built when its centre is r inside the picture and at least one
// of its pixels is unconstrained.
bool inSomeBuiltWindow(double **mask, int height, int width, int r, int y, int x) {
  for (int cy = y - r; cy <= y + r; cy++)
    for (int cx = x - r; cx <= x + r; cx++) {
      if (cy < r || cy >= height - r || cx < r || cx >= width - r) continue;
      for (int wy = cy - r; wy <= cy + r; wy++)
        for (int wx = cx - r; wx <= cx + r; wx++)
          if (mask[wy][wx] == 0.0) return true;
    }
  return false;
}

struct Picture {
  TIFF_img image;
  double **mask;
  Picture(int height, int width, char type, MaskKind kind, unsigned seed)
      : image(noisePicture(height, width, type, seed)),
        mask(makeMask(height, width, kind)) {}
  ~Picture() {
    free_TIFF(&image);
    free_img((void **)mask);
  }
};

struct FlatCase {
  int size;
  size_t row, column;
  double expected;
};

// A flat picture has zero centred colours, so every window adds 1/9 to each
// pair it holds; a pair shared by w windows ends as -w/9 and the diagonal as
// the sum of its row's affinities. On 5 x 5 the centre pixel (row 13) shares
// (3-|dx|)(3-|dy|) windows with the pixel at (dx, dy): 4 with pixel 7
// (dx = dy = -1), 6 with pixel 12 (dx = 0, dy = -1), and 9*9/9 - 1 = 8 in
// total. The 3 x 3 picture has one window; being at most 4r high its
// neighbour table reaches some elements twice, which the diagonals keep.
const FlatCase kFlatCases[] = {
    {5, 13, 13, 8.0},        {5, 7, 13, -4.0 / 9},  {5, 12, 13, -6.0 / 9},
    {5, 13, 25, -1.0 / 9},   {5, 1, 1, 8.0 / 9},    {5, 1, 13, -1.0 / 9},
    {3, 1, 9, -1.0 / 9},     {3, 4, 6, -1.0 / 9},   {3, 1, 1, 12.0 / 9},
    {3, 2, 2, 13.0 / 9},     {3, 3, 3, 14.0 / 9},   {3, 5, 5, 14.0 / 9},
    {3, 7, 7, 14.0 / 9},     {3, 8, 8, 13.0 / 9},   {3, 9, 9, 12.0 / 9},
};

TEST(GetLaplacian, FlatPicturesGiveTheWorkedEntries) {
  for (const FlatCase &c : kFlatCases) {
    TIFF_img image = flatPicture(c.size, c.size, 255);
    double **mask = filledArray(c.size, c.size, 0.0);
    QMatrix A = getLaplacian1(&image, mask, 1e-7, 1);
    EXPECT_NEAR(fullElement(&A, c.row, c.column), c.expected, kTight)
        << c.size << " x " << c.size << " (" << c.row << ", " << c.column << ")";
    Q_Destr(&A);
    free_img((void **)mask);
    free_TIFF(&image);
  }
}

struct RowShape {
  int size;
  size_t row;
  std::vector<size_t> columns;
};

TEST(GetLaplacian, FlatPicturesGiveTheWorkedRowShapes) {
  const RowShape shapes[] = {
      {5, 13, {13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}},
      {5, 1, {1, 2, 3, 6, 7, 8, 11, 12, 13}},
      {3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {3, 9, {9}},
  };
  for (const RowShape &s : shapes) {
    TIFF_img image = flatPicture(s.size, s.size, 255);
    double **mask = filledArray(s.size, s.size, 0.0);
    QMatrix A = getLaplacian1(&image, mask, 1e-7, 1);
    std::vector<size_t> columns;
    for (size_t e = 0; e < Q_GetLen(&A, s.row); e++) columns.push_back(Q_GetPos(&A, s.row, e));
    EXPECT_EQ(columns, s.columns) << s.size << " x " << s.size << " row " << s.row;
    Q_Destr(&A);
    free_img((void **)mask);
    free_TIFF(&image);
  }
}

struct ReferenceCase {
  int height, width, r;
  char type;
  MaskKind mask;
  double epsilon;
};

void PrintTo(const ReferenceCase &c, std::ostream *os) {
  *os << c.height << " x " << c.width << ", r " << c.r << ", type " << c.type
      << ", mask kind " << c.mask << ", epsilon " << c.epsilon;
}

class GetLaplacianVsReference : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(GetLaplacianVsReference, BuildsTheIdenticalMatrix) {
  const ReferenceCase c = GetParam();
  Picture p(c.height, c.width, c.type, c.mask, c.height * 31 + c.width);
  QMatrix expected = referenceLaplacian(&p.image, p.mask, c.epsilon, c.r);
  QMatrix actual = getLaplacian1(&p.image, p.mask, c.epsilon, c.r);
  expectIdenticalMatrices(&expected, &actual);
  Q_Destr(&expected);
  Q_Destr(&actual);
}

INSTANTIATE_TEST_SUITE_P(
    SmallRandomPictures, GetLaplacianVsReference,
    ::testing::Values(ReferenceCase{3, 3, 1, 'c', kNoConstraints, 1e-7},
                      ReferenceCase{3, 8, 1, 'c', kNoConstraints, 1e-7},
                      ReferenceCase{4, 7, 1, 'c', kNoConstraints, 1e-6},
                      ReferenceCase{4, 9, 1, 'c', kScatteredConstraints, 1e-7},
                      ReferenceCase{3, 10, 1, 'c', kConstrainedBlock, 1e-7},
                      ReferenceCase{9, 8, 1, 'c', kConstrainedBlock, 1e-7},
                      ReferenceCase{11, 12, 1, 'c', kScatteredConstraints, 1e-5},
                      ReferenceCase{7, 9, 1, 'g', kNoConstraints, 1e-7},
                      ReferenceCase{6, 11, 2, 'c', kNoConstraints, 1e-7},
                      ReferenceCase{13, 12, 2, 'c', kConstrainedBlock, 1e-7},
                      ReferenceCase{12, 10, 2, 'g', kScatteredConstraints, 1e-7},
                      ReferenceCase{16, 15, 3, 'c', kScatteredConstraints, 1e-7},
                      ReferenceCase{2, 6, 1, 'c', kNoConstraints, 1e-7}),
    [](const ::testing::TestParamInfo<ReferenceCase> &info) {
      const ReferenceCase &c = info.param;
      return std::to_string(c.height) + "x" + std::to_string(c.width) + "_r" +
             std::to_string(c.r) + "_" + c.type + "_mask" + std::to_string(c.mask) +
             "_" + std::to_string(info.index);
    });

class GetLaplacianTextured : public ::testing::TestWithParam<int> {};

// Taller than 4r the neighbour offsets are all distinct, so L = D - A
// exactly: every row of the full matrix sums to zero, and L is positive
// semi-definite like any Laplacian.
TEST_P(GetLaplacianTextured, RowsSumToZeroAndQuadraticFormIsNonNegative) {
  const int r = GetParam(), height = 4 * r + 3, width = 4 * r + 4;
  Picture p(height, width, 'c', kConstrainedBlock, 7u + r);
  QMatrix A = getLaplacian1(&p.image, p.mask, 1e-7, r);
  const size_t N = A.Dim;
  std::vector<double> v(N);
  for (size_t k = 0; k < N; k++) v[k] = std::sin(0.7 * k) + 0.3;
  double quadratic = 0.0, scale = 0.0;
  for (size_t i = 1; i <= N; i++) {
    double rowSum = 0.0, rowScale = 0.0;
    for (size_t j = 1; j <= N; j++) {
      const double a = fullElement(&A, i, j);
      rowSum += a;
      rowScale += std::fabs(a);
      quadratic += v[i - 1] * a * v[j - 1];
    }
    scale += rowScale;
    EXPECT_NEAR(rowSum, 0.0, 1e-9 * (1.0 + rowScale)) << "row " << i;
  }
  EXPECT_GE(quadratic, -1e-9 * scale);
  Q_Destr(&A);
}

INSTANTIATE_TEST_SUITE_P(Radii, GetLaplacianTextured, ::testing::Values(1, 2));

TEST(GetLaplacian, RowsAreEmptyExactlyWhereNoBuiltWindowReaches) {
  const int height = 14, width = 13;
  for (int r = 1; r <= 2; r++) {
    Picture p(height, width, 'c', kNoConstraints, 3u);
    for (int y = 2; y < 12; y++)
      for (int x = 1; x < 10; x++) p.mask[y][x] = 1.0;
    QMatrix A = getLaplacian1(&p.image, p.mask, 1e-7, r);
    int empty = 0;
    for (int x = 0; x < width; x++)
      for (int y = 0; y < height; y++) {
        const size_t k = (size_t)x * height + y + 1;
        const bool expectEmpty = !inSomeBuiltWindow(p.mask, height, width, r, y, x);
        EXPECT_EQ(Q_GetLen(&A, k) == 0, expectEmpty) << "r " << r << " (" << y << ", " << x << ")";
        empty += expectEmpty;
      }
    EXPECT_GT(empty, 0) << "the constrained block should empty some rows";
    Q_Destr(&A);
  }
}

TEST(GetLaplacian, PicturesWithoutAWindowHaveOnlyEmptyRows) {
  const int sizes[][2] = {{2, 9}, {9, 2}, {1, 1}};
  for (const auto &s : sizes) {
    Picture p(s[0], s[1], 'c', kNoConstraints, 5u);
    QMatrix A = getLaplacian1(&p.image, p.mask, 1e-7, 1);
    for (size_t k = 1; k <= A.Dim; k++) EXPECT_EQ(Q_GetLen(&A, k), 0u);
    Q_Destr(&A);
  }
}

TEST(GetLaplacian, EpsilonAndRadiusBelowTheFloorsActAsTheFloors) {
  Picture p(8, 9, 'c', kScatteredConstraints, 11u);
  QMatrix floored = getLaplacian1(&p.image, p.mask, 1e-7, 1);
  QMatrix low = getLaplacian1(&p.image, p.mask, 0.0, 0);
  expectIdenticalMatrices(&floored, &low);
  Q_Destr(&floored);
  Q_Destr(&low);
}

TEST(GetLaplacian, ARecordedContainerErrorGivesAMatrixWithoutRows) {
  Picture p(6, 6, 'c', kNoConstraints, 2u);
  LASError(LASMemAllocErr, "test", NULL, NULL, NULL);
  QMatrix A = getLaplacian1(&p.image, p.mask, 1e-7, 1);
  EXPECT_EQ(A.Dim, 36u);
  EXPECT_EQ(A.Len, nullptr);
  Q_Destr(&A);
  LASClearError();
}

}  // namespace
