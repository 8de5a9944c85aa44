// The main window as start-up leaves it: toolbar, menus and accelerators,
// the status bar, the message dialog, the icon folder and shutdown.
#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>
#include <unistd.h>  // rmdir

#include <cstdlib>
#include <string>

#include "calc/gtk_calc.h"
#include "gui/about_dialog.h"
#include "gui/brush.h"
#include "gui/canvas.h"
#include "gui/clipboard.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/icon_folder.h"
#include "gui/main_window.h"
#include "gui/open_image.h"
#include "gui/options_dialog.h"
#include "gui/region.h"
#include "gui/save.h"
#include "gui/toolbar.h"
#include "tests/gui/gui_test_support.h"

namespace {

// Whose object a handler receives as user data.
enum data_kind { NO_DATA, TOOLBAR, WINDOW, ZOOM_ADJ, OPTIONS };

// The adjustment moved by a toolbar item's spin button or scale.
GtkAdjustment *item_adjustment(int item) {
  GtkWidget *child = gtk_bin_get_child(GTK_BIN(toolbar_item(item)));
  return GTK_IS_SPIN_BUTTON(child) ? gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(child))
                                   : gtk_range_get_adjustment(GTK_RANGE(child));
}

gpointer expected_data(data_kind kind) {
  switch (kind) {
    case TOOLBAR: return toolbar;
    case WINDOW: return main_window;
    case OPTIONS: return pass_option_args;
    case ZOOM_ADJ: return item_adjustment(TB_ZOOM_SPIN);
    case NO_DATA: break;
  }
  return NULL;
}

bool has_handler(gpointer instance, const char *signal, GCallback handler, gpointer data) {
  const guint id = g_signal_lookup(signal, G_OBJECT_TYPE(instance));
  const GSignalMatchType match =
      GSignalMatchType(G_SIGNAL_MATCH_ID | G_SIGNAL_MATCH_FUNC | G_SIGNAL_MATCH_DATA);
  return id && g_signal_handler_find(instance, match, id, 0, NULL, (gpointer)handler, data);
}

std::string tooltip_of(GtkWidget *widget) {
  gchar *text = widget ? gtk_widget_get_tooltip_markup(widget) : NULL;
  std::string s = text ? text : "";
  g_free(text);
  return s;
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override { create_test_window(); }
};

// ---- Toolbar ---------------------------------------------------------------

struct toolbar_expectation {
  int index;
  const char *stock_id;  // stock buttons, else NULL
  bool icon_file;        // the icon is read from the icon folder
  const char *tooltip;
  bool tooltip_on_icon;  // else on the widget inside the item
  GCallback handler;     // "clicked" ("color-set" on the colour button)
  data_kind data;
};

const toolbar_expectation TOOLBAR_TABLE[] = {
    {TB_MODE_TOGGLE, NULL, true, "toggle between <i>edit</i> and <i>view</i> modes", false,
     G_CALLBACK(cb_toggle_mode), TOOLBAR},
    {TB_OPEN, GTK_STOCK_OPEN, false, "Open an image file", false, G_CALLBACK(on_open_image), TOOLBAR},
    {TB_SAVE_AS, GTK_STOCK_SAVE_AS, false, "Save image", false, G_CALLBACK(on_save_as), WINDOW},
    {TB_ALPHA, NULL, true, "View alpha channel as 256 shades of grey.", true,
     G_CALLBACK(cb_draw_alpha), WINDOW},
    {TB_CALC, GTK_STOCK_EXECUTE, false, "Calculate / Pull the matte.", false, G_CALLBACK(cb_calc), TOOLBAR},
    {TB_FG, NULL, true, "Select foreground with white brush strokes.", true, G_CALLBACK(cb_set_FG), TOOLBAR},
    {TB_BG, NULL, true, "Select background with black brush strokes.", true, G_CALLBACK(cb_set_BG), TOOLBAR},
    {TB_ERASER, GTK_STOCK_CLEAR, false, "Erase brush strokes.", false, G_CALLBACK(cb_set_Eraser), TOOLBAR},
    {TB_COLOR, NULL, false, "Select regions with an alternate transparency.", false,
     G_CALLBACK(cb_set_Color), TOOLBAR},
    {TB_ZOOM_SPIN, NULL, false, "Scale image view between 12.5% - 400%.", false, NULL, NO_DATA},
    {TB_ZOOM_SCALE, NULL, false, "Drag to scale image view between 12.5% - 400%.", false, NULL, NO_DATA},
    {TB_ZOOM_100, GTK_STOCK_ZOOM_100, false, "Reset scale to 100%.", false, G_CALLBACK(cb_zoom_to), ZOOM_ADJ},
    {TB_SEPARATOR, NULL, false, "", false, NULL, NO_DATA},
    {TB_BRUSH_SPIN, NULL, false, "Set brush size.", false, NULL, NO_DATA},
    {TB_BRUSH_SCALE, NULL, false, "Drag to set brush size.", false, NULL, NO_DATA},
};

