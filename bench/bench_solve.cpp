// Builds and solves one closed-form matte per picture size and prints the
// time of every stage, the peak resident memory and the matrix size.
// Usage: bench_solve [largest megapixels to run, default 1]
// Each measurement runs in its own child process so its peak memory is its
// own.

#include <umfpack.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "bench/measure.h"
#include "bench/synthetic.h"
#include "engine/allocate.h"
#include "engine/alpha_system.h"
#include "engine/get_laplacian.h"
#include "engine/umfpack_system.h"
#include "sparse/errhandl.h"

static const int kRadius = 1;
static const double kEpsilon = 1e-7;
static const double kMemoryLimitBytes = 16.0 * 1024 * 1024 * 1024;

struct SizeCase {
  double megapixels;
  int height, width;
};

// 4:3 pictures of about 0.06, 0.25, 0.5 and 1 megapixel.
static const SizeCase kSizes[] = {
    {0.06, 216, 288}, {0.25, 432, 576}, {0.5, 612, 816}, {1.0, 864, 1152}};

struct SizeResult {
  long unknown;
  long nonZeros;         // of the full matrix handed to UMFPACK
  double fullLaplacian;  // CPU seconds, no constraints: every window built
  double fullPeakMiB;    // peak memory of that build
  double fullAgain;      // the same build again, on heap memory it freed
  double laplacian, assembly, symbolic, numeric, solve;  // CPU seconds
  double estimateGiB;                                    // UMFPACK's peak memory estimate
  double peakMiB;
  double meanError;  // mean |alpha - truth| over the unknown pixels
  int status;
  bool skipped;  // the factorisation would not fit in the limit
};

static double meanUnknownError(const SyntheticScene *s, const double *x) {
  const int H = s->image.height, W = s->image.width;
  double sum = 0.0;
  for (int c = 0; c < W; c++)
    for (int y = 0; y < H; y++) {
      if (s->mask[y][c] != 0.0) continue;
      const double a = fmin(1.0, fmax(0.0, x[(long)c * H + y]));
      sum += fabs(a - s->alpha[y][c]);
    }
  return s->unknown ? sum / s->unknown : 0.0;
}

// The stages of solveAlpha, timed one by one, with UMFPACK's memory
// estimate checked before the numeric factorisation.
static void factorAndSolve(const CompressedColumn *A, const double *b, double *x, SizeResult *out) {
  double info[UMFPACK_INFO];
  void *symbolic = NULL, *numeric = NULL;
  double t = cpuSeconds();
  umfpack_di_symbolic(A->n, A->n, A->Ap, A->Ai, A->Ax, &symbolic, NULL, info);
  out->symbolic = cpuSeconds() - t;
  out->estimateGiB =
      info[UMFPACK_PEAK_MEMORY_ESTIMATE] * info[UMFPACK_SIZE_OF_UNIT] / (1024.0 * 1024 * 1024);
  if (out->estimateGiB * 1024 * 1024 * 1024 > kMemoryLimitBytes) {
    out->skipped = true;
    umfpack_di_free_symbolic(&symbolic);
    return;
  }
  t = cpuSeconds();
  umfpack_di_numeric(A->Ap, A->Ai, A->Ax, symbolic, &numeric, NULL, info);
  out->numeric = cpuSeconds() - t;
  umfpack_di_free_symbolic(&symbolic);
  t = cpuSeconds();
  umfpack_di_solve(UMFPACK_A, A->Ap, A->Ai, A->Ax, x, b, numeric, NULL, info);
  out->solve = cpuSeconds() - t;
  umfpack_di_free_numeric(&numeric);
  out->status = (int)info[UMFPACK_STATUS];
}

static SyntheticScene sceneOfSize(const SizeCase *size) {
  const int H = size->height, W = size->width;
  return makeSyntheticScene(H, W, (H < W ? H : W) / 30);
}

// The Laplacian's worst case: nothing constrained, every window built.
static void unconstrainedLaplacian(const SizeCase *size, SizeResult *out) {
  SyntheticScene scene = sceneOfSize(size);
  const int H = scene.image.height, W = scene.image.width;
  double **none = (double **)get_init_arr(W, H, sizeof(double));
  LASClearError();
  double t = cpuSeconds();
  QMatrix L = getLaplacian1(&scene.image, none, kEpsilon, kRadius);
  out->fullLaplacian = cpuSeconds() - t;
  out->fullPeakMiB = peakResidentMiB();
  Q_Destr(&L);
  t = cpuSeconds();
  L = getLaplacian1(&scene.image, none, kEpsilon, kRadius);
  out->fullAgain = cpuSeconds() - t;
  Q_Destr(&L);
  free_img((void **)none);
  freeSyntheticScene(&scene);
}

