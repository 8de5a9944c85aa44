// The engine's image record and its plane allocation.
#pragma once

#include <cstdint>

// Type letters: 'g' grey (plane), 'c' colour (color_planes 0..2 = R, G, B),
// 'a' colour with alpha (color_planes 0..3), 'p' palette (plane + color_map).
// Only the fields of the record's own type are valid.
struct TIFF_img {
  int32_t height;
  int32_t width;
  char TIFF_type;
  unsigned char **plane;          // [row][column]
  unsigned char ***color_planes;  // [plane][row][column]
  char compress_type;             // always 'u'
  unsigned char **color_map;      // [palette index][R, G, B]
};

// Allocates the planes of the record's type (contents uninitialised).
// Returns 0 on success, 1 (with a message on stderr) for a non-positive size
// or an unknown type letter. The record's plane pointers are reset first, so
// free_TIFF is harmless on a record that get_TIFF refused.
int get_TIFF(TIFF_img *img, int height, int width, char TIFF_type);

// get_TIFF for the engine's and the calculation's own records, whose callers
// guarantee a positive size and a known letter: a refusal there is a
// programming error, so after get_TIFF's message the process ends the
// engine's way (engine_fatal, exit status -1).
void get_TIFF_checked(TIFF_img *img, int height, int width, char TIFF_type);

// Releases the planes of the record's type and nulls their pointers; the
// record itself, its sizes and letters are the caller's and stay as they were.
void free_TIFF(TIFF_img *img);
