#include "calc/engine_input.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ClipCase {
  int x, y, w, h;  // the stored region
  bool inside;
  int cx, cy, cw, ch;  // clipped (when inside)
};

class ClipRegion : public testing::TestWithParam<ClipCase> {};

TEST_P(ClipRegion, KeepsThePartInsideThePicture) {
  const ClipCase c = GetParam();
  int x = c.x, y = c.y, w = c.w, h = c.h;
  ASSERT_EQ(clip_region(&x, &y, &w, &h, 30, 30), c.inside);
  if (c.inside) {
    EXPECT_EQ(x, c.cx);
    EXPECT_EQ(y, c.cy);
    EXPECT_EQ(w, c.cw);
    EXPECT_EQ(h, c.ch);
  } else {
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
  }
}

// On a 30 x 30 picture.
INSTANTIATE_TEST_SUITE_P(
    EngineInput, ClipRegion,
    testing::Values(ClipCase{-5, 10, 50, 40, true, 0, 10, 30, 20},
                    // Dragged past the left edge: only the selected columns.
                    ClipCase{-5, 0, 10, 10, true, 0, 0, 5, 10},
                    ClipCase{0, 0, 30, 30, true, 0, 0, 30, 30},
                    ClipCase{29, 29, 5, 5, true, 29, 29, 1, 1},
                    ClipCase{30, 0, 5, 5, false, 0, 0, 0, 0},
                    ClipCase{0, 40, 5, 5, false, 0, 0, 0, 0},
                    ClipCase{-10, 0, 10, 5, false, 0, 0, 0, 0},
                    ClipCase{5, 5, 0, 10, false, 0, 0, 0, 0},
                    ClipCase{5, 5, 10, -3, false, 0, 0, 0, 0}));

struct SizeCase {
  int w, h, win_size;
  bool too_small;
};

class RegionTooSmall : public testing::TestWithParam<SizeCase> {};

TEST_P(RegionTooSmall, NeedsOneWholeWindow) {
  const SizeCase c = GetParam();
  EXPECT_EQ(region_too_small(c.w, c.h, c.win_size), c.too_small);
}

INSTANTIATE_TEST_SUITE_P(
    EngineInput, RegionTooSmall,
    testing::Values(SizeCase{1, 1, 1, true}, SizeCase{2, 50, 1, true},
                    SizeCase{3, 3, 1, false}, SizeCase{3, 3, 0, false},
                    SizeCase{10, 11, 5, true}, SizeCase{11, 11, 5, false},
                    SizeCase{50, 4, 2, true}));

// A 3 x 2 picture stored with padded rows, and a layer of the same size.
const int kW = 3, kH = 2;

struct Pixels {
  std::vector<unsigned char> bytes;
  int rowstride;
};

// Picture pixel (x, y) has colour (10x + y, 100 + x, 200 + y).
Pixels picture_bytes(int n_channels) {
  Pixels p{{}, kW * n_channels + 5};
  p.bytes.assign(p.rowstride * kH, 0xEE);
  for (int y = 0; y < kH; y++)
    for (int x = 0; x < kW; x++) {
      unsigned char *px = &p.bytes[y * p.rowstride + x * n_channels];
      px[0] = (unsigned char)(10 * x + y);
      px[1] = (unsigned char)(100 + x);
      px[2] = (unsigned char)(200 + y);
    }
  return p;
}

struct LayerPixel {
  int r, g, b, a;
};

// Cairo ARGB32 bytes on a little-endian machine: B, G, R, A.
Pixels argb32_bytes(const LayerPixel px[kH][kW]) {
  Pixels p{{}, kW * 4 + 4};
  p.bytes.assign(p.rowstride * kH, 0);
  for (int y = 0; y < kH; y++)
    for (int x = 0; x < kW; x++) {
      unsigned char *q = &p.bytes[y * p.rowstride + x * 4];
      q[0] = (unsigned char)px[y][x].b;
      q[1] = (unsigned char)px[y][x].g;
      q[2] = (unsigned char)px[y][x].r;
      q[3] = (unsigned char)px[y][x].a;
    }
  return p;
}

const LayerPixel kStrokes[kH][kW] = {
    {{255, 255, 255, 255}, {0, 0, 0, 255}, {0, 0, 255, 255}},
    {{255, 255, 255, 254}, {0, 0, 0, 0}, {90, 40, 10, 255}}};

class ReadEngineInput : public testing::TestWithParam<int> {};

