#include "calc/engine_input.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/pictures.h"

namespace {

// x, y, w, h of a region on a 30 x 30 picture, clipped; empty: nothing is
// left (w and h become 0).
TEST(ClipRegion, KeepsOnlyThePartInsideThePicture) {
  const struct {
    std::vector<int> region, clipped;
  } cases[] = {{{-5, 10, 50, 40}, {0, 10, 30, 20}},
               {{-5, 0, 10, 10}, {0, 0, 5, 10}},  // only the selected columns
               {{29, 29, 5, 5}, {29, 29, 1, 1}},
               {{30, 0, 5, 5}, {}},
               {{-10, 0, 10, 5}, {}},
               {{5, 5, 10, -3}, {}}};
  for (const auto &c : cases) {
    std::vector<int> r = c.region;
    EXPECT_EQ(clip_region(&r[0], &r[1], &r[2], &r[3], 30, 30), !c.clipped.empty());
    if (c.clipped.empty()) r = {r[2], r[3], 0, 0};  // only w and h are defined
    EXPECT_EQ(r, c.clipped.empty() ? std::vector<int>(4, 0) : c.clipped) << c.region[0];
  }
}

// Picture pixel (x, y) has colour (10x + y, 100 + x, 200 + y).
rgba coded(int x, int y) { return {10 * x + y, 100 + x, 200 + y, 255}; }

// Strokes of a 3 x 2 layer: white, black, blue; unpainted, black with
// alpha 254 (a soft brush edge, no constraint), brown.
rgba stroke(int x, int y) {
  const rgba strokes[2][3] = {{grey(255), grey(0), {0, 0, 255, 255}},
                              {{0, 0, 0, 0}, {0, 0, 0, 254}, {90, 40, 10, 255}}};
  return strokes[y][x];
}

// From RGB and RGBA pictures with padded rows. The region is columns 1..2:
// black, blue (grey 127); soft edge, brown (grey 50).
TEST(ReadEngineInput, CopiesTheRegionsColoursAndConstraints) {
  for (const int n : {3, 4}) {
    SCOPED_TRACE(n);
    const int stride = 3 * n + 5;
    const std::vector<unsigned char> pic = rgb_bytes(3, 2, n, coded, stride);
    const std::vector<unsigned char> lay = argb32_bytes(3, 2, stroke);
    const raw_pixels picture = rgb_pixels(pic.data(), stride, n);
    const raw_pixels layer = argb32_pixels(lay.data(), 3 * 4);
    engine_input in = read_engine_input(&picture, &layer, CONSTRAINTS_LAYER, 1, 0, 2, 2);
    ASSERT_EQ(in.image.TIFF_type, 'c');
    ASSERT_EQ(in.image.width, 2);
    ASSERT_EQ(in.image.height, 2);
    const double mask[2][2] = {{1, 1}, {0, 1}};
    const double values[2][2] = {{0.0, 127 / 255.0}, {0.0, 50 / 255.0}};
    for (int y = 0; y < 2; y++)
      for (int x = 0; x < 2; x++) {
        const rgba c = coded(x + 1, y);
        EXPECT_EQ(in.image.color_planes[0][y][x], c.r);
        EXPECT_EQ(in.image.color_planes[1][y][x], c.g);
        EXPECT_EQ(in.image.color_planes[2][y][x], c.b);
        EXPECT_EQ(in.constraint_mask[y][x], mask[y][x]) << y << "," << x;
        EXPECT_EQ(in.constraint_values[y][x], values[y][x]) << y << "," << x;
      }
    EXPECT_TRUE(in.has_background && in.has_foreground && constraints_usable(&in));
    free_engine_input(&in);
  }
}

}  // namespace
