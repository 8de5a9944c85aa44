#include "calc/options.h"
#include "calc/rgb2grey.h"
#include "engine/solve_alpha.h"

#include <gtest/gtest.h>

TEST(Options, DefaultsLeaveThePictureSizeAlone) {
  option_args o = {7, 5, 1e-5, 0.3, 4, 640, 480, 1, SOLVER_LU};
  opts_set_default(&o);
  EXPECT_EQ(o.solver, OPT_SOLVER.default_value);
  EXPECT_EQ(o.levels_num, 1);
  EXPECT_EQ(o.Active_levels_num, 1);
  EXPECT_EQ(o.epsilon, 1e-7);
  EXPECT_EQ(o.threshold, 0.02);
  EXPECT_EQ(o.win_size, 1);
  EXPECT_EQ(o.estimate_foreground, 0);
  EXPECT_EQ(o.img_width, 640);
  EXPECT_EQ(o.img_height, 480);
}

TEST(Options, LevelBoundFollowsTheSmallerSide) {
  EXPECT_EQ(max_levels_for_picture(0, 0), 1);
  EXPECT_EQ(max_levels_for_picture(35, 200), 3);
  EXPECT_EQ(max_levels_for_picture(9, 1000), 1);
}

TEST(Rgb2Grey, IsTheMeanOfMaxAndMinTruncated) {
  const int cases[][4] = {
      {255, 255, 255, 255}, {0, 0, 0, 0}, {255, 128, 0, 127}, {0, 0, 255, 127}, {10, 200, 30, 105}};
  for (const auto &c : cases) EXPECT_EQ(rgb2grey(c[0], c[1], c[2]), c[3]) << c[0] << c[1] << c[2];
}
