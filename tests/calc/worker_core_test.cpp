#include "calc/worker_core.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include "calc/c2f_driver.h"
#include "engine/pyramid.h"
#include "synthetic_scene.h"

namespace {

option_args options(int levels, int active, int win_size) {
  option_args o;
  opts_set_default(&o);
  o.levels_num = levels;
  o.Active_levels_num = active;
  o.win_size = win_size;
  return o;
}

// Level counts as the options dialog may offer them for a large picture
// (up to a tenth of its smaller side), on regions down to 1 x 1: each
// combination is either refused before the calculation or gives a matte
// whose painted sides come out as painted.
using GuardCase = std::tuple<int /*side*/, int /*win_size*/, int /*levels*/, bool /*all active*/>;

class SmallRegionGuard : public testing::TestWithParam<GuardCase> {};

TEST_P(SmallRegionGuard, GivesADefinedMatteOrARefusal) {
  const int side = std::get<0>(GetParam()), win = std::get<1>(GetParam());
  const int levels = std::get<2>(GetParam());
  const int active = std::get<3>(GetParam()) ? levels : 1;
  const int width = side + 2, height = side;
  if (region_too_small(width, height, win)) {
    EXPECT_TRUE(width < 2 * win + 1 || height < 2 * win + 1);
    return;
  }
  engine_input in = make_split_scene(width, height);
  const option_args o = options(levels, active, win);
  TIFF_img result;
  c2f_level_stream = nullptr;
  const worker_outcome out =
      worker_core_run(&in.image, in.constraint_mask, in.constraint_values, &o, &result);
  EXPECT_GE(out.status, 0);
  EXPECT_LE(out.levels_used, max_pyramid_levels(width, height, win));
  EXPECT_EQ(out.levels_lowered, out.levels_used < levels);
  ASSERT_EQ(result.TIFF_type, 'g');
  ASSERT_EQ(result.width, width);
  ASSERT_EQ(result.height, height);
  if (active == out.levels_used) {
    // The finest level is solved: the painted sides are pinned.
    for (int y = 0; y < height; y++) {
      EXPECT_LE(result.plane[y][0], 25) << "row " << y;
      EXPECT_GE(result.plane[y][width - 1], 230) << "row " << y;
    }
  } else {
    // Only upsampled from below: the sides keep their order on average.
    double bg = 0, fg = 0;
    for (int y = 0; y < height; y++) {
      bg += result.plane[y][0];
      fg += result.plane[y][width - 1];
    }
    EXPECT_GT((fg - bg) / height, 128);
  }
  free_TIFF(&result);
}

INSTANTIATE_TEST_SUITE_P(WorkerCore, SmallRegionGuard,
                         testing::Combine(testing::Values(1, 2, 4, 7, 11, 23, 40),
                                          testing::Values(1, 2, 5),
                                          testing::Values(1, 2, 3, 100),
                                          testing::Bool()));

struct LevelCase {
  int width, height, win_size, levels;
  int expected;
};

class LevelsForRegion : public testing::TestWithParam<LevelCase> {};

TEST_P(LevelsForRegion, LowersOnlyWhatTheRegionCannotHold) {
  const LevelCase c = GetParam();
  const option_args o = options(c.levels, 1, c.win_size);
  EXPECT_EQ(worker_levels_for_region(c.width, c.height, &o), c.expected);
}

INSTANTIATE_TEST_SUITE_P(WorkerCore, LevelsForRegion,
                         testing::Values(LevelCase{100, 100, 1, 3, 3},
                                         LevelCase{100, 100, 1, 9, 5},
                                         LevelCase{100, 100, 5, 9, 3},
                                         LevelCase{50, 9, 1, 4, 2},
                                         LevelCase{4, 4, 1, 3, 1},
                                         LevelCase{100, 100, 1, 0, 1}));

TEST(WorkerCore, ScalesTheMatteToSamplesAndReportsLoweredLevels) {
  engine_input in = make_split_scene(48, 30);
  const option_args o = options(9, 2, 1);
  TIFF_img result;
  c2f_level_stream = nullptr;
  const worker_outcome out =
      worker_core_run(&in.image, in.constraint_mask, in.constraint_values, &o, &result);
  // 30 -> 13 -> 4: three levels for radius 1.
  EXPECT_EQ(out.levels_used, 3);
  EXPECT_TRUE(out.levels_lowered);
  EXPECT_EQ(out.status, 0);
  EXPECT_LE(result.plane[15][0], 5);
  EXPECT_GE(result.plane[15][47], 250);
  free_TIFF(&result);
}

}  // namespace
