#include "engine/fatal.h"

#include <gtest/gtest.h>

namespace {

struct FatalCase {
  const char *message;
  int status;
  int exit_code;  // what the parent sees: the status modulo 256
  const char *printed;
};

void PrintTo(const FatalCase &c, std::ostream *os) { *os << c.status; }

class EngineFatalDeathTest : public testing::TestWithParam<FatalCase> {};

TEST_P(EngineFatalDeathTest, PrintsTheMessageVerbatimAndExits) {
  FatalCase c = GetParam();
  EXPECT_EXIT(engine_fatal(c.message, c.status), testing::ExitedWithCode(c.exit_code),
              c.printed);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, EngineFatalDeathTest,
    testing::Values(FatalCase{"==> malloc() error\n", -1, 255, "^==> malloc\\(\\) error\n$"},
                    FatalCase{"no line end", 1, 1, "^no line end$"}));

}  // namespace
