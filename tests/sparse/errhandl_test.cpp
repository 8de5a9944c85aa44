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

TEST(LASErrDescr, GivesTheDescriptionOfEachKind) {
  // The texts other parts of the program may show; kind 5 is one sentence.
  const struct {
    LASErrIdType kind;
    const char *text;
  } kinds[] = {
      {LASMemAllocErr, "Not enough memory is available.\n"},
      {LASLValErr, "L-value parameter is expected.\n"},
      {LASDimErr, "Objects have incompatible dimensions.\n"},
      {LASRangeErr, "Indices are out of range.\n"},
      {LASSymStorErr,
       "Some elements are stored in lower triangular part of a symmetric matrix.\n"},
      {LASMatrCombErr, "Matrices can not be combined.\n"},
      {LASMulInvErr, "Inverse multiplication can not be carried out.\n"},
      {LASElNotSortedErr, "Matrix elements are not sorted.\n"},
      {LASZeroInDiagErr, "Zero elements in matrix diagonal are not allowed.\n"},
      {LASZeroPivotErr, "Factorization produces zero pivot elements.\n"},
      {LASILUStructErr, "Matrix has structure which is not allowed for ILU factorization.\n"},
      {LASIterSolvErr, "Iterative solver fails.\n"},
      {LASUserBreak, "Termination by an user break.\n"},
  };
  for (const auto &k : kinds) EXPECT_STREQ(LASErrDescr(k.kind), k.text) << k.kind;
  EXPECT_STREQ(LASErrDescr(LASOK), "");
  EXPECT_STREQ(LASErrDescr(static_cast<LASErrIdType>(99)), "");
}

}  // namespace
