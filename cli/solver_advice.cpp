#include "cli/solver_advice.h"

#include <umfpack.h>

#include <cstddef>

#include "calc/solver_status.h"

struct cli_advice {
  int status;
  const char *message;
};

static const cli_advice CLI_ADVICE[] = {
    {UMFPACK_ERROR_invalid_Numeric_object,
     "failure: invalid numeric object\n"
     "you can try:\n"
     "more pyramid levels, solved at the coarse levels only (e.g. --levels 3 --active 1),\n"
     "or more constrained pixels in CONSTRAINTS (a tighter trimap or more strokes),\n"
     "or a smaller calculation region (--region X,Y,W,H),\n"
     "or the picture scaled down with another program."},
};

const char *cli_solver_message(int status) {
  for (const cli_advice &advice : CLI_ADVICE)
    if (advice.status == status) return advice.message;
  return umfpack_status_message(status);
}
