#include "engine/upsample.h"

#include <gtest/gtest.h>

#include "engine/allocate.h"
#include "engine/pyramid.h"

namespace {

const double kEpsilon = 1e-7;

double ***stack_of(int h, int w, int d) {
  return (double ***)multialloc_init(sizeof(double), 3, h, w, d);
}

// The 4 x 5 plane whose value is the column number, upsampled to 12 x 14:
// coarse column j lands on fine column 2j + 2 as 1/8, 3/4, 1/8 of its
// neighbours and itself, and the lattice is extended with its edge values.
TEST(UpSmpArr, RampSurvivesInsideAndFlattensAtTheEnds) {
  double ***coarse = stack_of(4, 5, 1);
  for (int i = 0; i < 4; i++)
    for (int j = 0; j < 5; j++) coarse[i][j][0] = j;
  double ***fine = upSmpArr(coarse, 4, 5, 1, 12, 14, 2);
  const double expected[14] = {0, 0,   0.125, 0.5, 1,     1.5, 2,
                               2.5, 3, 3.5,   3.875, 4,   4,   4};
  for (int y = 0; y < 12; y++)
    for (int x = 0; x < 14; x++)
      EXPECT_DOUBLE_EQ(fine[y][x][0], expected[x]) << y << "," << x;
  multifree(coarse, 3);
  multifree(fine, 3);
}

// The same ramp along the rows, to an even fine height 2h + 4 and an odd one
// 2h + 3: both put coarse row i on fine row 2i + 2.
class UpSmpArrRowRamp : public testing::TestWithParam<int> {};

TEST_P(UpSmpArrRowRamp, UsesTheSameLatticeForOddAndEvenHeights) {
  const int H2 = GetParam();
  double ***coarse = stack_of(5, 4, 1);
  for (int i = 0; i < 5; i++)
    for (int j = 0; j < 4; j++) coarse[i][j][0] = i;
  double ***fine = upSmpArr(coarse, 5, 4, 1, H2, 12, 2);
  const double expected[14] = {0, 0,   0.125, 0.5, 1,     1.5, 2,
                               2.5, 3, 3.5,   3.875, 4,   4,   4};
  for (int y = 0; y < H2; y++)
    for (int x = 0; x < 12; x++)
      EXPECT_DOUBLE_EQ(fine[y][x][0], expected[y]) << y << "," << x;
  multifree(coarse, 3);
  multifree(fine, 3);
}

INSTANTIATE_TEST_SUITE_P(Upsample, UpSmpArrRowRamp, testing::Values(14, 13));

// Fine sizes of the pyramid and the coarse sizes they down-sample to.
class UpSmpArrConstant : public testing::TestWithParam<int> {};

TEST_P(UpSmpArrConstant, StaysConstantEverywhereBordersIncluded) {
  const int H2 = GetParam(), W2 = GetParam() + 3;
  const int h = downSmpSize(H2, 2), w = downSmpSize(W2, 2);
  const double planes[2] = {3.7, -0.25};
  double ***coarse = stack_of(h, w, 2);
  for (int i = 0; i < h; i++)
    for (int j = 0; j < w; j++)
      for (int e = 0; e < 2; e++) coarse[i][j][e] = planes[e];
  double ***fine = upSmpArr(coarse, h, w, 2, H2, W2, 2);
  for (int y = 0; y < H2; y++)
    for (int x = 0; x < W2; x++)
      for (int e = 0; e < 2; e++)
        EXPECT_DOUBLE_EQ(fine[y][x][e], planes[e]) << y << "," << x;
  multifree(coarse, 3);
  multifree(fine, 3);
}

INSTANTIATE_TEST_SUITE_P(Upsample, UpSmpArrConstant,
                         testing::Values(5, 6, 9, 10, 11, 12, 22, 23));

// A colour picture of hashed samples: the channels vary independently, so
// every window has a well-posed fit of its own.
TIFF_img varied_colour(int h, int w) {
  TIFF_img img;
  get_TIFF(&img, h, w, 'c');
  for (int p = 0; p < 3; p++)
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++)
        img.color_planes[p][y][x] = (unsigned char)(
            ((x * 73856093u) ^ (y * 19349663u) ^ (p * 83492791u)) % 251u);
  return img;
}

// matte = 0.2 R + 0.3 G - 0.1 B + 0.15, colours in 0..1.
const double kSlopes[3] = {0.2, 0.3, -0.1};
const double kOffset = 0.15;

double linear_matte(const TIFF_img &img, int y, int x) {
  double v = kOffset;
  for (int p = 0; p < 3; p++) v += kSlopes[p] * img.color_planes[p][y][x] / 255.0;
  return v;
}

double **linear_matte_of(const TIFF_img &img) {
  double **a = (double **)get_img(img.width, img.height, sizeof(double));
  for (int y = 0; y < img.height; y++)
    for (int x = 0; x < img.width; x++) a[y][x] = linear_matte(img, y, x);
  return a;
}

