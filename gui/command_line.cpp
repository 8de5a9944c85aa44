#include "gui/command_line.h"

#include <cstdio>

#include "gui/globals.h"
#include "gui/icon_folder.h"
#include "gui/open_image.h"
#include "gui/toolbar.h"

static const int TOOLBAR_ICON_FILES = 4;

static GOptionContext *new_option_context(command_line *line, char ***operands) {
  const GOptionEntry entries[] = {
      {"check-icons", 0, 0, G_OPTION_ARG_NONE, &line->check_icons,
       "Build the window, report whether the toolbar icons loaded, and exit", NULL},
      {G_OPTION_REMAINING, 0, 0, G_OPTION_ARG_FILENAME_ARRAY, operands, NULL, "[FILE]"},
      {NULL, 0, 0, G_OPTION_ARG_NONE, NULL, NULL, NULL}};
  GOptionContext *context = g_option_context_new(NULL);  // "[FILE]" comes from the entry
  g_option_context_set_summary(
      context,
      "Pull an alpha matte out of a photograph: paint a rough trimap over the\n"
      "picture, calculate, then save or copy the picture with its alpha.");
  g_option_context_set_description(
      context,
      "FILE, any picture gdk-pixbuf reads, is opened as by the Open dialog's\n"
      "\"Default open\" once the window is up. ICON_DIR names the folder of the\n"
      "toolbar icons (default: the installed ones). See velorin(1).\n");
  g_option_context_add_main_entries(context, entries, NULL);
  return context;
}

gboolean parse_command_line(int *argc, char ***argv, gboolean with_toolkit, command_line *line,
                            GError **error) {
  *line = command_line();
  char **operands = NULL;
  GOptionContext *context = new_option_context(line, &operands);
  // GTK's group opens the display once its options (--display) are known.
  if (with_toolkit) g_option_context_add_group(context, gtk_get_option_group(TRUE));
  gboolean ok = g_option_context_parse(context, argc, argv, error);
  g_option_context_free(context);
  const guint count = operands ? g_strv_length(operands) : 0;
  if (ok && count > 1) {
    g_set_error(error, G_OPTION_ERROR, G_OPTION_ERROR_BAD_VALUE,
                "one picture at a time: %u files given", count);
    ok = FALSE;
  }
  if (ok && count == 1) line->picture = g_strdup(operands[0]);
  g_strfreev(operands);
  return ok;
}

int open_command_line_picture(const char *filename) {
  g_autoptr(GError) error = NULL;
  if (open_image_file(filename, OPEN_DEFAULT, &error) == 0) return 0;
  report_open_error(main_window, error);
  return -1;
}

gboolean cb_open_command_line_picture(gpointer filename) {
  open_command_line_picture(static_cast<const char *>(filename));
  g_free(filename);
  return FALSE;
}

int report_toolbar_icons(void) {
  const int missing = count_missing_toolbar_icons(toolbar);
  g_autofree char *prefix = icon_dir_prefix();
  if (missing == 0)
    printf("velorin: toolbar icons loaded from %s\n", prefix);
  else
    fprintf(stderr, "velorin: %d of the %d toolbar icons did not load from %s\n", missing,
            TOOLBAR_ICON_FILES, prefix);
  return missing == 0 ? 0 : EXIT_ICONS_MISSING;
}
