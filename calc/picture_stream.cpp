#include "calc/picture_stream.h"

#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

static const unsigned char MARKER = 0xFF;
static const unsigned char START_OF_IMAGE = 0xD8;
static const unsigned char END_OF_IMAGE = 0xD9;
static const unsigned char START_OF_SCAN = 0xDA;
static const unsigned char TEMPORARY = 0x01;
static const unsigned char FIRST_RESTART = 0xD0, LAST_RESTART = 0xD7;
static const unsigned char STUFFED_ZERO = 0x00;

static const unsigned char PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
static const char PNG_HEADER_CHUNK[] = "IHDR";
static const char PNG_DATA_CHUNK[] = "IDAT";
static const char PNG_LAST_CHUNK[] = "IEND";
static const size_t PNG_CHUNK_FRAME = 12;  // length, type, checksum
static const uint32_t PNG_LARGEST_LENGTH = 0x7FFFFFFF;
static const uint32_t PNG_HEADER_LENGTH = 13;
// Deflate's best case: a 258-byte match in two bits.
static const double DEFLATE_LARGEST_RATIO = 1032;

// Markers that stand alone, without a length field.
static bool stands_alone(unsigned char code) {
  return code == TEMPORARY || code == START_OF_IMAGE ||
         (code >= FIRST_RESTART && code <= LAST_RESTART);
}

// Inside a scan, 0xFF is followed by a stuffed zero, a restart marker or
// another fill byte; anything else is the marker that ends the scan. Returns
// the position of that marker's 0xFF, or size when the data ends first.
static size_t end_of_scan(const unsigned char *data, size_t size, size_t pos) {
  for (; pos + 1 < size; pos++) {
    if (data[pos] != MARKER) continue;
    const unsigned char next = data[pos + 1];
    if (next == STUFFED_ZERO || next == MARKER || (next >= FIRST_RESTART && next <= LAST_RESTART))
      continue;
    return pos;
  }
  return size;
}

bool jpeg_stream_complete(const unsigned char *data, size_t size) {
  if (size < 2 || data[0] != MARKER || data[1] != START_OF_IMAGE) return false;
  size_t pos = 2;
  for (;;) {
    while (pos < size && data[pos] != MARKER) pos++;  // stray bytes
    while (pos < size && data[pos] == MARKER) pos++;  // fill bytes
    if (pos >= size) return false;
    const unsigned char code = data[pos++];
    if (code == END_OF_IMAGE) return true;
    if (stands_alone(code)) continue;
    if (size - pos < 2) return false;
    const size_t length = static_cast<size_t>(data[pos]) << 8 | data[pos + 1];
    if (length < 2 || size - pos < length) return false;
    pos += length;
    if (code == START_OF_SCAN) pos = end_of_scan(data, size, pos);
  }
}

static uint32_t big_endian_32(const unsigned char *p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// Samples per pixel of a PNG colour type (grey, RGB, palette, grey + alpha,
// RGBA); 0 for a type PNG does not have, which the decoder refuses itself.
static int png_samples(unsigned char colour_type) {
  switch (colour_type) {
    case 0:
      return 1;
    case 2:
      return 3;
    case 3:
      return 1;
    case 4:
      return 2;
    case 6:
      return 4;
  }
  return 0;
}

// The fewest bytes the inflated image data of a header's picture can have:
// each row its filter byte and its samples (interlacing only adds rows).
static double png_least_raw_bytes(const unsigned char *header) {
  const double width = big_endian_32(header), height = big_endian_32(header + 4);
  const double bits_per_pixel = static_cast<double>(header[8]) * png_samples(header[9]);
  return height * (1 + std::ceil(width * bits_per_pixel / 8));
}

bool png_stream_complete(const unsigned char *data, size_t size) {
  if (size < sizeof PNG_SIGNATURE || memcmp(data, PNG_SIGNATURE, sizeof PNG_SIGNATURE) != 0)
    return false;
  size_t pos = sizeof PNG_SIGNATURE;
  double least_raw_bytes = 0, data_bytes = 0;
  while (size - pos >= PNG_CHUNK_FRAME) {
    const uint32_t length = big_endian_32(data + pos);
    if (length > PNG_LARGEST_LENGTH || size - pos - PNG_CHUNK_FRAME < length) return false;
    const unsigned char *type = data + pos + 4;
    if (memcmp(type, PNG_HEADER_CHUNK, 4) == 0 && length == PNG_HEADER_LENGTH)
      least_raw_bytes = png_least_raw_bytes(type + 4);
    if (memcmp(type, PNG_DATA_CHUNK, 4) == 0) data_bytes += length;
    pos += PNG_CHUNK_FRAME + length;
    if (memcmp(type, PNG_LAST_CHUNK, 4) == 0)
      return least_raw_bytes <= DEFLATE_LARGEST_RATIO * data_bytes;
  }
  return false;
}

bool picture_stream_whole(const unsigned char *data, size_t size) {
  if (size >= 2 && data[0] == MARKER && data[1] == START_OF_IMAGE)
    return jpeg_stream_complete(data, size);
  if (size >= sizeof PNG_SIGNATURE && memcmp(data, PNG_SIGNATURE, sizeof PNG_SIGNATURE) == 0)
    return png_stream_complete(data, size);
  return true;
}

// The first bytes of the file: enough to tell a JPEG or a PNG.
static bool starts_as_jpeg_or_png(FILE *file) {
  unsigned char start[sizeof PNG_SIGNATURE];
  const size_t got = fread(start, 1, sizeof start, file);
  return (got >= 2 && start[0] == MARKER && start[1] == START_OF_IMAGE) ||
         (got == sizeof PNG_SIGNATURE && memcmp(start, PNG_SIGNATURE, got) == 0);
}

bool picture_file_whole(const char *path) {
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return true;
  const std::unique_ptr<FILE, int (*)(FILE *)> file(fopen(path, "rb"), fclose);
  if (!file || !starts_as_jpeg_or_png(file.get())) return true;
  std::vector<unsigned char> bytes(static_cast<size_t>(st.st_size));
  rewind(file.get());
  const size_t got = fread(bytes.data(), 1, bytes.size(), file.get());
  return picture_stream_whole(bytes.data(), got);
}