TEST_F(MainWindow, ToolbarItemsHaveTheirOrderVisibilityTooltipsAndHandlers) {
  ASSERT_EQ(gtk_toolbar_get_n_items(GTK_TOOLBAR(toolbar)), TB_ITEM_COUNT);
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(main_window)), "Corvane");
  for (const toolbar_expectation &e : TOOLBAR_TABLE) {
    SCOPED_TRACE("toolbar item " + std::to_string(e.index));
    GtkToolItem *item = toolbar_item(e.index);
    // Only the alpha view button is hidden until there is a result.
    EXPECT_EQ(gtk_widget_get_visible(GTK_WIDGET(item)), e.index != TB_ALPHA);
    if (e.stock_id) {
      ASSERT_TRUE(GTK_IS_TOOL_BUTTON(item));
      EXPECT_STREQ(gtk_tool_button_get_stock_id(GTK_TOOL_BUTTON(item)), e.stock_id);
    }
    GtkWidget *icon =
        GTK_IS_TOOL_BUTTON(item) ? gtk_tool_button_get_icon_widget(GTK_TOOL_BUTTON(item)) : NULL;
    if (e.icon_file) {  // read from the file, not the missing-image stand-in
      ASSERT_TRUE(icon && GTK_IS_IMAGE(icon));
      EXPECT_EQ(gtk_image_get_storage_type(GTK_IMAGE(icon)), GTK_IMAGE_PIXBUF);
    }
    GtkWidget *child = gtk_bin_get_child(GTK_BIN(item));
    EXPECT_EQ(tooltip_of(e.tooltip_on_icon ? icon : child), e.tooltip);
    if (e.tooltip_on_icon) {
      EXPECT_EQ(tooltip_of(child), "");
    }
    if (e.handler) {
      const bool color_button = e.index == TB_COLOR;
      EXPECT_TRUE(has_handler(color_button ? (gpointer)child : (gpointer)item,
                              color_button ? "color-set" : "clicked", e.handler,
                              expected_data(e.data)));
    }
  }
  EXPECT_EQ(count_missing_toolbar_icons(toolbar), 0);
  // The icon prefix is built without rewriting the variable.
  EXPECT_STREQ(getenv("ICON_DIR"), VELORIN_SOURCE_DIR "/assets/icons");
}

// Zoom and brush-size handlers are exercised through the spin buttons'
// adjustments by the painting tests.
TEST_F(MainWindow, StartUpLeavesTheEventMaskBlankPointerAndScalesOnTheSpinAdjustments) {
  EXPECT_EQ(gtk_widget_get_events(drawing_area),
            GDK_EXPOSURE_MASK | GDK_POINTER_MOTION_MASK | GDK_POINTER_MOTION_HINT_MASK |
                GDK_BUTTON_PRESS_MASK | GDK_LEAVE_NOTIFY_MASK);
  EXPECT_EQ(drawing_area_cursor(), blank_cursor);
  EXPECT_EQ(item_adjustment(TB_ZOOM_SCALE), item_adjustment(TB_ZOOM_SPIN));
  EXPECT_EQ(item_adjustment(TB_BRUSH_SCALE), item_adjustment(TB_BRUSH_SPIN));
}

// ---- Menus and accelerators -------------------------------------------------

struct menu_expectation {
  const char *menu;
  int position;
  const char *stock_id;  // NULL: the check item
  guint key;             // with Control; 0 = none
  GCallback handler;
  data_kind data;
};

