#include "sparse/qmatrix.h"

#include <gtest/gtest.h>

#include <functional>

#include "sparse/errhandl.h"

namespace {

const size_t kDim = 4;

class QMatrixTest : public testing::Test {
 protected:
  void SetUp() override { LASClearError(); }
  void TearDown() override {
    if (built_) Q_Destr(&q_);
    LASClearError();
  }
  void build(bool symmetry, ElOrderType order = Rowws) {
    Q_Constr(&q_, "L", kDim, symmetry, order, Normal, true);
    built_ = true;
  }
  // Stores one array as (Pos, Val) pairs, in the given order.
  void store(size_t array, std::initializer_list<std::pair<size_t, double>> entries) {
    Q_SetLen(&q_, array, entries.size());
    size_t e = 0;
    for (const auto &entry : entries) Q_SetEntry(&q_, array, e++, entry.first, entry.second);
  }
  QMatrix q_;
  bool built_ = false;
};

struct LookupCase {
  const char *name;
  bool symmetry;
  ElOrderType order;
  size_t array, pos;      // where 9.0 is stored
  double at_2_3, at_3_2;  // what elements (2, 3) and (3, 2) read
};

void PrintTo(const LookupCase &c, std::ostream *os) { *os << c.name; }

class Lookup : public QMatrixTest, public testing::WithParamInterface<LookupCase> {};

TEST_P(Lookup, FindsTheElementWhereItsStorageKeepsItAndTheLastMatchWins) {
  const LookupCase c = GetParam();
  build(c.symmetry, c.order);
  store(c.array, {{1, 1.0}, {c.pos, 2.0}, {c.pos, 9.0}, {4, 0.5}});
  EXPECT_EQ(Q_GetEl(&q_, 2, 3), c.at_2_3);
  EXPECT_EQ(Q_GetEl(&q_, 3, 2), c.at_3_2);
  EXPECT_EQ(Q_GetEl(&q_, 1, 4) + Q_GetEl(&q_, 4, 1), 0.0);  // nothing stored there
  EXPECT_EQ(LASResult(), LASOK);
}

INSTANTIATE_TEST_SUITE_P(
    AllFourCases, Lookup,
    testing::Values(LookupCase{"symmetric rows", true, Rowws, 2, 3, 9.0, 9.0},
                    LookupCase{"plain rows", false, Rowws, 2, 3, 9.0, 0.0},
                    LookupCase{"symmetric columns", true, Clmws, 3, 2, 9.0, 9.0},
                    LookupCase{"plain columns", false, Clmws, 2, 3, 0.0, 9.0}));

TEST_F(QMatrixTest, ResizingDropsTheOldEntriesAndAddValAccumulates) {
  build(true);
  store(1, {{1, 3.0}, {2, 4.0}});
  Q_SetLen(&q_, 1, 0);
  EXPECT_EQ(Q_GetLen(&q_, 1), 0u);
  EXPECT_EQ(q_.El[1], nullptr);
  Q_SetLen(&q_, 1, 3);
  ASSERT_EQ(Q_GetLen(&q_, 1), 3u);
  for (size_t e = 0; e < 3; ++e) {
    EXPECT_EQ(Q_GetPos(&q_, 1, e), 0u);
    EXPECT_EQ(Q_GetVal(&q_, 1, e), 0.0);
  }
  Q_AddVal(&q_, 1, 0, 0.25);
  Q_AddVal(&q_, 1, 0, 0.5);
  EXPECT_EQ(Q_GetVal(&q_, 1, 0), 0.75);
}

struct Refusal {
  const char *operation;
  LASErrIdType kind;
  std::function<void(QMatrix *)> call;
};

void PrintTo(const Refusal &r, std::ostream *os) { *os << r.operation; }

class Refusals : public QMatrixTest, public testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, RecordTheKindChangeNothingAndStick) {
  build(true);
  store(1, {{1, 2.0}, {3, 1.0}});
  GetParam().call(&q_);
  EXPECT_EQ(LASResult(), GetParam().kind);
  EXPECT_STREQ(LASErrProcName(), GetParam().operation);
  EXPECT_STREQ(LASErrObjectName(1), "L");
  // From now on every operation does nothing and reads zero.
  Q_SetEntry(&q_, 1, 1, 2, 8.0);
  Q_AddVal(&q_, 1, 0, 1.0);
  Q_SetLen(&q_, 2, 5);
  EXPECT_EQ(q_.Len[1], 2u);
  EXPECT_EQ(q_.El[1][1].Pos, 3u);
  EXPECT_EQ(q_.El[1][1].Val, 1.0);
  EXPECT_EQ(q_.El[1][0].Val, 2.0);
  EXPECT_EQ(q_.Len[2], 0u);
  EXPECT_EQ(Q_GetLen(&q_, 1), 0u);
  EXPECT_EQ(Q_GetEl(&q_, 1, 1), 0.0);
  EXPECT_EQ(Q_GetVal(&q_, 1, 0), 0.0);
  EXPECT_FALSE(Q_GetSymmetry(&q_));
  EXPECT_EQ(LASResult(), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    BadIndices, Refusals,
    testing::Values(
        Refusal{"Q_SetLen", LASRangeErr, [](QMatrix *q) { Q_SetLen(q, kDim + 1, 1); }},
        Refusal{"Q_SetLen", LASLValErr,
                [](QMatrix *q) {
                  q->Instance = Tempor;
                  Q_SetLen(q, 1, 1);
                  q->Instance = Normal;
                }},
        Refusal{"Q_GetLen", LASRangeErr, [](QMatrix *q) { Q_GetLen(q, 0); }},
        Refusal{"Q_SetEntry", LASRangeErr, [](QMatrix *q) { Q_SetEntry(q, 1, 2, 4, 1.0); }},
        Refusal{"Q_SetEntry", LASRangeErr, [](QMatrix *q) { Q_SetEntry(q, 1, 1, 0, 1.0); }},
        Refusal{"Q_SetEntry", LASRangeErr, [](QMatrix *q) { Q_SetEntry(q, 1, 1, kDim + 1, 1.0); }},
        Refusal{"Q_GetPos", LASRangeErr, [](QMatrix *q) { Q_GetPos(q, 1, 2); }},
        Refusal{"Q_GetVal", LASRangeErr, [](QMatrix *q) { Q_GetVal(q, 0, 0); }},
        Refusal{"Q_AddVal", LASRangeErr, [](QMatrix *q) { Q_AddVal(q, 2, 0, 1.0); }},
        Refusal{"Q_GetEl", LASRangeErr, [](QMatrix *q) { Q_GetEl(q, 1, kDim + 1); }}));

// Clearing the error lets the next calculation work, but a matrix built
// while the error stood has no arrays and stays inert.
TEST_F(QMatrixTest, ClearingTheErrorLetsTheNextCalculationWork) {
  LASError(LASRangeErr, "Q_GetEl", nullptr, nullptr, nullptr);
  QMatrix late;
  Q_Constr(&late, "late", kDim, false, Rowws, Normal, true);
  EXPECT_EQ(late.Len, nullptr);
  EXPECT_EQ(late.El, nullptr);
  LASClearError();
  build(false);
  store(3, {{1, 6.0}});
  EXPECT_EQ(Q_GetEl(&q_, 3, 1), 6.0);
  EXPECT_EQ(LASResult(), LASOK);
  Q_SetLen(&late, 1, 2);
  EXPECT_EQ(LASResult(), LASRangeErr);
  Q_Destr(&late);
}

}  // namespace
