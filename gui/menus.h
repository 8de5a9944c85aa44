// The main window's menu bar: File, Edit and Help with their accelerators
// (Control, except Escape for "Stop calculation"; shown in the menus) and
// handlers. "Stop calculation" is available only while a calculation runs
// (gui/calc_state.h).
#pragma once

#include <gtk/gtk.h>

// Builds the menu bar, attaching a new accelerator group to `window`.
// `bar` is the toolbar (user data of the open handler); the options record
// handed to Edit -> Preferences is `pass_option_args`, which must exist.
GtkWidget *build_menu_bar(GtkWidget *window, GtkWidget *bar);
