// Single-pixel access to gdk-pixbufs and cairo image surfaces, straight on
// their pixel memory.
//
// Pixbufs: 8-bit RGB with 3 or 4 channels, pixel (x, y) at byte
// y * rowstride + x * n_channels; alpha is straight (not premultiplied).
// Surfaces: ARGB32 or RGB24, pixel (x, y) at byte y * stride + 4 * x, stored
// in memory as blue, green, red, alpha. The surface helpers move the stored
// bytes as they are: no premultiplication, no flush, no mark-dirty; callers
// mixing cairo drawing with these do that themselves.
//
// Note the argument orders: pixbuf helpers take red, green, blue, alpha;
// surface helpers alpha, red, green, blue.
//
// Failure: a pixbuf that is not 8-bit RGB with 3 or 4 channels, a surface of
// another format, or a surface write outside the surface ends the process
// with an assertion message naming the file, line, helper and condition.
// Other out-of-range coordinates are tolerated: the pixbuf write does
// nothing and both getters leave their outputs as they were.
#pragma once

#include <cairo.h>
#include <gdk-pixbuf/gdk-pixbuf.h>

// Writes red, green, blue; alpha only when the pixbuf has 4 channels.
void gdkpixbuf_put_pixel(GdkPixbuf *pixbuf, int x, int y, guchar red, guchar green, guchar blue,
                         guchar alpha);

// Reads red, green, blue and alpha (255 for a 3-channel pixbuf).
void gdkpixbuf_get_pixel(GdkPixbuf *pixbuf, int x, int y, guchar *red, guchar *green, guchar *blue,
                         guchar *alpha);

// Stores the four bytes; (x, y) must lie inside the surface.
void cairoimagesurface_put_pixel(cairo_surface_t *surface, int x, int y, guchar alpha, guchar red,
                                 guchar green, guchar blue);

// Returns the four stored bytes.
void cairoimagesurface_get_pixel(cairo_surface_t *surface, int x, int y, guchar *alpha, guchar *red,
                                 guchar *green, guchar *blue);
