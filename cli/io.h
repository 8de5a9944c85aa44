// Files of velorin-matte: reading the picture and the constraints with
// gdk-pixbuf (no GTK, no display) and encoding the result PNG into an
// output (see output_file.h).
//
// Every function that can fail returns 0 (or null) and writes one line into
// `error` (error_size bytes, no trailing newline) that names the file and the
// problem; it returns 1 (or the object) on success.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstddef>
#include <cstdio>

#include "cli/output_file.h"

// Reads a picture; returns a new reference (g_object_unref it) to a pixbuf
// of 8 bits per sample, RGB or RGBA. Refused: a folder, a JPEG or PNG that
// ends before its picture does (checked before decoding), and a file the
// loader reports damaged, even when it hands back the part it could read.
GdkPixbuf *io_read_picture(const char *path, char *error, size_t error_size);

// Reads the constraints file (layer or trimap) as io_read_picture does and
// checks that it is `width` x `height`, from its header where the format
// tells the size without decoding.
GdkPixbuf *io_read_constraints(const char *path, int width, int height, char *error,
                               size_t error_size);

// A calculated alpha placed on the picture: `plane` has `height` rows of
// `width` bytes, 0..255, indexed [row][column], covering the picture's
// pixels from column x0, row y0. Pixels outside it have alpha 0.
struct placed_alpha {
  unsigned char **plane;  // not owned
  int x0, y0, width, height;
};

// Writes the result into output->file (after io_output_begin) as RGBA: the
// picture's colours with the placed alpha.
int io_write_rgba(io_output *output, GdkPixbuf *picture, const placed_alpha *alpha,
                  char *error, size_t error_size);

// Writes the result into output->file as an 8-bit grey PNG of picture_width x picture_height
// whose grey level is the placed alpha.
int io_write_alpha(io_output *output, int picture_width, int picture_height,
                   const placed_alpha *alpha, char *error, size_t error_size);
