// Array allocation for the engine. Every allocation that fails prints
// "==> calloc() error\n" or "==> malloc() error\n" on stderr and ends the
// process with status -1; nothing here returns null, except try_mget_spc. A
// count whose byte size does not fit in size_t (or a negative dimension)
// fails the same way.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

// True for the message of such a failure (as engine_fatal hands it on), so
// a front end can tell an exhausted heap from the engine's other fatal ends.
bool is_allocation_failure(const char *fatal_message);

void *get_spc(size_t count, size_t size);   // zero-filled
void *mget_spc(size_t count, size_t size);  // uninitialised

// An uninitialised block of count x size bytes (room for one element at
// least), or null, with nothing printed, when the product does not fit in
// size_t or the heap is exhausted. For the solve's assembly, which reports
// a lack of memory as the solve's status instead of ending the process.
// Release with free().
void *try_mget_spc(size_t count, size_t size);

// Row-table 2-D array: `height` row pointers over one contiguous block of
// width * height elements of `size` bytes, addressed a[row][column]. Note the
// argument order: the row length (columns) first.
void **get_img(int width, int height, size_t size);       // uninitialised
void **get_init_arr(int width, int height, size_t size);  // zero-filled
// Releases the block (through row pointer 0), then the table. Arrays of zero
// rows or columns are valid and released the same way; null is ignored.
void free_img(void **array);

// Owning handles for the engine's own scratch memory, so that every way out
// of a scope releases it. The memory still comes from the allocators above
// and keeps their failure policy; the arrays handed across the engine's
// interfaces stay plain row tables and blocks.
struct FreeBlock {
  void operator()(void *block) const { std::free(block); }
};
struct FreeImg {
  void operator()(void *array) const { free_img(static_cast<void **>(array)); }
};

// A block of T from get_spc, mget_spc or try_mget_spc.
template <typename T>
using ScratchBlock = std::unique_ptr<T[], FreeBlock>;
// A row-table array of T from get_img, get_init_arr or imerode.
template <typename T>
using ScratchArray = std::unique_ptr<T *[], FreeImg>;

template <typename T>
ScratchBlock<T> scratchBlock(size_t count) {  // uninitialised
  return ScratchBlock<T>(static_cast<T *>(mget_spc(count, sizeof(T))));
}
template <typename T>
ScratchBlock<T> zeroedScratchBlock(size_t count) {
  return ScratchBlock<T>(static_cast<T *>(get_spc(count, sizeof(T))));
}
// Null when memory runs out (try_mget_spc).
template <typename T>
ScratchBlock<T> tryScratchBlock(size_t count) {
  return ScratchBlock<T>(static_cast<T *>(try_mget_spc(count, sizeof(T))));
}

// n-dimensional zero-filled array d1 x ... x dn, chained through entry 0 of
// each pointer table; released with multifree(array, n). n must be at least
// 1 (otherwise the process ends with status -1); the dimensions are ints.
void *multialloc_init(size_t size, int n, ...);
void multifree(void *array, int n);

// Minimum filter over the (2r+1) x (2r+1) square clipped at the border.
// Returns a new height x width array of doubles (free with free_img); the
// input is not modified. A negative radius acts as 0 (a copy).
double **imerode(const double *const *array, int width, int height, int r);