const menu_expectation MENU_TABLE[] = {
    {"File", 0, GTK_STOCK_OPEN, GDK_KEY_o, G_CALLBACK(on_open_image), TOOLBAR},
    {"File", 1, GTK_STOCK_SAVE, GDK_KEY_s, G_CALLBACK(on_save_as), WINDOW},
    {"Edit", 0, GTK_STOCK_COPY, GDK_KEY_c, G_CALLBACK(pixbuf_to_clipboard), NO_DATA},
    {"Edit", 1, GTK_STOCK_UNDO, GDK_KEY_z, G_CALLBACK(undo), NO_DATA},
    {"Edit", 2, GTK_STOCK_REDO, GDK_KEY_y, G_CALLBACK(redo), NO_DATA},
    {"Edit", 3, NULL, GDK_KEY_f, G_CALLBACK(toggle_calc_ROI), NO_DATA},
    {"Edit", 5, GTK_STOCK_PREFERENCES, 0, G_CALLBACK(gtk_options_dialog_open), OPTIONS},
    {"Help", 0, GTK_STOCK_ABOUT, 0, G_CALLBACK(help_about_dialog), WINDOW},
};

void count_activation(GtkWidget *, gpointer counter) { ++*static_cast<int *>(counter); }

// Open and Save get the same user data from the menu as from the toolbar
// (both tables name it), so either way reaches the handler alike.
TEST_F(MainWindow, MenuItemsHaveTheirHandlersAndAcceleratorsReachThem) {
  for (const menu_expectation &e : MENU_TABLE) {
    SCOPED_TRACE(std::string(e.menu) + " item " + std::to_string(e.position));
    GtkWidget *item = menu_item(e.menu, e.position);
    ASSERT_NE(item, nullptr);
    if (e.stock_id) {
      EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(item)), e.stock_id);
    } else {
      ASSERT_TRUE(GTK_IS_CHECK_MENU_ITEM(item));
      EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(item)), "Calculate _From Selection");
      EXPECT_FALSE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item)));
    }
    gpointer data = expected_data(e.data);
    ASSERT_TRUE(has_handler(item, "activate", e.handler, data));
    if (!e.key) continue;
    // The real handler is blocked (it may open a modal dialog); a probe sees
    // the accelerator activate the item.
    int activations = 0;
    g_signal_handlers_block_by_func(item, (gpointer)e.handler, data);
    g_signal_connect(item, "activate", G_CALLBACK(count_activation), &activations);
    EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(main_window), e.key, GDK_CONTROL_MASK));
    EXPECT_EQ(activations, 1);
  }
}

// ---- Status bar and message dialog ------------------------------------------

std::string status_text(void) {
  return gtk_label_get_text(GTK_LABEL(GTK_STATUSBAR(status_bar)->label));
}

TEST_F(MainWindow, StatusBarKeepsOneMessagePerContextAndShowsTheLatest) {
  for (const char *readout : {"pixel 0", "pixel 1", "pixel 2"})
    update_statusbar(readout, 0, status_bar);
  update_statusbar("save failed", 1, status_bar);
  update_statusbar("save failed again", 1, status_bar);
  EXPECT_EQ(g_slist_length(GTK_STATUSBAR(status_bar)->messages), 2u);
  update_statusbar("pixel 3", 0, status_bar);
  EXPECT_EQ(status_text(), "pixel 3");
  // Removing context 0's message uncovers context 1's, not an older read-out.
  gtk_statusbar_pop(GTK_STATUSBAR(status_bar), 0);
  EXPECT_EQ(status_text(), "save failed again");
  gtk_statusbar_pop(GTK_STATUSBAR(status_bar), 1);
  EXPECT_EQ(g_slist_length(GTK_STATUSBAR(status_bar)->messages), 0u);
}

// What the message is shown with is tested through the open command.
struct seen_dialog {
  GtkWindow *parent = NULL;
  bool modal = false;
  GdkCursor *cursor = (GdkCursor *)1;
};

void inspect_error_dialog(GtkDialog *dialog, gpointer data) {
  seen_dialog *seen = static_cast<seen_dialog *>(data);
  seen->parent = gtk_window_get_transient_for(GTK_WINDOW(dialog));
  seen->modal = gtk_window_get_modal(GTK_WINDOW(dialog));
  seen->cursor = drawing_area_cursor();
}

