// velorin FILE: the command line main parses, and the picture it then opens
// from the main loop once the window is up.
#include <cstring>
#include <string>
#include <vector>

#include "gui/command_line.h"
#include "gui/globals.h"
#include "tests/gui/gui_test_support.h"
#include "tests/gui/paint_fixture.h"

namespace {

// Parses like main, without GTK's options (the display is already open).
gboolean parse(std::vector<std::string> args, command_line *line, GError **error) {
  std::vector<char *> argv;
  for (std::string &arg : args) argv.push_back(&arg[0]);
  argv.push_back(NULL);
  int argc = static_cast<int>(args.size());
  char **p = argv.data();
  return parse_command_line(&argc, &p, FALSE, line, error);
}

class CommandLinePicture : public PaintTest {};

// Whatever was open before (a trimap from the picture's alpha, strokes),
// the named picture replaces it as the Open dialog's "Default open" does,
// even when it has an alpha channel of its own.
TEST_F(CommandLinePicture, IsOpenedFromTheMainLoopAsDefaultOpen) {
  open_picture(30, 20, patterned, true, OPEN_ALPHA_AS_INPUT);
  stroke({{5, 5}, {12, 8}});
  ASSERT_NE(initialisinglayer, nullptr);
  ASSERT_NE(history, nullptr);
  const std::string path = write_picture("next picture.png", 40, 25, true, patterned);

  command_line line;
  GError *error = NULL;
  ASSERT_TRUE(parse({"velorin", path}, &line, &error));
  ASSERT_STREQ(line.picture, path.c_str());
  g_idle_add(cb_open_command_line_picture, line.picture);  // frees it
  flush_events();

  EXPECT_EQ(gdk_pixbuf_get_width(pixbuf_no_alpha), 40);
  EXPECT_EQ(gdk_pixbuf_get_height(pixbuf_no_alpha), 25);
  EXPECT_EQ(initialisinglayer, nullptr);
  EXPECT_EQ(history, nullptr);
  EXPECT_EQ(layer_pixel(3, 3), kClear);
}

TEST_F(CommandLinePicture, ThatDoesNotLoadShowsTheOpenErrorAndKeepsTheWindow) {
  open_grey_picture(30, 20);
  GdkPixbuf *picture = pixbuf_no_alpha;
  const std::string broken = dir + "/broken.png";
  ASSERT_TRUE(g_file_set_contents(broken.c_str(), "not a picture", -1, NULL));
  std::string message;
  answer_dialog_when_shown("Error", GTK_RESPONSE_NONE, read_dialog_message, &message);
  EXPECT_EQ(open_command_line_picture(broken.c_str()), -1);
  EXPECT_EQ(message.rfind("File open error: ", 0), 0u) << message;
  EXPECT_GT(message.size(), strlen("File open error: "));
  EXPECT_EQ(pixbuf_no_alpha, picture);
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
