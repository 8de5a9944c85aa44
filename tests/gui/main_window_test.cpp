// The main window as start-up leaves it: state, widgets, wiring, the status
// bar, the message dialog and shutdown.
#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "calc/gtk_calc.h"
#include "gui/about_dialog.h"
#include "gui/brush.h"
#include "gui/canvas.h"
#include "gui/clipboard.h"
#include "gui/globals.h"
#include "gui/history.h"
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

gpointer expected_data(data_kind kind) {
  switch (kind) {
    case TOOLBAR: return toolbar;
    case WINDOW: return main_window;
    case OPTIONS: return pass_option_args;
    case ZOOM_ADJ:
      return gtk_spin_button_get_adjustment(
          GTK_SPIN_BUTTON(gtk_bin_get_child(GTK_BIN(toolbar_item(TB_ZOOM_SPIN)))));
    case NO_DATA: break;
  }
  return NULL;
}

bool has_handler(gpointer instance, const char *signal, GCallback handler,
                 gpointer data) {
  const guint id = g_signal_lookup(signal, G_OBJECT_TYPE(instance));
  return id && g_signal_handler_find(instance,
                                     GSignalMatchType(G_SIGNAL_MATCH_ID |
                                                      G_SIGNAL_MATCH_FUNC |
                                                      G_SIGNAL_MATCH_DATA),
                                     id, 0, NULL, (gpointer)handler, data) != 0;
}

std::string tooltip_of(GtkWidget *widget) {
  gchar *text = gtk_widget_get_tooltip_markup(widget);
  std::string s = text ? text : "";
  g_free(text);
  return s;
}

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override { create_test_window(); }
};

// ---- Toolbar ---------------------------------------------------------------

// Where an item's tooltip sits: on the widget inside the item (where the
// toolkit puts an item's own tooltip, and on the colour button), or on the
// icon image.
enum tooltip_place { ON_ITEM, ON_ICON, NO_TOOLTIP };

struct toolbar_expectation {
  int index;
  const char *stock_id;  // for stock buttons, else NULL
  const char *icon_file; // for icon buttons, else NULL
  const char *tooltip;
  tooltip_place place;
  GCallback handler;     // "clicked" (or "color-set" on the colour button)
  data_kind data;
};

const toolbar_expectation TOOLBAR_TABLE[] = {
    {TB_MODE_TOGGLE, NULL, "icon_cv16x24.png",
     "toggle between <i>edit</i> and <i>view</i> modes", ON_ITEM,
     G_CALLBACK(cb_toggle_mode), TOOLBAR},
    {TB_OPEN, GTK_STOCK_OPEN, NULL, "Open an image file", ON_ITEM,
     G_CALLBACK(on_open_image), TOOLBAR},
    {TB_SAVE_AS, GTK_STOCK_SAVE_AS, NULL, "Save image", ON_ITEM,
     G_CALLBACK(on_save_as), WINDOW},
    {TB_ALPHA, NULL, "icon_alpha24x24.png",
     "View alpha channel as 256 shades of grey.", ON_ICON,
     G_CALLBACK(cb_draw_alpha), WINDOW},
    {TB_CALC, GTK_STOCK_EXECUTE, NULL, "Calculate / Pull the matte.", ON_ITEM,
     G_CALLBACK(cb_calc), TOOLBAR},
    {TB_FG, NULL, "iconFG.png", "Select foreground with white brush strokes.",
     ON_ICON, G_CALLBACK(cb_set_FG), TOOLBAR},
    {TB_BG, NULL, "iconBG.png", "Select background with black brush strokes.",
     ON_ICON, G_CALLBACK(cb_set_BG), TOOLBAR},
    {TB_ERASER, GTK_STOCK_CLEAR, NULL, "Erase brush strokes.", ON_ITEM,
     G_CALLBACK(cb_set_Eraser), TOOLBAR},
    {TB_COLOR, NULL, NULL, "Select regions with an alternate transparency.",
     ON_ITEM, G_CALLBACK(cb_set_Color), TOOLBAR},
    {TB_ZOOM_SPIN, NULL, NULL, "Scale image view between 12.5% - 400%.",
     ON_ITEM, NULL, NO_DATA},
    {TB_ZOOM_SCALE, NULL, NULL,
     "Drag to scale image view between 12.5% - 400%.", ON_ITEM, NULL, NO_DATA},
    {TB_ZOOM_100, GTK_STOCK_ZOOM_100, NULL, "Reset scale to 100%.", ON_ITEM,
     G_CALLBACK(cb_zoom_to), ZOOM_ADJ},
    {TB_SEPARATOR, NULL, NULL, "", NO_TOOLTIP, NULL, NO_DATA},
    {TB_BRUSH_SPIN, NULL, NULL, "Set brush size.", ON_ITEM, NULL, NO_DATA},
    {TB_BRUSH_SCALE, NULL, NULL, "Drag to set brush size.", ON_ITEM, NULL, NO_DATA},
};

