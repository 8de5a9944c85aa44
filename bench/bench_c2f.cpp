// Coarse-to-fine matting on synthetic pictures: for 1 to 4 pyramid levels
// with one and with all levels solved, the time, the peak resident memory,
// the mean absolute difference from the single-level matte and the mean
// absolute error against the true alpha over the unknown pixels.
// Usage: bench_c2f [largest megapixels to run, default 4]
// Each combination runs in its own child process so its peak memory is its
// own, with its address space limited to 16 GiB: a combination that does
// not fit there is reported as such instead of pushing the shared machine
// into swapping or the out-of-memory killer. UMFPACK's own estimate for the
// finest solved level is printed beside it (it is an upper bound, several
// times the memory really used).

#include <umfpack.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/measure.h"
#include "bench/synthetic.h"
#include "calc/c2f_driver.h"
#include "engine/allocate.h"
#include "engine/alpha_system.h"
#include "engine/get_laplacian.h"
#include "engine/pyramid.h"
#include "engine/umfpack_system.h"
#include "sparse/errhandl.h"

static const int kRadius = 1;
static const double kEpsilon = 1e-7;
static const double kThreshold = 0.02;
static const double kMemoryLimitGiB = 16.0;

struct SizeCase {
  double megapixels;
  int height, width;
};

// 4:3 pictures of about 0.25, 1 and 4 megapixels.
static const SizeCase kSizes[] = {{0.25, 432, 576}, {1.0, 864, 1152}, {4.0, 1728, 2304}};

struct LevelCase {
  int levels, active;
};

// The single-level run comes first: it is the reference of the others.
static const LevelCase kLevels[] = {{1, 1}, {2, 1}, {2, 2}, {3, 1}, {3, 3}, {4, 1}, {4, 4}};

struct RunResult {
  double wall, cpu;    // seconds for solveAlphaC2F alone
  double peakMiB;      // whole child process up to the end of the solve
  double estimateGiB;  // UMFPACK's estimate for the finest solved level
  double meanError;    // mean |alpha - truth| over the unknown pixels
  int status;
  int levelsUsed;  // what the picture and its constraints allow
};

static double **copyDown(double **a, int height, int width, int times) {
  double **cur = (double **)get_img(width, height, sizeof(double));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) cur[y][x] = a[y][x];
  for (int i = 0; i < times; i++) {
    double **next = downSmpArr(cur, height, width, 2);
    free_img((void **)cur);
    cur = next;
    height = downSmpSize(height, 2);
    width = downSmpSize(width, 2);
  }
  return cur;
}

// UMFPACK's peak memory estimate for solving the finest solved level, from
// the scene's own constraints carried down to that level (the refinement
// only adds constraints, which makes the real system smaller).
static double finestSolveEstimateGiB(SyntheticScene *s, LevelCase lc) {
  const int down = lc.levels - lc.active;
  TIFF_img level = s->image, next;
  bool owned = false;
  for (int i = 0; i < down; i++) {
    next = downSmpIm(&level, 2);
    if (owned) free_TIFF(&level);
    level = next;
    owned = true;
  }
  double **mask = copyDown(s->mask, s->image.height, s->image.width, down);
  double **values = copyDown(s->values, s->image.height, s->image.width, down);
  LASClearError();
  QMatrix L = getLaplacian1(&level, mask, kEpsilon, kRadius);
  Vector d;
  V_Constr(&d, "d", L.Dim, Normal, true);
  V_SetAllCmp(&d, 0.0);
  addConstraintWeights(&L, &d, mask, values, level.height, level.width);
  CompressedColumn A;
  double gib = INFINITY;
  if (compressedColumnFromUpper(&L, &A)) {
    Q_Destr(&L);
    double info[UMFPACK_INFO];
    void *symbolic = NULL;
    umfpack_di_symbolic(A.n, A.n, A.Ap, A.Ai, A.Ax, &symbolic, NULL, info);
    umfpack_di_free_symbolic(&symbolic);
    gib = info[UMFPACK_PEAK_MEMORY_ESTIMATE] * info[UMFPACK_SIZE_OF_UNIT] / (1024.0 * 1024 * 1024);
    compressedColumnFree(&A);
  } else {
    Q_Destr(&L);
  }
  V_Destr(&d);
  free_img((void **)mask);
  free_img((void **)values);
  if (owned) free_TIFF(&level);
  return gib;
}

static double meanUnknownError(const SyntheticScene *s, double **matte) {
  double sum = 0.0;
  for (int y = 0; y < s->image.height; y++)
    for (int x = 0; x < s->image.width; x++)
      if (s->mask[y][x] == 0.0) sum += fabs(fmin(1.0, fmax(0.0, matte[y][x])) - s->alpha[y][x]);
  return s->unknown ? sum / s->unknown : 0.0;
}

static bool saveMatte(const char *path, double **matte, long count) {
  FILE *f = fopen(path, "wb");
  if (!f) return false;
  const bool ok = fwrite(matte[0], sizeof(double), count, f) == (size_t)count;
  return fclose(f) == 0 && ok;
}

