#include "engine/allocate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tests/engine/heap_in_use.h"

namespace {

using RowTableAllocator = void **(*)(int width, int height, size_t size);

struct AllocatorCase {
  const char *name;
  RowTableAllocator allocate;
};

void PrintTo(const AllocatorCase &c, std::ostream *os) { *os << c.name; }

class RowTableArray : public testing::TestWithParam<AllocatorCase> {};

TEST_P(RowTableArray, RowsFollowEachOtherInOneBlock) {
  // 3 rows of 5 doubles: row pointers 5 * 8 = 40 bytes apart, 120 bytes in all.
  void **a = GetParam().allocate(5, 3, 8);
  auto *block = static_cast<unsigned char *>(a[0]);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(static_cast<unsigned char *>(a[row]), block + 40 * row) << row;
  }
  double **d = reinterpret_cast<double **>(a);
  EXPECT_EQ(reinterpret_cast<unsigned char *>(&d[2][4] + 1), block + 120);
  free_img(a);
}

TEST_P(RowTableArray, ReleasesExactlyItsTableAndBlock) {
  SKIP_WITHOUT_HEAP_ACCOUNTING();
  size_t before = heap_bytes_in_use();
  void **a = GetParam().allocate(5, 3, 8);
  EXPECT_EQ(heap_bytes_in_use() - before, 3 * sizeof(void *) + 120);
  free_img(a);
  EXPECT_EQ(heap_bytes_in_use(), before);
}

TEST_P(RowTableArray, ArrayOfNoRowsCanStillBeReleased) {
  SKIP_WITHOUT_HEAP_ACCOUNTING();
  size_t before = heap_bytes_in_use();
  free_img(GetParam().allocate(4, 0, 8));
  free_img(GetParam().allocate(0, 4, 8));
  EXPECT_EQ(heap_bytes_in_use(), before);
}

INSTANTIATE_TEST_SUITE_P(BothAllocators, RowTableArray,
                         testing::Values(AllocatorCase{"get_img", get_img},
                                         AllocatorCase{"get_init_arr", get_init_arr}),
                         [](const testing::TestParamInfo<AllocatorCase> &info) {
                           return std::string(info.param.name);
                         });

TEST(GetInitArr, DoublesReadZeroBeforeFirstWrite) {
  double **a = reinterpret_cast<double **>(get_init_arr(7, 4, sizeof(double)));
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 7; ++col) EXPECT_EQ(a[row][col], 0.0);
  }
  free_img(reinterpret_cast<void **>(a));
}

TEST(Multialloc, ThreeLevelsAddressTheDataRowMajor) {
  double ***a = static_cast<double ***>(multialloc_init(8, 3, 2, 3, 4));
  double *data = a[0][0];
  for (int i = 0; i < 2; ++i) {
    for (int j = 0; j < 3; ++j) {
      for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(&a[i][j][k], data + (i * 3 + j) * 4 + k) << i << j << k;
        EXPECT_EQ(a[i][j][k], 0.0);
      }
    }
  }
  multifree(a, 3);
}

TEST(Multialloc, OneDimensionIsJustTheDataBlock) {
  int32_t *a = static_cast<int32_t *>(multialloc_init(sizeof(int32_t), 1, 6));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(a[i], 0);
  a[5] = 7;  // the last element is writable
  multifree(a, 1);
}

TEST(Multialloc, ReleasesExactlyItsThreeAllocations) {
  SKIP_WITHOUT_HEAP_ACCOUNTING();
  size_t before = heap_bytes_in_use();
  void *a = multialloc_init(8, 3, 2, 3, 4);
  // 2 outer pointers, 2 * 3 inner pointers, 2 * 3 * 4 doubles.
  EXPECT_EQ(heap_bytes_in_use() - before, (2 + 6) * sizeof(void *) + 24 * 8);
  multifree(a, 3);
  EXPECT_EQ(heap_bytes_in_use(), before);
}

TEST(Multialloc, EmptyDimensionCanStillBeReleased) {
  SKIP_WITHOUT_HEAP_ACCOUNTING();
  size_t before = heap_bytes_in_use();
  multifree(multialloc_init(8, 3, 2, 0, 4), 3);
  EXPECT_EQ(heap_bytes_in_use(), before);
}

