#include "engine/get_laplacian.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/allocate.h"
#include "reference_laplacian.h"
#include "tests/support/pictures.h"

namespace {

enum MaskKind { kNoConstraints, kConstrainedBlock, kScatteredConstraints };

double **makeMask(int height, int width, MaskKind kind) {
  double **mask = filled_array(width, height, 0.0);
  unsigned state = 12345u;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      state = state * 1664525u + 1013904223u;
      if (kind == kConstrainedBlock) mask[y][x] = (x < width / 2 && y >= height / 3) ? 1.0 : 0.0;
      if (kind == kScatteredConstraints) mask[y][x] = (state >> 30) != 0 ? 1.0 : 0.0;
    }
  return mask;
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

// A window is built when its centre is r inside the picture and at least one
// of its pixels is unconstrained; a row is empty exactly when no built window
// contains its pixel.
bool inSomeBuiltWindow(double **mask, int height, int width, int r, int y, int x) {
  for (int cy = std::max(r, y - r); cy <= std::min(height - r - 1, y + r); cy++)
    for (int cx = std::max(r, x - r); cx <= std::min(width - r - 1, x + r); cx++)
      for (int wy = cy - r; wy <= cy + r; wy++)
        for (int wx = cx - r; wx <= cx + r; wx++)
          if (mask[wy][wx] == 0.0) return true;
  return false;
}

// A picture with its mask, and the Laplacian built from them.
struct Picture {
  TIFF_img image;
  double **mask;
  QMatrix A;
  bool built = false;
  Picture(TIFF_img picture, MaskKind kind)
      : image(picture), mask(makeMask(picture.height, picture.width, kind)) {}
  QMatrix *build(double epsilon, int r) {
    A = getLaplacian1(&image, mask, epsilon, r);
    built = true;
    return &A;
  }
  ~Picture() {
    if (built) Q_Destr(&A);
    free_TIFF(&image);
    free_img((void **)mask);
  }
};

// A flat picture has zero centred colours, so every window adds 1/9 to each
// pair it holds: a pair shared by w windows ends as -w/9, the diagonal as
// the sum of its row's affinities. On 5 x 5 the centre pixel 13 shares 4
// windows with pixel 7, 6 with pixel 12 and 8 in total. The 3 x 3 picture is
// at most 4r high, so its offset table reaches some elements twice, which
// the diagonals keep (12/9 .. 14/9 instead of 8/9).
TEST(GetLaplacian, FlatPicturesGiveTheWorkedEntriesAndRowShapes) {
  const struct {
    int size;
    size_t row, column;
    double expected;
  } entries[] = {{5, 13, 13, 8.0},     {5, 7, 13, -4.0 / 9},  {5, 12, 13, -6.0 / 9},
                 {5, 13, 25, -1.0 / 9}, {5, 1, 1, 8.0 / 9},   {5, 1, 13, -1.0 / 9},
                 {3, 1, 9, -1.0 / 9},   {3, 4, 6, -1.0 / 9},  {3, 1, 1, 12.0 / 9},
                 {3, 2, 2, 13.0 / 9},   {3, 3, 3, 14.0 / 9},  {3, 5, 5, 14.0 / 9},
                 {3, 8, 8, 13.0 / 9},   {3, 9, 9, 12.0 / 9}};
  const struct {
    int size;
    size_t row;
    std::vector<size_t> columns;
  } shapes[] = {{5, 13, {13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}},
                {5, 1, {1, 2, 3, 6, 7, 8, 11, 12, 13}},
                {3, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
                {3, 9, {9}}};
  for (int size : {3, 5}) {
    Picture p(colour_picture(size, size, [](int, int) { return grey(255); }), kNoConstraints);
    QMatrix *A = p.build(1e-7, 1);
    for (const auto &c : entries) {
      if (c.size != size) continue;
      EXPECT_NEAR(Q_GetEl(A, c.row, c.column), c.expected, 1e-12)
          << size << " x " << size << " (" << c.row << ", " << c.column << ")";
    }
    for (const auto &s : shapes) {
      if (s.size != size) continue;
      std::vector<size_t> columns;
      for (size_t e = 0; e < Q_GetLen(A, s.row); e++) columns.push_back(Q_GetPos(A, s.row, e));
      EXPECT_EQ(columns, s.columns) << size << " x " << size << " row " << s.row;
    }
  }
}

struct ReferenceCase {
  int height, width, r;
  char type;
  MaskKind mask;
  double epsilon;
};

class GetLaplacianVsReference : public ::testing::TestWithParam<ReferenceCase> {};

TEST_P(GetLaplacianVsReference, BuildsTheIdenticalMatrix) {
  const ReferenceCase c = GetParam();
  Picture p(noise_picture(c.width, c.height, c.type, c.height * 31 + c.width), c.mask);
  QMatrix expected = referenceLaplacian(&p.image, p.mask, c.epsilon, c.r);
  expectIdenticalMatrices(&expected, p.build(c.epsilon, c.r));
  Q_Destr(&expected);
}

// Pictures 2, 3 and 4 high (at most 4r: offsets coincide), masks of each kind.
INSTANTIATE_TEST_SUITE_P(
    SmallRandomPictures, GetLaplacianVsReference,
    ::testing::Values(ReferenceCase{3, 3, 1, 'c', kNoConstraints, 1e-7},
                      ReferenceCase{3, 10, 1, 'c', kConstrainedBlock, 1e-7},
                      ReferenceCase{4, 7, 1, 'c', kNoConstraints, 1e-6},
                      ReferenceCase{4, 9, 1, 'c', kScatteredConstraints, 1e-7},
                      ReferenceCase{2, 6, 1, 'c', kNoConstraints, 1e-7},
                      ReferenceCase{9, 8, 1, 'c', kConstrainedBlock, 1e-7},
                      ReferenceCase{11, 12, 1, 'c', kScatteredConstraints, 1e-5},
                      ReferenceCase{7, 9, 1, 'g', kNoConstraints, 1e-7},
                      ReferenceCase{6, 11, 2, 'c', kNoConstraints, 1e-7},
                      ReferenceCase{13, 12, 2, 'c', kConstrainedBlock, 1e-7},
                      ReferenceCase{12, 10, 2, 'g', kScatteredConstraints, 1e-7},
                      ReferenceCase{16, 15, 3, 'c', kScatteredConstraints, 1e-7}));

// Taller than 4r the neighbour offsets are all distinct, so every row of the
// full matrix sums to zero.
TEST(GetLaplacian, TexturedRowsSumToZero) {
  for (int r = 1; r <= 2; r++) {
    Picture p(noise_picture(4 * r + 4, 4 * r + 3, 'c', 7u + r), kConstrainedBlock);
    QMatrix *A = p.build(1e-7, r);
    for (size_t i = 1; i <= A->Dim; i++) {
      double rowSum = 0.0, rowScale = 0.0;
      for (size_t j = 1; j <= A->Dim; j++) {
        rowSum += Q_GetEl(A, i, j);
        rowScale += std::fabs(Q_GetEl(A, i, j));
      }
      EXPECT_NEAR(rowSum, 0.0, 1e-9 * (1.0 + rowScale)) << "r " << r << " row " << i;
    }
  }
}

TEST(GetLaplacian, RowsAreEmptyExactlyWhereNoBuiltWindowReaches) {
  const int height = 14, width = 13;
  for (int r = 1; r <= 2; r++) {
    Picture p(noise_picture(width, height, 'c', 3u), kNoConstraints);
    for (int y = 2; y < 12; y++)
      for (int x = 1; x < 10; x++) p.mask[y][x] = 1.0;
    QMatrix *A = p.build(1e-7, r);
    int empty = 0;
    for (int x = 0; x < width; x++)
      for (int y = 0; y < height; y++) {
        const bool expectEmpty = !inSomeBuiltWindow(p.mask, height, width, r, y, x);
        EXPECT_EQ(Q_GetLen(A, (size_t)x * height + y + 1) == 0, expectEmpty)
            << "r " << r << " (" << y << ", " << x << ")";
        empty += expectEmpty;
      }
    EXPECT_GT(empty, 0) << "the constrained block should empty some rows";
  }
  for (const auto &s : {std::make_pair(2, 9), std::make_pair(9, 2), std::make_pair(1, 1)}) {
    Picture p(noise_picture(s.second, s.first, 'c', 5u), kNoConstraints);
    QMatrix *A = p.build(1e-7, 1);  // no window fits at all
    for (size_t k = 1; k <= A->Dim; k++) EXPECT_EQ(Q_GetLen(A, k), 0u);
  }
}

TEST(GetLaplacian, EpsilonAndRadiusBelowTheFloorsActAsTheFloors) {
  Picture p(noise_picture(9, 8, 'c', 11u), kScatteredConstraints);
  QMatrix low = getLaplacian1(&p.image, p.mask, 0.0, 0);
  expectIdenticalMatrices(p.build(1e-7, 1), &low);
  Q_Destr(&low);
}

}  // namespace
