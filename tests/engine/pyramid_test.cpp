#include "engine/pyramid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/allocate.h"

namespace {

const int kRadius = 2;

struct SizeCase {
  int n, r, expected;
};

class LevelSize : public testing::TestWithParam<SizeCase> {};

TEST_P(LevelSize, FollowsTheKernelGeometry) {
  const SizeCase c = GetParam();
  EXPECT_EQ(downSmpSize(c.n, c.r), c.expected);
}

// (n - 2r) / 2 + n mod 2, worked by hand.
INSTANTIATE_TEST_SUITE_P(Pyramid, LevelSize,
                         testing::Values(SizeCase{100, 2, 48},
                                         SizeCase{48, 2, 22},
                                         SizeCase{22, 2, 9},
                                         SizeCase{9, 2, 3}, SizeCase{11, 2, 4},
                                         SizeCase{5, 2, 1}, SizeCase{7, 1, 3}));

struct DepthCase {
  int width, height, win_size, expected;
};

class MaxPyramidLevels : public testing::TestWithParam<DepthCase> {};

TEST_P(MaxPyramidLevels, StopsBeforeALevelTooSmallForItsWindows) {
  const DepthCase c = GetParam();
  EXPECT_EQ(max_pyramid_levels(c.width, c.height, c.win_size), c.expected);
}

// 100 -> 48 -> 22 -> 9 -> 3 -> (3 < 5: not down-sampled again).
// Radius 1 needs 3 samples a side, radius 2 five, radius 5 eleven.
INSTANTIATE_TEST_SUITE_P(
    Pyramid, MaxPyramidLevels,
    testing::Values(DepthCase{100, 100, 1, 5}, DepthCase{100, 100, 2, 4},
                    DepthCase{100, 100, 5, 3}, DepthCase{100, 9, 1, 2},
                    DepthCase{9, 100, 2, 1}, DepthCase{50, 50, 1, 4},
                    DepthCase{11, 11, 1, 2}, DepthCase{8, 8, 1, 1},
                    DepthCase{1, 1, 1, 1}, DepthCase{0, 0, 1, 1},
                    DepthCase{100, 100, 0, 5}));

struct StrokeCase {
  int stroke_width;  // columns of background on the left, of foreground on the right
  int levels;        // asked for
  int expected;
};

class MaxConstraintLevels : public testing::TestWithParam<StrokeCase> {};

TEST_P(MaxConstraintLevels, StopsBeforeAStrokeVanishes) {
  const StrokeCase c = GetParam();
  const int n = 100;
  double **mask = (double **)get_init_arr(n, n, sizeof(double));
  double **values = (double **)get_init_arr(n, n, sizeof(double));
  for (int y = 0; y < n; y++)
    for (int k = 0; k < c.stroke_width; k++) {
      mask[y][k] = mask[y][n - 1 - k] = 1.0;
      values[y][n - 1 - k] = 1.0;
    }
  EXPECT_EQ(max_constraint_levels(mask, values, n, n, c.levels), c.expected);
  EXPECT_EQ(mask[0][0], 1.0);  // the caller's maps are left alone
  free_img((void **)mask);
  free_img((void **)values);
}

// A one-pixel stroke weighs 0.375 < 0.5 and is gone one level down. Twelve
// columns, worked by hand: 5 columns at 48 wide, 2 (background) and 1
// (foreground) at 22 wide, none at 9 wide. Half and half survive every level.
INSTANTIATE_TEST_SUITE_P(Pyramid, MaxConstraintLevels,
                         testing::Values(StrokeCase{1, 4, 1}, StrokeCase{12, 9, 3},
                                         StrokeCase{12, 2, 2}, StrokeCase{50, 4, 4},
                                         StrokeCase{50, 1, 1}));

// Grey image whose sample at (y, x) is 10 y + x.
TIFF_img linear_grey(int size) {
  TIFF_img img;
  get_TIFF(&img, size, size, 'g');
  for (int y = 0; y < size; y++)
    for (int x = 0; x < size; x++) img.plane[y][x] = (unsigned char)(10 * y + x);
  return img;
}

TEST(DownSmpIm, SampleIsTheWeightedSumAroundItsCentre) {
  TIFF_img in = linear_grey(7);
  TIFF_img out = downSmpIm(&in, kRadius);
  ASSERT_EQ(out.TIFF_type, 'g');
  ASSERT_EQ(out.height, 2);
  ASSERT_EQ(out.width, 2);
  // A symmetric kernel summing to 1 keeps a linear ramp: output (i, j)
  // reads the input at its centre (2i + 2, 2j + 2).
  EXPECT_EQ(out.plane[0][0], 22);
  EXPECT_EQ(out.plane[0][1], 24);
  EXPECT_EQ(out.plane[1][0], 42);
  EXPECT_EQ(out.plane[1][1], 44);
  free_TIFF(&in);
  free_TIFF(&out);
}

TEST(DownSmpIm, TruncatesTheWeightedSum) {
  TIFF_img in;
  get_TIFF(&in, 5, 5, 'g');
  for (int y = 0; y < 5; y++)
    for (int x = 0; x < 5; x++) in.plane[y][x] = 0;
  in.plane[2][2] = 255;  // 255 * 0.375 * 0.375 = 35.86
  in.plane[0][0] = 255;  // 255 * 0.0625 * 0.0625 = 0.996
  TIFF_img out = downSmpIm(&in, kRadius);
  EXPECT_EQ(out.plane[0][0], 36);  // 35.86 + 0.996 = 36.86
  free_TIFF(&in);
  free_TIFF(&out);
}

class ColourType : public testing::TestWithParam<char> {};

TEST_P(ColourType, GivesThreeColourPlanes) {
  TIFF_img in;
  get_TIFF(&in, 5, 6, GetParam());
  const int planes = GetParam() == 'a' ? 4 : 3;
  for (int p = 0; p < planes; p++)
    for (int y = 0; y < 5; y++)
      for (int x = 0; x < 6; x++) in.color_planes[p][y][x] = (unsigned char)(50 * p);
  TIFF_img out = downSmpIm(&in, kRadius);
  ASSERT_EQ(out.TIFF_type, 'c');
  ASSERT_EQ(out.height, 1);
  ASSERT_EQ(out.width, 1);
  for (int p = 0; p < 3; p++) EXPECT_EQ(out.color_planes[p][0][0], 50 * p);
  free_TIFF(&in);
  free_TIFF(&out);
}

INSTANTIATE_TEST_SUITE_P(DownSmpIm, ColourType, testing::Values('c', 'a'));

TEST(DownSmpImDeathTest, RadiusAboveTwoEndsTheProcess) {
  TIFF_img in = linear_grey(9);
  EXPECT_EXIT(downSmpIm(&in, 3), testing::ExitedWithCode(255),
              "No filter matrix set for dimensions over 5x5");
  free_TIFF(&in);
}

TEST(DownSmpImDeathTest, InputSmallerThanTheKernelEndsTheProcess) {
  TIFF_img in = linear_grey(4);
  EXPECT_EXIT(downSmpIm(&in, kRadius), testing::ExitedWithCode(255),
              "too small");
  free_TIFF(&in);
}

double **filled(int width, int height, double v) {
  double **a = (double **)get_img(width, height, sizeof(double));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) a[y][x] = v;
  return a;
}

struct MapCase {
  double value;
  double expected;
};

class DownSmpArrBinarises : public testing::TestWithParam<MapCase> {};

// An area painted evenly with an alternate transparency keeps its mask at
// every coarser level, and its value becomes background below one half and
// foreground from one half on.
TEST_P(DownSmpArrBinarises, AtOneHalf) {
  const MapCase c = GetParam();
  double **values = filled(11, 9, c.value);
  double **out = downSmpArr(values, 9, 11, kRadius);
  for (int y = 0; y < downSmpSize(9, kRadius); y++)
    for (int x = 0; x < downSmpSize(11, kRadius); x++)
      EXPECT_EQ(out[y][x], c.expected) << y << "," << x;
  free_img((void **)values);
  free_img((void **)out);
}

INSTANTIATE_TEST_SUITE_P(Pyramid, DownSmpArrBinarises,
                         testing::Values(MapCase{1.0, 1.0}, MapCase{0.6, 1.0},
                                         MapCase{0.5, 1.0}, MapCase{0.3, 0.0},
                                         MapCase{0.0, 0.0}));

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
