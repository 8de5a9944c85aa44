#include "reference_laplacian.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "engine/allocate.h"
#include "engine/choleski.h"
#include "engine/matrixutil.h"

static unsigned char sampleAt(TIFF_img *image, int ch, int y, int x) {
  if (image->TIFF_type == 'c' || image->TIFF_type == 'a') return image->color_planes[ch][y][x];
  return image->plane[y][x];
}

// Merges (cols[j], vals[j]) into row R of A: the stored row plus the new
// entries, sorted by column, written back as a freshly sized row.
static void mergeRow(QMatrix *A, size_t R, const unsigned *cols, const double *vals, int count) {
  std::map<size_t, double> row;
  for (size_t e = 0; e < Q_GetLen(A, R); e++) row[Q_GetPos(A, R, e)] = Q_GetVal(A, R, e);
  for (int j = 0; j < count; j++) row[cols[j]] += vals[j];
  Q_SetLen(A, R, row.size());
  size_t k = 0;
  for (const auto &entry : row) Q_SetEntry(A, R, k++, entry.first, entry.second);
}

static void addWindow(QMatrix *A, TIFF_img *image, int y, int x, int r, double epsilon, int c,
                      int n) {
  const int H = image->height;
  std::vector<unsigned> idx(n);
  std::vector<double> winI(n * c), T(n * c), V(n * n);
  double mu[3] = {0, 0, 0}, S[9], P[9];
  int k = 0;
  for (int dx = -r; dx <= r; dx++)
    for (int dy = -r; dy <= r; dy++) idx[k++] = (x + dx) * H + (y + dy);
  for (int ch = 0; ch < c; ch++) {
    k = 0;
    for (int dx = -r; dx <= r; dx++)
      for (int dy = -r; dy <= r; dy++, k++) {
        double v = sampleAt(image, ch, y + dy, x + dx) / 255.0;
        winI[k * c + ch] = v;
        mu[ch] += v;
      }
    mu[ch] = mu[ch] / n;
  }
  Self_Transpose_Multiply(S, winI.data(), n, c);
  Divide_Matrix_by_Scalar(S, n, c, c);
  Multiply_Self_Transpose(P, mu, c, 1);
  for (int ch = 0; ch < c; ch++) {
    for (int i = 0; i < c; i++) S[i * c + ch] -= P[i * c + ch];
    for (k = 0; k < n; k++) winI[k * c + ch] -= mu[ch];
    S[ch * c + ch] += epsilon / n;
  }
  if (Choleski_LU_Decomposition(S, c) < 0 || Choleski_LU_Inverse(S, c) < 0) {
    fprintf(stderr, "reference: covariance not invertible\n");
    exit(1);
  }
  Multiply_Matrices(T.data(), winI.data(), n, c, S, c);
  Multiply_Matrix_with_Transpose(V.data(), T.data(), n, c, winI.data(), n);
  for (int i = 0; i < n * n; i++) V[i] = (V[i] + 1.0) / n;
  std::vector<unsigned> cols(n);
  for (int i = 0; i < n; i++) {
    for (int j = i; j < n; j++) cols[j] = idx[j] + 1;
    mergeRow(A, idx[i] + 1, cols.data() + i, V.data() + i * n + i, n - i);
  }
}

static void diagonalByLookup(QMatrix *A, int H, int r) {
  const int m = 4 * r + 1;
  const long N = A->Dim;
  std::vector<long> off(m * m);
  for (int a = 0; a < m; a++)
    for (int b = 0; b < m; b++) off[a * m + b] = (long)(a - 2 * r) * H + (b - 2 * r);
  for (long k = 1; k <= N; k++) {
    const size_t len = Q_GetLen(A, k);
    if (len == 0) continue;
    for (size_t e = 0; e < len; e++) Q_SetEntry(A, k, e, Q_GetPos(A, k, e), -Q_GetVal(A, k, e));
    double s = 0;
    for (long o : off)
      if (k + o >= 1 && k + o <= N) s = s - Q_GetEl(A, k, k + o);
    Q_AddVal(A, k, 0, s);
  }
}

QMatrix referenceLaplacian(TIFF_img *image, double **mask, double epsilon, int r) {
  const int H = image->height, W = image->width;
  QMatrix A;
  Q_Constr(&A, "A", (size_t)H * W, true, Rowws, Normal, true);
  if (epsilon < 1e-7) epsilon = 1e-7;
  if (r < 1) r = 1;
  const int n = (int)pow(2 * r + 1, 2.0);
  const int c = (image->TIFF_type == 'c' || image->TIFF_type == 'a') ? 3 : 1;
  double **E = imerode(mask, W, H, r);
  for (int x = r; x <= W - r - 1; x++)
    for (int y = r; y <= H - r - 1; y++)
      if (E[y][x] == 0.0) addWindow(&A, image, y, x, r, epsilon, c, n);
  diagonalByLookup(&A, H, r);
  free_img((void **)E);
  return A;
}
