#include "engine/get_laplacian.h"

#include <cstdlib>

#include "engine/allocate.h"
#include "engine/fatal.h"
#include "engine/window_stats.h"
#include "sparse/errhandl.h"

static const double kEpsilonFloor = 1e-7;
static const int kRadiusFloor = 1;

// Sizes derived from the picture and the window radius.
struct LaplacianShape {
  int H, W;  // picture rows and columns
  long N;    // pixels = matrix dimension
  int r;     // window radius
  int n;     // pixels per window, (2r+1)^2
  int m;     // 4r+1: side of the square of pixels sharing a window with one
  int K;     // (m*m + 1) / 2: forward neighbours, the longest possible row
};

static LaplacianShape laplacianShape(int height, int width, int r) {
  LaplacianShape sh;
  sh.H = height;
  sh.W = width;
  sh.N = (long)sh.H * sh.W;
  sh.r = r;
  sh.n = (2 * r + 1) * (2 * r + 1);
  sh.m = 4 * r + 1;
  sh.K = (sh.m * sh.m + 1) / 2;
  return sh;
}

// The s-th forward neighbour of a pixel (s = 0..K-1): displacements with
// dx > 0, or dx = 0 and dy >= 0, in ascending (dx, dy) order. Inside the
// picture that is ascending column-major index, i.e. the order of a row.
static void forwardDisplacement(const LaplacianShape *sh, int s, int *dx, int *dy) {
  const int side = 2 * sh->r + 1;
  if (s < side) {
    *dx = 0;
    *dy = s;
  } else {
    *dx = 1 + (s - side) / sh->m;
    *dy = (s - side) % sh->m - 2 * sh->r;
  }
}

static int forwardSlot(const LaplacianShape *sh, int dx, int dy) {
  if (dx == 0) return dy;
  return 2 * sh->r + 1 + (dx - 1) * sh->m + dy + 2 * sh->r;
}

// Prefix counts of the windows that are built (centre inside the picture by
// r, eroded mask zero): pre[y * (W+1) + x] = such centres in rows < y,
// columns < x. Lets the row structure ask "do p and q share a built window"
// in constant time.
static ScratchBlock<int> builtWindowCounts(const double *const *E, const LaplacianShape *sh) {
  const int stride = sh->W + 1;
  ScratchBlock<int> pre = zeroedScratchBlock<int>((size_t)(sh->H + 1) * stride);
  for (int y = 0; y < sh->H; y++)
    for (int x = 0; x < sh->W; x++) {
      bool built =
          y >= sh->r && y < sh->H - sh->r && x >= sh->r && x < sh->W - sh->r && E[y][x] == 0.0;
      pre[(y + 1) * stride + x + 1] = pre[y * stride + x + 1] + pre[(y + 1) * stride + x] -
                                      pre[y * stride + x] + (built ? 1 : 0);
    }
  return pre;
}

// True when some built window holds both (py, px) and (qy, qx).
static bool shareBuiltWindow(const int *pre, const LaplacianShape *sh, int py, int px, int qy,
                             int qx) {
  const int stride = sh->W + 1;
  int y0 = (py > qy ? py : qy) - sh->r, y1 = (py < qy ? py : qy) + sh->r;
  int x0 = (px > qx ? px : qx) - sh->r, x1 = (px < qx ? px : qx) + sh->r;
  if (y0 < 0) y0 = 0;
  if (x0 < 0) x0 = 0;
  if (y1 > sh->H - 1) y1 = sh->H - 1;
  if (x1 > sh->W - 1) x1 = sh->W - 1;
  if (y0 > y1 || x0 > x1) return false;
  int count = pre[(y1 + 1) * stride + x1 + 1] - pre[y0 * stride + x1 + 1] -
              pre[(y1 + 1) * stride + x0] + pre[y0 * stride + x0];
  return count > 0;
}

