#include "calc/c2f_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/allocate.h"
#include "engine/solve_alpha.h"
#include "synthetic_scene.h"

namespace {

const double kEpsilon = 1e-7;
const double kThreshold = 0.02;
const int kWin = 1;

// Runs the driver with the level lines and the stages captured.
class C2FDriver : public testing::Test {
 protected:
  void SetUp() override {
    lines_stream_ = open_memstream(&lines_buf_, &lines_len_);
    c2f_level_stream = lines_stream_;
    c2f_progress = record_stage;
    c2f_progress_user = &stages_;
  }
  void TearDown() override {
    c2f_level_stream = stdout;
    c2f_progress = nullptr;
    c2f_progress_user = nullptr;
    fclose(lines_stream_);
    free(lines_buf_);
  }
  std::string lines() {
    fflush(lines_stream_);
    return std::string(lines_buf_, lines_len_);
  }
  static void record_stage(const char *stage, int level, int levels, void *user) {
    static_cast<std::vector<std::string> *>(user)->push_back(
        std::string(stage) + " " + std::to_string(level) + "/" + std::to_string(levels));
  }
  double **run(engine_input *in, int N, int A, double threshold = kThreshold) {
    int status = -99;
    double **matte = solveAlphaC2F(&in->image, in->constraint_mask, in->constraint_values,
                                   N, A, threshold, kEpsilon, kWin, &status);
    status_ = status;
    return matte;
  }

