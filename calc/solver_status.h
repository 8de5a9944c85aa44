// What a solver status means to the user.
#pragma once

// The "Error" dialog text for a status of UMFPACK's solve step, or null when
// the status needs no dialog. UMFPACK_OK (0) and the warnings (1 to 3, e.g. a
// singular matrix) give null: UMFPACK reports a warning when it still
// produced a solution, so the result is shown without a message. Failures
// without their own text (unknown negative statuses) give null as well. The
// returned text is static.
const char *umfpack_status_message(int status);
