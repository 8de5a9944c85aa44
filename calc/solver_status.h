// What a solver status means to the user.
#pragma once

#include <string>

#include "calc/level_suggestion.h"

// The "Error" dialog text for a status of UMFPACK's solve step, or null when
// the status needs no dialog. UMFPACK_OK (0) and the warnings (1 to 3, e.g. a
// singular matrix) give null: UMFPACK reports a warning when it still
// produced a solution, so the result is shown without a message. Failures
// without their own text (unknown negative statuses) give null as well. The
// returned text is static.
const char *umfpack_status_message(int status);

// What a failed calculation can tell beyond its status; all zero (= {})
// when there is nothing more to say.
struct failure_details {
  // The memory check before the factorisation, in bytes (0: none made).
  double needed_bytes;
  double available_bytes;
  // Pyramid settings to try after a failure for memory; levels 0 when there
  // are none better than those that failed.
  level_suggestion suggested;
};

// True for a status after which there is no matte to show: any negative
// one (a solver failure, a refusal for memory, a cancel).
bool calculation_failed(int status);

// True for the failures that a smaller problem would avoid: out of memory,
// an invalid numeric object (a factorisation that did not happen), and the
// refusal before a factorisation too large for memory.
bool failed_for_memory(int status);

// Who reads the failure message: the window's "Error" dialog, whose advice
// speaks of the options dialog and the calculation region, or
// velorin-matte's standard error, whose advice names command-line options.
enum message_audience { FOR_WINDOW, FOR_COMMAND_LINE };

// The message for a failed calculation, or "" when the status needs none
// (success, warnings, a cancel, unknown statuses). The statuses of the
// UMFPACK table keep their texts (the window's -3 its long advice); failures
// for memory add the suggested settings; a refusal for memory gives the
// needed and the available memory.
std::string calculation_failure_message(int status, const failure_details *details,
                                        message_audience audience);

// A byte count in human units: "512 kB", "480 MB", "9.6 GB" (powers of
// 1024).
std::string human_bytes(double bytes);
