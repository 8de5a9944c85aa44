#include "engine/solve_alpha.h"

#include <gtest/gtest.h>
#include <umfpack.h>

#include <atomic>
#include <cmath>
#include <vector>

#include "engine/allocate.h"
#include "engine/alpha_system.h"
#include "engine/get_laplacian.h"
#include "engine/reduced_system.h"
#include "engine/umfpack_system.h"
#include "sparse/errhandl.h"
#include "tests/support/pictures.h"

namespace {

// A noise picture with its trimatte (nothing pinned yet).
struct Scene {
  const int height, width;
  TIFF_img image;
  const owned_array mask, values;
  Scene(int h, int w, unsigned seed, char type = 'c')
      : height(h),
        width(w),
        image(noise_picture(w, h, type, seed)),
        mask(filled_array(w, h, 0.0)),
        values(filled_array(w, h, 0.0)) {}
  ~Scene() { free_TIFF(&image); }
  void pin(int y, int x, double value) {
    mask[y][x] = 1.0;
    values[y][x] = value;
  }
  double **solve(int *status) { return solveAlpha(&image, mask, values, 1e-7, 1, status); }
  double **solve(solver_choice solver, int r, solve_outcome *outcome,
                 const std::atomic<bool> *cancel = nullptr) {
    solve_settings settings;
    settings.solver = solver;
    settings.cancel = cancel;
    return solveAlphaWith(&image, mask, values, 1e-7, r, &settings, outcome);
  }
  // The Laplacian built on its own and handed to matteFromLaplacian, the
  // solution vector filled with garbage first; containerFailed records a
  // container error as if the build had run out of memory.
  double **solveBuilt(const solve_settings *settings, solve_outcome *outcome,
                      bool containerFailed = false) {
    LASClearError();
    QMatrix L = getLaplacian1(&image, mask, 1e-7, 1);
    Vector d, x;
    V_Constr(&d, "d", L.Dim, Normal, true);
    V_Constr(&x, "x", L.Dim, Normal, true);
    V_SetAllCmp(&x, 0.7);
    if (containerFailed) LASError(LASMemAllocErr, "Q_SetLen", "A", NULL, NULL);
    double **alpha = matteFromLaplacian(&L, &d, &x, mask, values, height, width, settings, outcome);
    V_Destr(&d);
    V_Destr(&x);
    LASClearError();
    return alpha;
  }
};

double largestDifference(double **a, double **b, int height, int width) {
  double largest = 0.0;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) largest = std::fmax(largest, std::fabs(a[y][x] - b[y][x]));
  return largest;
}

std::vector<int> indices(const int *a, int n) { return std::vector<int>(a, a + n); }

// When Cholesky finds the system not positive definite it rebuilds the whole
// system from its reduced one for LU: that must be bit for bit what LU is
// given directly. Five pinned columns on the left empty some rows (1 x 1
// rows, whose weights wait in x); one pinned pixel sits among free ones.
TEST(ReducedSystem, FallbackRebuildsExactlyTheSystemLuIsGiven) {
  Scene s(12, 10, 9u);
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < 5; x++) s.pin(y, x, 0.25);
  s.pin(6, 8, 1.0);
  QMatrix L = getLaplacian1(&s.image, s.mask, 1e-7, 1),
          P = getLaplacian1(&s.image, s.mask, 1e-7, 1);
  Vector d, x;
  V_Constr(&d, "d", L.Dim, Normal, true);
  V_Constr(&x, "x", L.Dim, Normal, true);
  addConstraintWeights(&L, &d, s.mask, s.values, s.height, s.width);
  addConstraintWeights(&P, &d, s.mask, s.values, s.height, s.width, &x);
  CompressedColumn direct, rebuilt;
  ASSERT_TRUE(compressedColumnFromUpper(&L, &direct));
  cholmod_common common;
  cholmod_l_start(&common);
  ReducedSystem reduced;
  ASSERT_TRUE(splitSystem(&P, &x, &common, &reduced));
  ASSERT_TRUE(compressedColumnFromReduced(&reduced, &x, &rebuilt));
  const int n = direct.n, nz = direct.Ap[n];
  EXPECT_EQ(indices(rebuilt.Ap, rebuilt.n + 1), indices(direct.Ap, n + 1));
  EXPECT_EQ(indices(rebuilt.Ai, nz), indices(direct.Ai, nz));
  EXPECT_EQ(std::vector<double>(rebuilt.Ax, rebuilt.Ax + nz),
            std::vector<double>(direct.Ax, direct.Ax + nz));
  for (CompressedColumn *m : {&direct, &rebuilt}) compressedColumnFree(m);
  cholmod_l_free_sparse(&reduced.A, &common);
  cholmod_l_finish(&common);
  Q_Destr(&L);
  V_Destr(&d);
  V_Destr(&x);
}

// A wholly pinned picture is all 1 x 1 rows, so the solution is the pinned
// values themselves, clamped into 0..1. An error left by an earlier
// calculation must not poison this one.
TEST(SolveAlpha, PinnedValuesComeBackClampedInRowColumnOrder) {
  const double pinned[3][4] = {
      {1.3, -0.2, 0.5, 0.0}, {1.0, 0.25, 2.0, -1.0}, {0.75, 0.1, 0.9, 0.6}};
  Scene s(3, 4, 1u);
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++) s.pin(y, x, pinned[y][x]);
  LASError(LASMemAllocErr, "earlier", NULL, NULL, NULL);
  int status = -99;
  const owned_array alpha(s.solve(&status));
  EXPECT_EQ(status, UMFPACK_OK);
  EXPECT_EQ(LASResult(), LASOK);
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++)
      EXPECT_NEAR(alpha[y][x], std::fmin(1.0, std::fmax(0.0, pinned[y][x])), 1e-12)
          << y << ", " << x;
}

