// The sparse container's process-wide sticky error state. Once an error is
// recorded every refusable container operation does nothing, until a
// calculation clears the state at its start (LASClearError).
#pragma once

enum LASErrIdType {
  LASOK = 0,
  LASMemAllocErr = 1,
  LASLValErr = 2,
  LASDimErr = 3,
  LASRangeErr = 4,
  LASSymStorErr = 5,
  LASMatrCombErr = 6,
  LASMulInvErr = 7,
  LASElNotSortedErr = 8,
  LASZeroInDiagErr = 9,
  LASZeroPivotErr = 10,
  LASILUStructErr = 11,
  LASIterSolvErr = 12,
  LASUserBreak = 13
};

// Records an error: the kind, the operation's name and up to three object
// names (each may be null).
void LASError(LASErrIdType ErrId, const char *ProcName, const char *Object1Name,
              const char *Object2Name, const char *Object3Name);

// The recorded kind, LASOK when none.
LASErrIdType LASResult(void);

// The one-line description of an error kind ("" for LASOK or an unknown kind).
const char *LASErrDescr(LASErrIdType ErrId);

// Name of the operation / objects of the recorded error (null when absent).
const char *LASErrProcName(void);
const char *LASErrObjectName(int which);  // which = 1, 2 or 3

// Forgets the recorded error, so one failed calculation does not poison the
// next ones.
void LASClearError(void);