TEST_F(MainWindow, ErrorDialogIsModalOverTheWindowAndRestoresTheBlankPointer) {
  seen_dialog seen;
  answer_dialog_when_shown("Error", GTK_RESPONSE_NONE, inspect_error_dialog, &seen);
  error_message_dialog(drawing_area, "File open error: no such file");
  EXPECT_EQ(seen.parent, GTK_WINDOW(main_window));
  EXPECT_TRUE(seen.modal);
  EXPECT_EQ(seen.cursor, nullptr);  // the arrow while the dialog runs
  EXPECT_EQ(drawing_area_cursor(), blank_cursor);
  flush_events();
  EXPECT_EQ(find_shown_window("Error"), nullptr);

  // With a modal dialog open over the window (a result failing while the
  // options dialog is open), the message goes over that dialog, not behind
  // it.
  GtkWidget *open_dialog = gtk_dialog_new_with_buttons(
      "options", GTK_WINDOW(main_window), GTK_DIALOG_MODAL, GTK_STOCK_OK, GTK_RESPONSE_OK, NULL);
  gtk_widget_show(open_dialog);
  answer_dialog_when_shown("Error", GTK_RESPONSE_NONE, inspect_error_dialog, &seen);
  error_message_dialog(drawing_area, "failure: out_of_memory");
  EXPECT_EQ(seen.parent, GTK_WINDOW(open_dialog));
  gtk_widget_destroy(open_dialog);
}

// ---- Icon folder ------------------------------------------------------------

TEST(IconFolder, PrefixDefaultsToTheCurrentFolderAndMissingIconsDoNotStopStartUp) {
  unsetenv("ICON_DIR");
  char *prefix = icon_dir_prefix();
  EXPECT_STREQ(prefix, "./");
  g_free(prefix);

  char *empty = g_dir_make_tmp("velorin-no-icons-XXXXXX", NULL);
  ASSERT_NE(empty, nullptr);
  setenv("ICON_DIR", empty, 1);
  char arg0[] = "gui_tests";
  char *argv[] = {arg0, NULL};
  EXPECT_TRUE(gtk_widget_get_visible(create_main_window(1, argv)));
  EXPECT_EQ(count_missing_toolbar_icons(toolbar), 4);
  rmdir(empty);
  g_free(empty);
}

// An installed program (bin/velorin beside share/velorin/icons) finds its
// icons without ICON_DIR; ICON_DIR still wins; elsewhere the current folder.
TEST(IconFolder, ExplicitFolderThenTheInstalledOneBesideTheExecutableThenTheCurrentFolder) {
  char *root = g_dir_make_tmp("velorin-install-XXXXXX", NULL);
  ASSERT_NE(root, nullptr);
  const std::string prefix = root, icons = prefix + "/share/velorin/icons";
  ASSERT_EQ(g_mkdir_with_parents(icons.c_str(), 0700), 0);
  const std::string installed = prefix + "/bin/velorin", loose = prefix + "/tools/bin/velorin";
  const struct {
    const char *icon_dir, *exe;
    std::string expected;
  } cases[] = {
      {"/elsewhere", installed.c_str(), "/elsewhere/"},
      {NULL, installed.c_str(), icons + "/"},
      {NULL, loose.c_str(), "./"},
      {NULL, NULL, "./"},
  };
  for (const auto &c : cases) {
    char *got = icon_prefix_for(c.icon_dir, c.exe);
    EXPECT_EQ(got, c.expected) << (c.exe ? c.exe : "(unknown executable)");
    g_free(got);
  }
  for (const std::string &folder : {icons, prefix + "/share/velorin", prefix + "/share", prefix})
    rmdir(folder.c_str());
  g_free(root);
}

// ---- Shutdown ---------------------------------------------------------------

TEST_F(MainWindow, ClosingTheWindowLeavesTheMainLoopAndReleasesTheState) {
  close_main_window();  // fails unless the destroy handler quits the loop

  // Records of two strokes and a trimatte layer, as painting leaves them.
  for (int i = 0; i < 2; ++i) history = g_list_append(history, g_new0(double, 12));
  current = g_list_last(history);
  initialisinglayer = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 4, 4);
  release_application_state();
  for (const void *released : {(const void *)pixbuf_no_alpha, (const void *)pixbuf_alpha,
                               (const void *)surf_layer, (const void *)win_surf,
                               (const void *)initialisinglayer, (const void *)history,
                               (const void *)current})
    EXPECT_EQ(released, nullptr);
  // Anything not released shows up as a leak in the sanitizer build.
}

}  // namespace