  FILE *lines_stream_ = nullptr;
  char *lines_buf_ = nullptr;
  size_t lines_len_ = 0;
  std::vector<std::string> stages_;
  int status_ = -99;
};

TEST(C2FDriverDefaults, WriteLevelLinesToStandardOutput) {
  EXPECT_EQ(c2f_level_stream, stdout);
  EXPECT_EQ(c2f_progress, nullptr);
}

TEST_F(C2FDriver, OneLevelIsOnePlainSolve) {
  engine_input in = make_split_scene(30, 20);
  int status = -99;
  double **direct = solveAlpha(&in.image, in.constraint_mask, in.constraint_values,
                               kEpsilon, kWin, &status);
  // Threshold and active levels play no part with one level.
  double **matte = run(&in, 1, 5, 0.3);
  EXPECT_EQ(status_, status);
  EXPECT_TRUE(same_array(matte, direct, 30, 20));
  EXPECT_EQ(lines(), "");
  EXPECT_EQ(stages_, std::vector<std::string>({"solving 1/1"}));
  free_img((void **)matte);
  free_img((void **)direct);
  free_engine_input(&in);
}

TEST_F(C2FDriver, OneActiveLevelSolvesOnlyTheCoarsestAndKeepsTheCallersArrays) {
  engine_input in = make_split_scene(100, 100);
  double **mask = copy_array(in.constraint_mask, 100, 100);
  double **values = copy_array(in.constraint_values, 100, 100);
  double **matte = run(&in, 3, 1);
  EXPECT_EQ(status_, 0);
  EXPECT_EQ(lines(),
            "levels_num 3 Active_levels_num 1\n"
            "levels_num 2 Active_levels_num 1\n");
  EXPECT_EQ(stages_, std::vector<std::string>({"down-sampling 1/3", "down-sampling 2/3",
                                               "solving 3/3", "upsampling 2/3",
                                               "upsampling 1/3"}));
  EXPECT_TRUE(same_array(mask, in.constraint_mask, 100, 100));
  EXPECT_TRUE(same_array(values, in.constraint_values, 100, 100));
  // Only upsampled, yet the constrained sides come out near their values.
  EXPECT_LT(matte[50][5], 0.1);
  EXPECT_GT(matte[50][95], 0.9);
  free_img((void **)matte);
  free_img((void **)mask);
  free_img((void **)values);
  free_engine_input(&in);
}

TEST_F(C2FDriver, AllActiveLevelsAreSolvedCoarsestFirst) {
  engine_input in = make_split_scene(100, 100);
  double **matte = run(&in, 3, 3);
  EXPECT_EQ(status_, 0);
  EXPECT_EQ(lines(),
            "levels_num 3 Active_levels_num 3\n"
            "levels_num 2 Active_levels_num 2\n");
  EXPECT_EQ(stages_, std::vector<std::string>(
                         {"down-sampling 1/3", "down-sampling 2/3", "solving 3/3",
                          "upsampling 2/3", "solving 2/3", "upsampling 1/3", "solving 1/3"}));
  free_img((void **)matte);
  free_engine_input(&in);
}

class ThresholdFloor : public C2FDriver, public testing::WithParamInterface<double> {};

TEST_P(ThresholdFloor, LowThresholdsBehaveLikeTheFloor) {
  engine_input a = make_split_scene(40, 40), b = make_split_scene(40, 40);
  double **at_floor = run(&a, 2, 2, kThreshold);
  double **below = run(&b, 2, 2, GetParam());
  EXPECT_TRUE(same_array(at_floor, below, 40, 40));
  EXPECT_TRUE(same_array(a.constraint_mask, b.constraint_mask, 40, 40));
  free_img((void **)at_floor);
  free_img((void **)below);
  free_engine_input(&a);
  free_engine_input(&b);
}

INSTANTIATE_TEST_SUITE_P(C2F, ThresholdFloor, testing::Values(0.0, 0.01, -1.0));

// Alternate transparencies: a patch of 0.3 is background at the coarser
// levels and keeps 0.3 where it is solved; a patch of 0.6 is foreground at
// the coarser levels and is raised to 1.0 at every solved level above the
// coarsest, the caller's finest level included.
class AlternateTransparency : public C2FDriver,
                              public testing::WithParamInterface<int> {};

TEST_P(AlternateTransparency, BinarisesAtOneHalfOnSolvedLevels) {
  const int levels = GetParam();
  engine_input in = make_split_scene(60, 60);
  for (int y = 20; y < 40; y++)
    for (int x = 20; x < 40; x++) {
      in.constraint_mask[y][x] = 1.0;
      in.constraint_values[y][x] = x < 30 ? 0.3 : 0.6;
    }
  double **matte = run(&in, levels, levels);
  EXPECT_EQ(status_, 0);
  for (int y = 20; y < 40; y++)
    for (int x = 20; x < 40; x++) {
      ASSERT_EQ(in.constraint_mask[y][x], 1.0);
      ASSERT_EQ(in.constraint_values[y][x], x < 30 ? 0.3 : (levels > 1 ? 1.0 : 0.6))
          << y << "," << x;
    }
  free_img((void **)matte);
  free_engine_input(&in);
}

INSTANTIATE_TEST_SUITE_P(C2F, AlternateTransparency, testing::Values(1, 2, 3));

TEST_F(C2FDriver, RefinementConstrainsTheConfidentInterior) {
  engine_input in = make_split_scene(60, 60);
  // The middle third, a colour ramp, is unknown before; the parts of the
  // upsampled matte within the threshold of 0 or 1, next to the painted
  // sides, become constraints.
  double **matte = run(&in, 2, 2, 0.3);
  int added = 0;
  for (int y = 0; y < 60; y++)
    for (int x = 20; x < 40; x++) added += in.constraint_mask[y][x] == 1.0;
  EXPECT_GT(added, 0);
  EXPECT_LT(added, 20 * 60);
  free_img((void **)matte);
  free_engine_input(&in);
}

TEST_F(C2FDriver, PyramidDeeperThanTheRegionAllowsIsCut) {
  // 30 -> 13 -> 4: three levels at most for radius 1.
  engine_input in = make_split_scene(30, 30);
  double **matte = run(&in, 10, 10);
  EXPECT_EQ(lines(),
            "levels_num 3 Active_levels_num 10\n"
            "levels_num 2 Active_levels_num 2\n");
  for (int y = 0; y < 30; y++)
    for (int x = 0; x < 30; x++) ASSERT_TRUE(std::isfinite(matte[y][x]));
  free_img((void **)matte);
  free_engine_input(&in);
}

// Strokes one pixel wide vanish one level down; a pyramid would solve a
// level with nothing pinned and spread its meaningless matte upwards.
TEST_F(C2FDriver, ThinStrokesKeepThePyramidShallow) {
  engine_input in = make_split_scene(40, 30);
  for (int y = 0; y < 30; y++)
    for (int x = 0; x < 40; x++) in.constraint_mask[y][x] = in.constraint_values[y][x] = 0.0;
  for (int y = 0; y < 30; y++) {
    in.constraint_mask[y][2] = in.constraint_mask[y][37] = 1.0;
    in.constraint_values[y][37] = 1.0;
  }
  EXPECT_EQ(c2f_levels_allowed(&in.image, in.constraint_mask, in.constraint_values, 3, kWin),
            1);
  int status = -99;
  double **direct = solveAlpha(&in.image, in.constraint_mask, in.constraint_values,
                               kEpsilon, kWin, &status);
  double **matte = run(&in, 2, 2);
  EXPECT_EQ(lines(), "");
  EXPECT_TRUE(same_array(matte, direct, 40, 30));
  EXPECT_GT(matte[15][37], 0.9);
  free_img((void **)matte);
  free_img((void **)direct);
  free_engine_input(&in);
}

}  // namespace
