#include "sparse/vector.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "sparse/errhandl.h"

static void refuse(const Vector *V, LASErrIdType kind, const char *operation) {
  LASError(kind, operation, V->Name, nullptr, nullptr);
}

// Components exist only when the vector got its own array (not so for a
// vector built without own data or while an error was recorded).
static bool index_in_range(const Vector *V, size_t Ind) {
  return V->Cmp != nullptr && Ind >= 1 && Ind <= V->Dim;
}

void V_Constr(Vector *V, const char *Name, size_t Dim, InstanceType Instance, bool OwnData) {
  V->Name = strdup(Name != nullptr ? Name : "");
  if (V->Name == nullptr) LASError(LASMemAllocErr, "V_Constr", Name, nullptr, nullptr);
  V->Dim = static_cast<unsigned>(Dim);
  V->Instance = Instance;
  V->OwnData = OwnData;
  V->Cmp = nullptr;
  if (!OwnData || LASResult() != LASOK) return;

  // Dim + 1 components, counted in the 32-bit Dim field.
  if (Dim >= UINT_MAX) return refuse(V, LASMemAllocErr, "V_Constr");
  // Zero-filled so that a component read before it is written is at least
  // the same every run.
  V->Cmp = static_cast<double *>(std::calloc(Dim + 1, sizeof(double)));
  if (V->Cmp == nullptr) refuse(V, LASMemAllocErr, "V_Constr");
}

void V_Destr(Vector *V) {
  std::free(V->Name);
  V->Name = nullptr;
  if (V->OwnData) {
    std::free(V->Cmp);
    V->Cmp = nullptr;
  }
}

size_t V_GetDim(const Vector *V) {
  if (LASResult() != LASOK) return 0;
  return V->Dim;
}

void V_SetAllCmp(Vector *V, double Val) {
  if (LASResult() != LASOK || V->Cmp == nullptr) return;
  for (size_t i = 1; i <= V->Dim; ++i) V->Cmp[i] = Val;
}

void V_SetCmp(Vector *V, size_t Ind, double Val) {
  if (LASResult() != LASOK) return;
  if (!index_in_range(V, Ind) || V->Instance != Normal || !V->OwnData) {
    return refuse(V, LASRangeErr, "V_SetCmp");
  }
  V->Cmp[Ind] = Val;
}

double V_GetCmp(const Vector *V, size_t Ind) {
  if (LASResult() != LASOK) return 0.0;
  if (!index_in_range(V, Ind)) {
    refuse(V, LASRangeErr, "V_GetCmp");
    return 0.0;
  }
  return V->Cmp[Ind];
}
