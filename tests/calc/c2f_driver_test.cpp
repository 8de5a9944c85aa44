#include "calc/c2f_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/allocate.h"
#include "engine/solve_alpha.h"
#include "tests/support/pictures.h"

namespace {

const double kEpsilon = 1e-7, kThreshold = 0.02;
const int kWin = 1;

// Runs the driver with its level lines and its stages ("stage level/levels, "
// each) captured.
class C2FDriver : public testing::Test {
 protected:
  void SetUp() override {
    config_.level_stream = open_memstream(&lines_, &lines_size_);
    config_.progress = [](const char *stage, int level, int levels, void *user) {
      C2FDriver *self = static_cast<C2FDriver *>(user);
      self->stages_ +=
          std::string(stage) + " " + std::to_string(level) + "/" + std::to_string(levels) + ", ";
      if (self->stages_ == self->cancel_after_) self->cancel_ = true;
    };
    config_.progress_user = this;
    config_.cancel = &cancel_;
  }
  void TearDown() override {
    fclose(config_.level_stream);
    free(lines_);
  }
  std::string lines() {
    fflush(config_.level_stream);
    return std::string(lines_, lines_size_);
  }
  double **run(engine_input *in, int N, int A, double threshold = kThreshold) {
    config_.options.levels_num = N;
    config_.options.Active_levels_num = A;
    config_.options.threshold = threshold;
    config_.options.epsilon = kEpsilon;
    config_.options.win_size = kWin;
    return c2f_run(&in->image, in->constraint_mask, in->constraint_values, &config_, &outcome_);
  }
  // Asking for N levels (N = 1, or more than the input allows) must be
  // exactly one plain solve.
  void expect_plain_solve(engine_input *in, int N, int A, double threshold) {
    stages_.clear();
    int status = -99;
    const owned_array direct(solveAlpha(&in->image, in->constraint_mask, in->constraint_values,
                                        kEpsilon, kWin, &status));
    const owned_array matte(run(in, N, A, threshold));
    EXPECT_EQ(outcome_.status, status);
    EXPECT_TRUE(same_array(matte, direct, in->image.width, in->image.height));
    EXPECT_EQ(lines(), "");
    EXPECT_EQ(stages_, "solving 1/1, ");
  }

