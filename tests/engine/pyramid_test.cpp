#include "engine/pyramid.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/allocate.h"
#include "tests/support/pictures.h"

namespace {

const int kRadius = 2;

TEST(Pyramid, LevelSizesAndTheDeepestPyramidFollowTheKernel) {
  // (n - 2r) / 2 + n mod 2, by hand: 100 -> 48 -> 22 -> 9 -> 3.
  const int sizes[][3] = {{100, 2, 48}, {48, 2, 22}, {9, 2, 3}, {11, 2, 4}, {5, 2, 1}, {7, 1, 3}};
  for (const auto &c : sizes) EXPECT_EQ(downSmpSize(c[0], c[1]), c[2]) << c[0] << " r " << c[1];
  // width, height, radius, levels: a level below the first needs 2r + 1
  // samples a side, and 3 < 5 is not down-sampled again.
  const int levels[][4] = {{100, 100, 1, 5}, {100, 100, 2, 4}, {100, 100, 5, 3}, {100, 9, 1, 2},
                           {9, 100, 2, 1},   {8, 8, 1, 1},     {0, 0, 1, 1},     {100, 100, 0, 5}};
  for (const auto &c : levels)
    EXPECT_EQ(max_pyramid_levels(c[0], c[1], c[2]), c[3]) << c[0] << "x" << c[1] << " r " << c[2];
}

// Background strokes on the left, foreground on the right of 100 x 100. A
// one-pixel stroke weighs 0.375 < 0.5 and is gone one level down; twelve
// columns keep 5 columns at 48 wide, 2 and 1 at 22 wide, none at 9 wide.
// One kind of stroke surviving is not enough.
TEST(Pyramid, ConstraintLevelsStopBeforeEitherKindOfStrokeVanishes) {
  const int cases[][4] = {
      // background width, foreground width, levels asked, allowed
      {1, 1, 4, 1}, {12, 12, 9, 3}, {12, 12, 2, 2}, {50, 50, 4, 4}, {1, 50, 4, 1}, {50, 1, 4, 1}};
  const int n = 100;
  for (const auto &c : cases) {
    const owned_array mask(filled_array(n, n, 0.0)), values(filled_array(n, n, 0.0));
    for (int y = 0; y < n; y++) {
      for (int k = 0; k < c[0]; k++) mask[y][k] = 1.0;
      for (int k = 0; k < c[1]; k++) mask[y][n - 1 - k] = values[y][n - 1 - k] = 1.0;
    }
    EXPECT_EQ(max_constraint_levels(mask, values, n, n, c[2]), c[3]) << c[0] << ", " << c[1];
    EXPECT_EQ(mask[0][0], 1.0);  // the caller's maps are left alone
  }
}

// The radius-2 taps are 1, 4, 6, 4, 1 sixteenths, so the weighted sum of
// integers is an exact integer over 256: the reference works in integers.
template <typename Sample>
int exact_sum(Sample **in, int scale, int y, int x) {
  const int tap[5] = {1, 4, 6, 4, 1};
  int sum = 0;
  for (int b = -2; b <= 2; b++)
    for (int a = -2; a <= 2; a++)
      sum += static_cast<int>(in[y + b][x + a] * scale) * tap[b + 2] * tap[a + 2];
  return sum;
}

// Output sample (i, j) is centred on input sample (2i + 2, 2j + 2); the sum
// is truncated. An alpha plane is dropped: the result is a colour picture.
TEST(DownSmpIm, MatchesAnExactReferenceOnRandomPictures) {
  for (char type : {'c', 'a'}) {
    TIFF_img noise = noise_picture(18, 23, 'c', 7), in;
    get_TIFF(&in, 23, 18, type);
    for (int p = 0; p < (type == 'a' ? 4 : 3); p++)
      for (int y = 0; y < 23; y++)
        for (int x = 0; x < 18; x++) in.color_planes[p][y][x] = noise.color_planes[p % 3][y][x];
    TIFF_img out = downSmpIm(&in, kRadius);
    ASSERT_EQ(out.TIFF_type, 'c');
    ASSERT_EQ(out.height, downSmpSize(23, kRadius));
    ASSERT_EQ(out.width, downSmpSize(18, kRadius));
    for (int p = 0; p < 3; p++)
      for (int i = 0; i < out.height; i++)
        for (int j = 0; j < out.width; j++)
          ASSERT_EQ(out.color_planes[p][i][j],
                    exact_sum(in.color_planes[p], 1, 2 * i + 2, 2 * j + 2) / 256)
              << type << " plane " << p << ": " << i << ", " << j;
    free_TIFF(&noise);
    free_TIFF(&in);
    free_TIFF(&out);
  }
}

// Constraint maps hold 0, 1 and painted alternate transparencies; they are
// binarised at one half, a half itself counting as 1. Quarters keep the
// reference exact (sum over 1024); the top left corner is one half throughout.
TEST(DownSmpArr, BinarisesTheExactWeightedSumAtOneHalf) {
  TIFF_img noise = noise_picture(26, 21, 'g', 11);
  const owned_array map(filled_array(26, 21, 0.0));
  for (int y = 0; y < 21; y++)
    for (int x = 0; x < 26; x++) map[y][x] = x < 5 && y < 5 ? 0.5 : (noise.plane[y][x] % 5) / 4.0;
  const owned_array out(downSmpArr(map, 21, 26, kRadius));
  for (int i = 0; i < downSmpSize(21, kRadius); i++)
    for (int j = 0; j < downSmpSize(26, kRadius); j++)
      ASSERT_EQ(out[i][j], exact_sum<double>(map, 4, 2 * i + 2, 2 * j + 2) >= 512 ? 1.0 : 0.0)
          << i << ", " << j;
  free_TIFF(&noise);
}

TEST(DownSmpImDeathTest, RadiusAboveTwoOrAPictureBelowTheKernelEndsTheProcess) {
  TIFF_img nine = noise_picture(9, 9, 'g', 1), four = noise_picture(4, 4, 'g', 1);
  EXPECT_EXIT(downSmpIm(&nine, 3), testing::ExitedWithCode(255), "No filter matrix");
  EXPECT_EXIT(downSmpIm(&four, kRadius), testing::ExitedWithCode(255), "too small");
  free_TIFF(&nine);
  free_TIFF(&four);
}

// A failed solve's NaN must become a defined sample.
TEST(Scale2_255, ClampsToTheSampleRange) {
  const double in[] = {-0.1, 0.5, 1.2, std::numeric_limits<double>::quiet_NaN()};
  const double expected[] = {0.0, 127.5, 255.0, 255.0};
  const owned_array a(filled_array(4, 1, 0.0));
  for (int i = 0; i < 4; i++) a[0][i] = in[i];
  scale2_255(a, 4, 1);
  for (int i = 0; i < 4; i++) EXPECT_EQ(a[0][i], expected[i]) << in[i];
}

}  // namespace