class ToolbarItem : public ::testing::TestWithParam<toolbar_expectation> {
 protected:
  void SetUp() override { create_test_window(); }
};

TEST_P(ToolbarItem, HasItsKindTooltipAndHandlerAtItsIndex) {
  const toolbar_expectation &e = GetParam();
  GtkToolItem *item = toolbar_item(e.index);
  ASSERT_NE(item, nullptr);
  if (e.stock_id) {
    ASSERT_TRUE(GTK_IS_TOOL_BUTTON(item));
    EXPECT_STREQ(gtk_tool_button_get_stock_id(GTK_TOOL_BUTTON(item)), e.stock_id);
  }
  GtkWidget *icon = GTK_IS_TOOL_BUTTON(item)
                        ? gtk_tool_button_get_icon_widget(GTK_TOOL_BUTTON(item))
                        : NULL;
  if (e.icon_file) {
    // The icon was read from the file: a real picture, not the
    // missing-image stand-in.
    ASSERT_TRUE(icon && GTK_IS_IMAGE(icon));
    EXPECT_EQ(gtk_image_get_storage_type(GTK_IMAGE(icon)), GTK_IMAGE_PIXBUF);
  }
  GtkWidget *child = gtk_bin_get_child(GTK_BIN(item));
  EXPECT_EQ(tooltip_of(e.place == ON_ICON ? icon : child), e.tooltip);
  if (e.place == ON_ICON) {
    EXPECT_EQ(tooltip_of(child), "");
  }
  if (e.handler) {
    const bool color_button = e.index == TB_COLOR;
    gpointer instance = color_button ? (gpointer)child : (gpointer)item;
    const char *signal = color_button ? "color-set" : "clicked";
    EXPECT_TRUE(has_handler(instance, signal, e.handler, expected_data(e.data)));
  }
}

void PrintTo(const toolbar_expectation &e, std::ostream *os) {
  *os << "toolbar item " << e.index;
}

INSTANTIATE_TEST_SUITE_P(AllItems, ToolbarItem, ::testing::ValuesIn(TOOLBAR_TABLE),
                         [](const ::testing::TestParamInfo<toolbar_expectation> &i) {
                           return "Item" + std::to_string(i.param.index);
                         });

TEST_F(MainWindow, ToolbarHasFifteenItemsAndOnlyAlphaIsHiddenAfterStartUp) {
  ASSERT_EQ(gtk_toolbar_get_n_items(GTK_TOOLBAR(toolbar)), TB_ITEM_COUNT);
  for (int i = 0; i < TB_ITEM_COUNT; ++i)
    EXPECT_EQ(gtk_widget_get_visible(GTK_WIDGET(toolbar_item(i))), i != TB_ALPHA)
        << "item " << i;
  EXPECT_TRUE(GTK_IS_TOGGLE_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE)));
  EXPECT_FALSE(gtk_toggle_tool_button_get_active(
      GTK_TOGGLE_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE))));
  EXPECT_EQ(gtk_toolbar_get_style(GTK_TOOLBAR(toolbar)), GTK_TOOLBAR_ICONS);
  EXPECT_EQ(gtk_toolbar_get_icon_size(GTK_TOOLBAR(toolbar)), GTK_ICON_SIZE_LARGE_TOOLBAR);
}

// ---- Start-up state and layout -------------------------------------------

