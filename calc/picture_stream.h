// Whether a picture file is whole, judged from its own structure before it
// is decoded. gdk-pixbuf's JPEG loader fills whatever a cut-off file lacks
// with grey and reports nothing, so a picture that stopped downloading half
// way would be matted as if it were whole; libpng allocates a chunk as
// large as its length field claims before it finds the file too short, so a
// few hundred bytes can cost a gigabyte; and gdk-pixbuf allocates the whole
// picture a PNG header claims before it reads a pixel, so 68 bytes claiming
// 30000 x 30000 pixels cost 2.7 GB. Shared by velorin-matte and the
// window's open. Toolkit-free.
#pragma once

#include <cstddef>

// True when `data` (size bytes) starts with a JPEG start-of-image marker and
// its segments and entropy-coded scans reach the end-of-image marker before
// the data ends. Bytes after that marker (appended thumbnails, video) do not
// matter, and neither do stray bytes between segments, which decoders skip.
bool jpeg_stream_complete(const unsigned char *data, size_t size);

// True when `data` starts with the PNG signature and its chunks, each within
// the data, reach the IEND chunk, and its image data (the IDAT chunks) can
// hold the picture its header claims: deflate packs at most 1032 bytes into
// one, so fewer compressed bytes than a 1032nd of the picture's rows mean
// the data ends before the picture does. Checksums are the decoder's
// business.
bool png_stream_complete(const unsigned char *data, size_t size);

// True for a JPEG or PNG stream that is complete as above, and for anything
// else (other formats are left to their loaders); false for a cut-off or
// lying JPEG or PNG.
bool picture_stream_whole(const unsigned char *data, size_t size);

// picture_stream_whole of the file at `path`, read only when it is a
// regular file that starts like a JPEG or PNG. Anything else, and a file
// that cannot be read, counts as whole: its loader says what is wrong.
bool picture_file_whole(const char *path);
