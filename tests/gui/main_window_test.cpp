// The main window as start-up leaves it: state, widgets, wiring, the status
// bar, the message dialog and shutdown.
#include <gtest/gtest.h>

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

}  // namespace