TEST_F(MainWindow, StartsWithThePlaceholderImagesAndDefaultRecords) {
  EXPECT_EQ(gdk_pixbuf_get_width(pixbuf_no_alpha), 1);
  EXPECT_EQ(gdk_pixbuf_get_height(pixbuf_no_alpha), 1);
  EXPECT_FALSE(gdk_pixbuf_get_has_alpha(pixbuf_no_alpha));
  EXPECT_EQ(gdk_pixbuf_get_width(pixbuf_alpha), 1);
  EXPECT_TRUE(gdk_pixbuf_get_has_alpha(pixbuf_alpha));
  EXPECT_EQ(pixbuf_image, pixbuf_no_alpha);
  for (cairo_surface_t *s : {win_surf, surf_layer}) {
    EXPECT_EQ(cairo_image_surface_get_format(s), CAIRO_FORMAT_ARGB32);
    EXPECT_EQ(cairo_image_surface_get_width(s), 1);
    EXPECT_EQ(cairo_image_surface_get_height(s), 1);
  }
  EXPECT_EQ(color.red, 0x8000);
  EXPECT_EQ(color.green, 0x8000);
  EXPECT_EQ(color.blue, 0x8000);
  ASSERT_NE(pass_calc_args, nullptr);
  ASSERT_NE(pass_option_args, nullptr);
  option_args defaults = {};
  opts_set_default(&defaults);
  EXPECT_EQ(pass_option_args->levels_num, defaults.levels_num);
  EXPECT_EQ(pass_option_args->Active_levels_num, defaults.Active_levels_num);
  EXPECT_EQ(pass_option_args->epsilon, defaults.epsilon);
  EXPECT_EQ(pass_option_args->threshold, defaults.threshold);
  EXPECT_EQ(pass_option_args->win_size, defaults.win_size);
  EXPECT_EQ(pass_option_args->img_width, 0);
  EXPECT_EQ(pass_option_args->img_height, 0);
  EXPECT_EQ(drawing_area_cursor(), blank_cursor);
}

TEST_F(MainWindow, IsTitledCorvaneWithItsDefaultSizeAndAdjustments) {
  EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(main_window)), "Corvane");
  gint w, h;
  gtk_window_get_default_size(GTK_WINDOW(main_window), &w, &h);
  EXPECT_EQ(w, 720);
  EXPECT_EQ(h, 480);
  gtk_widget_get_size_request(drawing_area, &w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_EQ(gtk_widget_get_events(drawing_area),
            GDK_EXPOSURE_MASK | GDK_POINTER_MOTION_MASK |
                GDK_POINTER_MOTION_HINT_MASK | GDK_BUTTON_PRESS_MASK |
                GDK_LEAVE_NOTIFY_MASK);
  GtkWidget *viewport = gtk_widget_get_parent(drawing_area);
  EXPECT_TRUE(GTK_IS_VIEWPORT(viewport));
  EXPECT_EQ(gtk_widget_get_parent(viewport), scrolled_window);

  struct { int item; adjustment_values v; guint digits; } spins[] = {
      {TB_ZOOM_SPIN, ZOOM_ADJUSTMENT, 1}, {TB_BRUSH_SPIN, BRUSH_ADJUSTMENT, 0}};
  for (const auto &s : spins) {
    GtkSpinButton *spin =
        GTK_SPIN_BUTTON(gtk_bin_get_child(GTK_BIN(toolbar_item(s.item))));
    GtkAdjustment *a = gtk_spin_button_get_adjustment(spin);
    EXPECT_EQ(gtk_adjustment_get_value(a), s.v.value);
    EXPECT_EQ(gtk_adjustment_get_lower(a), s.v.lower);
    EXPECT_EQ(gtk_adjustment_get_upper(a), s.v.upper);
    EXPECT_EQ(gtk_adjustment_get_step_increment(a), s.v.step);
    EXPECT_EQ(gtk_adjustment_get_page_increment(a), s.v.page);
    EXPECT_EQ(gtk_spin_button_get_digits(spin), s.digits);
    // The scale next to the spin button moves the same adjustment.
    GtkWidget *scale_widget = gtk_bin_get_child(GTK_BIN(toolbar_item(s.item + 1)));
    EXPECT_EQ(gtk_range_get_adjustment(GTK_RANGE(scale_widget)), a);
    EXPECT_FALSE(gtk_scale_get_draw_value(GTK_SCALE(scale_widget)));
  }
  GtkAdjustment *zoom = GTK_ADJUSTMENT(expected_data(ZOOM_ADJ));
  EXPECT_TRUE(has_handler(zoom, "value_changed", G_CALLBACK(cb_draw_zoom), main_window));
  GtkAdjustment *brush = gtk_range_get_adjustment(
      GTK_RANGE(gtk_bin_get_child(GTK_BIN(toolbar_item(TB_BRUSH_SCALE)))));
  EXPECT_TRUE(has_handler(brush, "value_changed", G_CALLBACK(cb_set_brush_size), toolbar));
  EXPECT_TRUE(gtk_tool_item_get_expand(toolbar_item(TB_BRUSH_SCALE)));
}

