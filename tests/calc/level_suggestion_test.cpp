#include "calc/level_suggestion.h"

#include <gtest/gtest.h>

#include "calc/c2f_driver.h"
#include "calc/options.h"
#include "engine/allocate.h"
#include "tests/support/pictures.h"

namespace {

// The options dialog and --levels allow a tenth of the smaller side.
TEST(Options, LevelBoundFollowsTheSmallerSide) {
  EXPECT_EQ(max_levels_for_picture(0, 0), 1);
  EXPECT_EQ(max_levels_for_picture(200, 90), 9);
  EXPECT_EQ(max_levels_for_picture(19, 1000), 1);
}

struct SuggestionCase {
  const char *label;
  int width, height, win_size;
  int background_width;  // 0: the whole left third; else a stroke this wide
  int levels;            // expected; 0: as deep as the strokes allow, no deeper
};

// Narrows the split scene's background third to a vertical stroke in its
// middle, so only the stroke limits the pyramid.
void thin_background(engine_input *in, int stroke_width) {
  const int third = in->image.width / 3, left = (third - stroke_width) / 2;
  for (int y = 0; y < in->image.height; y++)
    for (int x = 0; x < third; x++)
      if (x < left || x >= left + stroke_width) in->constraint_mask[y][x] = 0.0;
}

class SuggestLevels : public testing::TestWithParam<SuggestionCase> {};

TEST_P(SuggestLevels, DeepestPyramidTheRegionAndStrokesAllowEveryLevelSolved) {
  const SuggestionCase &c = GetParam();
  engine_input in = split_scene(c.width, c.height);
  if (c.background_width) thin_background(&in, c.background_width);
  const owned_array mask(copy_array(in.constraint_mask, c.width, c.height)),
      values(copy_array(in.constraint_values, c.width, c.height));
  const level_suggestion s =
      suggest_levels(&in.image, in.constraint_mask, in.constraint_values, c.win_size);
  const int allowed = c2f_levels_allowed(&in.image, mask, values, 1000, c.win_size);
  if (c.levels) {
    EXPECT_EQ(s.levels, c.levels);
  } else {
    EXPECT_EQ(s.levels, allowed);
    EXPECT_GT(s.levels, 1);
  }
  EXPECT_LE(s.levels, allowed);
  EXPECT_EQ(s.active, s.levels);
  // Within the options dialog's bound for a picture of the region's size.
  EXPECT_LE(s.levels, max_levels_for_picture(c.width, c.height));
  EXPECT_TRUE(same_array(in.constraint_mask, mask, c.width, c.height));
  EXPECT_TRUE(same_array(in.constraint_values, values, c.width, c.height));
  free_engine_input(&in);
}

// Level sides for the pyramid's radius-2 kernel: 74 -> 35, 864 -> 430 ->
// 213 -> 105 -> 51 -> 24 and 1600 -> 798 -> 397 -> 197 -> 97 -> 47 -> 21;
// the coarsest level keeps at least 40 pixels on its shorter side.
INSTANTIATE_TEST_SUITE_P(
    LevelSuggestion, SuggestLevels,
    testing::Values(SuggestionCase{"CoarsestSideBelowTheFloor", 100, 74, 1, 0, 1},
                    SuggestionCase{"WideWindowsOnASmallRegion", 25, 40, 5, 0, 1},
                    SuggestionCase{"OnePixelBackgroundStroke", 1152, 864, 1, 1, 1},
                    SuggestionCase{"StrokeLostAFewLevelsDown", 1152, 864, 1, 12, 0},
                    SuggestionCase{"FourMegapixels", 2400, 1600, 2, 0, 6}),
    [](const testing::TestParamInfo<SuggestionCase> &info) { return info.param.label; });

}  // namespace
