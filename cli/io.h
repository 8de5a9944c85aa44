// Files of velorin-matte: reading the picture and the constraints with
// gdk-pixbuf (no GTK, no display) and encoding the result PNG into an
// output (see output_file.h).
//
// Every function that can fail returns false (or null) and sets *error
// (CLI_ERROR, MATTE_EXIT_INPUT): one line naming the file and the problem.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <memory>

#include "cli/output_file.h"

// A pixbuf reference, released with its owner.
struct pixbuf_unref {
  void operator()(GdkPixbuf *pixbuf) const { g_object_unref(pixbuf); }
};
using pixbuf_ptr = std::unique_ptr<GdkPixbuf, pixbuf_unref>;

// Which input a file is, as messages name it: "picture" or "constraints".
extern const char IO_PICTURE[];
extern const char IO_CONSTRAINTS[];

// Refuses, before anything is decoded, a folder and a JPEG or PNG that ends
// before its picture does (picture_file_whole). `what` names the input.
bool io_check_file(const char *path, const char *what, GError **error);

// The size the file's header gives, read without decoding the picture;
// false when the format does not tell it that way (or the file is none).
bool io_header_size(const char *path, int *width, int *height);

// Decodes a file that io_check_file accepted into a pixbuf of 8 bits per
// sample, RGB or RGBA. Refused: a file the loader reports damaged, even
// when it hands back the part it could read, and other sample formats; a
// loader that runs out of memory fails with MATTE_EXIT_SOLVER instead.
pixbuf_ptr io_decode(const char *path, const char *what, GError **error);

// Reads the constraints file (layer or trimap): checked and decoded as
// above, and refused unless it is `width` x `height`, from its header
// where the format tells the size without decoding.
pixbuf_ptr io_read_constraints(const char *path, int width, int height, GError **error);

// A calculated alpha placed on the picture: `plane` has `height` rows of
// `width` bytes, 0..255, indexed [row][column], covering the picture's
// pixels from column x0, row y0. Pixels outside it have alpha 0.
struct placed_alpha {
  const unsigned char *const *plane;  // not owned
  int x0, y0, width, height;
};

// Writes the result into output->file (after io_output_begin) as RGBA: the
// picture's colours with the placed alpha.
bool io_write_rgba(io_output *output, const GdkPixbuf *picture, const placed_alpha *alpha,
                   GError **error);

// Writes the result into output->file as an 8-bit grey PNG of
// picture_width x picture_height whose grey level is the placed alpha.
bool io_write_alpha(io_output *output, int picture_width, int picture_height,
                    const placed_alpha *alpha, GError **error);
