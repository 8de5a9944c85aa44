#include "engine/window_stats.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/allocate.h"

namespace {

// A 3 x 3 grey picture; its one r = 1 window is the whole picture.
struct GreyWindow {
  TIFF_img image;
  unsigned char *samples;
  WindowWork work;
  explicit GreyWindow(const unsigned char grey[3][3]) {
    get_TIFF(&image, 3, 3, 'g');
    for (int y = 0; y < 3; y++)
      for (int x = 0; x < 3; x++) image.plane[y][x] = grey[y][x];
    samples = columnMajorSamples(&image);
    windowWorkInit(&work, 1, windowChannels(&image));
  }
  ~GreyWindow() {
    windowWorkFree(&work);
    free(samples);
    free_TIFF(&image);
  }
  double weight(int i, int j) const { return work.V[i * work.n + j]; }
};

// Four white and five black pixels: mu = 4/9, variance 20/81. Weights are
// (1 + (a - mu)(b - mu) / variance) / 9: 0.25 between white pixels, 0 between
// white and black, 0.2 between black ones (epsilon moves them by ~1e-7).
TEST(WindowWeights, GreyWindowGivesTheHandComputedWeights) {
  const unsigned char grey[3][3] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0}};
  GreyWindow w(grey);
  windowWeights(&w.work, w.samples, 3, 1, 1, 1, 1e-7);
  // Window index k = column * 3 + row: white pixels are 0, 1, 4, 5.
  const struct {
    int i, j;
    double expected;
  } cases[] = {{0, 1, 0.25}, {1, 4, 0.25}, {4, 5, 0.25}, {0, 2, 0.0},
               {5, 8, 0.0},  {2, 3, 0.2},  {6, 8, 0.2},  {7, 7, 0.2}};
  for (const auto &c : cases)
    EXPECT_NEAR(w.weight(c.i, c.j), c.expected, 1e-6) << c.i << ", " << c.j;
}

TEST(WindowWeights, CovarianceThatCannotBeFactoredEndsTheProcess) {
  const unsigned char flat[3][3] = {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
  GreyWindow w(flat);
  // A flat window's covariance is zero, so a negative epsilon leaves it
  // negative.
  EXPECT_EXIT(windowWeights(&w.work, w.samples, 3, 1, 1, 1, -1e-3),
              ::testing::ExitedWithCode(1),
              "Failure - The matrix A is not positive definite symmetric");
}

}  // namespace
