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

void V_Constr(Vector *V, const char *Name, size_t Dim, InstanceType Instance,
              bool OwnData);
void V_Destr(Vector *V);
size_t V_GetDim(Vector *V);
void V_SetAllCmp(Vector *V, double Val);
void V_SetCmp(Vector *V, size_t Ind, double Val);
double V_GetCmp(Vector *V, size_t Ind);
