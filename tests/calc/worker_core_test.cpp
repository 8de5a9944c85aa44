#include "calc/worker_core.h"

#include <gtest/gtest.h>

#include <tuple>

#include "calc/c2f_driver.h"
#include "engine/pyramid.h"
#include "tests/support/pictures.h"

namespace {

// Level counts as the options dialog may offer them for a large picture
// (up to a tenth of its smaller side), on small regions: each is either
// refused before the calculation or gives a matte whose painted sides come
// out as painted, with the levels lowered to what the region holds.
using GuardCase = std::tuple<int /*side*/, int /*win_size*/, int /*levels*/, bool /*all active*/>;

class SmallRegionGuard : public testing::TestWithParam<GuardCase> {};

TEST_P(SmallRegionGuard, GivesADefinedMatteOrARefusal) {
  const int side = std::get<0>(GetParam()), win = std::get<1>(GetParam());
  const int levels = std::get<2>(GetParam());
  const int active = std::get<3>(GetParam()) ? levels : 1;
  const int width = side + 2, height = side;
  const bool refused = region_too_small(width, height, win);
  EXPECT_EQ(refused, height < 2 * win + 1);  // the region needs one whole window
  if (refused) return;
  engine_input in = split_scene(width, height);
  c2f_config config;
  opts_set_default(&config.options);
  config.options.levels_num = levels;
  config.options.Active_levels_num = active;
  config.options.win_size = win;
  TIFF_img result;
  const worker_outcome out =
      worker_core_run(&in.image, in.constraint_mask, in.constraint_values, &config, &result);
  EXPECT_GE(out.status, 0);
  EXPECT_LE(out.levels_used, max_pyramid_levels(width, height, win));
  EXPECT_EQ(out.levels_lowered, out.levels_used < levels);
  ASSERT_EQ(result.TIFF_type, 'g');
  ASSERT_EQ(result.width, width);
  ASSERT_EQ(result.height, height);
  // With the finest level solved the painted sides are pinned (a pyramid
  // only upsampled is checked in c2f_driver_test).
  for (int y = 0; active >= out.levels_used && y < height; y++) {
    EXPECT_LE(result.plane[y][0], 25) << "row " << y;
    EXPECT_GE(result.plane[y][width - 1], 230) << "row " << y;
  }
  free_TIFF(&result);
}

// Refused; far too many levels on a tiny region; levels lowered by the
// windows; one 11 x 11 window (tight constraints needed); a pyramid only
// upsampled to the finest level; all of a deep pyramid solved.
INSTANTIATE_TEST_SUITE_P(WorkerCore, SmallRegionGuard,
                         testing::Values(GuardCase{2, 1, 3, true}, GuardCase{4, 1, 100, true},
                                         GuardCase{7, 1, 3, false}, GuardCase{11, 5, 1, false},
                                         GuardCase{40, 2, 2, false}, GuardCase{40, 2, 100, true}));

}  // namespace
