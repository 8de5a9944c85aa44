#include "engine/memory_prescreen.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/allocate.h"
#include "engine/alpha_system.h"
#include "engine/cholesky_system.h"
#include "engine/get_laplacian.h"
#include "sparse/errhandl.h"
#include "tests/support/pictures.h"

namespace {

const int kHeight = 240, kWidth = 320;

// The bytes of the factor choleskySolve would compute for the whole problem.
double factorBytes(TIFF_img *image, double **mask, double **values) {
  LASClearError();
  QMatrix L = getLaplacian1(image, mask, 1e-7, 1);
  Vector d, outside;
  V_Constr(&d, "d", L.Dim, Normal, true);
  V_Constr(&outside, "x", L.Dim, Normal, true);
  addConstraintWeights(&L, &d, mask, values, image->height, image->width, &outside);
  const double bytes = choleskyCostOf(&L, &outside).factorBytes;
  V_Destr(&d);
  V_Destr(&outside);
  return bytes;
}

// The refusal before building a large picture's system must never refuse a
// solve that would fit: the estimate from two levels down stays below the
// real need, for a trimap's narrow or wide band around a disc and for
// strokes over an open picture. For strokes it stays close enough to refuse
// what is far too big.
TEST(MemoryPrescreen, CoarseEstimateStaysBelowTheNeedOfTheWholeProblem) {
  const struct {
    int band;            // unknown band around the disc, in pixels; 0: two strokes only
    double least_share;  // the estimate is at least this share of the need
  } cases[] = {{3, 0.0}, {24, 0.0}, {0, 0.7}};
  for (const auto &c : cases) {
    TIFF_img image = noise_picture(kWidth, kHeight, 'c', 4u);
    const owned_array mask(filled_array(kWidth, kHeight, 0.0)),
        values(filled_array(kWidth, kHeight, 0.0));
    for (int y = 0; y < kHeight; y++)
      for (int x = 0; x < kWidth; x++) {
        const double radius = std::hypot(y - kHeight / 2.0, x - kWidth / 2.0) - 80;
        const bool pinned = c.band ? std::fabs(radius) > c.band : (x < 12 || std::fabs(radius) < 6);
        mask[y][x] = pinned;
        values[y][x] = pinned && radius < 0;
      }
    const double estimate = factorBytesFromTwoLevelsDown(
        &image, mask, values, 1e-7, 1, pixelsInBuiltWindows(mask, kHeight, kWidth, 1));
    const double need = factorBytes(&image, mask, values);
    EXPECT_GT(estimate, 0.0) << c.band;
    EXPECT_LE(estimate, need) << c.band;
    EXPECT_GE(estimate, c.least_share * need) << c.band << ": " << estimate / need;
    free_TIFF(&image);
  }
}

}  // namespace
