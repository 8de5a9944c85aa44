#include "calc/solver_status.h"

#include <gtest/gtest.h>
#include <umfpack.h>

#include <string>

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

}  // namespace
