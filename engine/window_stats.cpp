#include "engine/window_stats.h"

#include <cmath>

#include "engine/allocate.h"
#include "engine/choleski.h"
#include "engine/fatal.h"

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
  return windowChannels(image) == 3 ? image->color_planes[ch] : image->plane;
}

// The helpers below take the channel count as a compile-time constant so
// the tiny c x c loops unroll; the operations and their order are the same
// for every count.

// a . b over c elements, summed from 0.0 in ascending order.
template <int c>
static inline double dot(const double *a, int aStep, const double *b, int bStep) {
  double s = 0.0;
#pragma GCC unroll 4
  for (int k = 0; k < c; k++) s += a[k * aStep] * b[k * bStep];
  return s;
}

// Reads the window's colours into winI and sums them into the means.
template <int c>
static void gatherWindow(WindowWork *w, const unsigned char *samples, int height, int y, int x,
                         int r) {
  const double *unit = sampleToUnit();
  double *winI = w->winI.get();
  double sum[c];
  for (int ch = 0; ch < c; ch++) sum[ch] = 0.0;
  int k = 0;
  for (int dx = -r; dx <= r; dx++) {
    const unsigned char *column = samples + ((long)(x + dx) * height + y) * c;
    for (int dy = -r; dy <= r; dy++, k++)
      for (int ch = 0; ch < c; ch++) {
        const double v = unit[column[dy * c + ch]];
        winI[k * c + ch] = v;
        sum[ch] += v;
      }
  }
  for (int ch = 0; ch < c; ch++) w->mu[ch] = sum[ch] / w->n;
}

// S = (winI^T winI) / n - mu mu^T + epsilon/n Id, with the colours centred on
// the way. epsilon keeps S invertible for flat windows, where the
// covariance alone is zero.
template <int c>
static void windowCovariance(WindowWork *w, double epsilon) {
  const int n = w->n;
  double *winI = w->winI.get();
  for (int i = 0; i < c; i++)
    for (int j = i; j < c; j++) {
      double s = 0.0;
      for (int k = 0; k < n; k++) s += winI[k * c + i] * winI[k * c + j];
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
    for (int k = 0; k < n; k++) winI[k * c + ch] -= w->mu[ch];
    w->S[ch * c + ch] += epsilon / n;
  }
}

static void invertCovariance(WindowWork *w) {
  if (Choleski_LU_Decomposition(w->S, w->c) < 0)
    engine_fatal(
        "\nFailure - The matrix A is not positive definite "
        "symmetric (within working accuracy).\n",
        1);
  if (Choleski_LU_Inverse(w->S, w->c) < 0)
    engine_fatal("\nFailure - The matrix L is singular.\n", 1);
}

// V[i][j] = (1 + T_i . winI_j) / n for j >= i, with T = winI S^-1.
template <int c>
static void affinities(WindowWork *w) {
  const int n = w->n;
  const double *winI = w->winI.get();
  double *T = w->T.get(), *V = w->V.get();
  for (int i = 0; i < n; i++)
#pragma GCC unroll 4
    for (int j = 0; j < c; j++) T[i * c + j] = dot<c>(winI + i * c, 1, w->S + j, c);
  for (int i = 0; i < n; i++)
    for (int j = i; j < n; j++) V[i * n + j] = (dot<c>(T + i * c, 1, winI + j * c, 1) + 1.0) / n;
}

template <int c>
static void windowWeightsFor(WindowWork *w, const unsigned char *samples, int height, int y, int x,
                             int r, double epsilon) {
  gatherWindow<c>(w, samples, height, y, x, r);
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
  work->winI = zeroedScratchBlock<double>(work->n * channels);
  work->T = zeroedScratchBlock<double>(work->n * channels);
  work->V = zeroedScratchBlock<double>(work->n * work->n);
}

unsigned char *columnMajorSamples(const TIFF_img *image) {
  const int c = windowChannels(image), H = image->height, W = image->width;
  unsigned char *samples = (unsigned char *)mget_spc((size_t)H * W * c, sizeof(unsigned char));
  for (int ch = 0; ch < c; ch++) {
    const unsigned char *const *plane = channelPlane(image, ch);
    for (int y = 0; y < H; y++)
      for (int x = 0; x < W; x++) samples[((size_t)x * H + y) * c + ch] = plane[y][x];
  }
  return samples;
}

void windowWeights(WindowWork *work, const unsigned char *samples, int height, int y, int x, int r,
                   double epsilon) {
  if (work->c == 3)
    windowWeightsFor<3>(work, samples, height, y, x, r, epsilon);
  else
    windowWeightsFor<1>(work, samples, height, y, x, r, epsilon);
}
