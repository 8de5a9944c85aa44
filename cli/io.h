// Files of velorin-matte: reading the picture and the constraints with
// gdk-pixbuf (no GTK, no display) and writing the result PNG so that the
// output path holds either its old content or the complete new file, never
// a half-written one.
//
// Every function that can fail returns 0 (or null) and writes one line into
// `error` (error_size bytes, no trailing newline) that names the file and the
// problem; it returns 1 (or the object) on success.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstddef>
#include <cstdio>


// Reads a picture; returns a new reference (g_object_unref it) to a pixbuf
// of 8 bits per sample, RGB or RGBA.
GdkPixbuf *io_read_picture(const char *path, char *error, size_t error_size);

// Reads the constraints file (layer or trimap) and checks that it is
// `width` x `height`; returns a new reference as io_read_picture does.
GdkPixbuf *io_read_constraints(const char *path, int width, int height, char *error,
                               size_t error_size);

// An output being written: a temporary file in the output's own folder (so
// the final rename stays on one file system), renamed over the output path
// by io_output_commit and removed by io_output_abandon.
struct io_output {
  const char *path;  // the final path; not owned
  char *temp_path;   // owned (g_free)
  FILE *file;        // the open temporary file
};

// Creates the temporary file now, so that a missing or read-only output
// folder is reported before any calculation. Until commit or abandon, the
// temporary file is also removed if the process exits (the engine's fatal
// paths) or is ended by SIGINT, SIGTERM or SIGHUP. One output at a time.
int io_output_begin(io_output *output, const char *path, char *error, size_t error_size);

// A calculated alpha placed on the picture: `plane` has `height` rows of
// `width` bytes, 0..255, indexed [row][column], covering the picture's
// pixels from column x0, row y0. Pixels outside it have alpha 0.
struct placed_alpha {
  unsigned char **plane;  // not owned
  int x0, y0, width, height;
};

// Writes the result as RGBA: the picture's colours with the placed alpha.
int io_write_rgba(io_output *output, GdkPixbuf *picture, const placed_alpha *alpha,
                  char *error, size_t error_size);

// Writes the result as an 8-bit grey PNG of picture_width x picture_height
// whose grey level is the placed alpha.
int io_write_alpha(io_output *output, int picture_width, int picture_height,
                   const placed_alpha *alpha, char *error, size_t error_size);

// Flushes, closes and renames the temporary file to the output path; on
// failure the temporary file is removed and the output path left alone.
int io_output_commit(io_output *output, char *error, size_t error_size);

// Closes and removes the temporary file; the output path is left alone.
void io_output_abandon(io_output *output);
