// Whether a picture file is whole, judged from its own structure before it
// is decoded. gdk-pixbuf's JPEG loader fills whatever a cut-off file lacks
// with grey and reports nothing, so a picture that stopped downloading half
// way would be matted as if it were whole; and libpng allocates a chunk as
// large as its length field claims before it finds the file too short, so a
// few hundred bytes can cost a gigabyte. Toolkit-free.
#pragma once

#include <cstddef>

// True when `data` (size bytes) starts with a JPEG start-of-image marker and
// its segments and entropy-coded scans reach the end-of-image marker before
// the data ends. Bytes after that marker (appended thumbnails, video) do not
// matter, and neither do stray bytes between segments, which decoders skip.
bool jpeg_stream_complete(const unsigned char *data, size_t size);

// True when `data` starts with the PNG signature and its chunks, each within
// the data, reach the IEND chunk. Checksums are the decoder's business.
bool png_stream_complete(const unsigned char *data, size_t size);

// True for a JPEG or PNG stream that is complete as above, and for anything
// else (other formats are left to their loaders); false for a cut-off or
// lying JPEG or PNG.
bool picture_stream_whole(const unsigned char *data, size_t size);
