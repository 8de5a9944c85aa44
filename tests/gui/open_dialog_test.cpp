// The "Open image" dialog, driven from a timer while it runs modally: its
// modes, filters and remembered folder, an open through it, and the error
// dialog of a file that does not load. (The preview follows the file list's
// cursor, which only a real click moves, so it is not driven here.)
#include <cstring>
#include <functional>
#include <memory>

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

// A step acts on the dialog with the given title once it is shown; it
// returns true when it is done (usually after answering the dialog).
struct dialog_step {
  const char *title;
  std::function<bool(GtkWidget *dialog)> act;
};

static const int TICK_MS = 20;
static const int MAX_TICKS = 500;  // 10 s: then the dialogs are cancelled

struct dialog_script {
  std::vector<dialog_step> steps;
  size_t next;
  int ticks;
};

static gboolean tick(gpointer data) {
  dialog_script *script = (dialog_script *)data;
  if (script->next == script->steps.size())
    return FALSE;
  const dialog_step &step = script->steps[script->next];
  GtkWidget *dialog = find_shown_window(step.title);
  if (++script->ticks > MAX_TICKS) {
    ADD_FAILURE() << "dialog \"" << step.title << "\" did not reach its end";
    if (dialog)
      gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
    script->next = script->steps.size();
    return FALSE;
  }
  if (dialog && step.act(dialog))
    script->next++;
  return TRUE;
}

static void run_open_dialog(std::vector<dialog_step> steps) {
  // GTK+ 2's file chooser leaks the GFile of the legacy bookmarks file on
  // every construction when the user has no bookmarks (as on a fresh test
  // machine), with a stack that LeakSanitizer cannot unwind to suppress it.
  // So what is allocated while the dialog runs is not leak-checked here;
  // open_image_file, which does the work, is leak-checked by the open tests.
  IGNORE_LEAKS_IN_SCOPE;
  dialog_script script = {steps, 0, 0};
  guint source = g_timeout_add(TICK_MS, tick, &script);
  on_open_image(NULL, toolbar);
  EXPECT_EQ(script.next, steps.size()) << "steps left when the dialog closed";
  if (script.next < steps.size())
    g_source_remove(source);
  else
    while (g_main_context_iteration(NULL, FALSE)) {}  // let the timer end
}

static std::vector<GtkWidget *> mode_buttons(GtkWidget *dialog) {
  GtkWidget *box = gtk_file_chooser_get_extra_widget(GTK_FILE_CHOOSER(dialog));
  GList *children = gtk_container_get_children(GTK_CONTAINER(box));
  std::vector<GtkWidget *> buttons;
  for (GList *c = children; c; c = c->next)
    buttons.push_back(GTK_WIDGET(c->data));
  g_list_free(children);
  return buttons;
}

static bool answer(GtkWidget *dialog, int response) {
  gtk_dialog_response(GTK_DIALOG(dialog), response);
  return true;
}

// Text of the first label inside `widget`.
static std::string label_text(GtkWidget *widget) {
  if (GTK_IS_LABEL(widget))
    return gtk_label_get_text(GTK_LABEL(widget));
  if (!GTK_IS_CONTAINER(widget))
    return "";
  std::string text;
  GList *children = gtk_container_get_children(GTK_CONTAINER(widget));
  for (GList *c = children; c && text.empty(); c = c->next)
    text = label_text(GTK_WIDGET(c->data));
  g_list_free(children);
  return text;
}

// Chooses `path` and then answers Open with the mode button `mode_index`;
// the chooser selects a file only after it has read its folder.
static dialog_step choose_file(const std::string &path, int mode_index) {
  auto asked = std::make_shared<bool>(false);
  return {"Open image", [=](GtkWidget *dialog) {
            GtkFileChooser *chooser = GTK_FILE_CHOOSER(dialog);
            if (!*asked) {
              gtk_file_chooser_set_filename(chooser, path.c_str());
              *asked = true;
              return false;
            }
            char *chosen = gtk_file_chooser_get_filename(chooser);
            bool ready = g_strcmp0(chosen, path.c_str()) == 0;
            g_free(chosen);
            if (!ready)
              return false;
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(mode_buttons(dialog)[mode_index]), TRUE);
            return answer(dialog, GTK_RESPONSE_ACCEPT);
          }};
}

