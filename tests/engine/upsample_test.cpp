#include "engine/upsample.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/allocate.h"
#include "engine/pyramid.h"
#include "tests/support/pictures.h"

namespace {

const double kEpsilon = 1e-7;

// Upsamples an h x w plane of coarse(i, j) to H2 x W2 and compares every
// fine sample with fine(y, x).
void expect_upsampled(int h, int w, int H2, int W2, const std::function<double(int, int)> &coarse,
                      const std::function<double(int, int)> &fine) {
  double ***in = (double ***)multialloc_init(sizeof(double), 3, h, w, 1);
  for (int i = 0; i < h; i++)
    for (int j = 0; j < w; j++) in[i][j][0] = coarse(i, j);
  double ***out = upSmpArr(in, h, w, 1, H2, W2, 2);
  for (int y = 0; y < H2; y++)
    for (int x = 0; x < W2; x++)
      EXPECT_DOUBLE_EQ(out[y][x][0], fine(y, x)) << H2 << " x " << W2 << ": " << y << "," << x;
  multifree(in, 3);
  multifree(out, 3);
}

// A plane whose value is the column (or row) number: coarse index j lands on
// fine index 2j + 2 as 1/8, 3/4, 1/8 of its neighbours and itself, and the
// lattice is extended with its edge values. The row case runs to an even
// fine height 2h + 4 and an odd one 2h + 3, which share the lattice.
TEST(UpSmpArr, RampSurvivesInsideAndFlattensAtTheEnds) {
  const double expected[14] = {0, 0, 0.125, 0.5, 1, 1.5, 2, 2.5, 3, 3.5, 3.875, 4, 4, 4};
  expect_upsampled(
      4, 5, 12, 14, [](int, int j) { return j; }, [&](int, int x) { return expected[x]; });
  for (int H2 : {14, 13})
    expect_upsampled(
        5, 4, H2, 12, [](int i, int) { return i; }, [&](int y, int) { return expected[y]; });
}

// Every fine size the pyramid makes, odd and even: no border sample may
// miss part of the lattice.
TEST(UpSmpArr, ConstantPlanesStayConstantEverywhereBordersIncluded) {
  auto constant = [](int, int) { return 3.7; };
  for (int H2 : {5, 6, 9, 10, 11, 12, 22, 23})
    expect_upsampled(downSmpSize(H2, 2), downSmpSize(H2 + 3, 2), H2, H2 + 3, constant, constant);
}

// Hashed samples: the channels vary independently, so every window has a
// well-posed fit of its own.
rgba hashed(int x, int y) {
  auto channel = [x, y](unsigned p) {
    return static_cast<int>(((x * 73856093u) ^ (y * 19349663u) ^ (p * 83492791u)) % 251u);
  };
  return {channel(0), channel(1), channel(2), 255};
}

// matte = 0.2 R + 0.3 G - 0.1 B + 0.15, colours in 0..1.
const double kSlopes[3] = {0.2, 0.3, -0.1};
const double kOffset = 0.15;

double linear_matte(const TIFF_img &img, int y, int x) {
  double v = kOffset;
  for (int p = 0; p < 3; p++) v += kSlopes[p] * img.color_planes[p][y][x] / 255.0;
  return v;
}

double **matte_of(const TIFF_img &img, double (*value)(const TIFF_img &, int y, int x)) {
  double **a = filled_array(img.width, img.height, 0.0);
  for (int y = 0; y < img.height; y++)
    for (int x = 0; x < img.width; x++) a[y][x] = value(img, y, x);
  return a;
}

// Windows cut by the border take the coefficients of the nearest whole
// window; the others differ, the matte being no function of the colour.
TEST(LinearCoeff, BorderCopiesTheNearestInteriorWindow) {
  for (int r : {1, 2}) {
    const int h = 9, w = 13;
    TIFF_img img = colour_picture(w, h, hashed);
    const owned_array varied(matte_of(
        img, [](const TIFF_img &, int y, int x) { return ((x * 7 + y * 3) % 10) / 10.0; }));
    double ***k = getLinearCoeff(varied, &img, kEpsilon, r);
    auto source = [r](int i, int n) { return i < r ? r : (i >= n - r ? n - r - 1 : i); };
    for (int y = 0; y < h; y++)
      for (int x = 0; x < w; x++)
        for (int e = 0; e < 4; e++)
          EXPECT_EQ(k[y][x][e], k[source(y, h)][source(x, w)][e]) << r << ": " << y << "," << x;
    EXPECT_NE(k[r][r][3], k[r][w - r - 1][3]);
    EXPECT_NE(k[r][r][3], k[h - r - 1][r][3]);
    multifree(k, 3);
    free_TIFF(&img);
  }
}

TEST(LinearCoeffDeathTest, ImageSmallerThanAWindowEndsTheProcess) {
  TIFF_img img = colour_picture(9, 4, hashed);
  const owned_array matte(matte_of(img, linear_matte));
  EXPECT_EXIT(getLinearCoeff(matte, &img, kEpsilon, 2), testing::ExitedWithCode(255),
              "smaller than one window");
  free_TIFF(&img);
}

// A matte that is one linear function of the colour everywhere keeps that
// function on the finer picture, including values beyond 1, which are not
// clamped.
TEST(UpSampleAlphaUsingImg, CarriesALinearModelToTheFinerPicture) {
  TIFF_img fine = colour_picture(20, 23, hashed);
  TIFF_img coarse = downSmpIm(&fine, 2);
  const owned_array coarse_matte(matte_of(
      coarse, [](const TIFF_img &img, int y, int x) { return linear_matte(img, y, x) + 1.0; }));
  for (int r : {1, 2}) {
    const owned_array up(upSampleAlphaUsingImg(coarse_matte, &coarse, &fine, kEpsilon, r));
    for (int y = 0; y < fine.height; y++)
      for (int x = 0; x < fine.width; x++)
        EXPECT_NEAR(up[y][x], linear_matte(fine, y, x) + 1.0, 1e-4) << r << ": " << y << "," << x;
  }
  free_TIFF(&coarse);
  free_TIFF(&fine);
}

}  // namespace
