#include "cli/io.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include "cli_test_files.h"

namespace {

rgba grey_ramp(int x, int y) {
  guchar v = static_cast<guchar>(10 * x + y);
  return {v, static_cast<guchar>(255 - v), 7, 200};
}

struct IoTest : ::testing::Test {
  TempFolder folder;
  char error[512] = "";
};

TEST_F(IoTest, PictureErrorsNameTheFileAndTheProblem) {
  std::string missing = folder.file("missing.png");
  EXPECT_EQ(io_read_picture(missing.c_str(), error, sizeof error), nullptr);
  EXPECT_NE(std::string(error).find("cannot read picture '" + missing + "'"), std::string::npos)
      << error;

  std::string garbage = folder.file("garbage.png");
  ASSERT_TRUE(g_file_set_contents(garbage.c_str(), "not a picture", -1, nullptr));
  EXPECT_EQ(io_read_picture(garbage.c_str(), error, sizeof error), nullptr);
  EXPECT_NE(std::string(error).find("'" + garbage + "'"), std::string::npos) << error;
}

TEST_F(IoTest, ConstraintsOfAnotherSizeAreRefused) {
  std::string path = folder.file("tri.png");
  write_and_release(make_pixbuf(6, 4, false, grey_ramp), path);
  EXPECT_EQ(io_read_constraints(path.c_str(), 6, 5, error, sizeof error), nullptr);
  EXPECT_NE(std::string(error).find("are 6 x 4 pixels, but the picture is 6 x 5"),
            std::string::npos)
      << error;
}

TEST_F(IoTest, UnwritableOutputsFailBeforeAnyWork) {
  struct {
    std::string path;
    const char *reason;
  } cases[] = {{folder.file("no/such/folder/out.png"), "No such file or directory"},
               {folder.file(""), "Is a directory"}};
  for (const auto &c : cases) {
    io_output out;
    EXPECT_FALSE(io_output_begin(&out, c.path.c_str(), error, sizeof error));
    EXPECT_EQ(std::string(error), "cannot write '" + c.path + "': " + c.reason);
  }
  EXPECT_EQ(folder.count(), 0);
}

// A 2 x 2 alpha placed at (1, 1) on a 4 x 3 picture.
struct PlacedAlpha : IoTest {
  unsigned char rows[2][2] = {{10, 20}, {30, 40}};
  unsigned char *plane[2] = {rows[0], rows[1]};
  placed_alpha alpha = {plane, 1, 1, 2, 2};

  int expected_alpha(int x, int y) const {
    bool inside = x >= 1 && x <= 2 && y >= 1 && y <= 2;
    return inside ? rows[y - 1][x - 1] : 0;
  }
};

TEST_F(PlacedAlpha, RgbaKeepsThePictureColoursAndPlacesTheAlpha) {
  GdkPixbuf *picture = make_pixbuf(4, 3, false, grey_ramp);
  std::string path = folder.file("out.png");
  io_output out;
  ASSERT_TRUE(io_output_begin(&out, path.c_str(), error, sizeof error)) << error;
  ASSERT_TRUE(io_write_rgba(&out, picture, &alpha, error, sizeof error)) << error;
  ASSERT_TRUE(io_output_commit(&out, error, sizeof error)) << error;
  GdkPixbuf *written = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  ASSERT_NE(written, nullptr);
  ASSERT_TRUE(gdk_pixbuf_get_has_alpha(written));
  for (int y = 0; y < 3; y++)
    for (int x = 0; x < 4; x++) {
      for (int c = 0; c < 3; c++) EXPECT_EQ(sample(written, x, y, c), sample(picture, x, y, c));
      EXPECT_EQ(sample(written, x, y, 3), expected_alpha(x, y)) << x << "," << y;
    }
  EXPECT_EQ(folder.count(), 1);  // no temporary file left behind
  g_object_unref(written);
  g_object_unref(picture);
}

TEST_F(PlacedAlpha, AlphaOnlyIsAGreyPngOfThePictureSize) {
  std::string path = folder.file("alpha.png");
  io_output out;
  ASSERT_TRUE(io_output_begin(&out, path.c_str(), error, sizeof error)) << error;
  ASSERT_TRUE(io_write_alpha(&out, 4, 3, &alpha, error, sizeof error)) << error;
  ASSERT_TRUE(io_output_commit(&out, error, sizeof error)) << error;
  // PNG colour type byte of the header chunk: 0 = grey, bit depth 8 before it.
  std::string bytes = read_file(path);
  ASSERT_GT(bytes.size(), 26u);
  EXPECT_EQ(bytes[24], 8);
  EXPECT_EQ(bytes[25], 0);
  GdkPixbuf *written = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(written), 4);
  EXPECT_EQ(gdk_pixbuf_get_height(written), 3);
  for (int y = 0; y < 3; y++)
    for (int x = 0; x < 4; x++) EXPECT_EQ(sample(written, x, y, 0), expected_alpha(x, y));
  g_object_unref(written);
}

TEST_F(IoTest, AbandonedOutputLeavesTheOldFileAndNoTemporary) {
  std::string path = folder.file("out.png");
  ASSERT_TRUE(g_file_set_contents(path.c_str(), "old result", -1, nullptr));
  io_output out;
  ASSERT_TRUE(io_output_begin(&out, path.c_str(), error, sizeof error)) << error;
  EXPECT_EQ(folder.count(), 2);
  fputs("half a PNG", out.file);
  io_output_abandon(&out);
  EXPECT_EQ(read_file(path), "old result");
  EXPECT_EQ(folder.count(), 1);
}

TEST_F(IoTest, ProcessEndedMidWriteLeavesNoTemporary) {
  std::string path = folder.file("out.png");
  // As when the engine ends the process on an exhausted heap, or the user
  // interrupts a long solve.
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
