#include "cli/picture_stream.h"

#include <cstdint>
#include <cstring>

static const unsigned char MARKER = 0xFF;
static const unsigned char START_OF_IMAGE = 0xD8;
static const unsigned char END_OF_IMAGE = 0xD9;
static const unsigned char START_OF_SCAN = 0xDA;
static const unsigned char TEMPORARY = 0x01;
static const unsigned char FIRST_RESTART = 0xD0, LAST_RESTART = 0xD7;
static const unsigned char STUFFED_ZERO = 0x00;

static const unsigned char PNG_SIGNATURE[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
static const char PNG_LAST_CHUNK[] = "IEND";
static const size_t PNG_CHUNK_FRAME = 12;  // length, type, checksum
static const uint32_t PNG_LARGEST_LENGTH = 0x7FFFFFFF;

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
    if (next == STUFFED_ZERO || next == MARKER ||
        (next >= FIRST_RESTART && next <= LAST_RESTART))
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

bool png_stream_complete(const unsigned char *data, size_t size) {
  if (size < sizeof PNG_SIGNATURE || memcmp(data, PNG_SIGNATURE, sizeof PNG_SIGNATURE) != 0)
    return false;
  size_t pos = sizeof PNG_SIGNATURE;
  while (size - pos >= PNG_CHUNK_FRAME) {
    const uint32_t length = big_endian_32(data + pos);
    if (length > PNG_LARGEST_LENGTH || size - pos - PNG_CHUNK_FRAME < length) return false;
    const bool last = memcmp(data + pos + 4, PNG_LAST_CHUNK, 4) == 0;
    pos += PNG_CHUNK_FRAME + length;
    if (last) return true;
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
