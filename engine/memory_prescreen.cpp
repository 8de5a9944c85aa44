#include "engine/memory_prescreen.h"

#include <algorithm>

#include "engine/allocate.h"
#include "engine/alpha_system.h"
#include "engine/cholesky_system.h"
#include "engine/get_laplacian.h"
#include "engine/pyramid.h"
#include "engine/solve_guard.h"
#include "sparse/errhandl.h"

const long kPrescreenPixels = 2L * 1024 * 1024;

static const int kDownRadius = 2;
// Two levels of down-sampling need at least 12 rows and columns; below a
// few dozen the coarse problem would say nothing about the fine one.
static const int kShortestSide = 64;

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

// What choleskySolve's factorisation of the problem would add; 0 when it
// cannot be told.
static double factorisationBytes(CoarseProblem *p, double epsilon, int r) {
  const int H = p->image.height, W = p->image.width;
  LASClearError();
  QMatrix L = getLaplacian1(&p->image, p->mask, epsilon, r);
  Vector d;
  V_Constr(&d, "d", (size_t)H * W, Normal, true);
  addConstraintWeights(&L, &d, p->mask, p->values, H, W);
  double bytes = 0;
  if (LASResult() == LASOK)
    bytes = choleskyFactorisationBytesOf(&L);
  else
    Q_Destr(&L);
  V_Destr(&d);
  LASClearError();
  return bytes;
}

bool largeSolveMayFit(TIFF_img *image, double **mask, double **values,
                      double epsilon, int r, const solve_settings *settings,
                      solve_outcome *outcome) {
  const long pixels = (long)image->height * image->width;
  if (pixels < kPrescreenPixels ||
      std::min(image->height, image->width) < kShortestSide)
    return true;
  CoarseProblem half = levelBelow(image, mask, values);
  CoarseProblem quarter = levelBelow(&half.image, half.mask, half.values);
  freeProblem(&half);
  const double ratio =
      (double)pixels / ((double)quarter.image.height * quarter.image.width);
  const double bytes = factorisationBytes(&quarter, epsilon, r) * ratio;
  freeProblem(&quarter);
  return bytes == 0 || factorisationFits(settings, bytes, outcome);
}
