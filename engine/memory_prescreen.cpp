#include "engine/memory_prescreen.h"

#include <algorithm>

#include "engine/allocate.h"
#include "engine/alpha_system.h"
#include "engine/cholesky_system.h"
#include "engine/get_laplacian.h"
#include "engine/pyramid.h"
#include "engine/solve_guard.h"
#include "sparse/errhandl.h"

// A million rows: a 1 MP picture with strokes is analysed in about 2.5 s.
const long kPrescreenRows = 1L << 20;
// Two levels of down-sampling need at least 12 rows and columns; below a
// few dozen the coarse problem would say little about the fine one.
const int kShortestPrescreenSide = 64;

static const int kDownRadius = 2;
// Two levels down, the factor per factored row came to 0.49..0.75 of the
// whole problem's (trimap bands 2 to 32 pixels wide, strokes; 0.08 to 1.2
// megapixels): coarse levels have shorter rows to eliminate. Scaled by this
// the estimate stays at or below the factor itself, and so below the
// factorisation's whole memory, which adds the matrix and workspace.
static const double kFinerFillPerRow = 1.4;

namespace {

// One pyramid level: the coarse picture and constraints of a finer one,
// released with the record.
struct CoarseProblem {
  TIFF_img image;
  ScratchArray<double> mask;
  ScratchArray<double> values;

  CoarseProblem(const TIFF_img *finer, const double *const *finer_mask,
                const double *const *finer_values)
      : image(downSmpIm(finer, kDownRadius)),
        mask(downSmpArr(finer_mask, finer->height, finer->width, kDownRadius)),
        values(downSmpArr(finer_values, finer->height, finer->width, kDownRadius)) {}
  ~CoarseProblem() { free_TIFF(&image); }
  CoarseProblem(const CoarseProblem &) = delete;
  CoarseProblem &operator=(const CoarseProblem &) = delete;
};

}  // namespace

// Two levels below; the level between goes once it has served.
static CoarseProblem twoLevelsBelow(const TIFF_img *image, const double *const *mask,
                                    const double *const *values) {
  CoarseProblem half(image, mask, values);
  return CoarseProblem(&half.image, half.mask.get(), half.values.get());
}

static CholeskyCost costOf(CoarseProblem *p, double epsilon, int r) {
  const int H = p->image.height, W = p->image.width;
  LASClearError();
  QMatrix L = getLaplacian1(&p->image, p->mask.get(), epsilon, r);
  Vector d, outside;
  V_Constr(&d, "d", (size_t)H * W, Normal, true);
  V_Constr(&outside, "x", (size_t)H * W, Normal, true);
  addConstraintWeights(&L, &d, p->mask.get(), p->values.get(), H, W, &outside);
  CholeskyCost cost = {0, 0};
  if (LASResult() == LASOK)
    cost = choleskyCostOf(&L, &outside);
  else
    Q_Destr(&L);
  V_Destr(&d);
  V_Destr(&outside);
  LASClearError();
  return cost;
}

double factorBytesFromTwoLevelsDown(const TIFF_img *image, const double *const *mask,
                                    const double *const *values, double epsilon, int r, long rows) {
  CoarseProblem quarter = twoLevelsBelow(image, mask, values);
  const CholeskyCost coarse = costOf(&quarter, epsilon, r);
  if (coarse.rows == 0) return 0;
  return kFinerFillPerRow * coarse.factorBytes / coarse.rows * rows;
}

bool largeSolveMayFit(const TIFF_img *image, const double *const *mask, const double *const *values,
                      double epsilon, int r, const solve_settings *settings,
                      solve_outcome *outcome) {
  // A picture has no more rows to factor than pixels.
  if ((long)image->height * image->width < kPrescreenRows ||
      std::min(image->height, image->width) < kShortestPrescreenSide)
    return true;
  const long rows = pixelsInBuiltWindows(mask, image->height, image->width, r);
  if (rows < kPrescreenRows) return true;
  const double bytes = factorBytesFromTwoLevelsDown(image, mask, values, epsilon, r, rows);
  return bytes == 0 || factorisationFits(settings, bytes, outcome);
}
