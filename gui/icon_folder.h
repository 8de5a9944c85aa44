// Where the window reads its four toolbar icon files from.
#pragma once

// The icon folder prefix (a folder path ending in "/") for a program whose
// executable is `exe_path` (absolute, links resolved; NULL when unknown),
// given the value of ICON_DIR (`icon_dir`, NULL when unset):
//   1. `icon_dir` followed by "/" when it is set: an explicit choice wins;
//   2. else the installed icon folder, share/velorin/icons beside the
//      executable's bin/ folder, when that folder exists;
//   3. else "./", so a build tree still runs from the icon folder.
// Returns a new string (g_free it).
char *icon_prefix_for(const char *icon_dir, const char *exe_path);

// icon_prefix_for with this process's ICON_DIR (left unchanged) and its
// executable as /proc/self/exe names it. Returns a new string (g_free it).
char *icon_dir_prefix(void);
