// velorin FILE: the picture named on the command line, opened from the main
// loop once the window is up.
#include <cstring>
#include <string>

#include "gui/command_line.h"
#include "gui/globals.h"
#include "tests/gui/gui_test_support.h"

namespace {

class CommandLinePicture : public WindowTest {};

// Whatever was open before (a trimap from the picture's alpha, strokes),
// the named picture replaces it as the Open dialog's "Default open" does,
// even when it has an alpha channel of its own.
TEST_F(CommandLinePicture, IsOpenedFromTheMainLoopAsDefaultOpen) {
  open_picture(30, 20, patterned, true, OPEN_ALPHA_AS_INPUT);
  stroke({{5, 5}, {12, 8}});
  ASSERT_NE(initialisinglayer, nullptr);
  ASSERT_NE(history, nullptr);
  const std::string path = write_picture("next picture.png", 40, 25, true, patterned);
  g_idle_add(cb_open_command_line_picture, g_strdup(path.c_str()));  // frees it
  flush_events();
  EXPECT_EQ(gdk_pixbuf_get_width(pixbuf_no_alpha), 40);
  EXPECT_EQ(gdk_pixbuf_get_height(pixbuf_no_alpha), 25);
  EXPECT_EQ(initialisinglayer, nullptr);
  EXPECT_EQ(history, nullptr);
  EXPECT_EQ(layer_pixel(3, 3), kClear);
}

TEST_F(CommandLinePicture, ThatDoesNotLoadShowsTheOpenErrorAndKeepsTheWindow) {
  open_picture(30, 20, plain_grey);
  GdkPixbuf *picture = pixbuf_no_alpha;
  const std::string broken = dir + "/broken.png";
  ASSERT_TRUE(g_file_set_contents(broken.c_str(), "not a picture", -1, NULL));
  dialog_answers answers("Error", GTK_RESPONSE_NONE);
  EXPECT_EQ(open_command_line_picture(broken.c_str()), -1);
  const std::string message = answers.first_text();
  EXPECT_EQ(message.rfind("File open error: ", 0), 0u) << message;
  EXPECT_GT(message.size(), strlen("File open error: "));
  EXPECT_EQ(pixbuf_no_alpha, picture);
}

}  // namespace
