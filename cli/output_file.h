// The output of velorin-matte: a PNG file that holds either what it held
// before or the complete new result, never half of it, or standard output.
//
// The checks come before the calculation (io_output_prepare), so a refusal
// costs no solve; the temporary file comes after it (io_output_begin), so a
// run that is killed, interrupted or fails while it calculates leaves
// nothing behind. The temporary file lives in the folder of the file it
// replaces, so the final rename stays on one file system.
//
// Every function that can fail returns 0 and writes one line into `error`
// (error_size bytes, no trailing newline) naming the output and the problem.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdio>

// The output path that means standard output.
#define OUTPUT_TO_STANDARD_OUTPUT "-"

struct io_output {
  const char *path;        // as given; not owned
  FILE *standard_output;   // where "-" writes; not owned
  char *target;            // the file to replace, symbolic links followed
                           // (g_free); null for standard output
  int target_exists;       // 1: target exists; its owner and mode are kept
  mode_t target_mode;
  uid_t target_owner;
  gid_t target_group;
  char *temp_path;         // the temporary file, from begin on (g_free)
  FILE *file;              // where the PNG goes, from begin on
};

// The output's name in progress lines: the path, or "standard output".
const char *io_output_name(const char *path);

// The message of a failure to write `path`, into error (error_size bytes).
void io_output_failed(const char *path, const char *reason, char *error, size_t error_size);

// Checks, without creating anything, that `path` can take the result:
// "-" always can (standard_output receives it); any other path is followed
// through its symbolic links to the file it names, which must be a regular
// file or not exist yet, must not be the picture or the constraints file
// (compared as files, not names), and must lie in a writable folder.
// On success `output` owns what this allocates until commit or abandon; on
// failure nothing is left to release.
int io_output_prepare(io_output *output, const char *path, FILE *standard_output,
                      const char *image_path, const char *constraints_path, char *error,
                      size_t error_size);

// Opens output->file: standard output, or a new temporary file next to the
// target with the target's owner and permission bits (a new file's: 0666
// less the umask). Until commit or abandon the temporary file is removed if
// the process exits or is ended by INT, TERM, HUP or QUIT.
int io_output_begin(io_output *output, char *error, size_t error_size);

// Flushes the written PNG; renames the temporary file over the target. On
// failure the temporary file is removed and the target left alone. Either
// way the output is finished and its memory released.
int io_output_commit(io_output *output, char *error, size_t error_size);

// Removes the temporary file if there is one and releases the output; the
// target is left alone. Safe after prepare, begin or a failed commit.
void io_output_abandon(io_output *output);