class OpenDialogTest : public PaintTest {};

TEST_F(OpenDialogTest, OffersThreeModesAndTwoFilters) {
  run_open_dialog({{"Open image", [](GtkWidget *dialog) {
    std::vector<GtkWidget *> buttons = mode_buttons(dialog);
    EXPECT_EQ(buttons.size(), 3u);
    static const char *labels[] = {"Default open", "Open with alpha as input", "Open as layer"};
    for (size_t i = 0; i < buttons.size() && i < 3; i++)
      EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(buttons[i])), labels[i]);
    EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(buttons[0])));
    GSList *filters = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(dialog));
    EXPECT_EQ(g_slist_length(filters), 2u);
    if (g_slist_length(filters) == 2) {
      EXPECT_STREQ(gtk_file_filter_get_name(GTK_FILE_FILTER(filters->data)), "Image Files");
      EXPECT_STREQ(gtk_file_filter_get_name(GTK_FILE_FILTER(filters->next->data)), "All Files *");
    }
    g_slist_free(filters);
    EXPECT_NE(gtk_file_chooser_get_preview_widget(GTK_FILE_CHOOSER(dialog)), nullptr);
    return answer(dialog, GTK_RESPONSE_CANCEL);
  }}});
}

// True once the chooser shows `folder`; it changes folders asynchronously.
static bool shows_folder(GtkWidget *dialog, const std::string &folder) {
  char *shown = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(dialog));
  bool same = g_strcmp0(shown, folder.c_str()) == 0;
  g_free(shown);
  return same;
}

TEST_F(OpenDialogTest, RemembersTheFolderAfterCancelButNotTheMode) {
  auto asked = std::make_shared<bool>(false);
  run_open_dialog({{"Open image", [&, asked](GtkWidget *dialog) {
    if (!*asked) {
      gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), dir.c_str());
      gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(mode_buttons(dialog)[2]), TRUE);
      *asked = true;
    }
    return shows_folder(dialog, dir) && answer(dialog, GTK_RESPONSE_CANCEL);
  }}});
  run_open_dialog({{"Open image", [&](GtkWidget *dialog) {
    if (!shows_folder(dialog, dir))
      return false;
    EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(mode_buttons(dialog)[0])));
    return answer(dialog, GTK_RESPONSE_CANCEL);
  }}});
}

TEST_F(OpenDialogTest, OpensTheChosenFileInTheChosenMode) {
  open_grey_picture(30, 20);
  std::string path = write_picture("layer.png", 30, 20, false, [](int x, int) {
    return x == 4 ? rgba{255, 255, 255, 255} : rgba{100, 110, 120, 255};
  });
  run_open_dialog({choose_file(path, 2)});

  ASSERT_NE(initialisinglayer, nullptr);
  EXPECT_EQ(layer_pixel(4, 10).a, 255);
  EXPECT_EQ(layer_pixel(5, 10).a, 0);
}

TEST_F(OpenDialogTest, FileThatDoesNotLoadShowsTheOpenError) {
  open_grey_picture(30, 20);
  GdkPixbuf *picture = pixbuf_no_alpha;
  std::string path = dir + "/broken.png";
  ASSERT_TRUE(g_file_set_contents(path.c_str(), "not a picture", -1, NULL));
  std::string message;
  run_open_dialog({choose_file(path, 0), {"Error", [&](GtkWidget *dialog) {
                     message = label_text(dialog);
                     return answer(dialog, GTK_RESPONSE_NONE);
                   }}});

  EXPECT_EQ(message.rfind("File open error: ", 0), 0u) << message;
  EXPECT_GT(message.size(), strlen("File open error: "));
  EXPECT_EQ(pixbuf_no_alpha, picture);
}
