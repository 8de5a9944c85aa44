// The least memory a picture takes to open or to matte, told from the size
// in its header before it is decoded: a file of a few bytes can claim
// 65535 x 65535 pixels, and decoding it first would take the memory it
// claims (13 GB) before anything could refuse it. Shared by velorin-matte
// and the window's open. Toolkit-free.
#pragma once

#include <cstdint>

#include "calc/solver_status.h"

// Bytes a decoded width x height picture takes at least: gdk-pixbuf holds
// every picture with 8-bit red, green and blue (and perhaps alpha) samples.
double decoded_picture_bytes(int width, int height);

// Bytes every calculation of a region of `pixels` pixels holds at least,
// whatever its settings, besides the decoded pictures: the region's colours
// (3 a pixel), its constraint mask and values (16), a matte of doubles (8)
// and the 8-bit result (1). Measured peaks are far higher: 106 bytes a
// pixel in all with the cheapest settings (velorin-matte --levels 5
// --active 1 on 1 and 4 MP), 225 at the defaults on a trimap.
double calculation_bytes(double pixels);

// Whether `bytes` more fit now, by the test the solve makes before a
// factorisation: the process's resident memory plus `bytes` against
// memory_limit (0: the resident memory plus what the system has available).
// Fills details' needed and available bytes (its suggestion stays empty),
// as calculation_failure_message reports a refusal for memory.
bool memory_allows(double bytes, uint64_t memory_limit, failure_details *details);
