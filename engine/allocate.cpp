#include "engine/allocate.h"

#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/fatal.h"

static const char kCallocError[] = "==> calloc() error\n";
static const char kMallocError[] = "==> malloc() error\n";
static const char kNoDimensions[] = "multialloc_init: an array needs at least one dimension\n";
static const int kAllocationFailed = -1;

static const char *failure_message(bool zeroed) { return zeroed ? kCallocError : kMallocError; }

// a * b, ending the process like a failed allocation when the product does
// not fit: a wrapped size would hand back a block far smaller than asked for.
static size_t checked_product(size_t a, size_t b, bool zeroed) {
  if (b != 0 && a > SIZE_MAX / b) {
    engine_fatal(failure_message(zeroed), kAllocationFailed);
  }
  return a * b;
}

// Negative sizes are caller bugs; as a huge size_t they fail the product
// check above instead of silently allocating nothing.
static size_t dimension(int n) { return static_cast<size_t>(n); }

static void *allocate(size_t count, size_t size, bool zeroed) {
  size_t bytes = checked_product(count, size, zeroed);
  // An empty request still gets a real block, so "never null" holds and the
  // result can always be released with free().
  if (bytes == 0) bytes = 1;
  void *block = zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
  if (block == nullptr) engine_fatal(failure_message(zeroed), kAllocationFailed);
  return block;
}

// Table of `entries` pointers over `block`, entry i at byte offset i * stride.
// Entry 0 is set even for an empty table (it always has room for one entry),
// because the releasing side finds the next allocation through it.
static void link_table(void **table, size_t entries, unsigned char *block, size_t stride) {
  table[0] = block;
  for (size_t i = 1; i < entries; ++i) table[i] = block + i * stride;
}

static void **row_table_array(int width, int height, size_t size, bool zeroed) {
  size_t rows = dimension(height);
  size_t row_bytes = checked_product(dimension(width), size, zeroed);
  void **table = static_cast<void **>(allocate(rows == 0 ? 1 : rows, sizeof(void *), zeroed));
  unsigned char *block = static_cast<unsigned char *>(allocate(rows, row_bytes, zeroed));
  link_table(table, rows, block, row_bytes);
  return table;
}

static double clipped_window_min(const double *line, ptrdiff_t stride, int count, int centre,
                                 int r) {
  int first = centre - r < 0 ? 0 : centre - r;
  int last = centre + r >= count ? count - 1 : centre + r;
  double smallest = line[centre * stride];
  for (int i = first; i <= last; ++i) {
    if (line[i * stride] < smallest) smallest = line[i * stride];
  }
  return smallest;
}

bool is_allocation_failure(const char *fatal_message) {
  return std::strcmp(fatal_message, kCallocError) == 0 ||
         std::strcmp(fatal_message, kMallocError) == 0;
}

void *get_spc(size_t count, size_t size) { return allocate(count, size, true); }

void *mget_spc(size_t count, size_t size) { return allocate(count, size, false); }

void *try_mget_spc(size_t count, size_t size) {
  // An empty request still gets room for one element, so a solver handed an
  // empty array gets a real one.
  if (count == 0) count = 1;
  if (size != 0 && count > SIZE_MAX / size) return nullptr;
  return std::malloc(size == 0 ? 1 : count * size);
}

void **get_img(int width, int height, size_t size) {
  return row_table_array(width, height, size, false);
}

void **get_init_arr(int width, int height, size_t size) {
  return row_table_array(width, height, size, true);
}

void free_img(void **array) {
  if (array == nullptr) return;
  std::free(array[0]);
  std::free(array);
}

void *multialloc_init(size_t size, int n, ...) {
  if (n < 1) engine_fatal(kNoDimensions, kAllocationFailed);
  ScratchBlock<int> dims = zeroedScratchBlock<int>(dimension(n));
  va_list args;
  va_start(args, n);
  for (int k = 0; k < n; ++k) dims[k] = va_arg(args, int);
  va_end(args);

  // Level k holds d1 * ... * dk entries: pointers for the tables, elements
  // of `size` bytes for the last level (the data block).
  void *outermost = nullptr;
  void **table_above = nullptr;
  size_t entries_above = 1;
  for (int k = 0; k < n; ++k) {
    size_t entries = checked_product(entries_above, dimension(dims[k]), true);
    size_t entry_size = k == n - 1 ? size : sizeof(void *);
    size_t allocated = k == n - 1 || entries > 0 ? entries : 1;
    unsigned char *level = static_cast<unsigned char *>(get_spc(allocated, entry_size));
    if (table_above == nullptr) {
      outermost = level;
    } else {
      link_table(table_above, entries_above, level, dimension(dims[k]) * entry_size);
    }
    table_above = reinterpret_cast<void **>(level);
    entries_above = entries;
  }
  return outermost;
}

void multifree(void *array, int n) {
  void *level = array;
  for (int k = 0; k < n && level != nullptr; ++k) {
    void *next = k < n - 1 ? static_cast<void **>(level)[0] : nullptr;
    std::free(level);
    level = next;
  }
}

double **imerode(const double *const *array, int width, int height, int r) {
  if (r < 0) r = 0;
  // The square minimum is the column minimum of the row minima, which costs
  // 2(2r+1) comparisons per element instead of (2r+1)^2.
  ScratchArray<double> row_min(reinterpret_cast<double **>(get_img(width, height, sizeof(double))));
  double **eroded = reinterpret_cast<double **>(get_img(width, height, sizeof(double)));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      row_min[y][x] = clipped_window_min(array[y], 1, width, x, r);
    }
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      eroded[y][x] = clipped_window_min(&row_min[0][x], width, height, y, r);
    }
  }
  return eroded;
}
