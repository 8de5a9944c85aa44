// velorin-matte ended or disturbed by signals, run in a child process: a
// signal during the calculation leaves nothing behind (the temporary output
// does not exist yet), one the process was started with ignored stays
// ignored (nohup), a closed standard error only stops the progress, and a
// file-size limit fails the write instead of killing the process.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <functional>
#include <string>

#include "cli_test_files.h"

namespace {

// Standard error of the child's run: its text goes to the parent through a
// pipe, and a line that holds `stage` raises `signal_number`, so a signal
// arrives at a known point of the run without any timing.
struct signalling_stream {
  int pipe_fd;
  const char *stage;
  int signal_number;
};

ssize_t write_and_signal(void *cookie, const char *text, size_t size) {
  const signalling_stream *s = static_cast<const signalling_stream *>(cookie);
  if (write(s->pipe_fd, text, size) < 0) return -1;
  if (s->signal_number && std::string(text, size).find(s->stage) != std::string::npos)
    raise(s->signal_number);
  return static_cast<ssize_t>(size);
}

struct child_run {
  int wait_status;
  std::string err;  // what the run wrote to its standard error stream
};

// Runs velorin-matte with `words` in a child: `prepare` sets the child up
// first (dispositions, limits, descriptors). With real_stderr the run writes
// to the child's own standard error instead of the signalling stream.
child_run run_in_child(std::vector<std::string> words, const std::function<void()> &prepare,
                       const char *stage = "", int signal_number = 0,
                       bool real_stderr = false) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    const rlimit no_core = {0, 0};  // SIGQUIT would dump one
    setrlimit(RLIMIT_CORE, &no_core);
    prepare();
    signalling_stream cookie = {fds[1], stage, signal_number};
    cookie_io_functions_t io = {nullptr, write_and_signal, nullptr, nullptr};
    FILE *err = real_stderr ? stderr : fopencookie(&cookie, "w", io);
    std::vector<char *> argv = {const_cast<char *>("velorin-matte")};
    for (std::string &w : words) argv.push_back(&w[0]);
    int status = matte_cli_main(static_cast<int>(argv.size()), argv.data(), stdout, err);
    fflush(err);
    _exit(status);
  }
  close(fds[1]);
  child_run run = {0, ""};
  char buffer[4096];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) run.err.append(buffer, n);
  close(fds[0]);
  waitpid(pid, &run.wait_status, 0);
  return run;
}

struct SignalTest : SceneFolder {
  void SetUp() override {
    SceneFolder::SetUp();
    write_file(output, "previous result");
  }

  std::vector<std::string> words() const { return {picture, trimap, "-o", output}; }
  bool result_written() const { return read_channel(output, 0).size() == 24u * 24u; }
};

struct signal_case {
  int signal_number;
  const char *stage;     // raised when a progress line holds this ("" : every line)
  bool started_ignored;  // as under nohup
};

TEST_F(SignalTest, DuringTheSolveNothingIsLeftAndAnIgnoredSignalStaysIgnored) {
  const signal_case cases[] = {
      {SIGINT, "solving", false},  {SIGTERM, "solving", false}, {SIGHUP, "solving", false},
      {SIGQUIT, "solving", false}, {SIGKILL, "solving", false}, {SIGHUP, "", true},
      {SIGINT, "", true},          {SIGTERM, "", true}};
  for (const signal_case &c : cases) {
    write_file(output, "previous result");
    child_run run = run_in_child(
        words(), [&c] { if (c.started_ignored) signal(c.signal_number, SIG_IGN); }, c.stage,
        c.signal_number);
    if (c.started_ignored) {
      EXPECT_TRUE(WIFEXITED(run.wait_status) && WEXITSTATUS(run.wait_status) == 0)
          << strsignal(c.signal_number) << ": " << run.err;
      EXPECT_TRUE(result_written()) << strsignal(c.signal_number);
    } else {
      EXPECT_TRUE(WIFSIGNALED(run.wait_status) && WTERMSIG(run.wait_status) == c.signal_number)
          << strsignal(c.signal_number);
      EXPECT_EQ(read_file(output), "previous result") << strsignal(c.signal_number);
    }
    EXPECT_EQ(folder.count(), 3) << strsignal(c.signal_number);  // no temporary file
  }
}

TEST_F(SignalTest, ClosedStandardErrorOnlyStopsTheProgress) {
  child_run run = run_in_child(
      words(),
      [] {
        int fds[2];
        if (pipe(fds) != 0) _exit(100);
        close(fds[0]);  // nobody reads: the first progress line meets EPIPE
        dup2(fds[1], STDERR_FILENO);
      },
      "", 0, true);
  EXPECT_TRUE(WIFEXITED(run.wait_status) && WEXITSTATUS(run.wait_status) == 0)
      << run.wait_status;
  EXPECT_TRUE(result_written());
  EXPECT_EQ(folder.count(), 3);
}

TEST_F(SignalTest, FileSizeLimitFailsTheWriteAndKeepsTheOldOutput) {
  child_run run = run_in_child(words(), [] {
    const rlimit small = {64, 64};  // bytes; the PNG needs more
    setrlimit(RLIMIT_FSIZE, &small);
  });
  EXPECT_TRUE(WIFEXITED(run.wait_status) && WEXITSTATUS(run.wait_status) == MATTE_EXIT_INPUT)
      << run.wait_status;
  EXPECT_NE(run.err.find("cannot write '" + output + "': " + strerror(EFBIG)), std::string::npos)
      << run.err;
  EXPECT_EQ(read_file(output), "previous result");
  EXPECT_EQ(folder.count(), 3);
}

}  // namespace
