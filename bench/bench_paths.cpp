// Runs the coarse-to-fine calculation of one picture with the Cholesky path
// and with the LU path, each in its own child process, and prints the
// largest |difference| between the two double mattes (before any rounding
// to 8 bits), with each path's status.
// Usage: bench_paths IMAGE TRIMAP [--levels N|auto] [--active N]
//                    [--max-memory BYTES]
// A trimap: 0 background, 255 foreground, anything else unknown. --levels
// auto takes suggest_levels's proposal. --max-memory goes to both paths'
// memory check (default: what the system has available), so a path that
// cannot fit is refused instead of taking the machine's memory.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/measure.h"
#include "calc/c2f_driver.h"
#include "calc/engine_input.h"
#include "calc/level_suggestion.h"
#include "calc/solver_status.h"
#include "engine/allocate.h"

struct PathRun {
  const char *image, *trimap;
  int levels, active;  // levels 0: suggest_levels
  uint64_t memoryLimit;
  solver_choice solver;
  const char *mattePath;  // the double matte, row by row
};

struct PathResult {
  int status;
  double wall;
};

static GdkPixbuf *load(const char *path) {
  GdkPixbuf *p = gdk_pixbuf_new_from_file(path, nullptr);
  if (!p) fprintf(stderr, "bench_paths: cannot read '%s'\n", path);
  return p;
}

static raw_pixels rawOf(GdkPixbuf *p) {
  return rgb_pixels(gdk_pixbuf_read_pixels(p), gdk_pixbuf_get_rowstride(p),
                    gdk_pixbuf_get_n_channels(p));
}

static bool saveMatte(const char *path, double **matte, long count) {
  FILE *f = fopen(path, "wb");
  if (!f) return false;
  const bool ok = fwrite(matte[0], sizeof(double), count, f) == (size_t)count;
  return fclose(f) == 0 && ok;
}

static void runPath(const void *context, void *result) {
  const PathRun *run = static_cast<const PathRun *>(context);
  PathResult *out = static_cast<PathResult *>(result);
  out->status = -9999;
  GdkPixbuf *picture = load(run->image), *trimap = load(run->trimap);
  if (!picture || !trimap) return;
  const int W = gdk_pixbuf_get_width(picture), H = gdk_pixbuf_get_height(picture);
  raw_pixels p = rawOf(picture), t = rawOf(trimap);
  engine_input in = read_engine_input(&p, &t, CONSTRAINTS_TRIMAP, 0, 0, W, H);
  g_object_unref(picture);
  g_object_unref(trimap);
  c2f_config config;
  opts_set_default(&config.options);
  config.options.levels_num = run->levels;
  config.options.Active_levels_num = run->active;
  if (run->levels == 0) {
    const level_suggestion s =
        suggest_levels(&in.image, in.constraint_mask, in.constraint_values, 1);
    config.options.levels_num = s.levels;
    config.options.Active_levels_num = s.active;
  }
  config.options.solver = run->solver;
  config.memory_limit = run->memoryLimit;
  const double start = nowSeconds();
  solve_outcome outcome;
  double **matte = c2f_run(&in.image, in.constraint_mask, in.constraint_values, &config, &outcome);
  out->wall = nowSeconds() - start;
  out->status = outcome.status;
  if (!saveMatte(run->mattePath, matte, (long)W * H)) out->status = -9999;
  free_img((void **)matte);
  free_engine_input(&in);
}

static double largestDifference(const char *a, const char *b) {
  FILE *fa = fopen(a, "rb"), *fb = fopen(b, "rb");
  double largest = -1;
  if (fa && fb) {
    largest = 0;
    double x, y;
    while (fread(&x, sizeof x, 1, fa) == 1 && fread(&y, sizeof y, 1, fb) == 1)
      largest = std::fmax(largest, std::fabs(x - y));
  }
  if (fa) fclose(fa);
  if (fb) fclose(fb);
  return largest;
}

static std::string describe(const PathResult &r) {
  char text[64];
  if (r.status == SOLVE_STATUS_OVER_MEMORY)
    snprintf(text, sizeof text, "refused");
  else if (calculation_failed(r.status))
    snprintf(text, sizeof text, "fails (status %d)", r.status);
  else
    snprintf(text, sizeof text, "status %d, %.2f s", r.status, r.wall);
  return text;
}

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr,
            "usage: bench_paths IMAGE TRIMAP [--levels N|auto] [--active N] "
            "[--max-memory BYTES]\n");
    return 2;
  }
  PathRun run = {argv[1], argv[2], 1, 1, 0, SOLVER_CHOLESKY, nullptr};
  for (int i = 3; i + 1 < argc; i += 2) {
    if (strcmp(argv[i], "--levels") == 0)
      run.levels = strcmp(argv[i + 1], "auto") == 0 ? 0 : atoi(argv[i + 1]);
    else if (strcmp(argv[i], "--active") == 0)
      run.active = atoi(argv[i + 1]);
    else if (strcmp(argv[i], "--max-memory") == 0)
      run.memoryLimit = strtoull(argv[i + 1], nullptr, 10);
  }
  if (run.levels == 0) run.active = 0;
  char dir[] = "/tmp/bench_paths_XXXXXX";
  if (!mkdtemp(dir)) return 1;
  const std::string lu = std::string(dir) + "/lu", cholesky = std::string(dir) + "/cholesky";
  PathRun byLu = run, byCholesky = run;
  byLu.solver = SOLVER_LU;
  byLu.mattePath = lu.c_str();
  byCholesky.mattePath = cholesky.c_str();
  PathResult luResult = {-9999, 0}, choleskyResult = {-9999, 0};
  runInChild(runPath, &byCholesky, &choleskyResult, sizeof choleskyResult, 0);
  runInChild(runPath, &byLu, &luResult, sizeof luResult, 0);
  printf("cholesky: %s; lu: %s; ", describe(choleskyResult).c_str(), describe(luResult).c_str());
  if (calculation_failed(luResult.status) || calculation_failed(choleskyResult.status))
    printf("largest |difference| -\n");
  else
    printf("largest |difference| %.1e\n", largestDifference(lu.c_str(), cholesky.c_str()));
  remove(lu.c_str());
  remove(cholesky.c_str());
  remove(dir);
  return 0;
}
