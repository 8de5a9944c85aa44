#include "engine/window_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "engine/allocate.h"
#include "engine/choleski.h"

namespace {

// A 3 x 3 picture (grey or colour); its one r = 1 window is the whole
// picture.
struct OneWindow {
  TIFF_img image;
  unsigned char *samples = nullptr;
  WindowWork work;
  OneWindow(char type, const unsigned char (*pixel)[3][3]) {
    const int planes = type == 'c' ? 3 : 1;
    get_TIFF(&image, 3, 3, type);
    for (int p = 0; p < planes; p++)
      for (int y = 0; y < 3; y++)
        for (int x = 0; x < 3; x++)
          (type == 'c' ? image.color_planes[p] : image.plane)[y][x] = pixel[p][y][x];
    samples = columnMajorSamples(&image);
    windowWorkInit(&work, 1, windowChannels(&image));
  }
  ~OneWindow() {
    free(samples);
    free_TIFF(&image);
  }
  double weight(int i, int j) const { return work.V[i * work.n + j]; }
};

struct WeightCase {
  int i, j;
  double expected;
};

// Nine colours of 0 or 1 per channel, pixel k (k = column * 3 + row) being
//   (1,0,0) (1,1,0) (0,1,0) | (0,1,1) (0,0,1) (1,0,1) | (1,1,1) (0,0,0) (1,0,0)
// mu = (5, 4, 4) / 9; covariance S = E[I I^T] - mu mu^T =
//   [20 -2 -2; -2 20 2; -2 2 20] / 81, whose inverse is not diagonal.
// epsilon 0.09 adds 0.09 / 9 = 1/100 to S's diagonal, large enough to show.
// Weights (1 + (I_i - mu)^T (S + Id/100)^-1 (I_j - mu)) / 9, in exact
// fractions: w(0,1) = 409/2481, w(0,8) = w(0,0) = 809/2481,
// w(1,6) = w(4,5) = 42127/172843, w(2,3) = w(3,4) = 203/827,
// w(6,7) = -40573/172843, w(7,7) = 229981/518529.
TEST(WindowWeights, ColourWindowGivesTheHandComputedWeights) {
  const unsigned char on = 255;
  const unsigned char colour[3][3][3] = {
      {{on, 0, on}, {on, 0, 0}, {0, on, on}},  // red, [row][column]
      {{0, on, on}, {on, 0, 0}, {on, 0, 0}},   // green
      {{0, on, on}, {0, on, 0}, {0, on, 0}}};  // blue
  OneWindow w('c', colour);
  windowWeights(&w.work, w.samples, 3, 1, 1, 1, 0.09);
  const WeightCase cases[] = {
      {0, 1, 409.0 / 2481},     {0, 8, 809.0 / 2481},      {0, 0, 809.0 / 2481},
      {1, 6, 42127.0 / 172843}, {4, 5, 42127.0 / 172843},  {2, 3, 203.0 / 827},
      {3, 4, 203.0 / 827},      {6, 7, -40573.0 / 172843}, {7, 7, 229981.0 / 518529}};
  for (const auto &c : cases)
    EXPECT_NEAR(w.weight(c.i, c.j), c.expected, 1e-12) << c.i << ", " << c.j;
}

TEST(WindowWeights, CovarianceThatCannotBeFactoredEndsTheProcess) {
  const unsigned char flat[3][3] = {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
  OneWindow w('g', &flat);
  // A flat window's covariance is zero, so a negative epsilon leaves it
  // negative.
  EXPECT_EXIT(windowWeights(&w.work, w.samples, 3, 1, 1, 1, -1e-3), ::testing::ExitedWithCode(1),
              "Failure - The matrix A is not positive definite symmetric");
}

using Dense = std::vector<double>;  // row-major n x n

// The window statistics and the upsampling fit end the process on a
// refusal instead of dividing by a pivot that is not positive.
TEST(Choleski, RefusesMatricesThatAreNotPositiveDefinite) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Dense refused[] = {{1, 2, 2, 1},  {0}, {-4}, {1, 1, 1, 1}, {4, 2, 0, 2, 1, 0, 0, 0, 1},
                           {nan, 0, 0, 1}};
  for (Dense a : refused) {
    int n = static_cast<int>(std::sqrt(static_cast<double>(a.size())));
    EXPECT_EQ(Choleski_LU_Decomposition(a.data(), n), -1) << a.size() << " " << a[0];
  }
}

}  // namespace
