#include "cli/matte_cli.h"

#include <SuiteSparse_config.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli_test_files.h"

namespace {

using scene::picture_pixel;
using scene::SIDE;
using scene::trimap_grey;
using scene::trimap_pixel;

// The scene with the same constraints as a stroke layer as well:
// transparent (unknown) in the band.
struct MatteCli : SceneFolder {
  std::string layer = folder.file("layer.png");

  void SetUp() override {
    SceneFolder::SetUp();
    write_png(layer, SIDE, SIDE, true, [](int x, int) {
      return trimap_grey(x) == 128 ? rgba{0, 0, 0, 0} : trimap_pixel(x, 0);
    });
  }

  // Runs quietly to an --alpha-only output and returns its grey levels.
  std::vector<int> alpha_of(std::vector<std::string> words) {
    words.insert(words.end(), {"--alpha-only", "--quiet", "-o", output});
    cli_result r = run_cli(words);
    EXPECT_EQ(r.status, MATTE_EXIT_OK) << r.err;
    EXPECT_EQ(r.err, "");
    return read_channel(output, 0);
  }
};

// --help's status and standard output are checked with the manual page.
TEST(MatteCliInfo, VersionSucceedsOnStandardOutput) {
  const cli_result r = run_cli({"--version"});
  EXPECT_EQ(r.status, MATTE_EXIT_OK);
  EXPECT_NE(r.out, "");
  EXPECT_EQ(r.err, "");
}

// (3, 2, 30, 18) on 24 x 24 is calculated as (3, 2, 21, 18); outside it the
// result is transparent. The colours are the picture's.
TEST_F(MatteCli, RegionGivesAnRgbaMatteAndTheSameAlphaAsGrey) {
  cli_result r = run_cli({picture, trimap, "--region", "3,2,30,18", "-o", output});
  ASSERT_EQ(r.status, MATTE_EXIT_OK) << r.err;
  EXPECT_EQ(r.out, "");  // no level lines, no BEL
  EXPECT_NE(r.err.find("velorin-matte: done: " + output), std::string::npos) << r.err;
  const std::vector<int> red = read_channel(output, 0), blue = read_channel(output, 2),
                         rgba_alpha = read_channel(output, 3);
  const std::vector<int> alpha = alpha_of({picture, trimap, "--region", "3,2,30,18"});
  EXPECT_EQ(rgba_alpha, alpha);
  // The PNG header's bit depth and colour type: 8 bits, grey (0).
  EXPECT_EQ(read_file(output).substr(24, 2), std::string("\x08\x00", 2));
  EXPECT_EQ(folder.count(), 4);  // no temporary file left behind
  ASSERT_EQ(alpha.size(), size_t(SIDE * SIDE));
  for (int y = 0, i = 0; y < SIDE; y++)
    for (int x = 0; x < SIDE; x++, i++) {
      EXPECT_EQ(red[i], picture_pixel(x, y).r);
      EXPECT_EQ(blue[i], picture_pixel(x, y).b);
      EXPECT_TRUE(alpha[i] == 0 || (x >= 3 && y >= 2 && y < 20)) << x << "," << y;
    }
}

TEST_F(MatteCli, TrimapAndEquivalentStrokeLayerGiveTheSameMatte) {
  std::vector<int> from_trimap = alpha_of({picture, trimap});
  EXPECT_EQ(alpha_of({picture, layer}), from_trimap);
  // An opaque trimap read as a layer would pin its grey 128 band; --trimap
  // reads it as a trimap again.
  std::string opaque_trimap = folder.file("opaque_trimap.png");
  write_png(opaque_trimap, SIDE, SIDE, true, trimap_pixel);
  EXPECT_EQ(alpha_of({picture, opaque_trimap, "--trimap"}), from_trimap);
  EXPECT_NE(alpha_of({picture, opaque_trimap}), from_trimap);
}

TEST_F(MatteCli, NotesNameTheRealReason) {
  // Foreground strokes darker than mid grey vanish when down-sampled.
  std::string dark_layer = folder.file("dark.png");
  write_png(dark_layer, SIDE, SIDE, true, [](int x, int) {
    return x <= 4 ? grey(0) : x >= 19 ? grey(100) : rgba{0, 0, 0, 0};
  });
  const struct {
    std::vector<std::string> words;
    const char *note;
  } cases[] = {// 24 / 10 allows 2 levels for the picture; 7 rows down-sample to 2,
               // less than one 3 x 3 window, so the region holds only 1.
               {{picture, trimap, "--region", "0,8,24,7"},
                "--levels lowered from 2 to 1: the calculation region is too small"},
               {{picture, dark_layer},
                "--levels lowered from 2 to 1: a coarser level would keep no background or "
                "no foreground constraint"}};
  for (const auto &c : cases) {
    std::vector<std::string> words = c.words;
    words.insert(words.end(), {"--levels", "2", "-o", output});
    cli_result r = run_cli(words);
    ASSERT_EQ(r.status, MATTE_EXIT_OK) << r.err;
    EXPECT_NE(r.err.find(std::string("velorin-matte: note: ") + c.note), std::string::npos)
        << r.err;
  }
}

// --levels auto runs the pyramid suggested for the input (100 -> 48: two
// levels, the coarsest above its floor) and notes what it chose; a given
// --active above the suggested levels is lowered to them.
TEST_F(MatteCli, LevelsAutoRunsTheSuggestedPyramidAndSaysWhatItChose) {
  const int side = 100;
  auto scaled = [](int v) { return v * SIDE / side; };
  write_png(picture, side, side, false,
            [&](int x, int y) { return picture_pixel(scaled(x), scaled(y)); });
  write_png(trimap, side, side, false, [&](int x, int) { return trimap_pixel(scaled(x), 0); });
  const struct {
    std::vector<std::string> words;
    const char *note;
  } runs[] = {{{"--levels", "auto"}, "auto chose 2 levels, 2 solved\n"},
              {{"--levels", "auto", "--active", "5"},
               "auto chose 2 levels, 2 solved (--active 5 lowered to 2)\n"}};
  const std::vector<int> fixed = alpha_of({picture, trimap, "--levels", "2", "--active", "2"});
  for (const auto &run : runs) {
    SCOPED_TRACE(run.note);
    std::vector<std::string> words = {picture, trimap, "--alpha-only", "-o", output};
    words.insert(words.end(), run.words.begin(), run.words.end());
    cli_result r = run_cli(words);
    ASSERT_EQ(r.status, MATTE_EXIT_OK) << r.err;
    EXPECT_NE(r.err.find("velorin-matte: note: --levels " + std::string(run.note)),
              std::string::npos)
        << r.err;
    EXPECT_EQ(read_channel(output, 0), fixed);
  }
  EXPECT_NE(fixed, alpha_of({picture, trimap}));  // the default levels differ
}

// Refused runs: their words ("-o" and the output are added unless given)
// and a part of the message. Each exits 2 with nothing on standard output,
// the old output kept.
TEST_F(MatteCli, BadInputsExitTwoWithAMessageAndKeepTheOldOutput) {
  const std::string small = folder.file("small.png"), no_bg = folder.file("no_bg.png");
  write_png(small, 10, 10, false, trimap_pixel);
  write_png(no_bg, SIDE, SIDE, false,
            [](int x, int) { return grey(std::max(128, trimap_grey(x))); });
  write_file(output, "previous result");
  const struct {
    std::vector<std::string> words;
    const char *message_part;
  } cases[] = {{{folder.file("none.png"), trimap}, "cannot read picture '"},
               {{picture, small}, "small.png' are 10 x 10 pixels, but the picture is 24 x 24"},
               {{picture, no_bg}, "no_bg.png' has no background"},
               {{picture, trimap, "--threshold", "0.9"}, "--threshold: 0.9 is outside 0..0.5"},
               {{picture, trimap, "-o", folder.file("missing/out.png")},
                "missing/out.png': No such file or directory"},
               {{picture, trimap, "--levels", "3"},
                "--levels 3 exceeds 2, the most a 24 x 24 picture allows"},
               {{picture, trimap, "--region", "30,0,5,5"},
                "--region 30,0,5,5 has no pixel inside the 24 x 24 picture"},
               {{picture, trimap, "--region", "0,0,24,4", "--win-size", "2"},
                "(24 x 4) is too small for --win-size 2: it needs at least 5 x 5"},
               {{picture, trimap, "--region", "0,0,10,24"},
                "has no foreground pixel inside the calculation region"}};
  for (const auto &c : cases) {
    std::vector<std::string> words = c.words;
    if (std::find(words.begin(), words.end(), "-o") == words.end())
      words.insert(words.end(), {"-o", output});
    const cli_result r = run_cli(words);
    EXPECT_EQ(r.status, MATTE_EXIT_INPUT) << c.message_part;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message_part), std::string::npos) << r.err;
    EXPECT_EQ(read_file(output), "previous result");
    EXPECT_EQ(folder.count(), 6);  // the files above: no temporary left over
  }
}

