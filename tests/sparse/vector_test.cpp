#include "sparse/vector.h"

#include <gtest/gtest.h>

#include <functional>

#include "sparse/errhandl.h"
#include "tests/engine/heap_in_use.h"

namespace {

const size_t kDim = 4;

class VectorTest : public testing::Test {
 protected:
  void SetUp() override {
    LASClearError();
    V_Constr(&v_, "b", kDim, Normal, true);
  }
  void TearDown() override {
    V_Destr(&v_);
    LASClearError();
  }
  Vector v_;
};

TEST_F(VectorTest, SetAllReachesEveryComponent) {
  V_SetCmp(&v_, 2, 9.0);
  V_SetAllCmp(&v_, 0.0);
  for (size_t i = 1; i <= kDim; ++i) EXPECT_EQ(V_GetCmp(&v_, i), 0.0) << i;
  V_SetAllCmp(&v_, -1.5);
  for (size_t i = 1; i <= kDim; ++i) EXPECT_EQ(V_GetCmp(&v_, i), -1.5) << i;
  EXPECT_EQ(V_GetDim(&v_), kDim);
  EXPECT_EQ(LASResult(), LASOK);
}

struct VectorRefusal {
  const char *operation;
  std::function<void(Vector *)> call;
};

void PrintTo(const VectorRefusal &r, std::ostream *os) { *os << r.operation; }

class VectorRefusals : public VectorTest,
                       public testing::WithParamInterface<VectorRefusal> {};

TEST_P(VectorRefusals, RecordRangeErrorAndMakeTheVectorInert) {
  V_SetAllCmp(&v_, 1.0);
  GetParam().call(&v_);
  EXPECT_EQ(LASResult(), LASRangeErr);
  EXPECT_STREQ(LASErrProcName(), GetParam().operation);
  EXPECT_STREQ(LASErrObjectName(1), "b");
  // Sticky: nothing changes and every read gives zero from now on.
  V_SetCmp(&v_, 1, 5.0);
  V_SetAllCmp(&v_, 5.0);
  EXPECT_EQ(v_.Cmp[1], 1.0);
  EXPECT_EQ(V_GetCmp(&v_, 1), 0.0);
  EXPECT_EQ(V_GetDim(&v_), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, VectorRefusals,
    testing::Values(VectorRefusal{"V_SetCmp", [](Vector *v) { V_SetCmp(v, 0, 1.0); }},
                    VectorRefusal{"V_SetCmp", [](Vector *v) { V_SetCmp(v, kDim + 1, 1.0); }},
                    VectorRefusal{"V_GetCmp", [](Vector *v) { V_GetCmp(v, 0); }},
                    VectorRefusal{"V_GetCmp", [](Vector *v) { V_GetCmp(v, kDim + 1); }},
                    VectorRefusal{"V_SetCmp", [](Vector *v) {
                                    v->Instance = Tempor;
                                    V_SetCmp(v, 1, 1.0);
                                    v->Instance = Normal;
                                  }}));

TEST(Vector, WithoutOwnDataHasNoComponentsToSet) {
  LASClearError();
  Vector v;
  V_Constr(&v, "view", 3, Normal, false);
  EXPECT_EQ(v.Cmp, nullptr);
  V_SetAllCmp(&v, 1.0);
  EXPECT_EQ(LASResult(), LASOK);
  V_SetCmp(&v, 1, 1.0);
  EXPECT_EQ(LASResult(), LASRangeErr);
  V_Destr(&v);
}

TEST(Vector, BuiltDuringAnErrorStaysHarmlessAfterItIsCleared) {
  LASError(LASRangeErr, "Q_GetEl", nullptr, nullptr, nullptr);
  Vector v;
  V_Constr(&v, "late", 3, Normal, true);
  EXPECT_EQ(v.Cmp, nullptr);
  LASClearError();
  EXPECT_EQ(V_GetCmp(&v, 1), 0.0);
  EXPECT_EQ(LASResult(), LASRangeErr);
  V_Destr(&v);
  LASClearError();
}

TEST(Vector, DestroyReleasesEverythingEvenAfterAnError) {
  SKIP_WITHOUT_HEAP_ACCOUNTING();
  LASClearError();
  size_t before = heap_bytes_in_use();
  Vector v;
  V_Constr(&v, "x", 1000, Normal, true);
  EXPECT_GE(heap_bytes_in_use() - before, 1001 * sizeof(double));
  V_GetCmp(&v, 0);
  ASSERT_EQ(LASResult(), LASRangeErr);
  V_Destr(&v);
  LASClearError();
  EXPECT_EQ(heap_bytes_in_use(), before);
}

}  // namespace