TEST_P(ReadEngineInput, CopiesTheRegionsColoursAndConstraints) {
  const Pixels pic = picture_bytes(GetParam());
  const Pixels lay = argb32_bytes(kStrokes);
  const raw_pixels picture = rgb_pixels(pic.bytes.data(), pic.rowstride, GetParam());
  const raw_pixels layer = argb32_pixels(lay.bytes.data(), lay.rowstride);
  engine_input in = read_engine_input(&picture, &layer, CONSTRAINTS_LAYER, 1, 0, 2, 2);
  ASSERT_EQ(in.image.TIFF_type, 'c');
  ASSERT_EQ(in.image.width, 2);
  ASSERT_EQ(in.image.height, 2);
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 2; x++) {
      EXPECT_EQ(in.image.color_planes[0][y][x], 10 * (x + 1) + y);
      EXPECT_EQ(in.image.color_planes[1][y][x], 100 + x + 1);
      EXPECT_EQ(in.image.color_planes[2][y][x], 200 + y);
    }
  // Region columns 1..2: black, blue (grey 127), unpainted, brown (grey 50).
  const double mask[2][2] = {{1, 1}, {0, 1}};
  const double values[2][2] = {{0.0, 127 / 255.0}, {0.0, 50 / 255.0}};
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 2; x++) {
      EXPECT_EQ(in.constraint_mask[y][x], mask[y][x]) << y << "," << x;
      EXPECT_EQ(in.constraint_values[y][x], values[y][x]) << y << "," << x;
    }
  EXPECT_TRUE(in.has_background);
  EXPECT_TRUE(in.has_foreground);
  EXPECT_TRUE(constraints_usable(&in));
  free_engine_input(&in);
}

INSTANTIATE_TEST_SUITE_P(EngineInput, ReadEngineInput, testing::Values(3, 4));

struct UsableCase {
  LayerPixel first, second;  // the layer's top-left two pixels; the rest is unpainted
  bool background, foreground;
};

class ConstraintPresence : public testing::TestWithParam<UsableCase> {};

TEST_P(ConstraintPresence, NeedsBlackAndSomethingElse) {
  const UsableCase c = GetParam();
  LayerPixel strokes[kH][kW] = {};
  strokes[0][0] = c.first;
  strokes[0][1] = c.second;
  const Pixels pic = picture_bytes(3);
  const Pixels lay = argb32_bytes(strokes);
  const raw_pixels picture = rgb_pixels(pic.bytes.data(), pic.rowstride, 3);
  const raw_pixels layer = argb32_pixels(lay.bytes.data(), lay.rowstride);
  engine_input in = read_engine_input(&picture, &layer, CONSTRAINTS_LAYER, 0, 0, kW, kH);
  EXPECT_EQ(in.has_background, c.background);
  EXPECT_EQ(in.has_foreground, c.foreground);
  EXPECT_EQ(constraints_usable(&in), c.background && c.foreground);
  free_engine_input(&in);
}

const LayerPixel kWhite = {255, 255, 255, 255}, kBlack = {0, 0, 0, 255},
                 kBlue = {0, 0, 255, 255}, kHalfBlack = {0, 0, 0, 254},
                 kNone = {0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    EngineInput, ConstraintPresence,
    testing::Values(UsableCase{kWhite, kNone, false, true},
                    UsableCase{kBlack, kBlue, true, true},
                    UsableCase{kWhite, kHalfBlack, false, true},
                    UsableCase{kBlack, kWhite, true, true},
                    UsableCase{kNone, kNone, false, false}));

// A grey trimap read as RGB (and as RGBA, whose alpha it ignores).
class Trimap : public testing::TestWithParam<int> {};

TEST_P(Trimap, BlackIsBackgroundWhiteForegroundRestUnknown) {
  const int n = GetParam();
  const int grey[kW] = {0, 255, 128};
  std::vector<unsigned char> bytes(kW * n, 0);
  for (int x = 0; x < kW; x++) {
    for (int c = 0; c < 3; c++) bytes[x * n + c] = (unsigned char)grey[x];
    if (n == 4) bytes[x * n + 3] = 17;
  }
  const Pixels pic = picture_bytes(3);
  const raw_pixels picture = rgb_pixels(pic.bytes.data(), pic.rowstride, 3);
  const raw_pixels trimap = rgb_pixels(bytes.data(), kW * n, n);
  engine_input in = read_engine_input(&picture, &trimap, CONSTRAINTS_TRIMAP, 0, 0, kW, 1);
  const double mask[kW] = {1, 1, 0}, values[kW] = {0, 1, 0};
  for (int x = 0; x < kW; x++) {
    EXPECT_EQ(in.constraint_mask[0][x], mask[x]) << x;
    EXPECT_EQ(in.constraint_values[0][x], values[x]) << x;
  }
  EXPECT_TRUE(constraints_usable(&in));
  free_engine_input(&in);
}

INSTANTIATE_TEST_SUITE_P(EngineInput, Trimap, testing::Values(3, 4));

}  // namespace
