#include "engine/get_laplacian.h"

#include <gtest/gtest.h>

#include "engine/allocate.h"
#include "reference_laplacian.h"
#include "sparse/errhandl.h"
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

// A picture with its mask, and the Laplacian built from them.
struct Picture {
  TIFF_img image;
  const owned_array mask;
  QMatrix A;
  Picture(TIFF_img picture, MaskKind kind, double epsilon = 1e-7, int r = 1)
      : image(picture),
        mask(makeMask(picture.height, picture.width, kind)),
        A(getLaplacian1(&image, mask, epsilon, r)) {}
  ~Picture() {
    Q_Destr(&A);
    free_TIFF(&image);
  }
};

// A flat picture has zero centred colours, so every window adds 1/9 to each
// pair it holds: a pair shared by w windows ends as -w/9, the diagonal as
// the sum of its row's affinities. On 5 x 5 the centre pixel 13 shares 4
// windows with pixel 7, 6 with pixel 12 and 8 in total. The 3 x 3 picture is
// at most 4r high, so its offset table reaches some elements twice, which
// the diagonals keep (12/9 .. 14/9 instead of 8/9).
TEST(GetLaplacian, FlatPicturesGiveTheWorkedEntries) {
  const struct {
    int size;
    size_t row, column;
    double expected;
  } entries[] = {{5, 13, 13, 8.0},    {5, 7, 13, -4.0 / 9}, {5, 12, 13, -6.0 / 9},
                 {5, 1, 1, 8.0 / 9},  {3, 1, 9, -1.0 / 9},  {3, 1, 1, 12.0 / 9},
                 {3, 2, 2, 13.0 / 9}, {3, 5, 5, 14.0 / 9}};
  for (int size : {3, 5}) {
    Picture p(colour_picture(size, size, [](int, int) { return grey(255); }), kNoConstraints);
    for (const auto &c : entries) {
      if (c.size != size) continue;
      EXPECT_NEAR(Q_GetEl(&p.A, c.row, c.column), c.expected, 1e-12)
          << size << " x " << size << " (" << c.row << ", " << c.column << ")";
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
  Picture p(noise_picture(c.width, c.height, c.type, c.height * 31 + c.width), c.mask, c.epsilon,
            c.r);
  QMatrix expected = referenceLaplacian(&p.image, p.mask, c.epsilon, c.r);
  expectIdenticalMatrices(&expected, &p.A);
  Q_Destr(&expected);
}

// Pictures 2, 3 and 4 high (at most 4r: offsets coincide), masks of each kind.
INSTANTIATE_TEST_SUITE_P(
    SmallRandomPictures, GetLaplacianVsReference,
    ::testing::Values(ReferenceCase{3, 3, 1, 'c', kNoConstraints, 1e-7},
                      ReferenceCase{4, 7, 1, 'c', kNoConstraints, 1e-6},
                      ReferenceCase{4, 9, 1, 'c', kScatteredConstraints, 1e-7},
                      ReferenceCase{2, 6, 1, 'c', kNoConstraints, 1e-7},
                      ReferenceCase{11, 12, 1, 'c', kScatteredConstraints, 1e-5},
                      ReferenceCase{7, 9, 1, 'g', kNoConstraints, 1e-7},
                      ReferenceCase{13, 12, 2, 'c', kConstrainedBlock, 1e-7},
                      ReferenceCase{12, 10, 2, 'g', kScatteredConstraints, 1e-7},
                      ReferenceCase{16, 15, 3, 'c', kScatteredConstraints, 1e-7}));

TEST(GetLaplacian, EpsilonAndRadiusBelowTheFloorsActAsTheFloors) {
  Picture p(noise_picture(9, 8, 'c', 11u), kScatteredConstraints);
  QMatrix low = getLaplacian1(&p.image, p.mask, 0.0, 0);
  expectIdenticalMatrices(&p.A, &low);
  Q_Destr(&low);
}

// A container error already recorded (the row table could not be
// allocated, say) leaves the matrix without rows: nothing is written into
// rows that do not exist.
TEST(GetLaplacian, ARecordedContainerErrorGivesAMatrixWithoutRows) {
  LASError(LASMemAllocErr, "test", NULL, NULL, NULL);
  Picture p(noise_picture(6, 6, 'c', 2u), kNoConstraints);
  EXPECT_EQ(p.A.Dim, 36u);
  EXPECT_EQ(p.A.Len, nullptr);
  LASClearError();
}

}  // namespace
