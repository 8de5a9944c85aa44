// What velorin-matte says when the solver fails (exit status 3). The window's
// "Error" dialog texts advise toolbar buttons and menus where a failure can
// be worked around; on the command line the same advice names options.
#pragma once

// The message for a solver status: a command-line text where the window's
// advice would not fit, otherwise the window's text (umfpack_status_message);
// null when the status needs no message. The returned text is static.
const char *cli_solver_message(int status);