class LinearCoeff : public testing::TestWithParam<int> {};

TEST_P(LinearCoeff, RecoversALinearModelInEveryWindow) {
  const int r = GetParam();
  TIFF_img img = varied_colour(9, 13);
  double **matte = linear_matte_of(img);
  double ***k = getLinearCoeff(matte, &img, kEpsilon, r);
  for (int y = 0; y < 9; y++)
    for (int x = 0; x < 13; x++) {
      for (int p = 0; p < 3; p++) EXPECT_NEAR(k[y][x][p], kSlopes[p], 1e-4);
      EXPECT_NEAR(k[y][x][3], kOffset, 1e-4);
    }
  multifree(k, 3);
  free_img((void **)matte);
  free_TIFF(&img);
}

TEST_P(LinearCoeff, CopiesTheNearestInteriorWindowToTheBorder) {
  const int r = GetParam();
  const int h = 9, w = 13;
  TIFF_img img = varied_colour(h, w);
  double **matte = (double **)get_img(w, h, sizeof(double));
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) matte[y][x] = ((x * 7 + y * 3) % 10) / 10.0;
  double ***k = getLinearCoeff(matte, &img, kEpsilon, r);
  // The interior row or column a border position copies from.
  auto source = [r](int i, int n) { return i < r ? r : (i >= n - r ? n - r - 1 : i); };
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++)
      for (int e = 0; e < 4; e++)
        EXPECT_EQ(k[y][x][e], k[source(y, h)][source(x, w)][e]) << y << "," << x;
  // Interior windows really differ, so the copies above are not trivial.
  EXPECT_NE(k[r][r][3], k[r][w - r - 1][3]);
  EXPECT_NE(k[r][r][3], k[h - r - 1][r][3]);
  multifree(k, 3);
  free_img((void **)matte);
  free_TIFF(&img);
}

INSTANTIATE_TEST_SUITE_P(Upsample, LinearCoeff, testing::Values(1, 2));

TEST(LinearCoeffDeathTest, ImageSmallerThanAWindowEndsTheProcess) {
  TIFF_img img = varied_colour(4, 9);
  double **matte = linear_matte_of(img);
  EXPECT_EXIT(getLinearCoeff(matte, &img, kEpsilon, 2),
              testing::ExitedWithCode(255), "smaller than one window");
  free_img((void **)matte);
  free_TIFF(&img);
}

// A matte that is one linear function of the colour everywhere keeps that
// function on the finer picture, including values beyond 1, which are not
// clamped.
TEST(UpSampleAlphaUsingImg, CarriesALinearModelToTheFinerPicture) {
  TIFF_img fine = varied_colour(23, 20);
  TIFF_img coarse = downSmpIm(&fine, 2);
  double **coarse_matte = linear_matte_of(coarse);
  for (int y = 0; y < coarse.height; y++)
    for (int x = 0; x < coarse.width; x++) coarse_matte[y][x] += 1.0;
  double **up = upSampleAlphaUsingImg(coarse_matte, &coarse, &fine, kEpsilon, 1);
  bool some_above_one = false;
  for (int y = 0; y < fine.height; y++)
    for (int x = 0; x < fine.width; x++) {
      EXPECT_NEAR(up[y][x], linear_matte(fine, y, x) + 1.0, 1e-4) << y << "," << x;
      some_above_one |= up[y][x] > 1.0;
    }
  EXPECT_TRUE(some_above_one);
  free_img((void **)up);
  free_img((void **)coarse_matte);
  free_TIFF(&coarse);
  free_TIFF(&fine);
}

TEST(UpSampleAlphaUsingImg, FollowsTheFinePictureOfAGreyImage) {
  // Grey pictures fit one slope: matte = grey / 255 stays so on the fine grid.
  TIFF_img fine;
  get_TIFF(&fine, 12, 11, 'g');
  for (int y = 0; y < 12; y++)
    for (int x = 0; x < 11; x++) fine.plane[y][x] = (unsigned char)((x * 23 + y * 11) % 256);
  TIFF_img coarse = downSmpIm(&fine, 2);
  double **coarse_matte = (double **)get_img(coarse.width, coarse.height, sizeof(double));
  for (int y = 0; y < coarse.height; y++)
    for (int x = 0; x < coarse.width; x++) coarse_matte[y][x] = coarse.plane[y][x] / 255.0;
  double **up = upSampleAlphaUsingImg(coarse_matte, &coarse, &fine, kEpsilon, 1);
  for (int y = 0; y < 12; y++)
    for (int x = 0; x < 11; x++) EXPECT_NEAR(up[y][x], fine.plane[y][x] / 255.0, 1e-4);
  free_img((void **)up);
  free_img((void **)coarse_matte);
  free_TIFF(&coarse);
  free_TIFF(&fine);
}

}  // namespace
