#include "engine/allocate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "engine/tiff.h"

namespace {

using Grid = std::vector<std::vector<double>>;

// Straightforward minimum over the clipped square, the definition itself.
Grid reference_erosion(const Grid &in, int r) {
  const int height = static_cast<int>(in.size()), width = static_cast<int>(in[0].size());
  Grid out = in;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int yy = std::max(0, y - r); yy <= std::min(height - 1, y + r); ++yy)
        for (int xx = std::max(0, x - r); xx <= std::min(width - 1, x + r); ++xx)
          out[y][x] = std::min(out[y][x], in[yy][xx]);
  return out;
}

TEST(Imerode, MatchesTheDirectMinimumOnRandomGrids) {
  // width, height, r: single rows and columns, radius 0, radius beyond the grid.
  const int shapes[][3] = {{1, 1, 1},  {9, 1, 2}, {1, 9, 2}, {8, 6, 1},
                           {7, 11, 3}, {5, 4, 9}, {6, 5, 0}};
  for (const auto &s : shapes) {
    const int width = s[0], height = s[1];
    std::mt19937 rng(1234 + width * 31 + height * 7 + s[2]);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    Grid in(height, std::vector<double>(width));
    double **a = reinterpret_cast<double **>(get_img(width, height, sizeof(double)));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) a[y][x] = in[y][x] = value(rng);
    double **e = imerode(a, width, height, s[2]);
    Grid out(height, std::vector<double>(width));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) out[y][x] = e[y][x];
    EXPECT_EQ(out, reference_erosion(in, s[2])) << width << "x" << height << " r" << s[2];
    free_img(reinterpret_cast<void **>(a));
    free_img(reinterpret_cast<void **>(e));
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
