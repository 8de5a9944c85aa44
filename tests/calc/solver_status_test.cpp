#include "calc/solver_status.h"

#include <gtest/gtest.h>
#include <umfpack.h>

#include <string>
#include <vector>

#include "engine/solve_alpha.h"

namespace {

TEST(UmfpackStatusMessage, EachStatusHasItsTextOrNone) {
  const struct {
    int status;
    const char *message;  // null: no dialog
  } cases[] = {
      {UMFPACK_ERROR_out_of_memory, "failure: out_of_memory"},
      {UMFPACK_ERROR_invalid_Symbolic_object, "failure: invalid symbolic object"},
      {UMFPACK_ERROR_argument_missing, "failure: argument missing"},
      {UMFPACK_ERROR_n_nonpositive, "failure: n nonpositive"},
      {UMFPACK_ERROR_invalid_matrix, "failure: invalid matrix"},
      {UMFPACK_ERROR_different_pattern, "failure: different pattern"},
      {UMFPACK_ERROR_invalid_system, "failure: invalid system"},
      {UMFPACK_ERROR_invalid_permutation, "failure: invalid permutation"},
      {UMFPACK_ERROR_file_IO, "failure: internal error"},
      {UMFPACK_ERROR_internal_error, "failure: UMF internal error"},
      {UMFPACK_OK, nullptr},
      {UMFPACK_WARNING_singular_matrix, nullptr},
      {UMFPACK_WARNING_determinant_underflow, nullptr},
      {UMFPACK_WARNING_determinant_overflow, nullptr},
      {-2, nullptr},
  };
  for (const auto &c : cases)
    EXPECT_STREQ(umfpack_status_message(c.status), c.message) << "status " << c.status;
}

TEST(UmfpackStatusMessage, InvalidNumericObjectAdvisesWhatToTry) {
  const std::string message = umfpack_status_message(UMFPACK_ERROR_invalid_Numeric_object);
  EXPECT_EQ(
      message.rfind("failure: invalid numeric object\nyou can try:\nScaling the image down", 0),
      0u);
  EXPECT_NE(message.find("\n\nOr tighten the image trimatte i.e. paint out more foregound and\n"),
            std::string::npos);
  const std::string ending = "\nthe edit mode to perform the calculation.";
  ASSERT_GT(message.size(), ending.size());
  EXPECT_EQ(message.substr(message.size() - ending.size()), ending);
}

// After a failure for memory each reader gets advice it can act on: the
// window names the options dialog's fields, the command line its options
// (never the window's buttons or menus). Figures are in human units.
TEST(CalculationFailureMessage, MemoryFailuresAdviseEachReaderInItsTerms) {
  const double GiB = 1024.0 * 1024 * 1024;
  const failure_details refused = {9.6 * GiB, 3.1 * GiB, {7, 6}}, bare = {};
  const struct {
    int status;
    const failure_details *details;
    message_audience audience;
    std::vector<std::string> parts;  // in this order; the first starts the message
  } cases[] = {
      {SOLVE_STATUS_OVER_MEMORY, &refused, FOR_COMMAND_LINE,
       {"failure: not enough memory: the calculation needs 9.6 GB, 3.1 GB available",
        "--levels 7 --active 6", "--region", "--max-memory"}},
      {SOLVE_STATUS_OVER_MEMORY, &refused, FOR_WINDOW,
       {"failure: not enough memory: the calculation needs 9.6 GB, 3.1 GB available\n",
        "Down scale image this many times for larger images: 7\n",
        "Recalculate matte in this many steps when upscaling: 6\n", "calculation region"}},
      {UMFPACK_ERROR_out_of_memory, &bare, FOR_COMMAND_LINE,
       {"failure: out_of_memory; try a smaller --region"}},
      {UMFPACK_ERROR_invalid_Numeric_object, &refused, FOR_COMMAND_LINE,
       {"failure: invalid numeric object; try --levels 7 --active 6"}},
  };
  for (const auto &c : cases) {
    const std::string message = calculation_failure_message(c.status, c.details, c.audience);
    size_t at = 0;
    for (const std::string &part : c.parts) {
      at = message.find(part, at);
      ASSERT_NE(at, std::string::npos) << part << " in\n" << message;
    }
    EXPECT_EQ(message.rfind(c.parts[0], 0), 0u) << message;
    if (c.audience == FOR_COMMAND_LINE) {
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
      EXPECT_EQ(message.find("menu"), std::string::npos) << message;
    }
  }
  // Without settings to propose the window keeps the plain text; a cancel and
  // a warning need no message at all.
  EXPECT_EQ(calculation_failure_message(UMFPACK_ERROR_out_of_memory, &bare, FOR_WINDOW),
            "failure: out_of_memory");
  EXPECT_EQ(calculation_failure_message(C2F_STATUS_CANCELLED, &bare, FOR_COMMAND_LINE), "");
  EXPECT_EQ(calculation_failure_message(UMFPACK_WARNING_singular_matrix, &bare, FOR_WINDOW), "");
}

TEST(HumanBytes, PicksTheUnitByTheSize) {
  EXPECT_EQ(human_bytes(512.0 * 1024), "512 kB");
  EXPECT_EQ(human_bytes(480.0 * 1024 * 1024), "480 MB");
  EXPECT_EQ(human_bytes(9.6 * 1024 * 1024 * 1024), "9.6 GB");
}

}  // namespace
