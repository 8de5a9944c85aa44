#include "cli/matte_cli.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <SuiteSparse_config.h>
#include <umfpack.h>

#include "calc/solver_status.h"
#include "cli_test_files.h"

namespace {

// A 24 x 24 picture: dark blue on the left, yellow on the right, blended
// over columns 8..15, with a little texture so that no window is flat.
const int SIDE = 24;

rgba picture_pixel(int x, int y) {
  double t = x < 8 ? 0.0 : x > 15 ? 1.0 : (x - 8) / 7.0;
  int noise = (x * 7 + y * 13) % 5;
  return {static_cast<guchar>(20 + 220 * t + noise), static_cast<guchar>(30 + 190 * t),
          static_cast<guchar>(140 - 120 * t + noise), 255};
}

// Trimap: background in columns 0..4, foreground in 19..23, unknown between.
int trimap_grey(int x, int) { return x <= 4 ? 0 : x >= 19 ? 255 : 128; }

rgba trimap_pixel(int x, int y) {
  guchar g = static_cast<guchar>(trimap_grey(x, y));
  return {g, g, g, 255};
}

// The same constraints as a stroke layer: opaque black and white strokes,
// transparent (unknown) elsewhere.
rgba layer_pixel(int x, int y) {
  int g = trimap_grey(x, y);
  if (g == 128) return {0, 0, 0, 0};
  return {static_cast<guchar>(g), static_cast<guchar>(g), static_cast<guchar>(g), 255};
}

// Constrained pixels land on their value (the solve's soft constraints may
// leave them a hair off, which truncation to 0..255 turns into one step).
void expect_pinned(int alpha, int x, int y) {
  if (trimap_grey(x, y) == 0) {
    EXPECT_LE(alpha, 1) << x << "," << y;
  } else if (trimap_grey(x, y) == 255) {
    EXPECT_GE(alpha, 254) << x << "," << y;
  }
}

struct cli_result {
  int status;
  std::string out, err;
};

struct MatteCli : ::testing::Test {
  TempFolder folder;
  std::string picture = folder.file("picture.png");
  std::string trimap = folder.file("trimap.png");
  std::string layer = folder.file("layer.png");
  std::string output = folder.file("out.png");

  void SetUp() override {
    write_and_release(make_pixbuf(SIDE, SIDE, false, picture_pixel), picture);
    write_and_release(make_pixbuf(SIDE, SIDE, false, trimap_pixel), trimap);
    write_and_release(make_pixbuf(SIDE, SIDE, true, layer_pixel), layer);
  }

  cli_result run(std::vector<std::string> words) {
    std::vector<char *> argv = {const_cast<char *>("velorin-matte")};
    for (std::string &w : words) argv.push_back(&w[0]);
    char *out_text = nullptr, *err_text = nullptr;
    size_t out_size = 0, err_size = 0;
    FILE *out = open_memstream(&out_text, &out_size);
    FILE *err = open_memstream(&err_text, &err_size);
    cli_result r;
    r.status = matte_cli_main(static_cast<int>(argv.size()), argv.data(), out, err);
    fclose(out);
    fclose(err);
    r.out.assign(out_text, out_size);
    r.err.assign(err_text, err_size);
    free(out_text);
    free(err_text);
    return r;
  }

  // Runs to an --alpha-only output and returns its grey bytes row by row.
  std::vector<int> alpha_of(std::vector<std::string> words) {
    words.insert(words.end(), {"--alpha-only", "--quiet", "-o", output});
    cli_result r = run(words);
    EXPECT_EQ(r.status, MATTE_EXIT_OK) << r.err;
    EXPECT_EQ(r.err, "");
    return read_grey(output);
  }

