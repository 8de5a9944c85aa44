#include "engine/upsample.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/allocate.h"
#include "engine/choleski.h"
#include "engine/fatal.h"
#include "engine/matrixutil.h"

// Five taps of the upsampling kernel for offsets -2..2. The taps that fall on
// coarse samples sum to 1 on each axis: 1/8 + 3/4 + 1/8 at a coarse position,
// 1/2 + 1/2 between two.
static const double kUpTaps[5] = {0.125, 0.5, 0.75, 0.5, 0.125};
static const int kUpFactor = 2;

static const char kNotPositiveDefinite[] =
    "\nFailure - The matrix A is not positive definite "
    "symmetric (within working accuracy).\n";
static const char kSingularFactor[] = "\nFailure - The matrix L is singular.\n";

// Colour images ('c', and 'a' without its alpha) fit one slope per channel,
// every other type one slope for its single plane.
static int channel_count(const TIFF_img *image) {
  return (image->TIFF_type == 'c' || image->TIFF_type == 'a') ? 3 : 1;
}

static unsigned char sample_at(const TIFF_img *image, int channels, int ch, int y, int x) {
  return channels == 1 ? image->plane[y][x] : image->color_planes[ch][y][x];
}

static void fail_internal(const char *what) {
  char message[200];
  snprintf(message, sizeof message, "\nupsample: %s\n", what);
  engine_fatal(message, -1);
}

// Scratch space for one window fit, allocated once per getLinearCoeff call:
// the design matrix G ((n + c) x (c + 1)), its transpose, the target t
// (n + c), the normal matrix M ((c + 1) x (c + 1)) and G^T t.
struct window_fit {
  int n, c;
  ScratchBlock<double> G, Gt, t, M, q;
};

static window_fit make_window_fit(int r, int c, double epsilon) {
  window_fit fit;
  fit.n = (int)pow(2 * r + 1, 2.0);
  fit.c = c;
  const int rows = fit.n + c;
  fit.G = zeroedScratchBlock<double>(rows * (c + 1));
  fit.Gt = zeroedScratchBlock<double>(rows * (c + 1));
  fit.t = zeroedScratchBlock<double>(rows);
  fit.M = zeroedScratchBlock<double>((c + 1) * (c + 1));
  fit.q = zeroedScratchBlock<double>(c + 1);
  // Ridge rows: they add epsilon * |a|^2 to the fit (not divided by n) and
  // keep the normal matrix positive definite in flat windows.
  const double s = sqrt(epsilon);
  for (int ch = 0; ch < c; ch++) fit.G[(fit.n + ch) * (c + 1) + ch] = s;
  return fit;
}

// Least-squares fit of matte = a . colour + b over the window centred at
// (y, x); writes a (c entries) then b into out.
static void fit_window(window_fit *fit, const double *const *alpha, const TIFF_img *image, int r,
                       int y, int x, double *out) {
  const int c = fit->c, cols = c + 1, rows = fit->n + c;
  double *G = fit->G.get(), *Gt = fit->Gt.get(), *t = fit->t.get();
  double *M = fit->M.get(), *q = fit->q.get();
  int k = 0;
  for (int dx = -r; dx <= r; dx++)
    for (int dy = -r; dy <= r; dy++, k++) {
      t[k] = alpha[y + dy][x + dx];
      for (int ch = 0; ch < c; ch++)
        G[k * cols + ch] = sample_at(image, c, ch, y + dy, x + dx) / 255.0;
      G[k * cols + c] = 1.0;
    }
  Self_Transpose_Multiply(M, G, rows, cols);
  Transpose_Matrix(Gt, G, rows, cols);
  Multiply_Matrices(q, Gt, cols, rows, t, 1);
  if (Choleski_LU_Decomposition(M, cols) < 0) engine_fatal(kNotPositiveDefinite, 1);
  if (Choleski_LU_Solve(M, q, out, cols) < 0) engine_fatal(kSingularFactor, 1);
}

static void copy_coeff(double *to, const double *from, int d) {
  for (int e = 0; e < d; e++) to[e] = from[e];
}

// Pixels within r of the border have no whole window: rows first (over the
// interior columns), then columns over all rows, so the corners take the
// values just copied into the border rows.
static void copy_border_coeff(double ***stack, int h, int w, int r, int d) {
  for (int y = 0; y < r; y++)
    for (int x = r; x < w - r; x++) {
      copy_coeff(stack[y][x], stack[r][x], d);
      copy_coeff(stack[h - r + y][x], stack[h - r - 1][x], d);
    }
  for (int y = 0; y < h; y++)
    for (int x = 0; x < r; x++) {
      copy_coeff(stack[y][x], stack[y][r], d);
      copy_coeff(stack[y][w - r + x], stack[y][w - r - 1], d);
    }
}

