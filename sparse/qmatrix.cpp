#include "sparse/qmatrix.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sparse/errhandl.h"

const ElType ZeroEl = {0, 0.0};

// A row can be touched only if it lies in 1..Dim and the matrix has row
// storage at all (a matrix built without its own data, or while an error was
// recorded, has none, and must stay harmless after the error is cleared).
static bool row_in_range(const QMatrix *Q, size_t RoC) {
  return Q->Len != nullptr && RoC >= 1 && RoC <= Q->Dim;
}

static bool entry_in_range(const QMatrix *Q, size_t RoC, size_t Entry) {
  return row_in_range(Q, RoC) && Entry < Q->Len[RoC];
}

static void refuse(const QMatrix *Q, LASErrIdType kind, const char *operation) {
  LASError(kind, operation, Q->Name, nullptr, nullptr);
}

// Which stored array holds element (Row, Clm), and which Pos it has there.
// A symmetric matrix keeps only the upper triangle, so a lower element is
// looked up at its mirror position.
static void stored_location(const QMatrix *Q, size_t Row, size_t Clm, size_t *array, size_t *pos) {
  bool by_rows = Q->ElOrder == Rowws;
  bool mirrored = Q->Symmetry && Row > Clm;
  size_t major = by_rows ? Row : Clm;
  size_t minor = by_rows ? Clm : Row;
  *array = mirrored ? minor : major;
  *pos = mirrored ? major : minor;
}

static void release_rows(QMatrix *Q) {
  if (Q->El != nullptr) {
    for (size_t i = 1; i <= Q->Dim; ++i) std::free(Q->El[i]);
  }
  std::free(Q->El);
  std::free(Q->Len);
  Q->El = nullptr;
  Q->Len = nullptr;
}

void Q_Constr(QMatrix *Q, const char *Name, size_t Dim, bool Symmetry, ElOrderType ElOrder,
              InstanceType Instance, bool OwnData) {
  Q->Name = strdup(Name != nullptr ? Name : "");
  if (Q->Name == nullptr) LASError(LASMemAllocErr, "Q_Constr", Name, nullptr, nullptr);
  Q->Dim = static_cast<unsigned>(Dim);
  Q->Symmetry = Symmetry;
  Q->ElOrder = ElOrder;
  Q->Instance = Instance;
  Q->OwnData = OwnData;
  Q->Len = nullptr;
  Q->El = nullptr;
  if (!OwnData || LASResult() != LASOK) return;

  // Dim + 1 row slots, counted in the 32-bit Dim field.
  if (Dim >= UINT_MAX) {
    refuse(Q, LASMemAllocErr, "Q_Constr");
    return;
  }
  Q->Len = static_cast<unsigned *>(std::calloc(Dim + 1, sizeof(unsigned)));
  Q->El = static_cast<ElType **>(std::calloc(Dim + 1, sizeof(ElType *)));
  if (Q->Len == nullptr || Q->El == nullptr) {
    release_rows(Q);
    refuse(Q, LASMemAllocErr, "Q_Constr");
  }
}

void Q_Destr(QMatrix *Q) {
  std::free(Q->Name);
  Q->Name = nullptr;
  if (Q->OwnData) release_rows(Q);
}

bool Q_GetSymmetry(const QMatrix *Q) {
  if (LASResult() != LASOK) return false;
  return Q->Symmetry;
}

void Q_SetLen(QMatrix *Q, size_t RoC, size_t Len) {
  if (LASResult() != LASOK) return;
  if (Q->Instance == Tempor) return refuse(Q, LASLValErr, "Q_SetLen");
  if (!row_in_range(Q, RoC)) return refuse(Q, LASRangeErr, "Q_SetLen");

  // A resize never copies: the old entries go, the new ones start as ZeroEl.
  std::free(Q->El[RoC]);
  Q->El[RoC] = nullptr;
  Q->Len[RoC] = 0;
  if (Len == 0) return;
  ElType *row = nullptr;
  if (Len <= UINT_MAX && Len <= SIZE_MAX / sizeof(ElType)) {
    row = static_cast<ElType *>(std::malloc(Len * sizeof(ElType)));
  }
  // On failure the row stays empty (length 0, no array), so nothing can
  // reach entries that do not exist once the error is cleared.
  if (row == nullptr) return refuse(Q, LASMemAllocErr, "Q_SetLen");
  for (size_t i = 0; i < Len; ++i) row[i] = ZeroEl;
  Q->El[RoC] = row;
  Q->Len[RoC] = static_cast<unsigned>(Len);
}

size_t Q_GetLen(const QMatrix *Q, size_t RoC) {
  if (LASResult() != LASOK) return 0;
  if (!row_in_range(Q, RoC)) {
    refuse(Q, LASRangeErr, "Q_GetLen");
    return 0;
  }
  return Q->Len[RoC];
}

void Q_SetEntry(QMatrix *Q, size_t RoC, size_t Entry, size_t Pos, double Val) {
  if (LASResult() != LASOK) return;
  if (!entry_in_range(Q, RoC, Entry) || Pos < 1 || Pos > Q->Dim) {
    return refuse(Q, LASRangeErr, "Q_SetEntry");
  }
  Q->El[RoC][Entry].Pos = static_cast<unsigned>(Pos);
  Q->El[RoC][Entry].Val = Val;
}

size_t Q_GetPos(const QMatrix *Q, size_t RoC, size_t Entry) {
  if (LASResult() != LASOK) return 0;
  if (!entry_in_range(Q, RoC, Entry)) {
    refuse(Q, LASRangeErr, "Q_GetPos");
    return 0;
  }
  return Q->El[RoC][Entry].Pos;
}

double Q_GetVal(const QMatrix *Q, size_t RoC, size_t Entry) {
  if (LASResult() != LASOK) return 0.0;
  if (!entry_in_range(Q, RoC, Entry)) {
    refuse(Q, LASRangeErr, "Q_GetVal");
    return 0.0;
  }
  return Q->El[RoC][Entry].Val;
}

void Q_AddVal(QMatrix *Q, size_t RoC, size_t Entry, double Val) {
  if (LASResult() != LASOK) return;
  if (!entry_in_range(Q, RoC, Entry)) return refuse(Q, LASRangeErr, "Q_AddVal");
  Q->El[RoC][Entry].Val += Val;
}

double Q_GetEl(const QMatrix *Q, size_t Row, size_t Clm) {
  if (LASResult() != LASOK) return 0.0;
  if (!row_in_range(Q, Row) || !row_in_range(Q, Clm)) {
    refuse(Q, LASRangeErr, "Q_GetEl");
    return 0.0;
  }
  size_t array, pos;
  stored_location(Q, Row, Clm, &array, &pos);
  // The whole array is scanned and the last match kept, so a repeated Pos
  // (which callers are not supposed to store) reads as its later entry.
  double value = 0.0;
  const ElType *entries = Q->El[array];
  for (unsigned i = 0; i < Q->Len[array]; ++i) {
    if (entries[i].Pos == pos) value = entries[i].Val;
  }
  return value;
}