  static std::vector<int> read_grey(const std::string &path) {
    std::vector<int> values;
    GdkPixbuf *p = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
    if (!p) return values;
    for (int y = 0; y < gdk_pixbuf_get_height(p); y++)
      for (int x = 0; x < gdk_pixbuf_get_width(p); x++) values.push_back(sample(p, x, y, 0));
    g_object_unref(p);
    return values;
  }
};

TEST_F(MatteCli, HelpAndVersionGoToStandardOutput) {
  cli_result help = run({"--help"});
  EXPECT_EQ(help.status, MATTE_EXIT_OK);
  EXPECT_NE(help.out.find("Usage: velorin-matte"), std::string::npos);
  EXPECT_EQ(help.err, "");
  cli_result version = run({"--version"});
  EXPECT_EQ(version.status, MATTE_EXIT_OK);
  EXPECT_EQ(version.out, "velorin-matte 0.10.4\n");
}

TEST_F(MatteCli, TrimapGivesAMatteWithStandardOutputClean) {
  cli_result r = run({picture, trimap, "-o", output});
  ASSERT_EQ(r.status, MATTE_EXIT_OK) << r.err;
  EXPECT_EQ(r.out, "");  // no level lines, no BEL
  EXPECT_NE(r.err.find("velorin-matte: done: " + output), std::string::npos) << r.err;
  GdkPixbuf *result = gdk_pixbuf_new_from_file(output.c_str(), nullptr);
  ASSERT_NE(result, nullptr);
  ASSERT_TRUE(gdk_pixbuf_get_has_alpha(result));
  for (int y = 0; y < SIDE; y++)
    for (int x = 0; x < SIDE; x++) {
      rgba p = picture_pixel(x, y);
      EXPECT_EQ(sample(result, x, y, 0), p.r);
      EXPECT_EQ(sample(result, x, y, 2), p.b);
      expect_pinned(sample(result, x, y, 3), x, y);
    }
  // Across the blend the matte rises from background to foreground.
  EXPECT_LT(sample(result, 7, 12, 3), sample(result, 16, 12, 3));
  g_object_unref(result);
}

TEST_F(MatteCli, QuietPrintsNothingAndAlphaOnlyMatchesTheRgbaAlpha) {
  cli_result r = run({picture, trimap, "-o", output, "--quiet"});
  ASSERT_EQ(r.status, MATTE_EXIT_OK) << r.err;
  EXPECT_EQ(r.err, "");
  GdkPixbuf *rgba_result = gdk_pixbuf_new_from_file(output.c_str(), nullptr);
  ASSERT_NE(rgba_result, nullptr);
  std::vector<int> grey = alpha_of({picture, trimap});
  ASSERT_EQ(grey.size(), static_cast<size_t>(SIDE * SIDE));
  for (int y = 0; y < SIDE; y++)
    for (int x = 0; x < SIDE; x++) EXPECT_EQ(grey[y * SIDE + x], sample(rgba_result, x, y, 3));
  g_object_unref(rgba_result);
}

TEST_F(MatteCli, TrimapAndEquivalentStrokeLayerGiveTheSameMatte) {
  std::vector<int> from_trimap = alpha_of({picture, trimap});
  std::vector<int> from_layer = alpha_of({picture, layer});
  EXPECT_EQ(from_trimap, from_layer);
  // An opaque trimap read as a layer would pin its grey 128 band; --trimap
  // reads it as a trimap again.
  std::string opaque_trimap = folder.file("opaque_trimap.png");
  write_and_release(make_pixbuf(SIDE, SIDE, true, trimap_pixel), opaque_trimap);
  EXPECT_EQ(alpha_of({picture, opaque_trimap, "--trimap"}), from_trimap);
  EXPECT_NE(alpha_of({picture, opaque_trimap}), from_trimap);
}

TEST_F(MatteCli, ALayerColourPinsAlphaToItsGreyLevel) {
  // A (0, 0, 255) stroke down column 12 stands for alpha 127 / 255.
  write_and_release(make_pixbuf(SIDE, SIDE, true,
                                [](int x, int y) -> rgba {
                                  return x == 12 ? rgba{0, 0, 255, 255} : layer_pixel(x, y);
                                }),
                    layer);
  std::vector<int> alpha = alpha_of({picture, layer});
  ASSERT_EQ(alpha.size(), static_cast<size_t>(SIDE * SIDE));
  for (int y = 0; y < SIDE; y++) EXPECT_NEAR(alpha[y * SIDE + 12], 127, 1) << y;
}

TEST_F(MatteCli, RegionIsClippedAndTransparentOutside) {
  // (-5, 2, 30, 18) on 24 x 24 is calculated as (0, 2, 24, 18).
  std::vector<int> alpha = alpha_of({picture, trimap, "--region", "-5,2,30,18"});
  ASSERT_EQ(alpha.size(), static_cast<size_t>(SIDE * SIDE));
  for (int y = 0; y < SIDE; y++)
    for (int x = 0; x < SIDE; x++) {
      int a = alpha[y * SIDE + x];
      if (y >= 2 && y < 20) {
        expect_pinned(a, x, y);
      } else {
        EXPECT_EQ(a, 0) << x << "," << y;
      }
    }
}

TEST_F(MatteCli, CoarseToFineRunsAndLowersLevelsTheRegionCannotHold) {
  // 24 / 10 allows 2 levels for the picture; 7 rows down-sample to 2, less
  // than one 3 x 3 window, so the region holds only 1.
  cli_result r = run({picture, trimap, "--levels", "2", "--active", "1", "--region",
                      "0,8,24,7", "-o", output});
  ASSERT_EQ(r.status, MATTE_EXIT_OK) << r.err;
  EXPECT_NE(r.err.find("--levels lowered from 2 to 1"), std::string::npos) << r.err;
  cli_result full = run({picture, trimap, "--levels", "2", "-o", output});
  ASSERT_EQ(full.status, MATTE_EXIT_OK) << full.err;
  EXPECT_NE(full.err.find("level 2 of 2"), std::string::npos) << full.err;
  EXPECT_EQ(full.out, "");
}

// One failing run: what to change in the good inputs, and the message part.
struct failure_case {
  const char *label;
  std::vector<std::string> words;  // $P picture, $T trimap, $L layer, $D folder
  const char *message_part;
};

void PrintTo(const failure_case &c, std::ostream *os) { *os << c.label; }

class MatteCliRefuses : public MatteCli, public ::testing::WithParamInterface<failure_case> {};

TEST_P(MatteCliRefuses, WithExitStatusTwoOneMessageAndNoOutput) {
  // Bad inputs the cases refer to.
  ASSERT_TRUE(g_file_set_contents(folder.file("garbage.png").c_str(), "no PNG", -1, nullptr));
  write_and_release(make_pixbuf(10, 10, false, trimap_pixel), folder.file("small.png"));
  write_and_release(make_pixbuf(SIDE, SIDE, false,
                                [](int x, int y) -> rgba {
                                  return trimap_grey(x, y) == 0 ? rgba{128, 128, 128, 255}
                                                                : trimap_pixel(x, y);
                                }),
                    folder.file("no_background.png"));
  write_and_release(make_pixbuf(SIDE, SIDE, false,
                                [](int x, int y) -> rgba {
                                  return trimap_grey(x, y) == 255 ? rgba{128, 128, 128, 255}
                                                                  : trimap_pixel(x, y);
                                }),
                    folder.file("no_foreground.png"));
  std::vector<std::string> words;
  for (std::string w : GetParam().words) {
    if (w == "$P") w = picture;
    if (w == "$T") w = trimap;
    if (w == "$L") w = layer;
    if (w.rfind("$D/", 0) == 0) w = folder.file(w.substr(3));
    words.push_back(w);
  }
  if (std::string(GetParam().label) != "no_output_option")
    words.insert(words.end(), {"-o", output});
  cli_result r = run(words);
  EXPECT_EQ(r.status, MATTE_EXIT_INPUT);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(GetParam().message_part), std::string::npos) << r.err;
  EXPECT_FALSE(g_file_test(output.c_str(), G_FILE_TEST_EXISTS));
  EXPECT_EQ(folder.count(), 7);  // the inputs only: no temporary left over
}

