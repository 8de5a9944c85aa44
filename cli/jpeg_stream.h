// Whether a JPEG file holds its whole image. gdk-pixbuf's JPEG loader fills
// whatever a cut-off file lacks with grey and reports nothing, so a picture
// that stopped downloading half way would be matted as if it were whole.
// Toolkit-free.
#pragma once

#include <cstddef>

// True when `data` (size bytes) starts with a JPEG start-of-image marker and
// its segments and entropy-coded scans reach the end-of-image marker before
// the data ends. Bytes after that marker (appended thumbnails, video) do not
// matter, and neither do stray bytes between segments, which decoders skip.
// False for anything that ends early or is no JPEG at all.
bool jpeg_stream_complete(const unsigned char *data, size_t size);
