#include "calc/options.h"
#include "calc/rgb2grey.h"

#include <gtest/gtest.h>

// The options dialog and --levels allow a tenth of the smaller side.
TEST(Options, LevelBoundFollowsTheSmallerSide) {
  EXPECT_EQ(max_levels_for_picture(0, 0), 1);
  EXPECT_EQ(max_levels_for_picture(200, 90), 9);
  EXPECT_EQ(max_levels_for_picture(19, 1000), 1);
}

// A stroke's grey level: the mean of the largest and smallest channel.
TEST(Rgb2Grey, IsTheMeanOfMaxAndMinTruncated) {
  const int cases[][4] = {{255, 255, 255, 255}, {255, 128, 0, 127}, {0, 0, 255, 127}, {10, 200, 30, 105}};
  for (const auto &c : cases) EXPECT_EQ(rgb2grey(c[0], c[1], c[2]), c[3]) << c[0] << c[1] << c[2];
}
