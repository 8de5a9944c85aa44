// velorin-matte ended or disturbed by signals and limits, run in a child
// process: a signal during the calculation leaves nothing behind (the
// temporary output does not exist yet), a closed standard error only stops
// the progress, and a file-size limit fails the write instead of killing
// the process. Signals while the output is written: io_test.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <string>

#include "cli_test_files.h"

namespace {

struct signal_at {
  const char *stage;
  int signal_number;
};

// The run's standard error: a line that holds the stage raises the signal,
// so it arrives at a known point of the run without any timing.
ssize_t raise_at_stage(void *cookie, const char *text, size_t size) {
  const signal_at *at = static_cast<const signal_at *>(cookie);
  if (std::string(text, size).find(at->stage) != std::string::npos) raise(at->signal_number);
  return static_cast<ssize_t>(size);
}

struct SignalTest : SceneFolder {
  void SetUp() override {
    SceneFolder::SetUp();
    write_file(output, "previous result");
  }
  std::vector<std::string> words() const { return {picture, trimap, "-o", output}; }

  // In the child: the run, its standard error raising the signal.
  [[noreturn]] void run_signalled(signal_at at) const {
    cookie_io_functions_t io = {nullptr, raise_at_stage, nullptr, nullptr};
    _exit(run_cli_on(words(), stdout, fopencookie(&at, "w", io)));
  }
};

// Even SIGKILL, which nothing can clean up after, leaves nothing behind.
TEST_F(SignalTest, DuringTheSolveEndsTheRunAndLeavesNothing) {
  for (const int signal_number : {SIGTERM, SIGKILL}) {
    SCOPED_TRACE(strsignal(signal_number));
    EXPECT_EXIT(run_signalled({"solving", signal_number}), testing::KilledBySignal(signal_number),
                "");
    EXPECT_EQ(read_file(output), "previous result");
    EXPECT_EQ(folder.count(), 3);  // no temporary file
  }
}

TEST_F(SignalTest, ClosedStandardErrorOnlyStopsTheProgress) {
  auto run_with_closed_stderr = [this] {
    int fds[2];
    if (pipe(fds) != 0) _exit(100);
    close(fds[0]);  // nobody reads: the first progress line meets EPIPE
    dup2(fds[1], STDERR_FILENO);
    _exit(run_cli_on(words(), stdout, stderr));
  };
  EXPECT_EXIT(run_with_closed_stderr(), testing::ExitedWithCode(0), "");
  EXPECT_EQ(read_channel(output, 0).size(), 24u * 24u);  // the result is written
  EXPECT_EQ(folder.count(), 3);
}

TEST_F(SignalTest, FileSizeLimitFailsTheWriteAndKeepsTheOldOutput) {
  // The death test's own record of standard error is a file too: it is
  // written once the limit is lifted.
  auto run_under_limit = [this] {
    rlimit limit;
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small = {64, limit.rlim_max};  // bytes; the PNG needs more
    setrlimit(RLIMIT_FSIZE, &small);
    const cli_result r = run_cli(words());
    setrlimit(RLIMIT_FSIZE, &limit);
    fputs(r.err.c_str(), stderr);
    _exit(r.status);
  };
  EXPECT_EXIT(run_under_limit(), testing::ExitedWithCode(MATTE_EXIT_INPUT),
              "cannot write '" + output + "': " + strerror(EFBIG));
  EXPECT_EQ(read_file(output), "previous result");
  EXPECT_EQ(folder.count(), 3);
}

}  // namespace