TEST_F(MainWindow, PacksMenuToolbarCanvasAndStatusBarTopToBottom) {
  GtkWidget *vbox = gtk_bin_get_child(GTK_BIN(main_window));
  GList *children = gtk_container_get_children(GTK_CONTAINER(vbox));
  ASSERT_EQ(g_list_length(children), 4u);
  struct { gboolean expand, fill; } packing[] = {
      {FALSE, FALSE}, {FALSE, FALSE}, {TRUE, TRUE}, {FALSE, TRUE}};
  EXPECT_TRUE(GTK_IS_MENU_BAR(g_list_nth_data(children, 0)));
  EXPECT_EQ(g_list_nth_data(children, 1), toolbar);
  EXPECT_EQ(g_list_nth_data(children, 2), scrolled_window);
  EXPECT_EQ(g_list_nth_data(children, 3), status_bar);
  int i = 0;
  for (GList *c = children; c; c = c->next, ++i) {
    gboolean expand, fill;
    guint padding;
    GtkPackType pack;
    gtk_box_query_child_packing(GTK_BOX(vbox), GTK_WIDGET(c->data), &expand,
                                &fill, &padding, &pack);
    EXPECT_EQ(expand, packing[i].expand) << "child " << i;
    EXPECT_EQ(fill, packing[i].fill) << "child " << i;
    EXPECT_EQ(padding, 0u);
  }
  g_list_free(children);
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
    {"Edit", 4, GTK_STOCK_PREFERENCES, 0, G_CALLBACK(gtk_options_dialog_open), OPTIONS},
    {"Help", 0, GTK_STOCK_ABOUT, 0, G_CALLBACK(help_about_dialog), WINDOW},
};

class MenuItem : public ::testing::TestWithParam<menu_expectation> {
 protected:
  void SetUp() override { create_test_window(); }
};

void count_activation(GtkWidget *, gpointer counter) { ++*static_cast<int *>(counter); }

TEST_P(MenuItem, IsInPlaceWithItsHandlerAndItsAcceleratorReachesIt) {
  const menu_expectation &e = GetParam();
  GtkWidget *item = menu_item(e.menu, e.position);
  ASSERT_NE(item, nullptr);
  if (e.stock_id) {
    ASSERT_TRUE(GTK_IS_IMAGE_MENU_ITEM(item));
    EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(item)), e.stock_id);
  } else {
    ASSERT_TRUE(GTK_IS_CHECK_MENU_ITEM(item));
    EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(item)), "Calculate _From Selection");
    EXPECT_FALSE(gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item)));
  }
  gpointer data = expected_data(e.data);
  ASSERT_TRUE(has_handler(item, "activate", e.handler, data));
  if (!e.key) return;

  // Press the accelerator with the real handler blocked (it may open a
  // modal dialog); a probe sees the item being activated.
  int activations = 0;
  g_signal_handlers_block_by_func(item, (gpointer)e.handler, data);
  g_signal_connect(item, "activate", G_CALLBACK(count_activation), &activations);
  EXPECT_TRUE(gtk_accel_groups_activate(G_OBJECT(main_window), e.key, GDK_CONTROL_MASK));
  EXPECT_EQ(activations, 1);
}

void PrintTo(const menu_expectation &e, std::ostream *os) {
  *os << e.menu << " item " << e.position;
}

INSTANTIATE_TEST_SUITE_P(AllItems, MenuItem, ::testing::ValuesIn(MENU_TABLE),
                         [](const ::testing::TestParamInfo<menu_expectation> &i) {
                           return std::string(i.param.menu) + std::to_string(i.param.position);
                         });

