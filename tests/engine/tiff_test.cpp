#include "engine/tiff.h"

#include <gtest/gtest.h>

namespace {

// Each type gets planes of its own that hold every sample; a refused size
// or type returns 1 and leaves a record free_TIFF can release.
TEST(GetTiff, AllocatesThePlanesOfEachTypeOrRefuses) {
  const struct {
    int height, width;
    char type;
    int planes;  // colour planes; 0: the single plane; -1: refused
  } cases[] = {{4, 6, 'g', 0}, {4, 6, 'p', 0}, {4, 6, 'c', 3}, {4, 6, 'a', 4},
               {0, 5, 'g', -1}, {2, -1, 'c', -1}, {4, 4, 'x', -1}};
  for (const auto &c : cases) {
    TIFF_img img;
    testing::internal::CaptureStderr();  // a refusal prints why
    EXPECT_EQ(get_TIFF(&img, c.height, c.width, c.type), c.planes < 0 ? 1 : 0) << c.type;
    testing::internal::GetCapturedStderr();
    unsigned char **planes[4] = {img.plane};
    for (int p = 0; p < c.planes; p++) planes[p] = img.color_planes[p];
    for (int p = 0; p < (c.planes > 0 ? c.planes : c.planes + 1); p++) {
      for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++) planes[p][y][x] = static_cast<unsigned char>(p * 50 + y * c.width + x);
      for (int y = 0; y < c.height; y++)
        for (int x = 0; x < c.width; x++)
          ASSERT_EQ(planes[p][y][x], p * 50 + y * c.width + x) << c.type << " plane " << p;
    }
    free_TIFF(&img);
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