// True when every window holding (y, x) is built and all its forward
// neighbours lie inside the picture: then its row holds all K of them.
static bool rowIsFull(const int *pre, const LaplacianShape *sh, int y, int x) {
  const int r = sh->r, side = 2 * r + 1;
  if (y < 2 * r || y >= sh->H - 2 * r || x >= sh->W - 2 * r) return false;
  const int stride = sh->W + 1;
  const int y0 = y - r, y1 = y + r, x0 = x - r, x1 = x + r;
  if (x0 < 0) return false;
  return pre[(y1 + 1) * stride + x1 + 1] - pre[y0 * stride + x1 + 1] - pre[(y1 + 1) * stride + x0] +
             pre[y0 * stride + x0] ==
         side * side;
}

// The columns of row (y, x): its forward neighbours that share a built
// window with it, ascending. Returns their count.
static int rowColumns(const int *pre, const LaplacianShape *sh, int y, int x, unsigned *cols) {
  const long row = (long)x * sh->H + y + 1;
  int len = 0;
  // A pixel that no built window holds has an empty row; in a trimap that
  // is most of them, and one lookup settles it.
  if (!shareBuiltWindow(pre, sh, y, x, y, x)) return 0;
  if (rowIsFull(pre, sh, y, x)) {
    for (int s = 0; s < sh->K; s++) {
      int dx, dy;
      forwardDisplacement(sh, s, &dx, &dy);
      cols[len++] = (unsigned)(row + (long)dx * sh->H + dy);
    }
    return len;
  }
  for (int s = 0; s < sh->K; s++) {
    int dx, dy;
    forwardDisplacement(sh, s, &dx, &dy);
    const int qy = y + dy, qx = x + dx;
    if (qy < 0 || qy >= sh->H || qx >= sh->W) continue;
    if (shareBuiltWindow(pre, sh, y, x, qy, qx))
      cols[len++] = (unsigned)(row + (long)dx * sh->H + dy);
  }
  return len;
}

// Gives each row of picture column x its final length and column set in one
// allocation, so the windows only add into fixed slots afterwards. False
// when the container ran out of memory (its error state holds the failure).
static bool allocateColumnRows(QMatrix *A, const LaplacianShape *sh, const int *pre, unsigned *cols,
                               int x) {
  for (int y = 0; y < sh->H; y++) {
    const int len = rowColumns(pre, sh, y, x, cols);
    if (len == 0) continue;
    const long row = (long)x * sh->H + y + 1;
    Q_SetLen(A, row, len);
    if (LASResult() != LASOK) return false;
    ElType *el = Q_Row(A, row).El;
    for (int e = 0; e < len; e++) el[e].Pos = cols[e];
  }
  return true;
}

// What the window accumulation needs besides the matrix.
struct WindowPass {
  WindowWork work;
  ScratchBlock<unsigned char> samples;  // columnMajorSamples of the picture
  ScratchBlock<int> offset;             // window pixel k's index minus the centre's
  ScratchBlock<int> fullSlot;           // [i * n + j]: entry of pixel j in i's full row
  double epsilon;
};

static void windowPassInit(WindowPass *wp, const TIFF_img *image, const LaplacianShape *sh,
                           double epsilon) {
  const int r = sh->r, n = sh->n, side = 2 * r + 1;
  windowWorkInit(&wp->work, r, windowChannels(image));
  wp->samples.reset(columnMajorSamples(image));
  wp->offset = scratchBlock<int>(n);
  wp->fullSlot = zeroedScratchBlock<int>((size_t)n * n);
  wp->epsilon = epsilon;
  for (int k = 0; k < n; k++) wp->offset[k] = (k / side - r) * sh->H + (k % side - r);
  for (int i = 0; i < n; i++)
    for (int j = i; j < n; j++)
      wp->fullSlot[i * n + j] = forwardSlot(sh, j / side - i / side, j % side - i % side);
}

// Adds V[i][j], j >= i, into row `row`. A row holding all K forward
// neighbours has a fixed layout (fullSlot); a shorter one (picture border,
// next to skipped windows) is walked, its columns and the window's both
// ascending.
static void addWindowRow(QMatrix *A, const LaplacianShape *sh, const WindowPass *wp, long centre,
                         int i) {
  const QRow entries = Q_Row(A, centre + wp->offset[i] + 1);
  ElType *el = entries.El;
  const unsigned len = entries.Len;
  const int n = sh->n;
  const double *V = wp->work.V.get();
  if ((int)len == sh->K) {
    for (int j = i; j < n; j++) el[wp->fullSlot[i * n + j]].Val += V[i * n + j];
    return;
  }
  unsigned e = 0;
  for (int j = i; j < n; j++) {
    const unsigned col = (unsigned)(centre + wp->offset[j] + 1);
    while (e < len && el[e].Pos != col) e++;
    if (e == len) engine_fatal("something is askew!!\n", -1);
    el[e].Val += V[i * n + j];
  }
}

