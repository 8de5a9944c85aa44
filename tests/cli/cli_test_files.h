// A private temporary folder, the scene's files and a captured
// velorin-matte run for the command-line tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/matte_cli.h"
#include "tests/support/pixbuf_pictures.h"

namespace fs = std::filesystem;

// A temporary folder removed with its files when the test ends.
struct TempFolder {
  std::string path = (fs::temp_directory_path() / "velorin-cli-XXXXXX").string();
  TempFolder() { EXPECT_NE(mkdtemp(&path[0]), nullptr); }
  ~TempFolder() { fs::remove_all(path); }
  std::string file(const std::string &name) const { return path + "/" + name; }
  long count() const { return std::distance(fs::directory_iterator(path), {}); }
};

// The scene most command-line tests matte: the split scene, 24 x 24, whose
// trimap is background in columns 0..7, unknown in 8..15, foreground in 16..23.
namespace scene {

const int SIDE = 24;
inline rgba picture_pixel(int x, int y) { return split_scene_colour(SIDE, x, y); }
inline int trimap_grey(int x) { return split_scene_trimap(SIDE, x); }
inline rgba trimap_pixel(int x, int) { return grey(trimap_grey(x)); }

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

// Runs velorin-matte with the given words on the given streams; its exit status.
inline int run_cli_on(std::vector<std::string> words, FILE *out, FILE *err) {
  std::vector<char *> argv = {const_cast<char *>("velorin-matte")};
  for (std::string &w : words) argv.push_back(&w[0]);
  return matte_cli_main(static_cast<int>(argv.size()), argv.data(), out, err);
}

// Runs velorin-matte with the given words, capturing both streams.
inline cli_result run_cli(const std::vector<std::string> &words) {
  char *text[2] = {nullptr, nullptr};
  size_t size[2] = {0, 0};
  FILE *out = open_memstream(&text[0], &size[0]), *err = open_memstream(&text[1], &size[1]);
  const int status = run_cli_on(words, out, err);
  fclose(out);
  fclose(err);
  cli_result r = {status, std::string(text[0], size[0]), std::string(text[1], size[1])};
  free(text[0]);
  free(text[1]);
  return r;
}