  c2f_config config_;
  std::atomic<bool> cancel_{false};
  std::string cancel_after_;  // the stages seen when the test cancels
  char *lines_ = nullptr;
  size_t lines_size_ = 0;
  std::string stages_;
  solve_outcome outcome_;
};

// One level, or strokes one pixel wide that vanish one level down (a
// pyramid would solve a level with nothing pinned and spread its
// meaningless matte upwards), is one plain solve.
TEST_F(C2FDriver, OneLevelOrStrokesTooThinForMoreIsOnePlainSolve) {
  engine_input in = split_scene(30, 20);
  expect_plain_solve(&in, 1, 5, 0.3);  // threshold and active levels play no part
  for (int y = 0; y < 20; y++)
    for (int x = 0; x < 30; x++) {
      in.constraint_mask[y][x] = x == 2 || x == 27;
      in.constraint_values[y][x] = x == 27;
    }
  expect_plain_solve(&in, 2, 2, kThreshold);
  free_engine_input(&in);
}

// Three levels on 100 x 100 with 1 or 3 of them solved; the caller's mask
// and values may change only when the finest level is solved.
TEST_F(C2FDriver, PyramidSolvesTheActiveCoarsestLevelsAndUpsamplesTheRest) {
  const struct {
    int active;
    const char *lines, *stages;
  } cases[] = {
      {1, "levels_num 3 Active_levels_num 1\nlevels_num 2 Active_levels_num 1\n",
       "down-sampling 1/3, down-sampling 2/3, solving 3/3, upsampling 2/3, upsampling 1/3, "},
      {3, "levels_num 3 Active_levels_num 3\nlevels_num 2 Active_levels_num 2\n",
       "down-sampling 1/3, down-sampling 2/3, solving 3/3, upsampling 2/3, solving 2/3, "
       "upsampling 1/3, solving 1/3, "}};
  for (const auto &c : cases) {
    engine_input in = split_scene(100, 100);
    const owned_array mask(copy_array(in.constraint_mask, 100, 100)),
        values(copy_array(in.constraint_values, 100, 100));
    stages_.clear();
    const size_t lines_before = lines().size();
    const owned_array matte(run(&in, 3, c.active));
    EXPECT_EQ(outcome_.status, 0);
    EXPECT_EQ(lines().substr(lines_before), c.lines);
    EXPECT_EQ(stages_, c.stages);
    if (c.active < 3) {
      EXPECT_TRUE(same_array(mask, in.constraint_mask, 100, 100));
      EXPECT_TRUE(same_array(values, in.constraint_values, 100, 100));
    }
    // The constrained sides come out near their values, even only upsampled.
    EXPECT_LT(matte[50][5], 0.1);
    EXPECT_GT(matte[50][95], 0.9);
    free_engine_input(&in);
  }
}

// The inner four columns of each painted side are left unknown: their
// upsampled matte is confident, so the refinement pins them at the floor,
// never at a threshold below it.
TEST_F(C2FDriver, LowThresholdsBehaveLikeTheFloor) {
  for (const double low : {0.0, -1.0}) {
    engine_input a = split_scene(40, 40), b = split_scene(40, 40);
    for (engine_input *in : {&a, &b})
      for (int y = 0; y < 40; y++)
        for (int x : {10, 11, 12, 13, 27, 28, 29, 30}) in->constraint_mask[y][x] = 0.0;
    const owned_array painted(copy_array(a.constraint_mask, 40, 40));
    const owned_array at_floor(run(&a, 2, 2, kThreshold)), below(run(&b, 2, 2, low));
    EXPECT_FALSE(same_array(a.constraint_mask, painted, 40, 40));
    EXPECT_TRUE(same_array(a.constraint_mask, b.constraint_mask, 40, 40)) << low;
    EXPECT_TRUE(same_array(at_floor, below, 40, 40)) << low;
    free_engine_input(&a);
    free_engine_input(&b);
  }
}

// Only confidence shared by a whole 3 x 3 neighbourhood becomes a constraint:
// a lone confident pixel of an upsampled matte is as likely noise as edge.
TEST(C2FRefinement, PinsOnlyNeighbourhoodsThatAreConfidentThroughout) {
  const int n = 12;
  const owned_array up(filled_array(n, n, 0.5)), mask(filled_array(n, n, 0.0)),
      values(filled_array(n, n, 0.0));
  up[3][3] = 0.995;  // lone specks
  up[3][8] = 0.001;
  for (int dy = -1; dy <= 1; dy++)
    for (int dx = -1; dx <= 1; dx++) {
      up[8 + dy][3 + dx] = 0.995;  // confident blocks centred at (8, 3), (8, 8)
      up[8 + dy][8 + dx] = 0.001;
      up[5 + dy][6 + dx] = 0.03;  // a block just short of confident
    }
  // Painted alternate transparencies: 0.5 and 0.6 are raised, 0.3 kept.
  const double painted[3][2] = {{0, 0.6}, {5, 0.5}, {11, 0.3}};
  for (const auto &p : painted) {
    mask[0][int(p[0])] = 1.0;
    values[0][int(p[0])] = p[1];
  }
  c2f_refine_constraints(up, mask, values, n, n, kThreshold);
  int pinned = 0;
  for (int y = 0; y < n; y++)
    for (int x = 0; x < n; x++) pinned += mask[y][x] == 1.0;
  EXPECT_EQ(pinned, 5);
  EXPECT_EQ(mask[8][3], 1.0);
  EXPECT_EQ(values[8][3], 1.0);
  EXPECT_EQ(mask[8][8], 1.0);
  EXPECT_EQ(values[8][8], 0.0);
  EXPECT_EQ(values[0][0], 1.0);
  EXPECT_EQ(values[0][5], 1.0);
  EXPECT_EQ(values[0][11], 0.3);
}

// A solve refused for memory at the coarsest level, or a cancel seen at the
// next stage boundary, ends the run there: nothing after it runs, the
// caller's constraints are untouched and the matte is empty, not half-made.
// Refused for memory, each solver names its own need.
TEST_F(C2FDriver, RefusedCoarseSolveOrCancelEndsTheRun) {
  const std::string to_coarsest = "down-sampling 1/3, down-sampling 2/3, solving 3/3, ";
  const struct {
    bool refused;
    solver_choice solver;
  } cases[] = {{true, SOLVER_CHOLESKY}, {true, SOLVER_LU}, {false, SOLVER_CHOLESKY}};
  double needed[2] = {0, 0};
  for (const auto &c : cases) {
    engine_input in = split_scene(100, 100);
    const owned_array mask(copy_array(in.constraint_mask, 100, 100));
    stages_.clear();
    config_.memory_limit = c.refused ? 1 : 0;
    config_.options.solver = c.solver;
    cancel_after_ = c.refused ? "" : to_coarsest;
    const owned_array matte(run(&in, 3, 3)), empty(filled_array(100, 100, 0.0));
    EXPECT_EQ(outcome_.status, c.refused ? SOLVE_STATUS_OVER_MEMORY : C2F_STATUS_CANCELLED);
    if (c.refused) needed[c.solver == SOLVER_LU] = outcome_.needed_bytes;
    EXPECT_EQ(stages_, to_coarsest);
    EXPECT_TRUE(same_array(mask, in.constraint_mask, 100, 100));
    EXPECT_TRUE(same_array(matte, empty, 100, 100));
    free_engine_input(&in);
  }
  EXPECT_NE(needed[0], needed[1]);
}

}  // namespace
