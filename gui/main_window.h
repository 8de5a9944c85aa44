// The main window: construction, shutdown, the status bar and the message
// dialog.
#pragma once

#include <gtk/gtk.h>

// Start-up up to the main loop: enters the GDK bracket, initialises GTK with
// the arguments (a no-op when the caller already did), creates the
// placeholder images and records, builds the window with its menus, toolbar,
// drawing area and status bar, connects every handler, shows it, restores
// the saved geometry, hides the ALPHA item and sets the blank pointer.
// Returns the top-level window (also in `main_window`). Tests call this under
// Xvfb instead of `main`. Without a display GTK ends the process.
GtkWidget *create_main_window(int argc, char **argv);

// Shutdown after the main loop: releases the images and surfaces,
// `initialisinglayer` and every stroke record of `history` (blocks from the
// GLib allocator) with the list, and sets those globals to NULL.
void release_application_state(void);

// "destroy" handler of the main window: leaves the main loop.
void destroy(GtkWidget *widget, gpointer data);

// Replaces the message of context `context_id` with `text`: pops that
// context's top message, then pushes the text, so a context never stacks.
void update_statusbar(const char *text, guint context_id, GtkWidget *bar);

// The one message dialog: "Error", modal with one OK button, transient for
// the top-level window of `widget` or, when a modal dialog is open over that
// window (a file chooser, the options dialog), for the topmost such dialog;
// returns when it is closed.
void error_message_dialog(GtkWidget *widget, const char *message);

// Sets the pointer shape over the drawing area: NULL for the default arrow
// while a dialog runs, `blank_cursor` after (edit mode draws its own brush
// cursor). Does nothing before the drawing area is realised.
void set_drawing_area_cursor(GdkCursor *cursor);
