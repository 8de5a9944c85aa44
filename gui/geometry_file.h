// The window-geometry file: where it lives, its 16-byte record, and opening
// it with the folders along its path created.
#pragma once

#include <cstdint>
#include <cstdio>

// Frame position (root-window coordinates) and client size, in pixels.
struct window_geometry {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

enum { GEOMETRY_RECORD_BYTES = 16 };

// Four signed 32-bit little-endian integers x, y, width, height, whatever
// the host's byte order.
void geometry_encode(const window_geometry *geometry, unsigned char record[GEOMETRY_RECORD_BYTES]);
window_geometry geometry_decode(const unsigned char record[GEOMETRY_RECORD_BYTES]);

// Full path of the geometry file: "<folder>/Corvane/velorin/velorin-1.0",
// where folder is $APPDATA when set, else $XDG_CONFIG_HOME, else
// $HOME/.config. Returns a g_malloc'd string, or null when no folder is known.
char *compose_appdata_path(void);

// Like fopen, after creating every missing folder along path (both '\' and
// '/' separate). A folder that cannot be created prints
// "CreateDirectory failed (%d)\n" with errno on stdout and gives null.
FILE *fopen_p(const char *path, const char *mode);

// Reads one record; false when the file is missing or shorter than 16 bytes.
bool read_geometry_file(const char *path, window_geometry *geometry);

// Writes the record, creating the folders; on failure prints
// "can't write persistence data %s" on stdout and returns false.
bool write_geometry_file(const char *path, const window_geometry *geometry);
