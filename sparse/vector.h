// Dense vector of doubles, components 1..Dim (element 0 unused).
#pragma once

#include <cstddef>

#include "sparse/qmatrix.h"  // InstanceType

struct Vector {
  char *Name;
  unsigned Dim;
  InstanceType Instance;
  bool OwnData;
  double *Cmp;  // [Dim + 1]
};

void V_Constr(Vector *V, const char *Name, size_t Dim, InstanceType Instance, bool OwnData);
void V_Destr(Vector *V);
size_t V_GetDim(const Vector *V);
void V_SetAllCmp(Vector *V, double Val);
void V_SetCmp(Vector *V, size_t Ind, double Val);
double V_GetCmp(const Vector *V, size_t Ind);

// The components without any of the checks above, for the engine's loops
// and the sparse solvers' arrays: component i (1..Dim) is element i, element
// 0 is unused, so element + 1 is the 0-based array of Dim doubles a solver
// takes. Only for code that has already made sure that V owns its data
// (built with OwnData while no error was recorded) and that indices stay in
// 1..Dim. Valid until V_Destr.
inline double *V_Cmp(const Vector *V) { return V->Cmp; }
