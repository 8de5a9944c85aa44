#include "sparse/vector.h"

#include <gtest/gtest.h>

#include <functional>

#include "sparse/errhandl.h"

namespace {

const size_t kDim = 4;

// A refused access records a range error naming the operation and the
// vector; from then on nothing changes and every read gives zero.
TEST(Vector, RefusalsRecordARangeErrorAndMakeTheVectorInert) {
  const struct {
    const char *operation;
    std::function<void(Vector *)> call;
  } cases[] = {{"V_SetCmp", [](Vector *v) { V_SetCmp(v, 0, 1.0); }},
               {"V_GetCmp", [](Vector *v) { V_GetCmp(v, kDim + 1); }}};
  for (const auto &c : cases) {
    LASClearError();
    Vector v;
    V_Constr(&v, "b", kDim, Normal, true);
    V_SetAllCmp(&v, 1.0);
    EXPECT_EQ(V_GetCmp(&v, kDim), 1.0);
    c.call(&v);
    EXPECT_EQ(LASResult(), LASRangeErr);
    EXPECT_STREQ(LASErrProcName(), c.operation);
    EXPECT_STREQ(LASErrObjectName(1), "b");
    V_SetCmp(&v, 1, 5.0);
    V_SetAllCmp(&v, 5.0);
    EXPECT_EQ(v.Cmp[1], 1.0);
    EXPECT_EQ(V_GetCmp(&v, 1), 0.0);
    V_Destr(&v);
  }
  LASClearError();
}

}  // namespace
