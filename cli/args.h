// Command-line arguments of velorin-matte, parsed into one plain record.
// Parsing checks only what it can see without the picture: option syntax,
// the fixed ranges of the calculation options, and the three file names.
// The bound on --levels depends on the picture's size and is checked once
// the picture has been read (see matte_cli); so is --levels auto decided.
#pragma once

#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "calc/options.h"

#define VELORIN_MATTE_NAME "velorin-matte"  // program name in every message

// How the CONSTRAINTS file is to be read.
enum constraint_choice {
  CHOOSE_BY_ALPHA_CHANNEL,  // a stroke layer if it has alpha, else a trimap
  CHOOSE_LAYER,             // --layer: alpha 255 = constraint
  CHOOSE_TRIMAP,            // --trimap: 0 = background, 255 = foreground
};

struct cli_args {
  const char *image_path;        // points into argv
  const char *constraints_path;  // points into argv
  const char *output_path;       // points into argv
  constraint_choice constraints;
  option_args options;                         // the calculation options (--foreground sets
                                               // estimate_foreground); picture size unset
  int levels_auto;                             // 1: --levels auto, levels decided from the input
  int active_given;                            // 1 when --active was given
  uint64_t memory_limit;                       // --max-memory in bytes; 0: not given
  int region_is_set;                           // 1 when --region was given
  int region_x, region_y, region_w, region_h;  // picture pixels, unclipped
  int alpha_only;                              // 1: write an 8-bit grey alpha PNG
  int quiet;                                   // 1: no progress on standard error
};

enum parse_outcome {
  PARSE_RUN,      // args filled; go ahead
  PARSE_HELP,     // --help: print the usage, exit 0
  PARSE_VERSION,  // --version: print the version, exit 0
  PARSE_ERROR,    // *error (CLI_ERROR, MATTE_EXIT_INPUT) says what is wrong
};

// Parses argv[1..argc-1]. Options may come before, between or after the
// operands; "--name value" and "--name=value" are both accepted; "--" ends
// the options. On PARSE_ERROR, *error names the problem (free it).
parse_outcome parse_cli_args(int argc, const char *const *argv, cli_args *args, GError **error);

// The usage text with the options table (defaults and ranges).
void print_usage(FILE *stream);
