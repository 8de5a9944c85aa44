#include "engine/window_stats.h"

#include "engine/allocate.h"
#include "engine/choleski.h"
#include "engine/fatal.h"

#include <cmath>
#include <cstdlib>

static const double kSampleScale = 255.0;

struct UnitTable {
  double value[256];
};

static UnitTable makeUnitTable(void) {
  UnitTable t;
  for (int s = 0; s < 256; s++) t.value[s] = s / kSampleScale;
  return t;
}

// sample / 255.0 for every 8-bit sample, computed once (the same division
// as done per sample, so the values are identical).
static const double *sampleToUnit(void) {
  static const UnitTable table = makeUnitTable();
  return table.value;
}

static const unsigned char *const *channelPlane(const TIFF_img *image, int ch) {
  if (image->TIFF_type == 'c' || image->TIFF_type == 'a')
    return image->color_planes[ch];
  return image->plane;
}

// The helpers below take the channel count as a compile-time constant so
// the tiny c x c loops unroll; the operations and their order are the same
// for every count.

// Reads the window's colours into winI and sums them into the means.
template <int c>
static void gatherWindow(WindowWork *w, const TIFF_img *image, int y, int x,
                         int r) {
  const double *unit = sampleToUnit();
  for (int ch = 0; ch < c; ch++) {
    const unsigned char *const *plane = channelPlane(image, ch);
    double sum = 0.0;
    int k = 0;
    for (int dx = -r; dx <= r; dx++)
      for (int dy = -r; dy <= r; dy++, k++) {
        double v = unit[plane[y + dy][x + dx]];
        w->winI[k * c + ch] = v;
        sum += v;
      }
    w->mu[ch] = sum / w->n;
  }
}

// S = (winI^T winI) / n - mu mu^T + epsilon/n Id, with the colours centred on
// the way. epsilon keeps S invertible for flat windows, where the
// covariance alone is zero.
template <int c>
static void windowCovariance(WindowWork *w, double epsilon) {
  const int n = w->n;
  for (int i = 0; i < c; i++)
    for (int j = i; j < c; j++) {
      double s = 0.0;
      for (int k = 0; k < n; k++) s += w->winI[k * c + i] * w->winI[k * c + j];
      w->S[i * c + j] = s;
      w->S[j * c + i] = s;
    }
  const double reciprocal = 1.0 / n;
  for (int i = 0; i < c * c; i++) w->S[i] *= reciprocal;
  for (int i = 0; i < c; i++)
    for (int j = i; j < c; j++) {
      w->P[i * c + j] = 0.0 + w->mu[i] * w->mu[j];
      w->P[j * c + i] = w->P[i * c + j];
    }
  for (int ch = 0; ch < c; ch++) {
    for (int i = 0; i < c; i++) w->S[i * c + ch] -= w->P[i * c + ch];
    for (int k = 0; k < n; k++) w->winI[k * c + ch] -= w->mu[ch];
    w->S[ch * c + ch] += epsilon / n;
  }
}

static void invertCovariance(WindowWork *w) {
  if (Choleski_LU_Decomposition(w->S, w->c) < 0)
    engine_fatal("\nFailure - The matrix A is not positive definite "
                 "symmetric (within working accuracy).\n", 1);
  if (Choleski_LU_Inverse(w->S, w->c) < 0)
    engine_fatal("\nFailure - The matrix L is singular.\n", 1);
}

// V[i][j] = (1 + T_i . winI_j) / n for j >= i, with T = winI S^-1.
template <int c>
static void affinities(WindowWork *w) {
  const int n = w->n;
  for (int i = 0; i < n; i++)
    for (int j = 0; j < c; j++) {
      double s = 0.0;
      for (int k = 0; k < c; k++) s += w->winI[i * c + k] * w->S[k * c + j];
      w->T[i * c + j] = s;
    }
  for (int i = 0; i < n; i++) {
    const double *t = w->T + i * c;
    for (int j = i; j < n; j++) {
      const double *v = w->winI + j * c;
      double s = 0.0;
      for (int k = 0; k < c; k++) s += t[k] * v[k];
      w->V[i * n + j] = (s + 1.0) / n;
    }
  }
}

template <int c>
static void windowWeightsFor(WindowWork *w, const TIFF_img *image, int y,
                             int x, int r, double epsilon) {
  gatherWindow<c>(w, image, y, x, r);
  windowCovariance<c>(w, epsilon);
  invertCovariance(w);
  affinities<c>(w);
}

int windowChannels(const TIFF_img *image) {
  return (image->TIFF_type == 'c' || image->TIFF_type == 'a') ? 3 : 1;
}

void windowWorkInit(WindowWork *work, int r, int channels) {
  work->n = (int)pow(2 * r + 1, 2.0);
  work->c = channels;
  work->winI = (double *)get_spc(work->n * channels, sizeof(double));
  work->T = (double *)get_spc(work->n * channels, sizeof(double));
  work->V = (double *)get_spc(work->n * work->n, sizeof(double));
}

void windowWorkFree(WindowWork *work) {
  free(work->winI);
  free(work->T);
  free(work->V);
}

void windowWeights(WindowWork *work, const TIFF_img *image, int y, int x,
                   int r, double epsilon) {
  if (work->c == 3)
    windowWeightsFor<3>(work, image, y, x, r, epsilon);
  else
    windowWeightsFor<1>(work, image, y, x, r, epsilon);
}
