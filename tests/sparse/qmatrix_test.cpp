#include "sparse/qmatrix.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <utility>

#include "sparse/errhandl.h"

namespace {

const size_t kDim = 4;

// Stores one array as (Pos, Val) pairs, in the given order.
void store(QMatrix *q, size_t array, std::initializer_list<std::pair<size_t, double>> entries) {
  Q_SetLen(q, array, entries.size());
  size_t e = 0;
  for (const auto &entry : entries) Q_SetEntry(q, array, e++, entry.first, entry.second);
}

TEST(QMatrix, LookupFindsTheElementWhereItsStorageKeepsItAndTheLastMatchWins) {
  const struct {
    bool symmetry;
    ElOrderType order;
    size_t array, pos;      // where 9.0 is stored
    double at_2_3, at_3_2;  // what elements (2, 3) and (3, 2) read
  } cases[] = {{true, Rowws, 2, 3, 9.0, 9.0},
               {false, Rowws, 2, 3, 9.0, 0.0}};
  LASClearError();
  for (const auto &c : cases) {
    QMatrix q;
    Q_Constr(&q, "L", kDim, c.symmetry, c.order, Normal, true);
    store(&q, c.array, {{1, 1.0}, {c.pos, 2.0}, {c.pos, 9.0}, {4, 0.5}});
    EXPECT_EQ(Q_GetEl(&q, 2, 3), c.at_2_3) << c.symmetry << c.order;
    EXPECT_EQ(Q_GetEl(&q, 3, 2), c.at_3_2) << c.symmetry << c.order;
    EXPECT_EQ(Q_GetEl(&q, 1, 4) + Q_GetEl(&q, 4, 1), 0.0);  // nothing stored there
    Q_Destr(&q);
  }
  EXPECT_EQ(LASResult(), LASOK);
}

// A refused operation records its kind, changes nothing, and makes every
// later operation do nothing and read zero until the error is cleared.
TEST(QMatrix, RefusalsRecordTheKindChangeNothingAndStick) {
  const struct {
    const char *operation;
    LASErrIdType kind;
    std::function<void(QMatrix *)> call;
  } cases[] = {
      {"Q_SetLen", LASRangeErr, [](QMatrix *q) { Q_SetLen(q, kDim + 1, 1); }},
      {"Q_SetEntry", LASRangeErr, [](QMatrix *q) { Q_SetEntry(q, 1, 2, 4, 1.0); }},
      {"Q_AddVal", LASRangeErr, [](QMatrix *q) { Q_AddVal(q, 2, 0, 1.0); }},
      {"Q_GetEl", LASRangeErr, [](QMatrix *q) { Q_GetEl(q, 1, kDim + 1); }}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.operation);
    LASClearError();
    QMatrix q;
    Q_Constr(&q, "L", kDim, true, Rowws, Normal, true);
    store(&q, 1, {{1, 2.0}, {3, 1.0}});
    c.call(&q);
    EXPECT_EQ(LASResult(), c.kind);
    EXPECT_STREQ(LASErrProcName(), c.operation);
    EXPECT_STREQ(LASErrObjectName(1), "L");
    Q_SetEntry(&q, 1, 1, 2, 8.0);
    Q_AddVal(&q, 1, 0, 1.0);
    Q_SetLen(&q, 2, 5);
    EXPECT_EQ(q.Len[1], 2u);
    EXPECT_EQ(q.El[1][1].Pos, 3u);
    EXPECT_EQ(q.El[1][0].Val, 2.0);
    EXPECT_EQ(q.Len[2], 0u);
    EXPECT_EQ(Q_GetLen(&q, 1), 0u);
    EXPECT_EQ(Q_GetEl(&q, 1, 1), 0.0);
    EXPECT_EQ(LASResult(), c.kind);
    Q_Destr(&q);
  }
  LASClearError();
}

}  // namespace
