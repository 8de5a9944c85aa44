#include "sparse/errhandl.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/engine/heap_in_use.h"

namespace {

class ErrorState : public testing::Test {
 protected:
  void SetUp() override { LASClearError(); }
  void TearDown() override { LASClearError(); }
};

TEST_F(ErrorState, StartsWithoutError) {
  EXPECT_EQ(LASResult(), LASOK);
  EXPECT_EQ(LASErrProcName(), nullptr);
  EXPECT_EQ(LASErrObjectName(1), nullptr);
}

TEST_F(ErrorState, KeepsCopiesOfTheNamesGiven) {
  char proc[] = "Q_SetLen";
  char object[] = "L";
  LASError(LASLValErr, proc, object, nullptr, "");
  proc[0] = 'X';
  object[0] = 'X';
  EXPECT_EQ(LASResult(), LASLValErr);
  EXPECT_STREQ(LASErrProcName(), "Q_SetLen");
  EXPECT_STREQ(LASErrObjectName(1), "L");
  EXPECT_EQ(LASErrObjectName(2), nullptr);  // null stays absent
  EXPECT_EQ(LASErrObjectName(3), nullptr);  // so does an empty name
  EXPECT_EQ(LASErrObjectName(0), nullptr);
  EXPECT_EQ(LASErrObjectName(4), nullptr);
}

TEST_F(ErrorState, LaterErrorReplacesTheEarlierOne) {
  LASError(LASRangeErr, "Q_GetEl", "A", "B", "C");
  LASError(LASMemAllocErr, "V_Constr", nullptr, nullptr, nullptr);
  EXPECT_EQ(LASResult(), LASMemAllocErr);
  EXPECT_STREQ(LASErrProcName(), "V_Constr");
  for (int which = 1; which <= 3; ++which) EXPECT_EQ(LASErrObjectName(which), nullptr);
}

TEST_F(ErrorState, ClearingForgetsTheErrorAndItsNames) {
  LASError(LASRangeErr, "Q_GetEl", "A", nullptr, nullptr);
  LASClearError();
  EXPECT_EQ(LASResult(), LASOK);
  EXPECT_EQ(LASErrProcName(), nullptr);
  EXPECT_EQ(LASErrObjectName(1), nullptr);
}

TEST_F(ErrorState, NameCopiesAreReleasedOnReplaceAndClear) {
  SKIP_WITHOUT_HEAP_ACCOUNTING();
  size_t before = heap_bytes_in_use();
  LASError(LASRangeErr, "Q_GetEl", "A", "B", "C");
  LASError(LASRangeErr, "Q_GetLen", "D", nullptr, nullptr);
  LASClearError();
  EXPECT_EQ(heap_bytes_in_use(), before);
}

TEST(LASErrDescr, KindFiveIsOneSentenceAndNoErrorHasNoText) {
  EXPECT_STREQ(LASErrDescr(LASSymStorErr),
               "Some elements are stored in lower triangular part of a symmetric matrix.\n");
  EXPECT_STREQ(LASErrDescr(LASRangeErr), "Indices are out of range.\n");
  EXPECT_STREQ(LASErrDescr(LASOK), "");
  EXPECT_STREQ(LASErrDescr(static_cast<LASErrIdType>(99)), "");
}

}  // namespace
