#include "calc/engine_input.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ClipCase {
  std::vector<int> region;   // x, y, w, h as stored
  std::vector<int> clipped;  // empty: no pixel inside
};

class ClipRegion : public testing::TestWithParam<ClipCase> {};

TEST_P(ClipRegion, KeepsThePartInsideA30x30Picture) {
  const ClipCase &c = GetParam();
  int x = c.region[0], y = c.region[1], w = c.region[2], h = c.region[3];
  ASSERT_EQ(clip_region(&x, &y, &w, &h, 30, 30), !c.clipped.empty());
  if (c.clipped.empty())
    EXPECT_EQ(std::vector<int>({w, h}), std::vector<int>({0, 0}));
  else
    EXPECT_EQ(std::vector<int>({x, y, w, h}), c.clipped);
}

INSTANTIATE_TEST_SUITE_P(
    EngineInput, ClipRegion,
    testing::Values(ClipCase{{-5, 10, 50, 40}, {0, 10, 30, 20}},
                    ClipCase{{-5, 0, 10, 10}, {0, 0, 5, 10}},  // only the selected columns
                    ClipCase{{0, 0, 30, 30}, {0, 0, 30, 30}},
                    ClipCase{{29, 29, 5, 5}, {29, 29, 1, 1}}, ClipCase{{30, 0, 5, 5}, {}},
                    ClipCase{{0, 40, 5, 5}, {}}, ClipCase{{-10, 0, 10, 5}, {}},
                    ClipCase{{5, 5, 0, 10}, {}}, ClipCase{{5, 5, 10, -3}, {}}));

// 3 x 2 pictures stored with padded rows. Picture pixel (x, y) has colour
// (10x + y, 100 + x, 200 + y).
const int kW = 3, kH = 2;

std::vector<unsigned char> picture_bytes(int n_channels, int rowstride) {
  std::vector<unsigned char> bytes(rowstride * kH, 0xEE);
  for (int y = 0; y < kH; y++)
    for (int x = 0; x < kW; x++) {
      unsigned char *px = &bytes[y * rowstride + x * n_channels];
      px[0] = (unsigned char)(10 * x + y);
      px[1] = (unsigned char)(100 + x);
      px[2] = (unsigned char)(200 + y);
    }
  return bytes;
}

class ReadEngineInput : public testing::TestWithParam<int> {};

TEST_P(ReadEngineInput, CopiesTheRegionsColoursAndConstraints) {
  const int n = GetParam(), stride = kW * n + 5;
  const std::vector<unsigned char> pic = picture_bytes(n, stride);
  // Cairo ARGB32 bytes (B, G, R, A), rows padded to 16 bytes: white, black,
  // blue; unpainted, black with alpha 254 (a soft brush edge), brown.
  const unsigned char lay[] = {255, 255, 255, 255, 0, 0, 0, 255, 255, 0,  0,  255, 0, 0, 0, 0,
                               0,   0,   0,   0,   0, 0, 0, 254, 10,  40, 90, 255, 0, 0, 0, 0};
  const raw_pixels picture = rgb_pixels(pic.data(), stride, n);
  const raw_pixels layer = argb32_pixels(lay, 16);
  engine_input in = read_engine_input(&picture, &layer, CONSTRAINTS_LAYER, 1, 0, 2, 2);
  ASSERT_EQ(in.image.TIFF_type, 'c');
  ASSERT_EQ(in.image.width, 2);
  ASSERT_EQ(in.image.height, 2);
  // Region columns 1..2: black, blue (grey 127), soft edge, brown (grey 50).
  const double mask[2][2] = {{1, 1}, {0, 1}};
  const double values[2][2] = {{0.0, 127 / 255.0}, {0.0, 50 / 255.0}};
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 2; x++) {
      EXPECT_EQ(in.image.color_planes[0][y][x], 10 * (x + 1) + y);
      EXPECT_EQ(in.image.color_planes[1][y][x], 100 + x + 1);
      EXPECT_EQ(in.image.color_planes[2][y][x], 200 + y);
      EXPECT_EQ(in.constraint_mask[y][x], mask[y][x]) << y << "," << x;
      EXPECT_EQ(in.constraint_values[y][x], values[y][x]) << y << "," << x;
    }
  EXPECT_TRUE(in.has_background && in.has_foreground && constraints_usable(&in));
  free_engine_input(&in);
}

INSTANTIATE_TEST_SUITE_P(EngineInput, ReadEngineInput, testing::Values(3, 4));

}  // namespace
