#include "calc/solver_status.h"

#include <cstddef>
#include <umfpack.h>

struct StatusMessage {
  int status;
  const char *message;
};

static const StatusMessage kStatusMessages[] = {
    {UMFPACK_ERROR_out_of_memory, "failure: out_of_memory"},
    {UMFPACK_ERROR_invalid_Numeric_object,
     "failure: invalid numeric object\n"
     "you can try:\n"
     "Scaling the image down using an external application or increase\n"
     "the number of scaling steps in the calculation options.\n"
     "\n"
     "Or tighten the image trimatte i.e. paint out more foregound and\n"
     "background pixels.\n"
     "\n"
     "Or in preview mode (left tool bar button) drag the mouse to select\n"
     "a smaller region of the image and make that the calculation region\n"
     "from the edit menu. Don't forget you'll need to toggle back to\n"
     "the edit mode to perform the calculation."},
    {UMFPACK_ERROR_invalid_Symbolic_object, "failure: invalid symbolic object"},
    {UMFPACK_ERROR_argument_missing, "failure: argument missing"},
    {UMFPACK_ERROR_n_nonpositive, "failure: n nonpositive"},
    {UMFPACK_ERROR_invalid_matrix, "failure: invalid matrix"},
    {UMFPACK_ERROR_different_pattern, "failure: different pattern"},
    {UMFPACK_ERROR_invalid_system, "failure: invalid system"},
    {UMFPACK_ERROR_invalid_permutation, "failure: invalid permutation"},
    {UMFPACK_ERROR_file_IO, "failure: internal error"},
    {UMFPACK_ERROR_internal_error, "failure: UMF internal error"},
};

const char *umfpack_status_message(int status) {
  for (size_t i = 0; i < sizeof kStatusMessages / sizeof kStatusMessages[0];
       i++)
    if (kStatusMessages[i].status == status) return kStatusMessages[i].message;
  return NULL;
}
