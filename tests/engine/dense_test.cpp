#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/choleski.h"

namespace {

using Dense = std::vector<double>;  // row-major n x n

// The window statistics and the upsampling fit end the process on a
// refusal instead of dividing by a pivot that is not positive.
TEST(Choleski, RefusesMatricesThatAreNotPositiveDefinite) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Dense refused[] = {{1, 2, 2, 1}, {0}, {-4}, {1, 1, 1, 1},
                           {4, 2, 0, 2, 1, 0, 0, 0, 1}, {nan, 0, 0, 1}};
  for (Dense a : refused) {
    int n = static_cast<int>(std::sqrt(static_cast<double>(a.size())));
    EXPECT_EQ(Choleski_LU_Decomposition(a.data(), n), -1) << a.size() << " " << a[0];
  }
}

}  // namespace
