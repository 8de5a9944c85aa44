#include "gui/icon_folder.h"

#include <glib.h>

#include <cstdlib>

// VELORIN_ICONS_FROM_BINDIR, the icon folder relative to the folder of the
// installed executables, comes from the build's install layout
// ("../share/velorin/icons" with the usual bin/ and share/).
#ifndef VELORIN_ICONS_FROM_BINDIR
#error "VELORIN_ICONS_FROM_BINDIR is defined by the build (CMakeLists.txt)"
#endif

// The installed icon folder beside `exe_path`, or NULL when there is none
// (a build tree, or an executable copied elsewhere on its own).
static char *installed_icon_folder(const char *exe_path) {
  if (!exe_path) return NULL;
  char *bin_dir = g_path_get_dirname(exe_path);
  char *joined = g_build_filename(bin_dir, VELORIN_ICONS_FROM_BINDIR, NULL);
  char *folder = g_canonicalize_filename(joined, NULL);
  g_free(joined);
  g_free(bin_dir);
  if (g_file_test(folder, G_FILE_TEST_IS_DIR)) return folder;
  g_free(folder);
  return NULL;
}

char *icon_prefix_for(const char *icon_dir, const char *exe_path) {
  if (icon_dir) return g_strconcat(icon_dir, "/", NULL);
  char *installed = installed_icon_folder(exe_path);
  if (!installed) return g_strdup("./");
  char *prefix = g_strconcat(installed, "/", NULL);
  g_free(installed);
  return prefix;
}

char *icon_dir_prefix(void) {
  char *exe_path = g_file_read_link("/proc/self/exe", NULL);
  char *prefix = icon_prefix_for(getenv("ICON_DIR"), exe_path);
  g_free(exe_path);
  return prefix;
}