// No window fits, so the unpinned pixels have empty rows: the matrix is
// singular. Cholesky finds it not positive definite and hands the whole
// system to LU, so both solvers give UMFPACK's singular-matrix warning and
// the same matte: the undetermined pixels (NaN) become 0, the pinned ones
// keep their values.
TEST(SolveAlpha, PictureLowerThanAWindowIsSingularWithEitherSolver) {
  Scene s(2, 8, 2u);
  s.pin(0, 0, 0.0);
  s.pin(1, 7, 1.0);
  solve_outcome lu, cholesky;
  const owned_array byLu(s.solve(SOLVER_LU, 1, &lu)),
      byCholesky(s.solve(SOLVER_CHOLESKY, 1, &cholesky));
  EXPECT_EQ(lu.status, UMFPACK_WARNING_singular_matrix);
  EXPECT_EQ(cholesky.status, lu.status);
  EXPECT_EQ(byLu[1][7], 1.0);
  EXPECT_TRUE(same_array(byCholesky, byLu, s.width, s.height));
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++)
      EXPECT_TRUE(s.mask[y][x] != 0.0 || byLu[y][x] == 0.0) << y << ", " << x;
}

// Random pictures and constraints: the Cholesky path agrees with the LU
// reference within 1e-6, with the same status. With nothing pinned the
// system is singular; Cholesky falls back and both give UMFPACK's answer.
TEST(SolveAlpha, BothSolversAgreeWithinOneMillionth) {
  const struct {
    char type;     // 'c' colour or 'g' grey
    int r;         // window radius
    int pinEvery;  // every pinEvery-th pixel pinned to a random value; 0: none
  } cases[] = {{'c', 1, 7}, {'c', 2, 2}, {'g', 2, 11}, {'c', 1, 0}};
  for (const auto &c : cases) {
    Scene s(23, 17, 5u + c.r, c.type);
    unsigned state = 12345u;
    for (int k = 0; c.pinEvery && k < s.height * s.width; k += c.pinEvery) {
      state = state * 1664525u + 1013904223u;
      s.pin(k % s.height, k / s.height, (state >> 8) / 16777216.0);
    }
    solve_outcome lu, cholesky;
    const owned_array byLu(s.solve(SOLVER_LU, c.r, &lu)),
        byCholesky(s.solve(SOLVER_CHOLESKY, c.r, &cholesky));
    SCOPED_TRACE(testing::Message() << c.type << " r " << c.r << " every " << c.pinEvery);
    EXPECT_GE(lu.status, 0);
    EXPECT_EQ(cholesky.status, lu.status);
    EXPECT_LE(largestDifference(byLu, byCholesky, s.height, s.width), 1e-6);
  }
}

// The cancel flag is looked at inside the solve, before the Laplacian and
// again between the later stages; an error while building the system skips
// the solve. Either way the status says so and the matte is empty.
TEST(SolveAlpha, CancelOrABuildErrorGivesAnEmptyMatte) {
  Scene s(9, 9, 3u);
  s.pin(0, 0, 0.0);
  s.pin(8, 8, 1.0);
  const std::atomic<bool> cancelled{true};
  const owned_array empty(filled_array(s.width, s.height, 0.0));
  for (solver_choice solver : {SOLVER_CHOLESKY, SOLVER_LU}) {
    solve_outcome whole;
    const owned_array whole_matte(s.solve(solver, 1, &whole, &cancelled));
    EXPECT_EQ(whole.status, C2F_STATUS_CANCELLED);
    for (const bool build_error : {false, true}) {
      solve_settings settings;
      settings.solver = solver;
      settings.cancel = build_error ? nullptr : &cancelled;
      solve_outcome outcome;
      const owned_array alpha(s.solveBuilt(&settings, &outcome, build_error));
      EXPECT_EQ(outcome.status, build_error ? UMFPACK_ERROR_out_of_memory : C2F_STATUS_CANCELLED);
      EXPECT_TRUE(same_array(alpha, empty, s.width, s.height)) << solver << build_error;
    }
  }
}

// Two flat colours mixed by a soft edge satisfy the local colour model
// exactly, so the true alpha solves the system up to epsilon and the 8-bit
// rounding of the composite: half a level against |F - B| of about 280
// levels moves alpha by up to about 0.003; 0.005 leaves room for epsilon.
TEST(SolveAlpha, RecoversTheAlphaOfASyntheticComposite) {
  const double F[3] = {230, 40, 40}, B[3] = {20, 60, 220};
  Scene s(20, 24, 0u);
  const owned_array truth(filled_array(s.width, s.height, 0.0));
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++) {
      const double a = truth[y][x] = std::fmin(1.0, std::fmax(0.0, (x - 8 + 0.15 * y) / 8.0));
      for (int ch = 0; ch < 3; ch++)
        s.image.color_planes[ch][y][x] = (unsigned char)std::lround(a * F[ch] + (1 - a) * B[ch]);
      if (x < 5) s.pin(y, x, 0.0);
      if (x >= s.width - 3) s.pin(y, x, 1.0);
    }
  int status = -99;
  const owned_array alpha(s.solve(&status));
  ASSERT_EQ(status, UMFPACK_OK);
  EXPECT_LT(largestDifference(alpha, truth, s.height, s.width), 0.005);
}

}  // namespace
