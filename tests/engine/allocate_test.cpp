#include "engine/allocate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "engine/tiff.h"
#include "tests/support/pictures.h"

namespace {

// The minimum over the (2r + 1)-square around (x, y) clipped to the grid,
// the definition itself.
double clipped_minimum(double **a, int width, int height, int y, int x, int r) {
  double least = a[y][x];
  for (int yy = std::max(0, y - r); yy <= std::min(height - 1, y + r); ++yy)
    for (int xx = std::max(0, x - r); xx <= std::min(width - 1, x + r); ++xx)
      least = std::min(least, a[yy][xx]);
  return least;
}

TEST(Imerode, MatchesTheDirectMinimumOnRandomGrids) {
  // width, height, r: single rows and columns, radius 0, radius beyond the grid.
  const int shapes[][3] = {{1, 1, 1},  {9, 1, 2}, {1, 9, 2}, {8, 6, 1},
                           {7, 11, 3}, {5, 4, 9}, {6, 5, 0}};
  for (const auto &s : shapes) {
    const int width = s[0], height = s[1], r = s[2];
    std::mt19937 rng(1234 + width * 31 + height * 7 + r);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    const owned_array a(filled_array(width, height, 0.0));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) a[y][x] = value(rng);
    const owned_array eroded(imerode(a, width, height, r));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        EXPECT_EQ(eroded[y][x], clipped_minimum(a, width, height, y, x, r))
            << width << "x" << height << " r" << r << ": " << y << "," << x;
  }
}

// Nothing here hands back null: a request that cannot be met ends the
// process with the engine's message. The engine's own picture records
// cannot do without their planes either.
TEST(AllocateDeathTest, UnsatisfiableRequestsEndTheProcess) {
  EXPECT_EXIT(get_spc(SIZE_MAX, 2), testing::ExitedWithCode(255), "calloc\\(\\) error");
  EXPECT_EXIT(get_img(-1, 3, 8), testing::ExitedWithCode(255), "malloc\\(\\) error");
  EXPECT_EXIT(multialloc_init(8, 0), testing::ExitedWithCode(255), "at least one dimension");
  TIFF_img img;
  EXPECT_EXIT(get_TIFF_checked(&img, 0, 5, 'g'), testing::ExitedWithCode(255),
              "must be positive\n\n==> get_TIFF\\(\\) error\n$");
}

}  // namespace