static void runCase(const SizeCase *size, LevelCase lc, const char *mattePath, RunResult *out) {
  const int H = size->height, W = size->width, band = (H < W ? H : W) / 30;
  SyntheticScene scene = makeSyntheticScene(H, W, band);
  out->levelsUsed = c2f_levels_allowed(&scene.image, scene.mask, scene.values, lc.levels, kRadius);
  c2f_config config;  // no level lines: they would break the table
  config.options.levels_num = lc.levels;
  config.options.Active_levels_num = lc.active;
  config.options.threshold = kThreshold;
  config.options.epsilon = kEpsilon;
  config.options.win_size = kRadius;
  const double wall = nowSeconds(), cpu = cpuSeconds();
  solve_outcome solved;
  double **matte = c2f_run(&scene.image, scene.mask, scene.values, &config, &solved);
  out->status = solved.status;
  out->wall = nowSeconds() - wall;
  out->cpu = cpuSeconds() - cpu;
  out->peakMiB = peakResidentMiB();
  out->meanError = meanUnknownError(&scene, matte);
  if (!saveMatte(mattePath, matte, (long)H * W)) out->status = -9999;
  free_img((void **)matte);
  freeSyntheticScene(&scene);
  // After the peak is read, on a fresh scene: the solve refines the
  // constraints in place.
  scene = makeSyntheticScene(H, W, band);
  out->estimateGiB = finestSolveEstimateGiB(&scene, lc);
  freeSyntheticScene(&scene);
}

struct CaseCall {
  const SizeCase *size;
  LevelCase lc;
  const char *mattePath;
};

static void runCaseCall(const void *context, void *result) {
  const CaseCall *call = static_cast<const CaseCall *>(context);
  *static_cast<RunResult *>(result) = RunResult{};
  runCase(call->size, call->lc, call->mattePath, static_cast<RunResult *>(result));
}

// Runs one combination in a child process capped at the memory limit; its
// matte comes back in a file.
static bool runIsolated(const SizeCase *size, LevelCase lc, const char *mattePath, RunResult *out) {
  const CaseCall call = {size, lc, mattePath};
  return runInChild(runCaseCall, &call, out, sizeof *out, kMemoryLimitGiB);
}

// Mean |a - b| of two mattes saved as raw doubles; negative if unreadable.
static double meanDifference(const char *pathA, const char *pathB, long count) {
  FILE *a = fopen(pathA, "rb"), *b = fopen(pathB, "rb");
  double sum = -1.0;
  if (a && b) {
    sum = 0.0;
    double va, vb;
    long n = 0;
    while (fread(&va, sizeof va, 1, a) == 1 && fread(&vb, sizeof vb, 1, b) == 1) {
      sum += fabs(va - vb);
      n++;
    }
    sum = n == count ? sum / count : -1.0;
  }
  if (a) fclose(a);
  if (b) fclose(b);
  return sum;
}

static void runSize(const SizeCase *size) {
  const long count = (long)size->height * size->width;
  const std::string reference = "/tmp/bench_c2f_" + std::to_string(getpid()) + "_ref.bin";
  const std::string current = "/tmp/bench_c2f_" + std::to_string(getpid()) + "_cur.bin";
  bool haveReference = false;
  for (const LevelCase &lc : kLevels) {
    const bool isReference = lc.levels == 1;
    const std::string &path = isReference ? reference : current;
    RunResult r = {};
    printf("%4dx%-4d %5.2f %6d %6d ", size->width, size->height, count / 1e6, lc.levels, lc.active);
    // The engine ends the process when its own allocations fail; UMFPACK
    // reports running out as out of memory or, at the solve, as an invalid
    // numeric object.
    if (!runIsolated(size, lc, path.c_str(), &r)) {
      printf("did not fit in %.0f GiB (the engine ran out of memory)\n", kMemoryLimitGiB);
      continue;
    }
    if (r.status == UMFPACK_ERROR_out_of_memory ||
        r.status == UMFPACK_ERROR_invalid_Numeric_object) {
      printf(
          "did not fit in %.0f GiB (status %d after %.0f MiB resident; UMFPACK estimates "
          "%.1f GiB)\n",
          kMemoryLimitGiB, r.status, r.peakMiB, r.estimateGiB);
      continue;
    }
    haveReference |= isReference;
    printf("%4d %8.2f %8.2f %8.0f %7.2f %6d %9.4f ", r.levelsUsed, r.wall, r.cpu, r.peakMiB,
           r.estimateGiB, r.status, r.meanError);
    if (isReference)
      printf("%12s\n", "(reference)");
    else if (haveReference)
      printf("%12.5f\n", meanDifference(reference.c_str(), current.c_str(), count));
    else
      printf("%12s\n", "n/a");
    fflush(stdout);
  }
  remove(reference.c_str());
  remove(current.c_str());
}

int main(int argc, char **argv) {
  const double largest = argc > 1 ? atof(argv[1]) : 4.0;
  printf("coarse-to-fine matte, r = %d, epsilon = %g, threshold = %g\n", kRadius, kEpsilon,
         kThreshold);
  printf("time and CPU of solveAlphaC2F; peak resident memory up to its end;\n");
  printf("estGiB: UMFPACK's estimate for the finest solved level; mean|e|: against the\n");
  printf("true alpha over the unknown pixels; mean|d|: against the single-level matte\n");
  printf("%-9s %5s %6s %6s %4s %8s %8s %8s %7s %6s %9s %12s\n", "size", "MP", "levels", "active",
         "used", "wall s", "cpu s", "peakMiB", "estGiB", "status", "mean|e|", "mean|d|");
  for (const SizeCase &size : kSizes)
    if (size.megapixels <= largest) runSize(&size);
  return 0;
}