TEST_F(MainWindow, MenuAndToolbarGiveOpenAndSaveTheSameUserData) {
  struct { int tool; const char *menu; int position; GCallback handler; } pairs[] = {
      {TB_OPEN, "File", 0, G_CALLBACK(on_open_image)},
      {TB_SAVE_AS, "File", 1, G_CALLBACK(on_save_as)}};
  // Whatever the toolbar button hands its handler, the menu item hands too.
  for (const auto &p : pairs) {
    GtkToolItem *button = toolbar_item(p.tool);
    GtkWidget *item = menu_item(p.menu, p.position);
    int matches = 0;
    for (gpointer data : {(gpointer)toolbar, (gpointer)main_window, (gpointer)NULL}) {
      const bool on_button = has_handler(button, "clicked", p.handler, data);
      EXPECT_EQ(on_button, has_handler(item, "activate", p.handler, data))
          << p.menu << " item " << p.position;
      matches += on_button;
    }
    EXPECT_EQ(matches, 1);
  }
}

// ---- Status bar -------------------------------------------------------------

std::string status_text(void) {
  return gtk_label_get_text(GTK_LABEL(GTK_STATUSBAR(status_bar)->label));
}

TEST_F(MainWindow, StatusBarKeepsOneMessagePerContextAndShowsTheLatest) {
  for (int i = 0; i < 5; ++i) {
    const std::string readout = "pixel " + std::to_string(i);
    update_statusbar(readout.c_str(), 0, status_bar);
  }
  EXPECT_EQ(g_slist_length(GTK_STATUSBAR(status_bar)->messages), 1u);
  EXPECT_EQ(status_text(), "pixel 4");
  update_statusbar("save failed", 1, status_bar);
  update_statusbar("save failed again", 1, status_bar);
  EXPECT_EQ(g_slist_length(GTK_STATUSBAR(status_bar)->messages), 2u);
  EXPECT_EQ(status_text(), "save failed again");
  update_statusbar("pixel 5", 0, status_bar);
  EXPECT_EQ(status_text(), "pixel 5");
  // Removing context 0's message uncovers context 1's, not an older read-out.
  gtk_statusbar_pop(GTK_STATUSBAR(status_bar), 0);
  EXPECT_EQ(status_text(), "save failed again");
  gtk_statusbar_pop(GTK_STATUSBAR(status_bar), 1);
  EXPECT_EQ(g_slist_length(GTK_STATUSBAR(status_bar)->messages), 0u);
}

// ---- Message dialog ---------------------------------------------------------

struct seen_dialog {
  bool seen = false;
  std::string text;
  GtkWindow *parent = NULL;
  bool modal = false;
  GdkCursor *cursor = (GdkCursor *)1;
  int buttons = 0;
  gint button_response = 0;
};

void inspect_error_dialog(GtkDialog *dialog, gpointer data) {
  seen_dialog *seen = static_cast<seen_dialog *>(data);
  seen->seen = true;
  seen->parent = gtk_window_get_transient_for(GTK_WINDOW(dialog));
  seen->modal = gtk_window_get_modal(GTK_WINDOW(dialog));
  seen->cursor = drawing_area_cursor();
  GList *content = gtk_container_get_children(
      GTK_CONTAINER(gtk_dialog_get_content_area(dialog)));
  for (GList *c = content; c; c = c->next)
    if (GTK_IS_LABEL(c->data)) seen->text = gtk_label_get_text(GTK_LABEL(c->data));
  g_list_free(content);
  GList *buttons = gtk_container_get_children(
      GTK_CONTAINER(gtk_dialog_get_action_area(dialog)));
  seen->buttons = g_list_length(buttons);
  if (buttons)
    seen->button_response =
        gtk_dialog_get_response_for_widget(dialog, GTK_WIDGET(buttons->data));
  g_list_free(buttons);
}

