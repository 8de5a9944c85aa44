// Square sparse matrix stored row by row (1-based rows and columns), each
// row a separately allocated array of (column, value) entries.
#pragma once

#include <cstddef>

struct ElType {
  unsigned Pos;  // column number (for column-wise order: the row number)
  double Val;
};

extern const ElType ZeroEl;  // (Pos 0, Val 0.0)

enum ElOrderType { Rowws = 0, Clmws = 1 };
enum InstanceType { Normal = 0, Tempor = 1 };

struct QMatrix {
  char *Name;
  unsigned Dim;
  bool Symmetry;  // true: only column >= row is stored
  ElOrderType ElOrder;
  InstanceType Instance;
  bool OwnData;
  unsigned *Len;  // [Dim + 1]; Len[i] = entries of row i
  ElType **El;    // [Dim + 1]; El[i] = entries of row i or null
};

void Q_Constr(QMatrix *Q, const char *Name, size_t Dim, bool Symmetry, ElOrderType ElOrder,
              InstanceType Instance, bool OwnData);
void Q_Destr(QMatrix *Q);
bool Q_GetSymmetry(const QMatrix *Q);
void Q_SetLen(QMatrix *Q, size_t RoC, size_t Len);
size_t Q_GetLen(const QMatrix *Q, size_t RoC);
void Q_SetEntry(QMatrix *Q, size_t RoC, size_t Entry, size_t Pos, double Val);
size_t Q_GetPos(const QMatrix *Q, size_t RoC, size_t Entry);
double Q_GetVal(const QMatrix *Q, size_t RoC, size_t Entry);
void Q_AddVal(QMatrix *Q, size_t RoC, size_t Entry, double Val);
double Q_GetEl(const QMatrix *Q, size_t Row, size_t Clm);

// One stored row as the engine's inner loops walk it: entries El[0..Len-1]
// (for a symmetric matrix held by rows: ascending Pos, the diagonal first
// when stored); El is null when Len is 0.
struct QRow {
  ElType *El;
  unsigned Len;
};

// Row RoC of Q without any of the checks above: no error-state test, no
// range test, no error recorded. Only for code that has already made sure
// that Q owns its rows (built with OwnData while no error was recorded),
// that no error has been recorded since, and that 1 <= RoC <= Dim. The
// entries may be read and written in place (Pos and Val, not the length);
// they stay valid until the row is resized with Q_SetLen or Q is destroyed.
inline QRow Q_Row(const QMatrix *Q, size_t RoC) { return QRow{Q->El[RoC], Q->Len[RoC]}; }
