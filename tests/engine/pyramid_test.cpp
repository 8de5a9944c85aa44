#include "engine/pyramid.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/allocate.h"
#include "test_pictures.h"

namespace {

const int kRadius = 2;

TEST(Pyramid, LevelSizesFollowTheKernelGeometry) {
  // (n - 2r) / 2 + n mod 2, worked by hand: n, r, size one level down.
  const int cases[][3] = {{100, 2, 48}, {48, 2, 22}, {22, 2, 9}, {9, 2, 3},
                          {11, 2, 4},   {5, 2, 1},   {7, 1, 3}};
  for (const auto &c : cases) EXPECT_EQ(downSmpSize(c[0], c[1]), c[2]) << c[0] << " r " << c[1];
}

TEST(Pyramid, DeepestPyramidStopsBeforeALevelTooSmallForItsWindows) {
  // 100 -> 48 -> 22 -> 9 -> 3 -> (3 < 5: not down-sampled again). Radius 1
  // needs 3 samples a side, radius 2 five, radius 5 eleven.
  const int cases[][4] = {{100, 100, 1, 5}, {100, 100, 2, 4}, {100, 100, 5, 3}, {100, 9, 1, 2},
                          {9, 100, 2, 1},   {50, 50, 1, 4},   {11, 11, 1, 2},   {8, 8, 1, 1},
                          {1, 1, 1, 1},     {0, 0, 1, 1},     {100, 100, 0, 5}};
  for (const auto &c : cases)
    EXPECT_EQ(max_pyramid_levels(c[0], c[1], c[2]), c[3]) << c[0] << "x" << c[1] << " r " << c[2];
}

// Background strokes on the left, foreground on the right. A one-pixel
// stroke weighs 0.375 < 0.5 and is gone one level down. Twelve columns,
// worked by hand: 5 columns at 48 wide, 2 (background) and 1 (foreground) at
// 22 wide, none at 9 wide. Half and half survive every level.
TEST(Pyramid, ConstraintLevelsStopBeforeAStrokeVanishes) {
  const int cases[][3] = {  // stroke width, levels asked for, levels allowed
      {1, 4, 1}, {12, 9, 3}, {12, 2, 2}, {50, 4, 4}, {50, 1, 1}};
  const int n = 100;
  for (const auto &c : cases) {
    double **mask = filledArray(n, n, 0.0), **values = filledArray(n, n, 0.0);
    for (int y = 0; y < n; y++)
      for (int k = 0; k < c[0]; k++) {
        mask[y][k] = mask[y][n - 1 - k] = 1.0;
        values[y][n - 1 - k] = 1.0;
      }
    EXPECT_EQ(max_constraint_levels(mask, values, n, n, c[1]), c[2]) << c[0] << ", " << c[1];
    EXPECT_EQ(mask[0][0], 1.0);  // the caller's maps are left alone
    free_img((void **)mask);
    free_img((void **)values);
  }
}

// Grey picture whose sample at (y, x) is 10 y + x.
TIFF_img linear_grey(int size) {
  TIFF_img img;
  get_TIFF(&img, size, size, 'g');
  for (int y = 0; y < size; y++)
    for (int x = 0; x < size; x++) img.plane[y][x] = (unsigned char)(10 * y + x);
  return img;
}

TEST(DownSmpIm, SampleIsTheTruncatedWeightedSumAroundItsCentre) {
  // A symmetric kernel summing to 1 keeps a linear ramp: output (i, j)
  // reads the input at its centre (2i + 2, 2j + 2).
  TIFF_img in = linear_grey(7);
  TIFF_img out = downSmpIm(&in, kRadius);
  ASSERT_EQ(out.TIFF_type, 'g');
  ASSERT_EQ(out.height, 2);
  ASSERT_EQ(out.width, 2);
  EXPECT_EQ(out.plane[0][0], 22);
  EXPECT_EQ(out.plane[0][1], 24);
  EXPECT_EQ(out.plane[1][0], 42);
  EXPECT_EQ(out.plane[1][1], 44);
  free_TIFF(&in);
  free_TIFF(&out);
  // 255 * 0.375^2 = 35.86 at the centre plus 255 * 0.0625^2 = 0.996 in the
  // corner: 36.86, truncated.
  in = linear_grey(5);
  for (int y = 0; y < 5; y++)
    for (int x = 0; x < 5; x++) in.plane[y][x] = 0;
  in.plane[2][2] = in.plane[0][0] = 255;
  out = downSmpIm(&in, kRadius);
  EXPECT_EQ(out.plane[0][0], 36);
  free_TIFF(&in);
  free_TIFF(&out);
}

// The radius-2 taps are 1, 4, 6, 4, 1 sixteenths, so each weighted sum is an
// exact integer over 256: the reference computes it in integers.
static int reference_sum(int (*at)(int y, int x, const void *), const void *data, int y, int x) {
  const int tap[5] = {1, 4, 6, 4, 1};
  int sum = 0;
  for (int b = -2; b <= 2; b++)
    for (int a = -2; a <= 2; a++) sum += at(y + b, x + a, data) * tap[b + 2] * tap[a + 2];
  return sum;
}

TEST(DownSmpIm, MatchesAnExactReferenceOnRandomPictures) {
  TIFF_img in = noisePicture(23, 18, 'c', 7);
  TIFF_img out = downSmpIm(&in, kRadius);
  ASSERT_EQ(out.height, downSmpSize(23, kRadius));
  ASSERT_EQ(out.width, downSmpSize(18, kRadius));
  for (int p = 0; p < 3; p++) {
    auto sample = [](int y, int x, const void *plane) -> int {
      return static_cast<unsigned char *const *>(plane)[y][x];
    };
    for (int i = 0; i < out.height; i++)
      for (int j = 0; j < out.width; j++)
        ASSERT_EQ(out.color_planes[p][i][j],
                  reference_sum(sample, in.color_planes[p], 2 * i + 2, 2 * j + 2) / 256)
            << p << ": " << i << ", " << j;
  }
  free_TIFF(&in);
  free_TIFF(&out);
}

TEST(DownSmpArr, MatchesAnExactReferenceOnRandomMaps) {
  TIFF_img noise = noisePicture(21, 26, 'g', 11);
  double **map = filledArray(21, 26, 0.0);
  for (int y = 0; y < 21; y++)
    for (int x = 0; x < 26; x++) map[y][x] = noise.plane[y][x] < 128 ? 1.0 : 0.0;
  double **out = downSmpArr(map, 21, 26, kRadius);
  auto element = [](int y, int x, const void *array) -> int {
    return static_cast<int>(static_cast<double *const *>(array)[y][x]);
  };
  for (int i = 0; i < downSmpSize(21, kRadius); i++)
    for (int j = 0; j < downSmpSize(26, kRadius); j++)
      ASSERT_EQ(out[i][j], reference_sum(element, map, 2 * i + 2, 2 * j + 2) >= 128 ? 1.0 : 0.0)
          << i << ", " << j;
  free_img((void **)map);
  free_img((void **)out);
  free_TIFF(&noise);
}

TEST(DownSmpIm, ColourAndAlphaPicturesGiveThreeColourPlanes) {
  for (char type : {'c', 'a'}) {
    TIFF_img in;
    get_TIFF(&in, 5, 6, type);
    for (int p = 0; p < (type == 'a' ? 4 : 3); p++)
      for (int y = 0; y < 5; y++)
        for (int x = 0; x < 6; x++) in.color_planes[p][y][x] = (unsigned char)(50 * p);
    TIFF_img out = downSmpIm(&in, kRadius);
    ASSERT_EQ(out.TIFF_type, 'c');
    ASSERT_EQ(out.height, 1);
    ASSERT_EQ(out.width, 1);
    for (int p = 0; p < 3; p++) EXPECT_EQ(out.color_planes[p][0][0], 50 * p) << type;
    free_TIFF(&in);
    free_TIFF(&out);
  }
}

TEST(DownSmpImDeathTest, RadiusAboveTwoOrAPictureBelowTheKernelEndsTheProcess) {
  TIFF_img nine = linear_grey(9), four = linear_grey(4);
  EXPECT_EXIT(downSmpIm(&nine, 3), testing::ExitedWithCode(255),
              "No filter matrix set for dimensions over 5x5");
  EXPECT_EXIT(downSmpIm(&four, kRadius), testing::ExitedWithCode(255), "too small");
  free_TIFF(&nine);
  free_TIFF(&four);
}

// An area painted evenly with an alternate transparency keeps its value at
// every coarser level only after binarisation at one half.
TEST(DownSmpArr, BinarisesAtOneHalf) {
  const double cases[][2] = {{1.0, 1.0}, {0.6, 1.0}, {0.5, 1.0}, {0.3, 0.0}, {0.0, 0.0}};
  for (const auto &c : cases) {
    double **values = filledArray(9, 11, c[0]);
    double **out = downSmpArr(values, 9, 11, kRadius);
    for (int y = 0; y < downSmpSize(9, kRadius); y++)
      for (int x = 0; x < downSmpSize(11, kRadius); x++) EXPECT_EQ(out[y][x], c[1]) << c[0];
    free_img((void **)values);
    free_img((void **)out);
  }
}

TEST(Scale2_255, ClampsToTheSampleRange) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double in[] = {-0.1, 0.0, 0.5, 1.0, 1.2, nan};
  const double expected[] = {0.0, 0.0, 127.5, 255.0, 255.0, 255.0};
  const int n = sizeof in / sizeof in[0];
  double **a = (double **)get_img(n, 1, sizeof(double));
  for (int i = 0; i < n; i++) a[0][i] = in[i];
  scale2_255(a, n, 1);
  for (int i = 0; i < n; i++) EXPECT_EQ(a[0][i], expected[i]) << in[i];
  free_img((void **)a);
}

}  // namespace
