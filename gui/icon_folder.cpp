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
  g_autofree char *bin_dir = g_path_get_dirname(exe_path);
  g_autofree char *joined = g_build_filename(bin_dir, VELORIN_ICONS_FROM_BINDIR, NULL);
  g_autofree char *folder = g_canonicalize_filename(joined, NULL);
  if (g_file_test(folder, G_FILE_TEST_IS_DIR)) return static_cast<char *>(g_steal_pointer(&folder));
  return NULL;
}

char *icon_prefix_for(const char *icon_dir, const char *exe_path) {
  if (icon_dir) return g_strconcat(icon_dir, "/", NULL);
  g_autofree char *installed = installed_icon_folder(exe_path);
  if (!installed) return g_strdup("./");
  return g_strconcat(installed, "/", NULL);
}

char *icon_dir_prefix(void) {
  g_autofree char *exe_path = g_file_read_link("/proc/self/exe", NULL);
  return icon_prefix_for(getenv("ICON_DIR"), exe_path);
}
