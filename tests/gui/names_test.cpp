// Names worked out without a display: saved files and the command line's picture.
#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/command_line.h"
#include "gui/save.h"

namespace {

TEST(StripFileExtension, CutsAtTheLastDotOfTheFileNameOnly) {
  const struct {
    const char *name, *stripped;
  } cases[] = {
      {"cutout.jpg", "cutout"},
      {"/tmp/archive.tar.gz", "/tmp/archive.tar"},
      {"matte", "matte"},
      {"/home/me/pictures.d/matte", "/home/me/pictures.d/matte"},
      {"", ""},
  };
  for (const auto &c : cases) {
    char *name = g_strdup(c.name);
    strip_file_extension(name);
    EXPECT_STREQ(name, c.stripped) << c.name;
    g_free(name);
  }
}

// Parses as main does, without GTK's options.
gboolean parse(std::vector<std::string> args, command_line *line, GError **error) {
  std::vector<char *> argv;
  for (std::string &arg : args) argv.push_back(&arg[0]);
  argv.push_back(NULL);
  int argc = static_cast<int>(args.size());
  char **p = argv.data();
  return parse_command_line(&argc, &p, FALSE, line, error);
}

TEST(CommandLine, TakesOnePictureAndRefusesMore) {
  command_line line;
  GError *error = NULL;
  ASSERT_TRUE(parse({"velorin", "--", "-dash.png"}, &line, &error));
  EXPECT_STREQ(line.picture, "-dash.png");
  g_free(line.picture);
  ASSERT_TRUE(parse({"velorin"}, &line, &error));
  EXPECT_EQ(line.picture, nullptr);

  EXPECT_FALSE(parse({"velorin", "a.png", "b.png"}, &line, &error));
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(line.picture, nullptr);
  g_error_free(error);
}

}  // namespace
