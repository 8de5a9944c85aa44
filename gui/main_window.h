// The main window: construction, shutdown, the status bar and the message
// dialog.
#pragma once

#include <gtk/gtk.h>

// Creates the placeholder images and records (start-up steps 2 to 5), builds
// the window with its menus, toolbar, drawing area and status bar, shows it
// and restores the saved geometry. Returns the top-level window (also in
// `main_window`). Tests call this under Xvfb instead of `main`.
GtkWidget *create_main_window(int argc, char **argv);

// Releases the images, surfaces and stroke records (shutdown after the main
// loop).
void release_application_state(void);

void destroy(GtkWidget *widget, gpointer data);
void update_statusbar(const char *text, guint context_id, GtkWidget *bar);
void error_message_dialog(GtkWidget *widget, const char *message);