TEST_F(MainWindow, ErrorDialogIsModalOverTheWindowAndRestoresTheBlankPointer) {
  seen_dialog seen;
  answer_dialog_when_shown("Error", GTK_RESPONSE_NONE, inspect_error_dialog, &seen);
  error_message_dialog(drawing_area, "File open error: no such file");
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.text, "File open error: no such file");
  EXPECT_EQ(seen.parent, GTK_WINDOW(main_window));
  EXPECT_TRUE(seen.modal);
  EXPECT_EQ(seen.cursor, nullptr);  // the arrow while the dialog runs
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_EQ(seen.button_response, GTK_RESPONSE_NONE);
  EXPECT_EQ(drawing_area_cursor(), blank_cursor);
  flush_events();
  EXPECT_EQ(find_shown_window("Error"), nullptr);
}

// ---- Icon folder ------------------------------------------------------------

TEST(IconFolder, PrefixIsIconDirWithSlashOrTheCurrentFolder) {
  unsetenv("ICON_DIR");
  char *prefix = icon_dir_prefix();
  EXPECT_STREQ(prefix, "./");
  g_free(prefix);

  setenv("ICON_DIR", "/opt/velorin/icons", 1);
  prefix = icon_dir_prefix();
  EXPECT_STREQ(prefix, "/opt/velorin/icons/");
  EXPECT_STREQ(getenv("ICON_DIR"), "/opt/velorin/icons");
  g_free(prefix);
}

GtkImage *mode_icon(void) {
  return GTK_IMAGE(gtk_tool_button_get_icon_widget(
      GTK_TOOL_BUTTON(toolbar_item(TB_MODE_TOGGLE))));
}

TEST(IconFolder, WithoutIconDirIconsComeFromTheCurrentFolder) {
  ASSERT_EQ(chdir(VELORIN_SOURCE_DIR "/assets/icons"), 0);
  unsetenv("ICON_DIR");
  char arg0[] = "gui_tests";
  char *argv[] = {arg0, NULL};
  create_main_window(1, argv);
  ASSERT_EQ(gtk_image_get_storage_type(mode_icon()), GTK_IMAGE_PIXBUF);
  GdkPixbuf *icon = gtk_image_get_pixbuf(mode_icon());
  EXPECT_EQ(gdk_pixbuf_get_width(icon), 16);
  EXPECT_EQ(gdk_pixbuf_get_height(icon), 24);
}

TEST(IconFolder, MissingIconsShowTheMissingImageAndStartUpGoesOn) {
  char *empty = g_dir_make_tmp("velorin-no-icons-XXXXXX", NULL);
  ASSERT_NE(empty, nullptr);
  setenv("ICON_DIR", empty, 1);
  char arg0[] = "gui_tests";
  char *argv[] = {arg0, NULL};
  GtkWidget *window = create_main_window(1, argv);
  EXPECT_TRUE(gtk_widget_get_visible(window));
  EXPECT_NE(gtk_image_get_storage_type(mode_icon()), GTK_IMAGE_PIXBUF);
  rmdir(empty);
  g_free(empty);
}

// ---- Shutdown ---------------------------------------------------------------

gboolean send_delete_event(gpointer) {
  GdkEvent *event = gdk_event_new(GDK_DELETE);
  event->any.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(main_window)));
  event->any.send_event = TRUE;
  gtk_main_do_event(event);
  gdk_event_free(event);
  return FALSE;
}

TEST_F(MainWindow, ClosingTheWindowLeavesTheMainLoopAndReleasesTheState) {
  bool destroyed = false;
  g_signal_connect_swapped(main_window, "destroy",
                           G_CALLBACK(+[](bool *flag) { *flag = true; }), &destroyed);
  g_idle_add(send_delete_event, NULL);
  gtk_main();  // returns only if closing the window quits it
  EXPECT_TRUE(destroyed);

  // Records of two strokes and a trimatte layer, as painting leaves them.
  for (int i = 0; i < 2; ++i) history = g_list_append(history, g_new0(double, 12));
  current = g_list_last(history);
  initialisinglayer = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 4, 4);
  release_application_state();
  EXPECT_EQ(pixbuf_no_alpha, nullptr);
  EXPECT_EQ(pixbuf_alpha, nullptr);
  EXPECT_EQ(surf_layer, nullptr);
  EXPECT_EQ(win_surf, nullptr);
  EXPECT_EQ(initialisinglayer, nullptr);
  EXPECT_EQ(history, nullptr);
  EXPECT_EQ(current, nullptr);
  // Anything not released shows up as a leak in the sanitizer build.
}

}  // namespace
