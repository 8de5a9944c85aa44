// The "Open image" dialog, answered from the main loop while it runs modally.
#include <string>

#include "gui/globals.h"
#include "gui/open_image.h"
#include "tests/gui/gui_test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define IGNORE_LEAKS_IN_SCOPE __lsan::ScopedDisabler leaks_ignored
#else
#define IGNORE_LEAKS_IN_SCOPE
#endif

namespace {

typedef std::function<bool(GtkFileChooser *chooser)> chooser_step;

// Runs File -> Open, answering the chooser with `step`.
void run_open_dialog(const chooser_step &step) {
  // GTK+ 2's file chooser leaks the GFile of the legacy bookmarks file on
  // every construction when the user has no bookmarks, with a stack that
  // LeakSanitizer cannot unwind to suppress it. open_image_file, which does
  // the work, is leak-checked by the open tests.
  IGNORE_LEAKS_IN_SCOPE;
  dialog_answers answers("Open image", [&](GtkDialog *d) { return step(GTK_FILE_CHOOSER(d)); });
  on_open_image(NULL, toolbar);
  EXPECT_EQ(answers.count(), 1);
}

// The open mode radio buttons, in the order shown.
GtkToggleButton *mode_button(GtkFileChooser *chooser, int index) {
  GList *buttons =
      gtk_container_get_children(GTK_CONTAINER(gtk_file_chooser_get_extra_widget(chooser)));
  GtkToggleButton *button = GTK_TOGGLE_BUTTON(g_list_nth_data(buttons, index));
  g_list_free(buttons);
  return button;
}

// Chooses `path`, then answers Open with the mode button `mode_index`.
chooser_step choose_file(const std::string &path, int mode_index) {
  return [=, asked = false](GtkFileChooser *chooser) mutable {
    if (!asked) {
      asked = true;
      gtk_file_chooser_set_filename(chooser, path.c_str());
      return false;
    }
    char *chosen = gtk_file_chooser_get_filename(chooser);
    bool ready = g_strcmp0(chosen, path.c_str()) == 0;
    g_free(chosen);
    if (!ready) return false;
    gtk_toggle_button_set_active(mode_button(chooser, mode_index), TRUE);
    gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_ACCEPT);
    return true;
  };
}

class OpenDialogTest : public WindowTest {};

TEST_F(OpenDialogTest, ShowsTheOpenErrorOverTheChooserOrOpensTheFileInTheChosenMode) {
  open_picture(30, 20, plain_grey);
  GdkPixbuf *picture = pixbuf_no_alpha;
  std::string broken = dir + "/broken.png";
  ASSERT_TRUE(g_file_set_contents(broken.c_str(), "not a picture", -1, NULL));
  GtkWindow *error_parent = NULL;
  dialog_answers error("Error", [&](GtkDialog *dialog) {
    error_parent = gtk_window_get_transient_for(GTK_WINDOW(dialog));
    gtk_dialog_response(dialog, GTK_RESPONSE_NONE);
    return true;
  });
  GtkWindow *chooser_window = NULL;
  chooser_step choose_broken = choose_file(broken, 0);
  run_open_dialog([&](GtkFileChooser *chooser) {
    chooser_window = GTK_WINDOW(chooser);
    return choose_broken(chooser);
  });
  EXPECT_EQ(error.count(), 1);
  EXPECT_EQ(error.first_text().rfind("File open error: ", 0), 0u) << error.first_text();
  // Over the chooser, which is still open: over the main window it would
  // open behind the chooser, out of reach.
  EXPECT_EQ(error_parent, chooser_window);
  EXPECT_EQ(pixbuf_no_alpha, picture);

  std::string path = write_picture("layer.png", 30, 20, false,
                                   [](int x, int) { return x == 4 ? kWhite : plain_grey(x, 0); });
  run_open_dialog(choose_file(path, 2));  // "Open as layer"
  EXPECT_EQ(layer_pixel(4, 10).a, 255);
  EXPECT_EQ(layer_pixel(5, 10).a, 0);
}

}  // namespace