// The solvers allocate through SuiteSparse's configurable allocator;
// refusing every request there makes the factorisation fail the way a
// picture too large for memory does, while the rest of the run is
// unaffected.
void *refuse_malloc(size_t) { return nullptr; }
void *refuse_calloc(size_t, size_t) { return nullptr; }
void *refuse_realloc(void *, size_t) { return nullptr; }

// Exit 3 with one message that names the failing step's status (not the
// solve step's invalid numeric object) and gives command-line advice; the
// old output is kept.
TEST_F(MatteCli, SolverFailuresExitThreeWithCommandLineAdviceAndWriteNothing) {
  const struct {
    std::vector<std::string> options;
    bool refuse_allocations;
    const char *message_start;
  } cases[] = {
      {{}, true, "failure: out_of_memory; try "},
      {{"--solver", "lu"}, true, "failure: out_of_memory; try "},
      {{"--max-memory", "1M"}, false, "failure: not enough memory: the calculation needs "}};
  write_file(output, "previous result");
  for (const auto &c : cases) {
    std::vector<std::string> words = {picture, trimap, "-o", output, "--quiet"};
    words.insert(words.end(), c.options.begin(), c.options.end());
    const SuiteSparse_config_struct saved = SuiteSparse_config;
    if (c.refuse_allocations) {
      SuiteSparse_config.malloc_func = refuse_malloc;
      SuiteSparse_config.calloc_func = refuse_calloc;
      SuiteSparse_config.realloc_func = refuse_realloc;
    }
    const cli_result r = run_cli(words);
    SuiteSparse_config = saved;
    EXPECT_EQ(r.status, MATTE_EXIT_SOLVER) << c.message_start;
    EXPECT_EQ(r.err.rfind(std::string("velorin-matte: ") + c.message_start, 0), 0u) << r.err;
    EXPECT_NE(r.err.find("--region"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("menu"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(read_file(output), "previous result");
    EXPECT_EQ(folder.count(), 4);
  }
}

}  // namespace