// One solve of the scene with its trimatte.
static void solveScene(const SizeCase *size, SizeResult *out) {
  const int H = size->height, W = size->width;
  SyntheticScene scene = sceneOfSize(size);
  out->unknown = scene.unknown;
  LASClearError();
  double t = cpuSeconds();
  QMatrix L = getLaplacian1(&scene.image, scene.mask, kEpsilon, kRadius);
  out->laplacian = cpuSeconds() - t;
  Vector d, x;
  V_Constr(&d, "d", L.Dim, Normal, true);
  V_SetAllCmp(&d, 0.0);
  V_Constr(&x, "x", L.Dim, Normal, true);
  V_SetAllCmp(&x, 0.0);
  t = cpuSeconds();
  addConstraintWeights(&L, &d, scene.mask, scene.values, H, W);
  CompressedColumn A;
  const bool assembled = compressedColumnFromUpper(&L, &A);
  Q_Destr(&L);
  out->assembly = cpuSeconds() - t;
  if (assembled) {
    out->nonZeros = A.Ap[A.n];
    factorAndSolve(&A, V_Cmp(&d) + 1, V_Cmp(&x) + 1, out);
    compressedColumnFree(&A);
    out->meanError = meanUnknownError(&scene, V_Cmp(&x) + 1);
  } else {
    out->status = UMFPACK_ERROR_out_of_memory;
  }
  V_Destr(&d);
  V_Destr(&x);
  freeSyntheticScene(&scene);
  out->peakMiB = peakResidentMiB();
}

typedef void (*SizeJob)(const SizeCase *size, SizeResult *out);

struct SizeJobCall {
  SizeJob job;
  const SizeCase *size;
};

static void runSizeJob(const void *context, void *result) {
  const SizeJobCall *call = static_cast<const SizeJobCall *>(context);
  call->job(call->size, static_cast<SizeResult *>(result));
}

// Runs one job in a child process, so its peak memory is its own.
static bool runIsolated(SizeJob job, const SizeCase *size, SizeResult *out) {
  const SizeJobCall call = {job, size};
  return runInChild(runSizeJob, &call, out, sizeof *out, 0);
}

static void printRow(const SizeCase *size, const SizeResult *r) {
  const double mp = (double)size->height * size->width / 1e6;
  printf("%4dx%-4d %6.3f %7ld %8.3f %8.3f %7.0f %9ld %7.3f %7.3f %8.3f ", size->width, size->height,
         mp, r->unknown, r->fullLaplacian / mp, r->fullAgain / mp, r->fullPeakMiB, r->nonZeros,
         r->laplacian, r->assembly, r->symbolic);
  if (r->skipped) {
    printf("skipped: UMFPACK estimates %.1f GiB, over the 16 GiB limit\n", r->estimateGiB);
    return;
  }
  printf("%8.2f %6.3f %7.0f %6.1f %6d %8.4f\n", r->numeric, r->solve, r->peakMiB, r->estimateGiB,
         r->status, r->meanError);
}

int main(int argc, char **argv) {
  const double largest = argc > 1 ? atof(argv[1]) : 1.0;
  printf("closed-form matte, r = %d, epsilon = %g, UMFPACK default control\n", kRadius, kEpsilon);
  printf(
      "CPU seconds per stage. 'all': the Laplacian with every window built (no\n"
      "constraints), its time per megapixel on fresh memory and again on reused\n"
      "heap, and its peak memory; the rest: one solve\n"
      "with the trimatte (nnz of the full matrix, UMFPACK's memory estimate,\n"
      "mean |alpha - truth| over the unknown pixels)\n");
  printf("%-9s %6s %7s %8s %8s %7s %9s %7s %7s %8s %8s %6s %7s %6s %6s %8s\n", "size", "MP",
         "unknown", "all s/MP", "again", "all MiB", "nnz", "lapl s", "assem s", "symb s", "numer s",
         "solve s", "peakMiB", "estGiB", "status", "mean|e|");
  for (const SizeCase &size : kSizes) {
    if (size.megapixels > largest) continue;
    SizeResult r = {};
    if (!runIsolated(unconstrainedLaplacian, &size, &r) || !runIsolated(solveScene, &size, &r)) {
      printf("%4dx%-4d failed to run\n", size.width, size.height);
      continue;
    }
    printRow(&size, &r);
    fflush(stdout);
  }
  return 0;
}
