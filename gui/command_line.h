// velorin's command line: one optional picture to open once the window is up
// and a check of the toolbar icons; GTK's own options (--display and the
// others listed by --help-gtk) are parsed together with them.
#pragma once

#include <gtk/gtk.h>

struct command_line {
  char *picture;         // FILE, opened after start-up, or NULL; g_free it
  gboolean check_icons;  // --check-icons: report the toolbar icons and exit
};

// Exit statuses of a start-up that ends before the main loop.
enum {
  EXIT_ICONS_MISSING = 1,  // --check-icons found icons that did not load
  EXIT_NO_DISPLAY = 1,     // GTK could not open the display
  EXIT_USAGE = 2,          // an unknown option or more than one FILE
};

// Parses and removes velorin's options from argv into `line` (zeroed
// first). With `with_toolkit`, GTK's options are parsed too and GTK is
// initialised on the display; without, GTK is left alone (the tests' case).
// --help and its variants print the usage and exit the process with 0.
// Returns FALSE and sets *error on an unknown option, on more than one
// FILE, or (with the toolkit) when the display cannot be opened, which GTK
// reports as G_OPTION_ERROR_FAILED.
gboolean parse_command_line(int *argc, char ***argv, gboolean with_toolkit, command_line *line,
                            GError **error);

// Opens `filename` as the Open dialog's "Default open" does. When it does
// not load, shows the "File open error: %s" dialog over the main window and
// leaves the window as it was. Returns 0 when the picture was opened.
int open_command_line_picture(const char *filename);

// Idle handler queued by main so that the picture named on the command line
// is opened once the window is up: open_command_line_picture on `filename`,
// which it then frees (g_free). Runs once.
gboolean cb_open_command_line_picture(gpointer filename);

// --check-icons, after create_main_window: prints the icon folder in use to
// standard output when all four toolbar icon files loaded and returns 0;
// otherwise says on standard error how many did not load from where and
// returns EXIT_ICONS_MISSING.
int report_toolbar_icons(void);
