#include "gui/menus.h"

#include <gdk/gdkkeysyms.h>

#include <cstring>

#include "gui/about_dialog.h"
#include "gui/clipboard.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/open_image.h"
#include "gui/options_dialog.h"
#include "gui/region.h"
#include "gui/save.h"

// What a menu handler receives as user data.
enum menu_data { DATA_NONE, DATA_TOOLBAR, DATA_WINDOW, DATA_OPTIONS };

// One menu item: a stock item, or a check item when `stock_id` is NULL.
struct menu_entry {
  const char *menu;
  const char *stock_id;
  const char *check_mnemonic;
  guint key;  // with Control; 0 = no accelerator
  GCallback handler;
  menu_data data;
};

// In menu order; the menus appear in order of their first entry.
static const menu_entry MENU_ENTRIES[] = {
    {"File", GTK_STOCK_OPEN, NULL, GDK_KEY_o, G_CALLBACK(on_open_image), DATA_TOOLBAR},
    {"File", GTK_STOCK_SAVE, NULL, GDK_KEY_s, G_CALLBACK(on_save_as), DATA_WINDOW},
    {"Edit", GTK_STOCK_COPY, NULL, GDK_KEY_c, G_CALLBACK(pixbuf_to_clipboard), DATA_NONE},
    {"Edit", GTK_STOCK_UNDO, NULL, GDK_KEY_z, G_CALLBACK(undo), DATA_NONE},
    {"Edit", GTK_STOCK_REDO, NULL, GDK_KEY_y, G_CALLBACK(redo), DATA_NONE},
    {"Edit", NULL, "Calculate _From Selection", GDK_KEY_f, G_CALLBACK(toggle_calc_ROI), DATA_NONE},
    {"Edit", GTK_STOCK_PREFERENCES, NULL, 0, G_CALLBACK(gtk_options_dialog_open), DATA_OPTIONS},
    {"Help", GTK_STOCK_ABOUT, NULL, 0, G_CALLBACK(help_about_dialog), DATA_WINDOW},
};

static gpointer menu_user_data(menu_data data, GtkWidget *window, GtkWidget *bar) {
  switch (data) {
    case DATA_TOOLBAR: return bar;
    case DATA_WINDOW: return window;
    case DATA_OPTIONS: return pass_option_args;
    case DATA_NONE: break;
  }
  return NULL;
}

static GtkWidget *new_menu_item(const menu_entry &entry, GtkAccelGroup *accel) {
  GtkWidget *item = entry.stock_id
                        ? gtk_image_menu_item_new_from_stock(entry.stock_id, NULL)
                        : gtk_check_menu_item_new_with_mnemonic(entry.check_mnemonic);
  if (entry.key)
    gtk_widget_add_accelerator(item, "activate", accel, entry.key,
                               GDK_CONTROL_MASK, GTK_ACCEL_VISIBLE);
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
    g_signal_connect(item, "activate", entry.handler,
                     menu_user_data(entry.data, window, bar));
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  }
  return menu_bar;
}
