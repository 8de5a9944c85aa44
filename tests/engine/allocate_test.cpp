#include "engine/allocate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

TEST(RowTableArray, RowsFollowEachOtherInOneZeroedBlock) {
  for (auto allocate : {get_img, get_init_arr}) {
    // 3 rows of 5 doubles: row pointers 5 * 8 = 40 bytes apart, 120 bytes in all.
    void **a = allocate(5, 3, 8);
    auto *block = static_cast<unsigned char *>(a[0]);
    for (int row = 0; row < 3; ++row) EXPECT_EQ(static_cast<unsigned char *>(a[row]), block + 40 * row);
    double **d = reinterpret_cast<double **>(a);
    EXPECT_EQ(reinterpret_cast<unsigned char *>(&d[2][4] + 1), block + 120);
    free_img(a);
  }
  double **zeroed = reinterpret_cast<double **>(get_init_arr(7, 4, sizeof(double)));
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 7; ++col) EXPECT_EQ(zeroed[row][col], 0.0);
  free_img(reinterpret_cast<void **>(zeroed));
}

TEST(Multialloc, AddressesTheZeroedDataRowMajor) {
  double ***a = static_cast<double ***>(multialloc_init(8, 3, 2, 3, 4));
  double *data = a[0][0];
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(&a[i][j][k], data + (i * 3 + j) * 4 + k) << i << j << k;
        EXPECT_EQ(a[i][j][k], 0.0);
      }
  multifree(a, 3);
  int32_t *flat = static_cast<int32_t *>(multialloc_init(sizeof(int32_t), 1, 6));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(flat[i], 0);
  multifree(flat, 1);
}

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

Grid erode(const Grid &in, int r) {
  const int height = static_cast<int>(in.size()), width = static_cast<int>(in[0].size());
  double **a = reinterpret_cast<double **>(get_img(width, height, sizeof(double)));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) a[y][x] = in[y][x];
  double **e = imerode(a, width, height, r);
  Grid out(height, std::vector<double>(width));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out[y][x] = e[y][x];
  free_img(reinterpret_cast<void **>(a));
  free_img(reinterpret_cast<void **>(e));
  return out;
}

TEST(Imerode, MatchesTheDirectMinimumOnRandomGrids) {
  // width, height, r: single rows and columns, radius 0, radius beyond the grid.
  const int shapes[][3] = {{1, 1, 1}, {9, 1, 2}, {1, 9, 2}, {8, 6, 1}, {7, 11, 3}, {5, 4, 9}, {6, 5, 0}};
  for (const auto &s : shapes) {
    std::mt19937 rng(1234 + s[0] * 31 + s[1] * 7 + s[2]);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    Grid in(s[1], std::vector<double>(s[0]));
    for (auto &row : in)
      for (double &v : row) v = value(rng);
    EXPECT_EQ(erode(in, s[2]), reference_erosion(in, s[2])) << s[0] << "x" << s[1] << " r" << s[2];
  }
}

TEST(AllocateDeathTest, UnsatisfiableRequestsEndTheProcess) {
  EXPECT_EXIT(get_spc(SIZE_MAX, 2), testing::ExitedWithCode(255), "^==> calloc\\(\\) error\n$");
  EXPECT_EXIT(mget_spc(SIZE_MAX, 2), testing::ExitedWithCode(255), "^==> malloc\\(\\) error\n$");
  EXPECT_EXIT(get_img(-1, 3, 8), testing::ExitedWithCode(255), "^==> malloc\\(\\) error\n$");
  EXPECT_EXIT(get_init_arr(-1, 3, 8), testing::ExitedWithCode(255), "^==> calloc\\(\\) error\n$");
  EXPECT_EXIT(multialloc_init(8, 0), testing::ExitedWithCode(255), "at least one dimension");
}

}  // namespace
