#include "calc/solver_status.h"

#include <gtest/gtest.h>
#include <umfpack.h>

#include <string>
#include <vector>

#include "engine/solve_alpha.h"

namespace {

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
      {SOLVE_STATUS_OVER_MEMORY,
       &refused,
       FOR_COMMAND_LINE,
       {"failure: not enough memory: the calculation needs 9.6 GB, 3.1 GB available",
        "--levels 7 --active 6", "--region", "--max-memory"}},
      {SOLVE_STATUS_OVER_MEMORY,
       &refused,
       FOR_WINDOW,
       {"failure: not enough memory: the calculation needs 9.6 GB, 3.1 GB available\n",
        "Down scale image this many times for larger images: 7\n",
        "Recalculate matte in this many steps when upscaling: 6\n", "calculation region"}},
      {UMFPACK_ERROR_out_of_memory,
       &bare,
       FOR_COMMAND_LINE,
       {"failure: out_of_memory; try a smaller --region"}},
      {UMFPACK_ERROR_invalid_Numeric_object,
       &refused,
       FOR_COMMAND_LINE,
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
  // A singular system is only a warning: its matte is a result.
  EXPECT_FALSE(calculation_failed(UMFPACK_WARNING_singular_matrix));
  EXPECT_TRUE(calculation_failed(C2F_STATUS_CANCELLED));
}

}  // namespace
