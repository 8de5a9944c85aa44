#include "sparse/errhandl.h"

#include <gtest/gtest.h>

namespace {

TEST(ErrorState, KeepsCopiesOfTheLatestNamesUntilCleared) {
  LASClearError();
  char proc[] = "Q_SetLen", object[] = "L";
  LASError(LASRangeErr, "Q_GetEl", "A", "B", "C");
  LASError(LASLValErr, proc, object, nullptr, "");  // replaces the earlier error
  proc[0] = object[0] = 'X';
  EXPECT_EQ(LASResult(), LASLValErr);
  EXPECT_STREQ(LASErrProcName(), "Q_SetLen");
  EXPECT_STREQ(LASErrObjectName(1), "L");
  for (int which : {0, 2, 3, 4}) EXPECT_EQ(LASErrObjectName(which), nullptr) << which;  // null and "" stay absent
  LASClearError();
  EXPECT_EQ(LASResult(), LASOK);
  EXPECT_EQ(LASErrProcName(), nullptr);
  EXPECT_EQ(LASErrObjectName(1), nullptr);
}

TEST(LASErrDescr, GivesTheSentenceOfEachKindAndNothingOtherwise) {
  EXPECT_STREQ(LASErrDescr(LASSymStorErr),
               "Some elements are stored in lower triangular part of a symmetric matrix.\n");
  EXPECT_STREQ(LASErrDescr(LASRangeErr), "Indices are out of range.\n");
  EXPECT_STREQ(LASErrDescr(LASOK), "");
  EXPECT_STREQ(LASErrDescr(static_cast<LASErrIdType>(99)), "");
}

}  // namespace
