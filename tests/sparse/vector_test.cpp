#include "sparse/vector.h"

#include <gtest/gtest.h>

#include <functional>

#include "sparse/errhandl.h"

namespace {

const size_t kDim = 4;

TEST(Vector, SetAllReachesEveryComponent) {
  LASClearError();
  Vector v;
  V_Constr(&v, "b", kDim, Normal, true);
  V_SetCmp(&v, 2, 9.0);
  V_SetAllCmp(&v, -1.5);
  for (size_t i = 1; i <= kDim; ++i) EXPECT_EQ(V_GetCmp(&v, i), -1.5) << i;
  EXPECT_EQ(V_GetDim(&v), kDim);
  EXPECT_EQ(LASResult(), LASOK);
  V_Destr(&v);
}

TEST(Vector, RefusalsRecordARangeErrorAndMakeTheVectorInert) {
  const std::function<void(Vector *)> refused[] = {
      [](Vector *v) { V_SetCmp(v, 0, 1.0); },
      [](Vector *v) { V_SetCmp(v, kDim + 1, 1.0); },
      [](Vector *v) { V_GetCmp(v, 0); },
      [](Vector *v) { V_GetCmp(v, kDim + 1); },
      [](Vector *v) {
        v->Instance = Tempor;
        V_SetCmp(v, 1, 1.0);
        v->Instance = Normal;
      }};
  const char *operation[] = {"V_SetCmp", "V_SetCmp", "V_GetCmp", "V_GetCmp", "V_SetCmp"};
  for (int k = 0; k < 5; ++k) {
    LASClearError();
    Vector v;
    V_Constr(&v, "b", kDim, Normal, true);
    V_SetAllCmp(&v, 1.0);
    refused[k](&v);
    EXPECT_EQ(LASResult(), LASRangeErr) << k;
    EXPECT_STREQ(LASErrProcName(), operation[k]);
    EXPECT_STREQ(LASErrObjectName(1), "b");
    // Sticky: nothing changes and every read gives zero from now on.
    V_SetCmp(&v, 1, 5.0);
    V_SetAllCmp(&v, 5.0);
    EXPECT_EQ(v.Cmp[1], 1.0) << k;
    EXPECT_EQ(V_GetCmp(&v, 1), 0.0) << k;
    EXPECT_EQ(V_GetDim(&v), 0u) << k;
    V_Destr(&v);
  }
  LASClearError();
}

TEST(Vector, WithoutOwnDataOrBuiltDuringAnErrorHasNoComponents) {
  LASClearError();
  Vector view;
  V_Constr(&view, "view", 3, Normal, false);
  EXPECT_EQ(view.Cmp, nullptr);
  V_SetAllCmp(&view, 1.0);
  EXPECT_EQ(LASResult(), LASOK);
  V_SetCmp(&view, 1, 1.0);
  EXPECT_EQ(LASResult(), LASRangeErr);
  V_Destr(&view);
  Vector late;
  V_Constr(&late, "late", 3, Normal, true);
  EXPECT_EQ(late.Cmp, nullptr);
  LASClearError();
  EXPECT_EQ(V_GetCmp(&late, 1), 0.0);  // harmless after the error is cleared
  EXPECT_EQ(LASResult(), LASRangeErr);
  V_Destr(&late);
  LASClearError();
}

}  // namespace