INSTANTIATE_TEST_SUITE_P(
    BadInputs, MatteCliRefuses,
    ::testing::Values(
        failure_case{"missing_picture", {"$D/none.png", "$T"}, "cannot read picture '"},
        failure_case{"unreadable_picture", {"$D/garbage.png", "$T"}, "garbage.png'"},
        failure_case{"missing_constraints", {"$P", "$D/none.png"}, "cannot read constraints '"},
        failure_case{"size_mismatch", {"$P", "$D/small.png"},
                     "small.png' are 10 x 10 pixels, but the picture is 24 x 24"},
        failure_case{"no_background", {"$P", "$D/no_background.png"},
                     "no_background.png' has no background pixel"},
        failure_case{"no_foreground", {"$P", "$D/no_foreground.png"},
                     "no_foreground.png' has no foreground pixel"},
        failure_case{"rgb_forced_as_layer", {"$P", "$T", "--layer"},
                     "has no background or foreground pixel"},
        failure_case{"bad_option_value", {"$P", "$T", "--threshold", "0.9"},
                     "--threshold: 0.9 is outside 0..0.5"},
        failure_case{"no_output_option", {"$P", "$T"}, "give -o OUTPUT.png"},
        failure_case{"levels_beyond_picture", {"$P", "$T", "--levels", "3"},
                     "--levels 3 exceeds 2, the most a 24 x 24 picture allows"},
        failure_case{"region_outside", {"$P", "$T", "--region", "30,0,5,5"},
                     "--region 30,0,5,5 has no pixel inside the 24 x 24 picture"},
        failure_case{"region_too_small", {"$P", "$T", "--region", "0,0,24,4", "--win-size", "2"},
                     "(24 x 4) is too small for --win-size 2: it needs at least 5 x 5"},
        failure_case{"region_without_foreground", {"$P", "$T", "--region", "0,0,10,24"},
                     "has no foreground pixel inside the calculation region"}),
    [](const ::testing::TestParamInfo<failure_case> &info) { return info.param.label; });