using Grid = std::vector<std::vector<double>>;

// Straightforward minimum over the clipped square, the definition itself.
Grid reference_erosion(const Grid &in, int r) {
  int height = static_cast<int>(in.size());
  int width = static_cast<int>(in[0].size());
  Grid out = in;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int yy = y - r; yy <= y + r; ++yy) {
        for (int xx = x - r; xx <= x + r; ++xx) {
          if (yy < 0 || yy >= height || xx < 0 || xx >= width) continue;
          if (in[yy][xx] < out[y][x]) out[y][x] = in[yy][xx];
        }
      }
    }
  }
  return out;
}

Grid erode(const Grid &in, int r) {
  int height = static_cast<int>(in.size());
  int width = static_cast<int>(in[0].size());
  double **a = reinterpret_cast<double **>(get_img(width, height, sizeof(double)));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) a[y][x] = in[y][x];
  }
  double **e = imerode(a, width, height, r);
  Grid out(height, std::vector<double>(width));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) out[y][x] = e[y][x];
  }
  free_img(reinterpret_cast<void **>(a));
  free_img(reinterpret_cast<void **>(e));
  return out;
}

TEST(Imerode, CornerZeroReachesOnlyItsClippedNeighbours) {
  Grid ones(3, std::vector<double>(3, 1.0));
  ones[0][0] = 0.0;
  Grid expected = {{0, 0, 1}, {0, 0, 1}, {1, 1, 1}};
  EXPECT_EQ(erode(ones, 1), expected);
}

TEST(Imerode, MissingNeighboursDoNotCountAsZero) {
  Grid positive = {{5, 6, 7, 8}, {9, 10, 11, 12}};
  Grid eroded = erode(positive, 3);  // every clipped square spans the row
  for (const auto &row : eroded) {
    for (double v : row) EXPECT_EQ(v, 5.0);
  }
}

TEST(Imerode, RadiusZeroCopies) {
  Grid in = {{3, -1, 2}, {0.5, 4, -7}};
  EXPECT_EQ(erode(in, 0), in);
}

struct ErodeShape {
  int width, height, r;
};

void PrintTo(const ErodeShape &s, std::ostream *os) {
  *os << s.width << "x" << s.height << " r" << s.r;
}

class ImerodeAgainstReference : public testing::TestWithParam<ErodeShape> {};

TEST_P(ImerodeAgainstReference, MatchesTheDirectMinimum) {
  ErodeShape s = GetParam();
  std::mt19937 rng(1234 + s.width * 31 + s.height * 7 + s.r);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  Grid in(s.height, std::vector<double>(s.width));
  for (auto &row : in) {
    for (double &v : row) v = value(rng);
  }
  EXPECT_EQ(erode(in, s.r), reference_erosion(in, s.r));
}

INSTANTIATE_TEST_SUITE_P(Shapes, ImerodeAgainstReference,
                         testing::Values(ErodeShape{1, 1, 1}, ErodeShape{9, 1, 2},
                                         ErodeShape{1, 9, 2}, ErodeShape{8, 6, 1},
                                         ErodeShape{7, 11, 3}, ErodeShape{5, 4, 9}));

using AllocateDeathTest = testing::Test;

TEST_F(AllocateDeathTest, UnsatisfiableRequestsEndTheProcess) {
  EXPECT_EXIT(get_spc(SIZE_MAX, 2), testing::ExitedWithCode(255),
              "^==> calloc\\(\\) error\n$");
  EXPECT_EXIT(mget_spc(SIZE_MAX, 2), testing::ExitedWithCode(255),
              "^==> malloc\\(\\) error\n$");
  EXPECT_EXIT(get_img(-1, 3, 8), testing::ExitedWithCode(255),
              "^==> malloc\\(\\) error\n$");
  EXPECT_EXIT(get_init_arr(-1, 3, 8), testing::ExitedWithCode(255),
              "^==> calloc\\(\\) error\n$");
}

TEST_F(AllocateDeathTest, ArrayWithoutDimensionsEndsTheProcess) {
  EXPECT_EXIT(multialloc_init(8, 0), testing::ExitedWithCode(255),
              "at least one dimension");
}

}  // namespace
