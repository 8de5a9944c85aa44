#include "calc/solver_status.h"

#include <umfpack.h>

#include <cstddef>
#include <cstdio>

#include "engine/solve_alpha.h"

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
  for (size_t i = 0; i < sizeof kStatusMessages / sizeof kStatusMessages[0]; i++)
    if (kStatusMessages[i].status == status) return kStatusMessages[i].message;
  return NULL;
}

bool calculation_failed(int status) { return status < 0; }

bool failed_for_memory(int status) {
  return status == UMFPACK_ERROR_out_of_memory || status == UMFPACK_ERROR_invalid_Numeric_object ||
         status == SOLVE_STATUS_OVER_MEMORY;
}

std::string human_bytes(double bytes) {
  static const double kKiB = 1024.0, kMiB = kKiB * 1024, kGiB = kMiB * 1024;
  char text[32];
  if (bytes >= kGiB)
    snprintf(text, sizeof text, "%.1f GB", bytes / kGiB);
  else if (bytes >= kMiB)
    snprintf(text, sizeof text, "%.0f MB", bytes / kMiB);
  else
    snprintf(text, sizeof text, "%.0f kB", bytes / kKiB);
  return text;
}

// The first line of a status's text: the failure itself, without the
// window's advice.
static std::string first_line(const char *message) {
  const std::string text = message;
  return text.substr(0, text.find('\n'));
}

static std::string over_memory_text(const failure_details *details) {
  return "failure: not enough memory: the calculation needs " + human_bytes(details->needed_bytes) +
         ", " + human_bytes(details->available_bytes) + " available";
}

static std::string window_advice(const level_suggestion &s) {
  static const char kRegion[] =
      "in preview mode select a smaller region of the image and make that the\n"
      "calculation region from the edit menu.";
  if (s.levels == 0) return std::string("\nyou can try:\nIn ") + kRegion;
  return "\nyou can try these calculation options:\n"
         "Down scale image this many times for larger images: " +
         std::to_string(s.levels) +
         "\nRecalculate matte in this many steps when upscaling: " + std::to_string(s.active) +
         "\n\nOr " + kRegion;
}

static std::string command_line_advice(const level_suggestion &s) {
  std::string advice = "; try ";
  if (s.levels > 0)
    advice +=
        "--levels " + std::to_string(s.levels) + " --active " + std::to_string(s.active) + ", ";
  return advice + "a smaller --region, or --max-memory SIZE if more memory can be given";
}

std::string calculation_failure_message(int status, const failure_details *details,
                                        message_audience audience) {
  const char *table_text = umfpack_status_message(status);
  if (!failed_for_memory(status)) return table_text ? table_text : "";
  if (audience == FOR_WINDOW && status == UMFPACK_ERROR_invalid_Numeric_object) return table_text;
  const std::string failure =
      status == SOLVE_STATUS_OVER_MEMORY ? over_memory_text(details) : first_line(table_text);
  if (audience == FOR_COMMAND_LINE) return failure + command_line_advice(details->suggested);
  // Out of memory without settings to propose keeps its plain text.
  if (details->suggested.levels == 0 && status != SOLVE_STATUS_OVER_MEMORY) return failure;
  return failure + window_advice(details->suggested);
}
