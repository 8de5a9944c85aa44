// Wall time of each stage of the coarse-to-fine driver on a synthetic
// picture, as the driver reports its stages to the window's progress bar.
// A stop request is seen only between stages, so the longest stage is how
// long Escape may have to wait.
// Usage: bench_stages [megapixels = 4] [levels = 4] [active = levels] [runs = 3]
// Prints each stage's median over the runs (and its fastest and slowest),
// the longest median, the whole run's median and the peak resident memory.
// Run it alone on a shared machine: a 4 MP picture with every level solved
// needs several GiB.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/measure.h"
#include "bench/synthetic.h"
#include "calc/c2f_driver.h"
#include "engine/allocate.h"

static const int kRadius = 1;
static const double kEpsilon = 1e-7;
static const double kThreshold = 0.02;

struct StageTime {
  std::string label;  // "solving, level 2 of 4"
  double seconds;
};

// The stages of one run in order; each lasts until the next one begins.
struct StageClock {
  std::vector<StageTime> stages;
  double began = 0.0;
};

static void closeStage(StageClock *clock, double now) {
  if (!clock->stages.empty()) clock->stages.back().seconds = now - clock->began;
}

static void onStage(const char *stage, int level, int levels, void *user) {
  StageClock *clock = static_cast<StageClock *>(user);
  const double now = nowSeconds();
  closeStage(clock, now);
  clock->stages.push_back(
      {std::string(stage) + ", level " + std::to_string(level) + " of " + std::to_string(levels),
       0.0});
  clock->began = now;
}

// One whole run on a fresh scene (the driver refines its constraints in
// place); returns its stages, and the whole time in *total.
static std::vector<StageTime> timeOneRun(int height, int width, int levels, int active,
                                         double *total, int *status) {
  SyntheticScene scene = makeSyntheticScene(height, width, (height < width ? height : width) / 30);
  StageClock clock;
  c2f_config config;
  config.options.levels_num = levels;
  config.options.Active_levels_num = active;
  config.options.threshold = kThreshold;
  config.options.epsilon = kEpsilon;
  config.options.win_size = kRadius;
  config.progress = onStage;
  config.progress_user = &clock;
  const double start = nowSeconds();
  solve_outcome outcome;
  double **matte = c2f_run(&scene.image, scene.mask, scene.values, &config, &outcome);
  *status = outcome.status;
  const double end = nowSeconds();
  closeStage(&clock, end);
  *total = end - start;
  free_img((void **)matte);
  freeSyntheticScene(&scene);
  return clock.stages;
}

static double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

static void printLoad(const char *when) {
  double load[3] = {0, 0, 0};
  if (getloadavg(load, 3) == 3)
    printf("load average %s: %.2f %.2f %.2f\n", when, load[0], load[1], load[2]);
}

int main(int argc, char **argv) {
  const double megapixels = argc > 1 ? atof(argv[1]) : 4.0;
  const int levels = argc > 2 ? atoi(argv[2]) : 4;
  const int active = argc > 3 ? atoi(argv[3]) : levels;
  const int runs = argc > 4 ? atoi(argv[4]) : 3;
  // 4:3 and a multiple of 16, as in bench_c2f: 4 MP is 2304 x 1728.
  const int height = (int)lround(sqrt(megapixels * 1e6 * 3 / 4) / 16) * 16;
  const int width = height * 4 / 3;
  printf("stages of the coarse-to-fine driver: %d x %d (%.2f MP), levels %d, active %d, %d runs\n",
         width, height, width * (double)height / 1e6, levels, active, runs);
  printLoad("before");

  std::vector<std::vector<StageTime>> all;
  std::vector<double> totals;
  for (int run = 0; run < runs; run++) {
    double total = 0.0;
    int status = 0;
    all.push_back(timeOneRun(height, width, levels, active, &total, &status));
    totals.push_back(total);
    printf("run %d: %.2f s, status %d\n", run + 1, total, status);
    fflush(stdout);
  }

  printf("%-28s %9s %9s %9s\n", "stage", "median s", "min s", "max s");
  double longest = 0.0;
  std::string longestLabel;
  for (size_t i = 0; i < all[0].size(); i++) {
    std::vector<double> times;
    for (const std::vector<StageTime> &stages : all)
      if (i < stages.size()) times.push_back(stages[i].seconds);
    const double m = median(times);
    printf("%-28s %9.3f %9.3f %9.3f\n", all[0][i].label.c_str(), m,
           *std::min_element(times.begin(), times.end()),
           *std::max_element(times.begin(), times.end()));
    if (m > longest) {
      longest = m;
      longestLabel = all[0][i].label;
    }
  }
  printf("longest stage (median): %s, %.3f s\n", longestLabel.c_str(), longest);
  printf("whole run (median): %.3f s; peak resident memory %.0f MiB\n", median(totals),
         peakResidentMiB());
  printLoad("after");
  return 0;
}
