#include "sparse/errhandl.h"

#include <gtest/gtest.h>

namespace {

// The names are copies: the caller's strings may change or go away.
TEST(ErrorState, KeepsCopiesOfTheLatestNamesUntilCleared) {
  LASClearError();
  char proc[] = "Q_SetLen", object[] = "L";
  LASError(LASRangeErr, "Q_GetEl", "A", "B", "C");
  LASError(LASLValErr, proc, object, nullptr, "");  // replaces the earlier error
  proc[0] = object[0] = 'X';
  EXPECT_EQ(LASResult(), LASLValErr);
  EXPECT_STREQ(LASErrProcName(), "Q_SetLen");
  EXPECT_STREQ(LASErrObjectName(1), "L");
  for (int which : {2, 3}) EXPECT_EQ(LASErrObjectName(which), nullptr) << which;
  LASClearError();
  EXPECT_EQ(LASResult(), LASOK);
  EXPECT_EQ(LASErrProcName(), nullptr);
}

}  // namespace
