// The "Open image" dialog, driven from a timer while it runs modally: its
// modes, filters and remembered folder, an open through it, and the error
// dialog of a file that does not load. (The preview follows the file list's
// cursor, which only a real click moves, so it is not driven here.)
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gui/globals.h"
#include "gui/open_image.h"
#include "tests/gui/gui_test_support.h"
#include "tests/gui/paint_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define IGNORE_LEAKS_IN_SCOPE __lsan::ScopedDisabler leaks_ignored
#else
#define IGNORE_LEAKS_IN_SCOPE
#endif

// Acts on the shown chooser at each tick; true once it has answered it.
typedef std::function<bool(GtkFileChooser *chooser)> dialog_step;

struct dialog_run {
  dialog_step step;
  int ticks_left;
  bool answered;
};

static gboolean tick(gpointer data) {
  dialog_run *run = (dialog_run *)data;
  GtkWidget *dialog = find_shown_window("Open image");
  if (--run->ticks_left < 0) {
    ADD_FAILURE() << "the dialog was not answered";
    if (dialog)
      gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
    return FALSE;
  }
  run->answered = dialog && run->step(GTK_FILE_CHOOSER(dialog));
  return !run->answered;
}

static void run_open_dialog(const dialog_step &step) {
  // GTK+ 2's file chooser leaks the GFile of the legacy bookmarks file on
  // every construction when the user has no bookmarks, with a stack that
  // LeakSanitizer cannot unwind to suppress it. open_image_file, which does
  // the work, is leak-checked by the open tests.
  IGNORE_LEAKS_IN_SCOPE;
  dialog_run run = {step, 500, false};  // 10 s
  guint source = g_timeout_add(20, tick, &run);
  on_open_image(NULL, toolbar);
  EXPECT_TRUE(run.answered);
  if (!run.answered && run.ticks_left >= 0)
    g_source_remove(source);
}

static GtkToggleButton *mode_button(GtkFileChooser *chooser, int index) {
  GList *buttons = gtk_container_get_children(
      GTK_CONTAINER(gtk_file_chooser_get_extra_widget(chooser)));
  GtkToggleButton *button = GTK_TOGGLE_BUTTON(g_list_nth_data(buttons, index));
  g_list_free(buttons);
  return button;
}

static bool answer(GtkFileChooser *chooser, int response) {
  gtk_dialog_response(GTK_DIALOG(chooser), response);
  return true;
}

// The chooser changes folders and selects files only after reading the folder.
static bool shows_folder(GtkFileChooser *chooser, const std::string &folder) {
  char *shown = gtk_file_chooser_get_current_folder(chooser);
  bool same = g_strcmp0(shown, folder.c_str()) == 0;
  g_free(shown);
  return same;
}

// Chooses `path`, then answers Open with the mode button `mode_index`.
static dialog_step choose_file(const std::string &path, int mode_index) {
  return [=, asked = false](GtkFileChooser *chooser) mutable {
    if (!asked) {
      asked = true;
      gtk_file_chooser_set_filename(chooser, path.c_str());
      return false;
    }
    char *chosen = gtk_file_chooser_get_filename(chooser);
    bool ready = g_strcmp0(chosen, path.c_str()) == 0;
    g_free(chosen);
    if (ready)
      gtk_toggle_button_set_active(mode_button(chooser, mode_index), TRUE);
    return ready && answer(chooser, GTK_RESPONSE_ACCEPT);
  };
}

// The error dialog as it was shown: its message and the window it is
// transient for.
struct shown_error {
  std::string message;
  GtkWindow *parent = NULL;
};

static void read_error(GtkDialog *dialog, gpointer seen) {
  shown_error *error = (shown_error *)seen;
  read_dialog_message(dialog, &error->message);
  error->parent = gtk_window_get_transient_for(GTK_WINDOW(dialog));
}

class OpenDialogTest : public PaintTest {};

TEST_F(OpenDialogTest, OffersModesAndFiltersAndRemembersTheFolderButNotTheMode) {
  bool asked = false;
  run_open_dialog([&](GtkFileChooser *chooser) {
    if (!asked) {
      asked = true;
      const char *labels[] = {"Default open", "Open with alpha as input", "Open as layer",
                              "Open as trimap"};
      for (int i = 0; i < 4; i++)
        EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(mode_button(chooser, i))), labels[i]);
      EXPECT_EQ(mode_button(chooser, 4), nullptr);
      EXPECT_TRUE(gtk_toggle_button_get_active(mode_button(chooser, 0)));
      std::vector<std::string> names;
      GSList *filters = gtk_file_chooser_list_filters(chooser);
      for (GSList *f = filters; f; f = f->next)
        names.push_back(gtk_file_filter_get_name(GTK_FILE_FILTER(f->data)));
      g_slist_free(filters);
      EXPECT_EQ(names, (std::vector<std::string>{"Image Files", "All Files *"}));
      EXPECT_NE(gtk_file_chooser_get_preview_widget(chooser), nullptr);
      gtk_file_chooser_set_current_folder(chooser, dir.c_str());
      gtk_toggle_button_set_active(mode_button(chooser, 2), TRUE);
    }
    return shows_folder(chooser, dir) && answer(chooser, GTK_RESPONSE_CANCEL);
  });
  run_open_dialog([&](GtkFileChooser *chooser) {
    if (!shows_folder(chooser, dir))
      return false;
    EXPECT_TRUE(gtk_toggle_button_get_active(mode_button(chooser, 0)));
    return answer(chooser, GTK_RESPONSE_CANCEL);
  });
}

TEST_F(OpenDialogTest, ShowsTheOpenErrorOrOpensTheFileInTheChosenMode) {
  open_grey_picture(30, 20);
  GdkPixbuf *picture = pixbuf_no_alpha;
  std::string broken = dir + "/broken.png";
  ASSERT_TRUE(g_file_set_contents(broken.c_str(), "not a picture", -1, NULL));
  dialog_step choose_broken = choose_file(broken, 0);
  shown_error error;
  GtkWindow *chooser_window = NULL;
  run_open_dialog([&](GtkFileChooser *chooser) {
    // The error dialog comes once the chooser is answered.
    bool answered = choose_broken(chooser);
    if (answered) {
      chooser_window = GTK_WINDOW(chooser);
      answer_dialog_when_shown("Error", GTK_RESPONSE_NONE, read_error, &error);
    }
    return answered;
  });
  EXPECT_EQ(error.message.rfind("File open error: ", 0), 0u) << error.message;
  EXPECT_GT(error.message.size(), strlen("File open error: "));
  // Over the chooser, which is still open: over the main window it would
  // open behind the chooser, out of reach.
  EXPECT_EQ(error.parent, chooser_window);
  EXPECT_EQ(pixbuf_no_alpha, picture);

  std::string path = write_picture("layer.png", 30, 20, false, [](int x, int) {
    return x == 4 ? rgba{255, 255, 255, 255} : rgba{100, 110, 120, 255};
  });
  run_open_dialog(choose_file(path, 2));
  ASSERT_NE(initialisinglayer, nullptr);
  EXPECT_EQ(layer_pixel(4, 10).a, 255);
  EXPECT_EQ(layer_pixel(5, 10).a, 0);
}
