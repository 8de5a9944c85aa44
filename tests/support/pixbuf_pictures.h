// Synthetic pictures as gdk-pixbuf pixbufs and PNG files, for the tests of
// the command line and the window (pictures.h has the pixel functions).
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <string>
#include <vector>

#include "tests/support/pictures.h"

// A new width x height pixbuf (g_object_unref), RGBA when has_alpha, else RGB.
GdkPixbuf *make_pixbuf(int width, int height, bool has_alpha, const pixel_fn &pixel);

// Saves the picture as a PNG (as make_pixbuf makes it); a test failure if
// that fails.
void write_png(const std::string &path, int width, int height, bool has_alpha,
               const pixel_fn &pixel);

// One channel (0 red .. 3 alpha) of a picture file, row by row; empty when
// the file cannot be read.
std::vector<int> read_channel(const std::string &path, int channel);
