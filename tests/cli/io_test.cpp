// What the written results hold and that a failed run keeps the old output
// are tested through the whole program in matte_cli_test; these are the
// cases a run cannot report: the process ended while its output was open.
#include "cli/io.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <string>

#include "cli/fatal_exit.h"
#include "cli_test_files.h"
#include "engine/allocate.h"

namespace {

struct ending_case {
  int signal_number;     // raised while the temporary file exists; 0: exit(255)
  bool started_ignored;  // as under nohup: the signal is ignored before the run
};

// Opens an output (its temporary file exists) and ends the process as the
// case says: by exit(), by a signal, or, if the signal is ignored, by a
// normal exit after abandoning the output.
void end_while_writing(const std::string &path, const ending_case &c) {
  const rlimit no_core = {0, 0};  // SIGQUIT would dump one into the test's folder
  setrlimit(RLIMIT_CORE, &no_core);
  if (c.started_ignored) signal(c.signal_number, SIG_IGN);
  io_output out;
  if (!io_output_prepare(&out, path.c_str(), stdout, nullptr, nullptr, nullptr) ||
      !io_output_begin(&out, nullptr))
    _exit(1);
  if (c.signal_number == 0) exit(255);
  raise(c.signal_number);
  io_output_abandon(&out);
  _exit(0);
}

// The engine gives up on an exhausted heap while the result is written:
// under the run's fatal-exit scope that ends the process with status 3 and
// one line, and no exit handler runs to remove the temporary file.
void engine_gives_up_while_writing(const std::string &path) {
  cli_progress progress;
  progress_init(&progress, stderr, 1);
  const fatal_exit_scope fatal_exit(&progress, stderr);
  io_output out;
  if (!io_output_prepare(&out, path.c_str(), stdout, nullptr, nullptr, nullptr) ||
      !io_output_begin(&out, nullptr))
    _exit(1);
  get_spc(SIZE_MAX, 2);  // a size that cannot be allocated
  _exit(0);
}

TEST(IoOutput, EngineGivingUpWhileWritingExitsThreeWithOneLineAndNoTemporary) {
  TempFolder folder;
  EXPECT_EXIT(engine_gives_up_while_writing(folder.file("out.png")),
              ::testing::ExitedWithCode(MATTE_EXIT_SOLVER),
              "^velorin-matte: failure: out_of_memory; try [^\n]*\n$");
  EXPECT_EQ(folder.count(), 0);
}

TEST(IoOutput, EndedProcessLeavesNoTemporaryAndAnIgnoredSignalStaysIgnored) {
  const ending_case cases[] = {{0, false},      {SIGINT, false},  {SIGTERM, false},
                               {SIGHUP, false}, {SIGQUIT, false}, {SIGHUP, true},
                               {SIGINT, true},  {SIGTERM, true}};
  for (const ending_case &c : cases) {
    TempFolder folder;
    std::string path = folder.file("out.png");
    if (c.signal_number == 0)
      EXPECT_EXIT(end_while_writing(path, c), ::testing::ExitedWithCode(255), "");
    else if (c.started_ignored)
      EXPECT_EXIT(end_while_writing(path, c), ::testing::ExitedWithCode(0), "") << c.signal_number;
    else
      EXPECT_EXIT(end_while_writing(path, c), ::testing::KilledBySignal(c.signal_number), "");
    EXPECT_EQ(folder.count(), 0) << c.signal_number;
  }
}

}  // namespace
