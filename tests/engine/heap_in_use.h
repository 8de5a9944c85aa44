// Heap accounting for the "releases exactly what it allocated" tests. Only
// the sanitizer build can count live heap bytes exactly (glibc's own
// statistics keep freed blocks in its caches), so elsewhere those tests skip
// and the sanitizer run of the same test does the checking.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define VELORIN_HEAP_ACCOUNTING 1
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
inline size_t heap_bytes_in_use() { return __sanitizer_get_current_allocated_bytes(); }
#else
#define VELORIN_HEAP_ACCOUNTING 0
inline size_t heap_bytes_in_use() { return 0; }
#endif

#define SKIP_WITHOUT_HEAP_ACCOUNTING()                                  \
  do {                                                                  \
    if (!VELORIN_HEAP_ACCOUNTING)                                       \
      GTEST_SKIP() << "heap accounting needs the sanitizer build";      \
  } while (0)
