// Every release function gives back exactly what its allocation took, also
// after an error was recorded in the sparse container's error state.
#include <gtest/gtest.h>

#include <functional>

#include "engine/allocate.h"
#include "engine/tiff.h"
#include "sparse/errhandl.h"
#include "sparse/qmatrix.h"
#include "sparse/vector.h"

// Only the sanitizer build counts live heap bytes exactly (glibc keeps freed
// blocks in its caches), so elsewhere the test skips.
#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
#endif

namespace {

const size_t kUnchecked = static_cast<size_t>(-1);

size_t heap_bytes_in_use() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return 0;
#endif
}

// Runs `allocate`, checks the heap grew by `growth` (unless kUnchecked), then
// runs `release` and checks the heap is back where it started.
void expect_released(const char *what, size_t growth, const std::function<void()> &allocate,
                     const std::function<void()> &release) {
  const size_t before = heap_bytes_in_use();
  allocate();
  if (growth != kUnchecked) {
    EXPECT_EQ(heap_bytes_in_use() - before, growth) << what;
  }
  release();
  LASClearError();
  EXPECT_EQ(heap_bytes_in_use(), before) << what;
}

TEST(Release, GivesBackExactlyWhatWasAllocated) {
#if !defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "heap accounting needs the sanitizer build";
#endif
  LASClearError();
  const size_t ptr = sizeof(void *);
  void **rows = nullptr;
  void *stack = nullptr;
  // 3 row pointers and 3 rows of 40 bytes; empty arrays can still be released.
  const int shapes[][2] = {{5, 3}, {4, 0}, {0, 4}};
  for (auto allocate : {get_img, get_init_arr})
    for (const auto &s : shapes)
      expect_released("row table", s[1] == 3 ? 3 * ptr + 120 : kUnchecked,
                      [&] { rows = allocate(s[0], s[1], 8); }, [&] { free_img(rows); });
  // 2 outer pointers, 2 * 3 inner pointers, 2 * 3 * 4 doubles.
  expect_released("multialloc", 8 * ptr + 24 * 8, [&] { stack = multialloc_init(8, 3, 2, 3, 4); },
                  [&] { multifree(stack, 3); });
  expect_released("empty multialloc", kUnchecked, [&] { stack = multialloc_init(8, 3, 2, 0, 4); },
                  [&] { multifree(stack, 3); });

  TIFF_img img;
  for (char type : {'g', 'p', 'c', 'a'})
    expect_released("tiff", kUnchecked, [&] { get_TIFF(&img, 5, 3, type); }, [&] { free_TIFF(&img); });
  testing::internal::CaptureStderr();  // the refusals print why
  expect_released("refused size", 0, [&] { get_TIFF(&img, 0, 3, 'g'); }, [&] { free_TIFF(&img); });
  expect_released("refused type", 0, [&] { get_TIFF(&img, 4, 4, 'x'); }, [&] { free_TIFF(&img); });
  testing::internal::GetCapturedStderr();

  QMatrix q;
  expect_released("qmatrix after an error", kUnchecked,
                  [&] {
                    Q_Constr(&q, "L", 4, true, Rowws, Normal, true);
                    Q_SetLen(&q, 1, 2);
                    Q_SetLen(&q, 2, 1);
                    Q_SetLen(&q, 2, 5);  // a resize releases the old row
                    Q_GetEl(&q, 9, 1);   // records an error
                  },
                  [&] { Q_Destr(&q); });
  Vector v;
  expect_released("vector after an error", kUnchecked,
                  [&] {
                    V_Constr(&v, "x", 1000, Normal, true);
                    V_GetCmp(&v, 0);
                  },
                  [&] { V_Destr(&v); });
  expect_released("error names", kUnchecked,
                  [] {
                    LASError(LASRangeErr, "Q_GetEl", "A", "B", "C");
                    LASError(LASRangeErr, "Q_GetLen", "D", nullptr, nullptr);  // replaces the copies
                  },
                  [] { LASClearError(); });
}

}  // namespace
