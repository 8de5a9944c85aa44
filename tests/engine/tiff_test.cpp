#include "engine/tiff.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/engine/heap_in_use.h"

namespace {

const char kOrigin[] = "tiff: function get_TIFF:\n";

struct TypeCase {
  char type;
  int color_planes;  // 0: a single plane
  bool has_color_map;
};

// Every sample of a plane can be written and read back where it belongs.
void expect_plane_holds(unsigned char **plane, int height, int width) {
  for (int row = 0; row < height; ++row) {
    for (int col = 0; col < width; ++col) plane[row][col] = static_cast<unsigned char>(row * width + col);
  }
  for (int row = 0; row < height; ++row) {
    for (int col = 0; col < width; ++col) {
      ASSERT_EQ(plane[row][col], static_cast<unsigned char>(row * width + col));
    }
  }
}

void PrintTo(const TypeCase &c, std::ostream *os) { *os << c.type; }

class TiffType : public testing::TestWithParam<TypeCase> {};

TEST_P(TiffType, AllocatesThePlanesOfItsType) {
  TypeCase c = GetParam();
  TIFF_img img;
  ASSERT_EQ(get_TIFF(&img, 4, 6, c.type), 0);
  EXPECT_EQ(img.height, 4);
  EXPECT_EQ(img.width, 6);
  EXPECT_EQ(img.TIFF_type, c.type);
  EXPECT_EQ(img.compress_type, 'u');
  if (c.color_planes == 0) {
    expect_plane_holds(img.plane, 4, 6);
  }
  for (int p = 0; p < c.color_planes; ++p) expect_plane_holds(img.color_planes[p], 4, 6);
  if (c.has_color_map) expect_plane_holds(img.color_map, 256, 3);
  free_TIFF(&img);
  EXPECT_EQ(img.height, 4);
  EXPECT_EQ(img.TIFF_type, c.type);
}

TEST_P(TiffType, FreeReleasesEverythingItAllocated) {
  SKIP_WITHOUT_HEAP_ACCOUNTING();
  TIFF_img img;
  size_t before = heap_bytes_in_use();
  ASSERT_EQ(get_TIFF(&img, 5, 3, GetParam().type), 0);
  EXPECT_GT(heap_bytes_in_use(), before);
  free_TIFF(&img);
  EXPECT_EQ(heap_bytes_in_use(), before);
}

INSTANTIATE_TEST_SUITE_P(Letters, TiffType,
                         testing::Values(TypeCase{'g', 0, false}, TypeCase{'p', 0, true},
                                         TypeCase{'c', 3, false}, TypeCase{'a', 4, false}),
                         [](const testing::TestParamInfo<TypeCase> &info) {
                           return std::string(1, info.param.type);
                         });

struct RefusalCase {
  int height, width;
  char type;
  std::string message;
};

void PrintTo(const RefusalCase &c, std::ostream *os) {
  *os << c.height << "x" << c.width << " " << c.type;
}

class TiffRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(TiffRefusal, PrintsWhyAllocatesNothingAndReturnsOne) {
  RefusalCase c = GetParam();
  TIFF_img img;
  testing::internal::CaptureStderr();
  size_t before = heap_bytes_in_use();
  int result = get_TIFF(&img, c.height, c.width, c.type);
  size_t after = heap_bytes_in_use();
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(printed, kOrigin + c.message);
  EXPECT_EQ(after, before);
  // The size and letter fields are already overwritten.
  EXPECT_EQ(img.height, c.height);
  EXPECT_EQ(img.width, c.width);
  EXPECT_EQ(img.TIFF_type, c.type);
  // Releasing a refused record must not touch memory it never got.
  free_TIFF(&img);
}

const char kSizeMessage[] = "image height and width must be positive\n";

INSTANTIATE_TEST_SUITE_P(
    BadInput, TiffRefusal,
    testing::Values(RefusalCase{0, 5, 'g', kSizeMessage}, RefusalCase{5, 0, 'c', kSizeMessage},
                    RefusalCase{-3, 5, 'a', kSizeMessage}, RefusalCase{2, -1, 'p', kSizeMessage},
                    RefusalCase{4, 4, 'x', "allocation for image of type x is not supported"},
                    RefusalCase{4, 4, 'G', "allocation for image of type G is not supported"}));

}  // namespace
