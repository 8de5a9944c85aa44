#include "sparse/errhandl.h"

#include <cstdlib>
#include <cstring>

static const int kObjectNames = 3;

// Indexed by LASErrIdType.
static const char *const kDescriptions[] = {
    "",
    "Not enough memory is available.\n",
    "L-value parameter is expected.\n",
    "Objects have incompatible dimensions.\n",
    "Indices are out of range.\n",
    "Some elements are stored in lower triangular part"
    " of a symmetric matrix.\n",
    "Matrices can not be combined.\n",
    "Inverse multiplication can not be carried out.\n",
    "Matrix elements are not sorted.\n",
    "Zero elements in matrix diagonal are not allowed.\n",
    "Factorization produces zero pivot elements.\n",
    "Matrix has structure which is not allowed for ILU factorization.\n",
    "Iterative solver fails.\n",
    "Termination by an user break.\n",
};
static const int kKinds = sizeof kDescriptions / sizeof kDescriptions[0];

// The one process-wide error record. Names are owned copies (or null).
static LASErrIdType las_err_id = LASOK;
static char *las_proc_name = nullptr;
static char *las_object_names[kObjectNames] = {nullptr, nullptr, nullptr};

// A copy of a non-empty name, or null for an absent one or when memory for
// the copy is lacking: the kind is what matters, the names are courtesy.
static char *copy_name(const char *name) {
  if (name == nullptr || name[0] == '\0') return nullptr;
  size_t bytes = std::strlen(name) + 1;
  char *copy = static_cast<char *>(std::malloc(bytes));
  if (copy != nullptr) std::memcpy(copy, name, bytes);
  return copy;
}

static void release_names(void) {
  std::free(las_proc_name);
  las_proc_name = nullptr;
  for (int i = 0; i < kObjectNames; ++i) {
    std::free(las_object_names[i]);
    las_object_names[i] = nullptr;
  }
}

void LASError(LASErrIdType ErrId, const char *ProcName, const char *Object1Name,
              const char *Object2Name, const char *Object3Name) {
  las_err_id = ErrId;
  release_names();
  las_proc_name = copy_name(ProcName);
  las_object_names[0] = copy_name(Object1Name);
  las_object_names[1] = copy_name(Object2Name);
  las_object_names[2] = copy_name(Object3Name);
}

LASErrIdType LASResult(void) { return las_err_id; }

const char *LASErrDescr(LASErrIdType ErrId) {
  int kind = static_cast<int>(ErrId);
  return kind >= 0 && kind < kKinds ? kDescriptions[kind] : "";
}

const char *LASErrProcName(void) { return las_proc_name; }

const char *LASErrObjectName(int which) {
  return which >= 1 && which <= kObjectNames ? las_object_names[which - 1] : nullptr;
}

void LASClearError(void) {
  las_err_id = LASOK;
  release_names();
}