// Writes the coarse samples onto every second position of the padded plane
// stack and repeats the first and last lattice columns and rows out to the
// edges, keeping the lattice's phase, so the filter sees no false zeros at the
// borders.
static void fill_lattice(double ***P, double ***A, int h, int w, int d, int first, int PH, int PW) {
  const int last_row = first + 2 * (h - 1);
  const int last_col = first + 2 * (w - 1);
  for (int i = 0; i < h; i++)
    for (int j = 0; j < w; j++) copy_coeff(P[first + 2 * i][first + 2 * j], A[i][j], d);
  for (int y = first; y <= last_row; y += 2) {
    for (int x = first - 2; x >= 0; x -= 2) copy_coeff(P[y][x], P[y][first], d);
    for (int x = last_col + 2; x < PW; x += 2) copy_coeff(P[y][x], P[y][last_col], d);
  }
  const int leftmost = first % 2;
  for (int x = leftmost; x < PW; x += 2) {
    for (int y = first - 2; y >= 0; y -= 2) copy_coeff(P[y][x], P[first][x], d);
    for (int y = last_row + 2; y < PH; y += 2) copy_coeff(P[y][x], P[last_row][x], d);
  }
}

double ***getLinearCoeff(const double *const *alpha, const TIFF_img *image, double epsilon, int r) {
  const int h = image->height, w = image->width;
  const int c = channel_count(image);
  if (r < 0 || h < 2 * r + 1 || w < 2 * r + 1) fail_internal("image smaller than one window");
  double ***stack = (double ***)multialloc_init(sizeof(double), 3, h, w, c + 1);
  window_fit fit = make_window_fit(r, c, epsilon);
  for (int x = r; x < w - r; x++)
    for (int y = r; y < h - r; y++) fit_window(&fit, alpha, image, r, y, x, stack[y][x]);
  copy_border_coeff(stack, h, w, r, c + 1);
  return stack;
}

double ***upSmpArr(double ***coeff, int h, int w, int d, int H2, int W2, int f) {
  if (f != kUpFactor) fail_internal("only a factor of 2 is supported");
  // Coarse sample i sits at fine position 2i + off; with the pyramid's level
  // sizes off is 2, the centre of the fine pixels it was filtered from.
  const int off = (H2 - 2 * h + 1) / 2;
  const int first = f + off;
  const int PH = H2 + 2 * f, PW = W2 + 2 * f;
  if (first < 0 || first + 2 * (h - 1) >= PH || first + 2 * (w - 1) >= PW)
    fail_internal("coarse size does not fit the fine size");
  double ***P = (double ***)multialloc_init(sizeof(double), 3, PH, PW, d);
  double ***R = (double ***)multialloc_init(sizeof(double), 3, H2, W2, d);
  fill_lattice(P, coeff, h, w, d, first, PH, PW);
  for (int y = 0; y < H2; y++)
    for (int x = 0; x < W2; x++)
      for (int dy = -2; dy <= 2; dy++)
        for (int dx = -2; dx <= 2; dx++) {
          const double k = kUpTaps[dy + 2] * kUpTaps[dx + 2];
          const double *p = P[y + 2 + dy][x + 2 + dx];
          for (int e = 0; e < d; e++) R[y][x][e] += k * p[e];
        }
  multifree(P, 3);
  return R;
}

double **upSampleAlphaUsingImg(const double *const *alpha, const TIFF_img *image,
                               const TIFF_img *bigImage, double epsilon, int r) {
  const int c = channel_count(image);
  if (channel_count(bigImage) != c) fail_internal("coarse and fine images differ in channels");
  const int H2 = bigImage->height, W2 = bigImage->width;
  double ***stack = getLinearCoeff(alpha, image, epsilon, r);
  double ***up = upSmpArr(stack, image->height, image->width, c + 1, H2, W2, kUpFactor);
  multifree(stack, 3);
  double **result = (double **)get_init_arr(W2, H2, sizeof(double));
  for (int y = 0; y < H2; y++)
    for (int x = 0; x < W2; x++) result[y][x] += up[y][x][c];
  for (int ch = 0; ch < c; ch++)
    for (int x = 0; x < W2; x++)
      for (int y = 0; y < H2; y++)
        result[y][x] += sample_at(bigImage, c, ch, y, x) * up[y][x][ch] / 255.0;
  multifree(up, 3);
  return result;
}
