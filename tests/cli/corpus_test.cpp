// The bad-input corpus (tests/cli/corpus, see its README): small crafted
// files that are cut off, lie in their headers or come in odd formats, read
// as the picture or as the constraints of the 24 x 24 test scene.
#include <gtest/gtest.h>

#include <string>

#include "cli_test_files.h"

namespace {

enum corpus_role { AS_PICTURE, AS_CONSTRAINTS };

struct corpus_case {
  const char *file;  // in the corpus folder; "" is the folder itself
  corpus_role role;
  int status;
  const char *message_part;  // of standard error
};

class Corpus : public SceneFolder, public ::testing::WithParamInterface<corpus_case> {};

TEST_P(Corpus, GivesItsExitStatusAndMessageAndKeepsTheOldOutputOnFailure) {
  const corpus_case &c = GetParam();
  write_file(output, "previous result");
  std::string file = std::string(VELORIN_SOURCE_DIR "/tests/cli/corpus/") + c.file;
  cli_result r = run_cli({c.role == AS_PICTURE ? file : picture,
                          c.role == AS_CONSTRAINTS ? file : trimap, "-o", output});
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

}  // namespace
