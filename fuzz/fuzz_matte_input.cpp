// libFuzzer target for what velorin-matte reads before it calculates: its
// command line and its constraints file. Every input is tried both ways: as
// command-line words separated by NUL bytes, and as the bytes of a
// constraints file, read, checked and turned into engine input as a run
// does (the structure check on its own as well).
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "calc/engine_input.h"
#include "calc/picture_stream.h"
#include "cli/args.h"
#include "cli/io.h"

// Constraints whose header claims more than this per side are checked
// against a small picture (and refused from the header) instead of decoded.
static const int LARGEST_DECODED_SIDE = 64;
static const int SMALL_PICTURE_SIDE = 8;
static const unsigned char PICTURE_GREY = 128;

static void parse_as_arguments(const uint8_t *data, size_t size) {
  std::vector<std::string> words = {"velorin-matte", ""};
  for (size_t i = 0; i < size; i++) {
    if (data[i] == '\0')
      words.emplace_back();
    else
      words.back() += static_cast<char>(data[i]);
  }
  std::vector<char *> argv;
  for (std::string &word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  cli_args args;
  g_autoptr(GError) error = nullptr;
  parse_cli_args(static_cast<int>(words.size()), argv.data(), &args, &error);
}

static void turn_into_engine_input(const GdkPixbuf *layer, int width, int height) {
  std::vector<unsigned char> grey(static_cast<size_t>(width) * height * 3, PICTURE_GREY);
  raw_pixels picture = rgb_pixels(grey.data(), width * 3, 3);
  raw_pixels constraints =
      rgb_pixels(gdk_pixbuf_read_pixels(layer), gdk_pixbuf_get_rowstride(layer),
                 gdk_pixbuf_get_n_channels(layer));
  for (constraint_encoding encoding : {CONSTRAINTS_LAYER, CONSTRAINTS_TRIMAP}) {
    engine_input input = read_engine_input(&picture, &constraints, encoding, 0, 0, width, height);
    constraints_usable(&input);
    free_engine_input(&input);
  }
}

static void read_as_constraints(const uint8_t *data, size_t size) {
  int fd = memfd_create("constraints", 0);
  if (fd < 0) return;
  if (write(fd, data, size) == static_cast<ssize_t>(size)) {
    char path[64];
    snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    int width = SMALL_PICTURE_SIDE, height = SMALL_PICTURE_SIDE, w = 0, h = 0;
    if (gdk_pixbuf_get_file_info(path, &w, &h) && w > 0 && h > 0 && w <= LARGEST_DECODED_SIDE &&
        h <= LARGEST_DECODED_SIDE) {
      width = w;
      height = h;
    }
    g_autoptr(GError) error = nullptr;
    const pixbuf_ptr layer = io_read_constraints(path, width, height, &error);
    if (layer) turn_into_engine_input(layer.get(), width, height);
  }
  close(fd);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  parse_as_arguments(data, size);
  read_as_constraints(data, size);
  picture_stream_whole(data, size);
  return 0;
}