TEST_F(MatteCli, MissingOutputFolderIsReportedAndLeavesNothing) {
  std::string nowhere = folder.file("missing/out.png");
  cli_result r = run({picture, trimap, "-o", nowhere});
  EXPECT_EQ(r.status, MATTE_EXIT_INPUT);
  EXPECT_NE(r.err.find("cannot write '" + nowhere + "': No such file or directory"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(folder.count(), 3);
}

TEST_F(MatteCli, FailedRunKeepsTheOldOutput) {
  ASSERT_TRUE(g_file_set_contents(output.c_str(), "previous result", -1, nullptr));
  cli_result r = run({picture, folder.file("none.png"), "-o", output});
  EXPECT_EQ(r.status, MATTE_EXIT_INPUT);
  EXPECT_EQ(read_file(output), "previous result");
  EXPECT_EQ(folder.count(), 4);
}

// UMFPACK allocates through SuiteSparse's configurable allocator; refusing
// every request there makes the factorisation fail the way a picture too
// large for memory does, while the rest of the run is unaffected.
void *refuse_malloc(size_t) { return nullptr; }
void *refuse_calloc(size_t, size_t) { return nullptr; }
void *refuse_realloc(void *, size_t) { return nullptr; }

TEST_F(MatteCli, SolverFailureExitsThreeWithTheErrorDialogTextAndWritesNothing) {
  ASSERT_TRUE(g_file_set_contents(output.c_str(), "previous result", -1, nullptr));
  SuiteSparse_config_struct saved = SuiteSparse_config;
  SuiteSparse_config.malloc_func = refuse_malloc;
  SuiteSparse_config.calloc_func = refuse_calloc;
  SuiteSparse_config.realloc_func = refuse_realloc;
  cli_result r = run({picture, trimap, "-o", output, "--quiet"});
  SuiteSparse_config = saved;
  EXPECT_EQ(r.status, MATTE_EXIT_SOLVER);
  // Without a numeric factorisation the solve step reports an invalid
  // numeric object: the long advice of the window's "Error" dialog.
  EXPECT_EQ(r.err, std::string("velorin-matte: ") +
                       umfpack_status_message(UMFPACK_ERROR_invalid_Numeric_object) + "\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(read_file(output), "previous result");
  EXPECT_EQ(folder.count(), 4);
}

}  // namespace
