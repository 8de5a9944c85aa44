#include "gui/menus.h"

#include <gdk/gdkkeysyms.h>

#include <cstring>

#include "gui/about_dialog.h"
#include "gui/calc_state.h"
#include "gui/clipboard.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/open_image.h"
#include "gui/options_dialog.h"
#include "gui/region.h"
#include "gui/save.h"

// What a menu handler receives as user data.
enum menu_data { DATA_NONE, DATA_TOOLBAR, DATA_WINDOW, DATA_OPTIONS };

enum menu_item_kind { STOCK_ITEM, CHECK_ITEM, LABEL_ITEM };

// One menu item: a stock item (text is the stock id), a check item (text is
// its mnemonic) or a plain item (text is its label).
struct menu_entry {
  const char *menu;
  menu_item_kind kind;
  const char *text;
  guint key;  // 0 = no accelerator
  GdkModifierType modifiers;
  GCallback handler;
  menu_data data;
};

static const GdkModifierType CTRL = GDK_CONTROL_MASK;
static const GdkModifierType NO_MODIFIER = GdkModifierType(0);

// In menu order; the menus appear in order of their first entry.
static const menu_entry MENU_ENTRIES[] = {
    {"File", STOCK_ITEM, GTK_STOCK_OPEN, GDK_KEY_o, CTRL, G_CALLBACK(on_open_image), DATA_TOOLBAR},
    {"File", STOCK_ITEM, GTK_STOCK_SAVE, GDK_KEY_s, CTRL, G_CALLBACK(on_save_as), DATA_WINDOW},
    {"Edit", STOCK_ITEM, GTK_STOCK_COPY, GDK_KEY_c, CTRL, G_CALLBACK(pixbuf_to_clipboard),
     DATA_NONE},
    {"Edit", STOCK_ITEM, GTK_STOCK_UNDO, GDK_KEY_z, CTRL, G_CALLBACK(undo), DATA_NONE},
    {"Edit", STOCK_ITEM, GTK_STOCK_REDO, GDK_KEY_y, CTRL, G_CALLBACK(redo), DATA_NONE},
    {"Edit", CHECK_ITEM, "Calculate _From Selection", GDK_KEY_f, CTRL, G_CALLBACK(toggle_calc_ROI),
     DATA_NONE},
    // Escape without a modifier: the one key a user reaches for to stop.
    {"Edit", LABEL_ITEM, "Stop calculation", GDK_KEY_Escape, NO_MODIFIER,
     G_CALLBACK(cb_stop_calculation), DATA_NONE},
    {"Edit", STOCK_ITEM, GTK_STOCK_PREFERENCES, 0, NO_MODIFIER, G_CALLBACK(gtk_options_dialog_open),
     DATA_OPTIONS},
    {"Help", STOCK_ITEM, GTK_STOCK_ABOUT, 0, NO_MODIFIER, G_CALLBACK(help_about_dialog),
     DATA_WINDOW},
};

static gpointer menu_user_data(menu_data data, GtkWidget *window, GtkWidget *bar) {
  switch (data) {
    case DATA_TOOLBAR:
      return bar;
    case DATA_WINDOW:
      return window;
    case DATA_OPTIONS:
      return pass_option_args;
    case DATA_NONE:
      break;
  }
  return NULL;
}

static GtkWidget *new_menu_item(const menu_entry &entry, GtkAccelGroup *accel) {
  GtkWidget *item = NULL;
  switch (entry.kind) {
    case STOCK_ITEM:
      item = gtk_image_menu_item_new_from_stock(entry.text, NULL);
      break;
    case CHECK_ITEM:
      item = gtk_check_menu_item_new_with_mnemonic(entry.text);
      break;
    case LABEL_ITEM:
      item = gtk_menu_item_new_with_label(entry.text);
      break;
  }
  if (entry.key)
    gtk_widget_add_accelerator(item, "activate", accel, entry.key, entry.modifiers,
                               GTK_ACCEL_VISIBLE);
  return item;
}

// Appends a top-level item with a plain label and returns its new submenu.
static GtkWidget *append_menu(GtkWidget *menu_bar, const char *label) {
  GtkWidget *top = gtk_menu_item_new_with_label(label);
  GtkWidget *menu = gtk_menu_new();
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(top), menu);
  gtk_menu_shell_append(GTK_MENU_SHELL(menu_bar), top);
  return menu;
}

GtkWidget *build_menu_bar(GtkWidget *window, GtkWidget *bar) {
  GtkWidget *menu_bar = gtk_menu_bar_new();
  GtkAccelGroup *accel = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(window), accel);
  g_object_unref(accel);  // the window holds it

  GtkWidget *menu = NULL;
  const char *menu_name = NULL;
  for (const menu_entry &entry : MENU_ENTRIES) {
    if (!menu_name || strcmp(menu_name, entry.menu) != 0) {
      menu_name = entry.menu;
      menu = append_menu(menu_bar, menu_name);
    }
    GtkWidget *item = new_menu_item(entry, accel);
    g_signal_connect(item, "activate", entry.handler, menu_user_data(entry.data, window, bar));
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    if (entry.handler == G_CALLBACK(cb_stop_calculation)) set_stop_calculation_item(item);
  }
  return menu_bar;
}
