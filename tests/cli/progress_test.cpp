#include "cli/progress.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

enum stream_kind { PIPE, TERMINAL, QUIET };

// Reports two stages and ends, as a run does; returns what the stream got.
std::string two_stages(stream_kind kind) {
  char *text = nullptr;
  size_t size = 0;
  FILE *stream = open_memstream(&text, &size);
  cli_progress progress;
  progress_init(&progress, stream, kind == QUIET);
  if (kind == TERMINAL) progress.is_terminal = 1;  // a memory stream is no terminal
  progress_stage(&progress, "reading %s", "a.png");
  progress_stage(&progress, "solving, level %d of %d", 2, 3);
  progress_end(&progress);
  fclose(stream);
  std::string out(text, size);
  free(text);
  return out;
}

TEST(Progress, PlainLinesOrOneRunningLineOrNothing) {
  EXPECT_EQ(two_stages(PIPE),
            "velorin-matte: reading a.png\nvelorin-matte: solving, level 2 of 3\n");
  EXPECT_EQ(two_stages(TERMINAL),
            "\r\033[Kvelorin-matte: reading a.png\r\033[Kvelorin-matte: solving, level 2 of 3\n");
  EXPECT_EQ(two_stages(QUIET), "");
}

}  // namespace
