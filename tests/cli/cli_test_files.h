// Small pictures, a private temporary folder and a captured velorin-matte
// run for the command-line tests.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/matte_cli.h"

namespace fs = std::filesystem;

inline std::string make_temp_folder() {
  std::string path = (fs::temp_directory_path() / "velorin-cli-XXXXXX").string();
  EXPECT_NE(mkdtemp(&path[0]), nullptr);
  return path;
}

// A temporary folder removed with its files when the test ends.
struct TempFolder {
  std::string path = make_temp_folder();
  ~TempFolder() { fs::remove_all(path); }
  std::string file(const std::string &name) const { return path + "/" + name; }
  long count() const { return std::distance(fs::directory_iterator(path), {}); }
};

struct rgba {
  guchar r, g, b, a;
};

// A width x height pixbuf (with alpha or not) from a pixel function.
inline GdkPixbuf *make_pixbuf(int width, int height, bool has_alpha,
                              const std::function<rgba(int x, int y)> &pixel) {
  GdkPixbuf *p = gdk_pixbuf_new(GDK_COLORSPACE_RGB, has_alpha, 8, width, height);
  int n = gdk_pixbuf_get_n_channels(p), stride = gdk_pixbuf_get_rowstride(p);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      rgba c = pixel(x, y);
      guchar *o = gdk_pixbuf_get_pixels(p) + y * stride + x * n;
      o[0] = c.r, o[1] = c.g, o[2] = c.b;
      if (has_alpha) o[3] = c.a;
    }
  return p;
}

inline void save_png(GdkPixbuf *pixbuf, const std::string &path) {
  EXPECT_TRUE(gdk_pixbuf_save(pixbuf, path.c_str(), "png", nullptr, nullptr)) << path;
}

inline void write_png(const std::string &path, int width, int height, bool has_alpha,
                      const std::function<rgba(int x, int y)> &pixel) {
  GdkPixbuf *p = make_pixbuf(width, height, has_alpha, pixel);
  save_png(p, path);
  g_object_unref(p);
}

// The scene most command-line tests matte.
namespace scene {

// A 24 x 24 picture: dark blue on the left, yellow on the right, blended
// over columns 8..15, with a little texture so that no window is flat.
const int SIDE = 24;

inline rgba picture_pixel(int x, int y) {
  double t = x < 8 ? 0.0 : x > 15 ? 1.0 : (x - 8) / 7.0;
  int noise = (x * 7 + y * 13) % 5;
  return {guchar(20 + 220 * t + noise), guchar(30 + 190 * t), guchar(140 - 120 * t + noise), 255};
}

// Trimap: background in columns 0..4, foreground in 19..23, unknown between.
inline int trimap_grey(int x) { return x <= 4 ? 0 : x >= 19 ? 255 : 128; }
inline rgba grey_pixel(int g) { return {guchar(g), guchar(g), guchar(g), 255}; }
inline rgba trimap_pixel(int x, int) { return grey_pixel(trimap_grey(x)); }

}  // namespace scene

// The scene's picture and trimap in a temporary folder, with an output path
// beside them.
struct SceneFolder : ::testing::Test {
  TempFolder folder;
  std::string picture = folder.file("picture.png"), trimap = folder.file("trimap.png"),
              output = folder.file("out.png");

  void SetUp() override {
    write_png(picture, scene::SIDE, scene::SIDE, false, scene::picture_pixel);
    write_png(trimap, scene::SIDE, scene::SIDE, false, scene::trimap_pixel);
  }
};

// One channel of a PNG, row by row; empty when it cannot be read.
inline std::vector<int> read_channel(const std::string &path, int channel) {
  std::vector<int> values;
  GdkPixbuf *p = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (!p) return values;
  const int n = gdk_pixbuf_get_n_channels(p), stride = gdk_pixbuf_get_rowstride(p);
  for (int y = 0; y < gdk_pixbuf_get_height(p); y++)
    for (int x = 0; x < gdk_pixbuf_get_width(p); x++)
      values.push_back(gdk_pixbuf_get_pixels(p)[y * stride + x * n + channel]);
  g_object_unref(p);
  return values;
}

inline std::string read_file(const std::string &path) {
  std::ostringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

inline void write_file(const std::string &path, const std::string &contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

struct cli_result {
  int status;
  std::string out, err;
};

// Runs velorin-matte with the given words, capturing both streams.
inline cli_result run_cli(std::vector<std::string> words) {
  std::vector<char *> argv = {const_cast<char *>("velorin-matte")};
  for (std::string &w : words) argv.push_back(&w[0]);
  char *text[2] = {nullptr, nullptr};
  size_t size[2] = {0, 0};
  FILE *out = open_memstream(&text[0], &size[0]), *err = open_memstream(&text[1], &size[1]);
  int status = matte_cli_main(static_cast<int>(argv.size()), argv.data(), out, err);
  fclose(out);
  fclose(err);
  cli_result r = {status, std::string(text[0], size[0]), std::string(text[1], size[1])};
  free(text[0]);
  free(text[1]);
  return r;
}
