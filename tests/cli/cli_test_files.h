// Small pictures and a private temporary folder for the command-line tests.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

// A temporary folder removed (with its files) when the test ends.
class TempFolder {
 public:
  TempFolder() {
    char *made = g_dir_make_tmp("velorin-cli-XXXXXX", nullptr);
    path_ = made ? made : "";
    g_free(made);
  }
  ~TempFolder() {
    GDir *dir = g_dir_open(path_.c_str(), 0, nullptr);
    if (dir) {
      while (const char *name = g_dir_read_name(dir)) g_remove(file(name).c_str());
      g_dir_close(dir);
    }
    g_rmdir(path_.c_str());
  }
  std::string file(const std::string &name) const { return path_ + "/" + name; }
  int count() const {
    int n = 0;
    GDir *dir = g_dir_open(path_.c_str(), 0, nullptr);
    if (!dir) return -1;
    while (g_dir_read_name(dir)) n++;
    g_dir_close(dir);
    return n;
  }

 private:
  std::string path_;
};

// One RGBA pixel of a generated picture.
struct rgba {
  guchar r, g, b, a;
};

// Builds a width x height pixbuf (with alpha or not) from a pixel function.
inline GdkPixbuf *make_pixbuf(int width, int height, bool has_alpha,
                              const std::function<rgba(int x, int y)> &pixel) {
  GdkPixbuf *p = gdk_pixbuf_new(GDK_COLORSPACE_RGB, has_alpha, 8, width, height);
  int n = gdk_pixbuf_get_n_channels(p), stride = gdk_pixbuf_get_rowstride(p);
  guchar *pixels = gdk_pixbuf_get_pixels(p);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      rgba c = pixel(x, y);
      guchar *o = pixels + y * stride + x * n;
      o[0] = c.r;
      o[1] = c.g;
      o[2] = c.b;
      if (has_alpha) o[3] = c.a;
    }
  return p;
}

inline void save_png(GdkPixbuf *pixbuf, const std::string &path) {
  ASSERT_TRUE(gdk_pixbuf_save(pixbuf, path.c_str(), "png", nullptr, nullptr)) << path;
}

inline void write_and_release(GdkPixbuf *pixbuf, const std::string &path) {
  save_png(pixbuf, path);
  g_object_unref(pixbuf);
}

// Reads byte `channel` of pixel (x, y).
inline int sample(GdkPixbuf *p, int x, int y, int channel) {
  return gdk_pixbuf_get_pixels(p)[y * gdk_pixbuf_get_rowstride(p) +
                                  x * gdk_pixbuf_get_n_channels(p) + channel];
}

inline std::string read_file(const std::string &path) {
  gchar *contents = nullptr;
  gsize length = 0;
  if (!g_file_get_contents(path.c_str(), &contents, &length, nullptr)) return "";
  std::string s(contents, length);
  g_free(contents);
  return s;
}
