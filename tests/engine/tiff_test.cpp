#include "engine/tiff.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every sample of a plane can be written and read back where it belongs.
void expect_plane_holds(unsigned char **plane, int height, int width) {
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col) plane[row][col] = static_cast<unsigned char>(row * width + col);
  for (int row = 0; row < height; ++row)
    for (int col = 0; col < width; ++col)
      ASSERT_EQ(plane[row][col], static_cast<unsigned char>(row * width + col));
}

TEST(GetTiff, AllocatesThePlanesOfEachType) {
  const struct {
    char type;
    int color_planes;  // 0: a single plane
    bool has_color_map;
  } cases[] = {{'g', 0, false}, {'p', 0, true}, {'c', 3, false}, {'a', 4, false}};
  for (const auto &c : cases) {
    TIFF_img img;
    ASSERT_EQ(get_TIFF(&img, 4, 6, c.type), 0) << c.type;
    EXPECT_EQ(img.height, 4);
    EXPECT_EQ(img.width, 6);
    EXPECT_EQ(img.TIFF_type, c.type);
    EXPECT_EQ(img.compress_type, 'u');
    if (c.color_planes == 0) expect_plane_holds(img.plane, 4, 6);
    for (int p = 0; p < c.color_planes; ++p) expect_plane_holds(img.color_planes[p], 4, 6);
    if (c.has_color_map) expect_plane_holds(img.color_map, 256, 3);
    free_TIFF(&img);
  }
}

TEST(GetTiff, RefusalPrintsWhyAndReturnsOne) {
  const std::string size = "image height and width must be positive\n";
  const struct {
    int height, width;
    char type;
    std::string message;
  } cases[] = {{0, 5, 'g', size}, {5, 0, 'c', size}, {-3, 5, 'a', size}, {2, -1, 'p', size},
               {4, 4, 'x', "allocation for image of type x is not supported"},
               {4, 4, 'G', "allocation for image of type G is not supported"}};
  for (const auto &c : cases) {
    TIFF_img img;
    testing::internal::CaptureStderr();
    EXPECT_EQ(get_TIFF(&img, c.height, c.width, c.type), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "tiff: function get_TIFF:\n" + c.message);
    // The size and letter fields are already overwritten.
    EXPECT_EQ(img.height, c.height);
    EXPECT_EQ(img.width, c.width);
    EXPECT_EQ(img.TIFF_type, c.type);
    free_TIFF(&img);  // must not touch memory the record never got
  }
}

// The engine's own records cannot do without their planes: no caller may
// carry on with a refused one.
TEST(GetTiff, CheckedRefusalEndsTheProcess) {
  TIFF_img img;
  EXPECT_EXIT(get_TIFF_checked(&img, 0, 5, 'g'), testing::ExitedWithCode(255),
              "must be positive\n\n==> get_TIFF\\(\\) error\n$");
}

}  // namespace