// Accumulates the affinities of the built windows centred in column x, top
// to bottom.
static void accumulateWindowColumn(QMatrix *A, const LaplacianShape *sh, WindowPass *wp,
                                   const double *const *E, int x) {
  const int r = sh->r;
  for (int y = r; y < sh->H - r; y++) {
    // Every pixel of this window is constrained: it adds nothing the
    // constraints do not already fix, so it is left out.
    if (E[y][x] != 0.0) continue;
    windowWeights(&wp->work, wp->samples.get(), sh->H, y, x, r, wp->epsilon);
    const long centre = (long)x * sh->H + y;
    for (int i = 0; i < sh->n; i++) addWindowRow(A, sh, wp, centre, i);
  }
}

static int compareInt(const void *a, const void *b) {
  int x = *(const int *)a, y = *(const int *)b;
  return (x > y) - (x < y);
}

// The negative linear offsets of the m x m neighbour table, each once,
// ascending.
static int distinctLowerOffsets(const int *table, int count, int *out) {
  int len = 0;
  for (int t = 0; t < count; t++)
    if (table[t] < 0) out[len++] = table[t];
  qsort(out, len, sizeof(int), compareInt);
  int unique = 0;
  for (int t = 0; t < len; t++)
    if (unique == 0 || out[unique - 1] != out[t]) out[unique++] = out[t];
  return unique;
}

// What the diagonal pass needs besides the matrix. It turns the affinities
// A into L = D - A: the diagonal of row k is the sum, in neighbour-table
// order, of the negated elements at k + offset (0.0 where nothing is
// stored). Row k's lower part is read from the earlier, already negated
// rows through per-row cursors, in ascending column order.
//
// On pictures taller than 4r the table's offsets ascend and are distinct, so
// table order is ascending column order and the row is summed as it is read.
// Lower pictures have displacements sharing an offset; the element there is
// counted once per table entry, so the row is scattered into a dense window
// around k and summed by walking the table.
struct DiagonalPass {
  ScratchBlock<int> table;  // m x m neighbour offsets, in table order
  ScratchBlock<int> lower;  // the distinct negative ones, ascending
  int lowerCount;
  bool ascendingTable;              // picture taller than 4r
  ScratchBlock<double> scratch;     // 2 * reach + 1 zeros
  double *at;                       // scratch centre: at[j - k] = element (k, j)
  ScratchBlock<unsigned> consumed;  // [row]: off-diagonal entries read by later rows
};

static void diagonalPassInit(DiagonalPass *dp, const LaplacianShape *sh) {
  const int m = sh->m, r2 = 2 * sh->r;
  const long reach = (long)r2 * sh->H + r2;
  dp->table = scratchBlock<int>((size_t)m * m);
  dp->lower = scratchBlock<int>((size_t)m * m);
  for (int a = 0; a < m; a++)
    for (int b = 0; b < m; b++) dp->table[a * m + b] = (a - r2) * sh->H + (b - r2);
  dp->lowerCount = distinctLowerOffsets(dp->table.get(), m * m, dp->lower.get());
  dp->ascendingTable = sh->H > 2 * r2;
  dp->scratch = zeroedScratchBlock<double>(2 * reach + 1);
  dp->at = dp->scratch.get() + reach;
  dp->consumed = zeroedScratchBlock<unsigned>(sh->N + 1);
}

