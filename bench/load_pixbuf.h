// Reading a picture for the benchmark programs that use gdk-pixbuf.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdio>
#include <string>

// The picture at `path`, or null after "PROGRAM: PATH: reason" on standard
// error.
inline GdkPixbuf *load_pixbuf(const char *program, const std::string &path) {
  GError *error = nullptr;
  GdkPixbuf *p = gdk_pixbuf_new_from_file(path.c_str(), &error);
  if (!p) {
    fprintf(stderr, "%s: %s: %s\n", program, path.c_str(), error->message);
    g_error_free(error);
  }
  return p;
}
