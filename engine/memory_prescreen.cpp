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

// One pyramid level: the coarse picture and constraints of a finer one.
struct CoarseProblem {
  TIFF_img image;
  double **mask;
  double **values;
};

static CoarseProblem levelBelow(TIFF_img *image, double **mask,
                                double **values) {
  const int H = image->height, W = image->width;
  return {downSmpIm(image, kDownRadius), downSmpArr(mask, H, W, kDownRadius),
          downSmpArr(values, H, W, kDownRadius)};
}

static void freeProblem(CoarseProblem *p) {
  free_TIFF(&p->image);
  free_img((void **)p->mask);
  free_img((void **)p->values);
}

static CholeskyCost costOf(CoarseProblem *p, double epsilon, int r) {
  const int H = p->image.height, W = p->image.width;
  LASClearError();
  QMatrix L = getLaplacian1(&p->image, p->mask, epsilon, r);
  Vector d, outside;
  V_Constr(&d, "d", (size_t)H * W, Normal, true);
  V_Constr(&outside, "x", (size_t)H * W, Normal, true);
  addConstraintWeights(&L, &d, p->mask, p->values, H, W, &outside);
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

double factorBytesFromTwoLevelsDown(TIFF_img *image, double **mask,
                                    double **values, double epsilon, int r,
                                    long rows) {
  CoarseProblem half = levelBelow(image, mask, values);
  CoarseProblem quarter = levelBelow(&half.image, half.mask, half.values);
  freeProblem(&half);
  const CholeskyCost coarse = costOf(&quarter, epsilon, r);
  freeProblem(&quarter);
  if (coarse.rows == 0) return 0;
  return kFinerFillPerRow * coarse.factorBytes / coarse.rows * rows;
}

bool largeSolveMayFit(TIFF_img *image, double **mask, double **values,
                      double epsilon, int r, const solve_settings *settings,
                      solve_outcome *outcome) {
  // A picture has no more rows to factor than pixels.
  if ((long)image->height * image->width < kPrescreenRows ||
      std::min(image->height, image->width) < kShortestPrescreenSide)
    return true;
  const long rows = pixelsInBuiltWindows(mask, image->height, image->width, r);
  if (rows < kPrescreenRows) return true;
  const double bytes =
      factorBytesFromTwoLevelsDown(image, mask, values, epsilon, r, rows);
  return bytes == 0 || factorisationFits(settings, bytes, outcome);
}