// Negates row k and sets its diagonal. Rows must come in ascending order.
static void diagonalOfRow(QMatrix *A, const LaplacianShape *sh, DiagonalPass *dp, long k) {
  const unsigned len = Q_Row(A, k).Len;
  if (len == 0) return;
  double *at = dp->at;
  double s = 0.0;
  for (int t = 0; t < dp->lowerCount; t++) {
    const long j = k + dp->lower[t];
    if (j < 1) continue;
    const QRow above = Q_Row(A, j);
    const unsigned e = dp->consumed[j] + 1;  // entry 0 is row j's diagonal
    if (e < above.Len && above.El[e].Pos == (unsigned)k) {
      dp->consumed[j]++;
      if (dp->ascendingTable)
        s = s - above.El[e].Val;
      else
        at[dp->lower[t]] = above.El[e].Val;
    }
  }
  ElType *el = Q_Row(A, k).El;
  for (unsigned e = 0; e < len; e++) {
    el[e].Val = -el[e].Val;
    if (dp->ascendingTable)
      s = s - el[e].Val;
    else
      at[el[e].Pos - k] = el[e].Val;
  }
  if (!dp->ascendingTable) {
    const int entries = sh->m * sh->m;
    for (int t = 0; t < entries; t++) {
      const long j = k + dp->table[t];
      if (j >= 1 && j <= sh->N) s = s - at[dp->table[t]];
    }
    for (int t = 0; t < dp->lowerCount; t++) at[dp->lower[t]] = 0.0;
    for (unsigned e = 0; e < len; e++) at[el[e].Pos - k] = 0.0;
  }
  el[0].Val += s;
}

// Builds the matrix in one sweep over the picture's columns, so each row is
// still in cache from its allocation through its windows to its diagonal.
// At step s: allocate the rows of column s (the first windows to reach it
// are centred in column s - r); add the windows centred in column s - r;
// finish the diagonals of column s - 2r, which no later window reaches and
// whose lower neighbours lie in finished columns. Windows are added in
// column-major order of their centres, so every element sums its windows in
// that order. The rows are reached through Q_Row, without the container's
// checks: the matrix is this function's own, it stops at the first failed
// allocation, and every row number is a pixel of the picture.
static void buildLaplacian(QMatrix *A, const TIFF_img *image, const double *const *E,
                           const LaplacianShape *sh, double epsilon) {
  const int r = sh->r;
  const ScratchBlock<int> pre = builtWindowCounts(E, sh);
  ScratchBlock<unsigned> cols = scratchBlock<unsigned>(sh->K);
  WindowPass wp;
  DiagonalPass dp;
  windowPassInit(&wp, image, sh, epsilon);
  diagonalPassInit(&dp, sh);
  for (int step = 0; step < sh->W + 2 * r; step++) {
    if (step < sh->W && !allocateColumnRows(A, sh, pre.get(), cols.get(), step)) break;
    const int centre = step - r, finished = step - 2 * r;
    if (centre >= r && centre < sh->W - r) accumulateWindowColumn(A, sh, &wp, E, centre);
    if (finished >= 0 && finished < sh->W)
      for (int y = 0; y < sh->H; y++) diagonalOfRow(A, sh, &dp, (long)finished * sh->H + y + 1);
  }
}

QMatrix getLaplacian1(const TIFF_img *image, const double *const *mask, double epsilon, int r) {
  QMatrix A;
  Q_Constr(&A, "A", (size_t)image->height * image->width, true, Rowws, Normal, true);
  if (epsilon < kEpsilonFloor) epsilon = kEpsilonFloor;
  if (r < kRadiusFloor) r = kRadiusFloor;
  // An error recorded earlier leaves the matrix without rows to fill.
  if (LASResult() != LASOK) return A;
  const LaplacianShape sh = laplacianShape(image->height, image->width, r);
  const ScratchArray<double> E(imerode(mask, sh.W, sh.H, r));
  buildLaplacian(&A, image, E.get(), &sh, epsilon);
  return A;
}

long pixelsInBuiltWindows(const double *const *mask, int height, int width, int r) {
  if (r < kRadiusFloor) r = kRadiusFloor;
  const LaplacianShape sh = laplacianShape(height, width, r);
  ScratchArray<double> E(imerode(mask, width, height, r));
  const ScratchBlock<int> pre = builtWindowCounts(E.get(), &sh);
  E.reset();  // the counts answer everything from here on
  long count = 0;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) count += shareBuiltWindow(pre.get(), &sh, y, x, y, x);
  return count;
}
