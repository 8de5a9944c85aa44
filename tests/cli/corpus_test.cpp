// The bad-input corpus (tests/cli/corpus, see its README): small crafted
// files that are cut off, lie in their headers or come in odd formats, read
// as the picture or as the constraints of the 24 x 24 test scene; and the
// scene matted under address-space limits.
#include <glib.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "cli_test_files.h"

namespace {

enum corpus_role { AS_PICTURE, AS_CONSTRAINTS };

struct corpus_case {
  const char *file;  // in the corpus folder; "" is the folder itself
  corpus_role role;
  int status;
  const char *message_part;  // of standard error
  std::vector<std::string> options = {};
};

class Corpus : public SceneFolder, public ::testing::WithParamInterface<corpus_case> {};

TEST_P(Corpus, GivesItsExitStatusAndMessageAndKeepsTheOldOutputOnFailure) {
  const corpus_case &c = GetParam();
  write_file(output, "previous result");
  std::string file = std::string(VELORIN_SOURCE_DIR "/tests/cli/corpus/") + c.file;
  std::vector<std::string> words = {c.role == AS_PICTURE ? file : picture,
                                    c.role == AS_CONSTRAINTS ? file : trimap, "-o", output};
  words.insert(words.end(), c.options.begin(), c.options.end());
  cli_result r = run_cli(words);
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_NE(r.err.find(c.message_part), std::string::npos) << r.err;
  EXPECT_EQ(read_file(output) == "previous result", c.status != MATTE_EXIT_OK);
  EXPECT_EQ(folder.count(), 3);  // no temporary file left behind
}

INSTANTIATE_TEST_SUITE_P(
    BadInputCorpus, Corpus,
    ::testing::Values(
        corpus_case{"", AS_PICTURE, 2, "corpus/': it is a folder, not a picture"},
        corpus_case{"empty.png", AS_PICTURE, 2, "contains no data"},
        corpus_case{"text.png", AS_CONSTRAINTS, 2, "Not a PNG file"},
        corpus_case{"truncated.png", AS_PICTURE, 2, "the file ends before the picture does"},
        corpus_case{"truncated.jpg", AS_PICTURE, 2, "the file ends before the picture does"},
        corpus_case{"truncated.gif", AS_CONSTRAINTS, 2, "GIF file was missing some data"},
        corpus_case{"short_data.png", AS_CONSTRAINTS, 2, "Not enough image data"},
        // Refused before libpng allocates the 628 MB the chunk claims.
        corpus_case{"chunk_length_lie.png", AS_PICTURE, 2, "the file ends before the picture does"},
        corpus_case{"bad_crc.png", AS_PICTURE, 2, "IHDR: CRC error"},
        corpus_case{"zero_width.png", AS_PICTURE, 2, "Invalid IHDR data"},
        // Refused from the header, without decoding 30000 x 30000 pixels.
        corpus_case{"huge_header.png", AS_CONSTRAINTS, 2,
                    "are 30000 x 30000 pixels, but the picture is 24 x 24"},
        // 11 bytes of image data cannot inflate to 2.7 GB of pixels.
        corpus_case{"huge_header.png", AS_PICTURE, 2, "the file ends before the picture does"},
        // Refused for memory from its header, before 4000 x 4000 pixels are decoded.
        corpus_case{"large_1bit.png",
                    AS_PICTURE,
                    3,
                    "failure: not enough memory: the calculation needs ",
                    {"--max-memory", "200M"}},
        corpus_case{"jpeg_with_trailer.png", AS_PICTURE, 0, "done"},
        corpus_case{"progressive.jpg", AS_PICTURE, 0, "done"},
        corpus_case{"trimap_grey16.png", AS_CONSTRAINTS, 0, "done"},
        corpus_case{"trimap_opaque_alpha.png", AS_CONSTRAINTS, 0,
                    "has no transparent pixel, so every pixel is a constraint; if it is a "
                    "trimap, give --trimap"}),
    [](const ::testing::TestParamInfo<corpus_case> &info) {
      std::string name = info.param.file[0] ? info.param.file : "folder";
      for (char &ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name + (info.param.role == AS_PICTURE ? "_as_picture" : "_as_constraints");
    });

// AddressSanitizer reserves terabytes of address space: no limit fits it.
#ifndef VELORIN_SANITIZE

struct limited_run {
  int wait_status;
  std::string err;
};

// Runs the velorin-matte program under an address-space limit (ulimit -v),
// so that everything from loading its libraries to its exit happens under
// it. Only a run that hangs meets the generous watchdog: the scene takes a
// fraction of a second.
limited_run run_program_under_limit(const std::vector<std::string> &words, int megabytes) {
  std::string command = "ulimit -v " + std::to_string(megabytes << 10) +
                        " && exec timeout 60 '" VELORIN_BINARY_DIR "/velorin-matte'";
  for (const std::string &word : words) {
    g_autofree char *quoted = g_shell_quote(word.c_str());
    command += std::string(" ") + quoted;
  }
  command += " 2>&1 >/dev/null";
  FILE *pipe = popen(command.c_str(), "r");
  limited_run run = {0, ""};
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.err.append(buffer, n);
  run.wait_status = pclose(pipe);
  return run;
}

// Under any limit a run ends, with the matte or with one message and the
// old output kept: it neither spins for ever in the BLAS's allocation of
// its work buffer, nor waits at its exit for a BLAS thread that does, nor
// leaves with another status after an exhausted heap.
struct MemoryLimit : SceneFolder {};

TEST_F(MemoryLimit, EveryRunEndsWithTheMatteOrOneMessage) {
  const int limits_mb[] = {96, 224, 1024};
  int status = -1;
  for (int mb : limits_mb) {
    write_file(output, "previous result");
    const limited_run run = run_program_under_limit({"-q", picture, trimap, "-o", output}, mb);
    ASSERT_TRUE(WIFEXITED(run.wait_status))
        << mb << " MB: " << strsignal(WTERMSIG(run.wait_status)) << "\n"
        << run.err;
    status = WEXITSTATUS(run.wait_status);
    if (status == MATTE_EXIT_OK) {
      EXPECT_EQ(read_channel(output, 3).size(), size_t(scene::SIDE * scene::SIDE)) << mb;
    } else {
      EXPECT_TRUE(status == MATTE_EXIT_SOLVER || status == MATTE_EXIT_INPUT) << mb << " MB";
      EXPECT_EQ(run.err.rfind("velorin-matte: ", 0), 0u) << mb << " MB: " << run.err;
      EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << mb << " MB: " << run.err;
      EXPECT_EQ(read_file(output), "previous result") << mb;
    }
    EXPECT_EQ(folder.count(), 3) << mb;
  }
  EXPECT_EQ(status, MATTE_EXIT_OK);  // the largest limit leaves room for the run
}

#endif  // VELORIN_SANITIZE

}  // namespace
