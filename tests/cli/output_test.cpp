// Where velorin-matte's result goes: never into a device or one of
// its own inputs; through a symbolic link to its target with the target's
// permissions; to standard output for "-"; and under any name the folder
// takes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "cli_test_files.h"

namespace {

struct OutputTest : SceneFolder {
  cli_result run_to(const std::string &path) {
    return run_cli({picture, trimap, "--alpha-only", "-o", path});
  }
};

struct refusal_case {
  const char *label;
  // Makes the output path (in the test's folder) into what the case needs;
  // returns false when the machine does not allow it.
  std::function<bool(const OutputTest &)> make;
  const char *message_part;
};

class OutputRefused : public OutputTest, public ::testing::WithParamInterface<refusal_case> {};

TEST_P(OutputRefused, WithExitStatusTwoAndNothingChanged) {
  if (!GetParam().make(*this)) GTEST_SKIP() << "cannot make " << GetParam().label;
  struct stat before, after;
  ASSERT_EQ(lstat(output.c_str(), &before), 0);
  const std::string picture_bytes = read_file(picture), trimap_bytes = read_file(trimap);
  cli_result r = run_to(output);
  EXPECT_EQ(r.status, MATTE_EXIT_INPUT);
  EXPECT_NE(r.err.find("cannot write '" + output + "': " + GetParam().message_part),
            std::string::npos)
      << r.err;
  ASSERT_EQ(lstat(output.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_rdev, before.st_rdev);
  EXPECT_EQ(read_file(picture), picture_bytes);
  EXPECT_EQ(read_file(trimap), trimap_bytes);
  EXPECT_EQ(folder.count(), 3);  // no temporary file left behind
}

INSTANTIATE_TEST_SUITE_P(
    Targets, OutputRefused,
    ::testing::Values(
        // A copy of /dev/null: replacing it would replace the system's.
        refusal_case{"character_device",
                     [](const OutputTest &t) {
                       return mknod(t.output.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
                     },
                     "it is a character device, not a regular file"},
        refusal_case{
            "link_to_picture",
            [](const OutputTest &t) { return symlink("picture.png", t.output.c_str()) == 0; },
            "it is the input '"},
        refusal_case{
            "hard_link_to_trimap",
            [](const OutputTest &t) { return link(t.trimap.c_str(), t.output.c_str()) == 0; },
            "it is the input '"}),
    [](const ::testing::TestParamInfo<refusal_case> &info) { return info.param.label; });

TEST_F(OutputTest, LinkIsWrittenThroughAndTheTargetKeepsItsPermissions) {
  const std::string target = folder.file("target.png");
  write_file(target, "previous result");
  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  ASSERT_EQ(symlink("target.png", output.c_str()), 0);
  cli_result r = run_to(output);
  ASSERT_EQ(r.status, MATTE_EXIT_OK) << r.err;
  struct stat link_stat, target_stat;
  ASSERT_EQ(lstat(output.c_str(), &link_stat), 0);
  ASSERT_EQ(stat(target.c_str(), &target_stat), 0);
  EXPECT_TRUE(S_ISLNK(link_stat.st_mode));
  EXPECT_EQ(target_stat.st_mode & 07777, 0640u);
  EXPECT_EQ(read_channel(target, 0).size(), size_t(scene::SIDE * scene::SIDE));
  EXPECT_EQ(folder.count(), 4);
}

TEST_F(OutputTest, DashWritesThePngToStandardOutputAndProgressToStandardError) {
  cli_result to_file = run_to(output), to_stdout = run_to("-");
  ASSERT_EQ(to_stdout.status, MATTE_EXIT_OK) << to_stdout.err;
  EXPECT_EQ(to_stdout.out, read_file(output));
  EXPECT_NE(to_stdout.err.find("velorin-matte: done: standard output"), std::string::npos)
      << to_stdout.err;
  EXPECT_FALSE(fs::exists("-"));
}

// The temporary name must fit where the output's own name fits.
TEST_F(OutputTest, NameOfTheLongestLengthWorks) {
  const std::string longest = folder.file(std::string(251, 'a') + ".png");
  cli_result r = run_to(longest);
  ASSERT_EQ(r.status, MATTE_EXIT_OK) << r.err;
  EXPECT_EQ(read_channel(longest, 0).size(), size_t(scene::SIDE * scene::SIDE));
  EXPECT_EQ(folder.count(), 3);
}

}  // namespace
