// What the written results hold and that a failed run keeps the old output
// are tested through the whole program in matte_cli_test; this is the case
// a run cannot report: the process ended while its output was open.
#include "cli/io.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "cli_test_files.h"

namespace {

// As when the engine ends the process on an exhausted heap, or the user
// interrupts a long solve: the temporary file goes with the process.
TEST(IoOutput, ProcessEndedMidWriteLeavesNoTemporary) {
  TempFolder folder;
  std::string path = folder.file("out.png");
  char error[512] = "";
  EXPECT_EXIT(
      {
        io_output out;
        if (io_output_begin(&out, path.c_str(), error, sizeof error)) exit(255);
      },
      ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(
      {
        io_output out;
        if (io_output_begin(&out, path.c_str(), error, sizeof error)) raise(SIGTERM);
      },
      ::testing::KilledBySignal(SIGTERM), "");
  EXPECT_EQ(folder.count(), 0);
}

}  // namespace
