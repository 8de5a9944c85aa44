// The output of velorin-matte: a PNG file that holds either what it held
// before or the complete new result, never half of it, or standard output.
//
// The checks come before the calculation (io_output_prepare), so a refusal
// costs no solve; the temporary file comes after it (io_output_begin), so a
// run that is killed, interrupted or fails while it calculates leaves
// nothing behind. The temporary file lives in the folder of the file it
// replaces, so the final rename stays on one file system.
//
// Every function that can fail returns false and sets *error (CLI_ERROR,
// MATTE_EXIT_INPUT): one line naming the output and the problem.
#pragma once

#include <glib.h>
#include <sys/types.h>

#include <cstdio>
#include <string>

// The output path that means standard output.
#define OUTPUT_TO_STANDARD_OUTPUT "-"

// One output from prepare to commit. Whatever it still holds when it goes
// out of scope is abandoned (the temporary file removed, the target left).
struct io_output {
  const char *path = nullptr;       // as given; not owned
  FILE *standard_output = nullptr;  // where "-" writes; not owned
  std::string target;               // the file to replace, symbolic links
                                    // followed; empty for standard output
  bool target_exists = false;       // its owner and mode are kept
  mode_t target_mode = 0;
  uid_t target_owner = 0;
  gid_t target_group = 0;
  std::string temp_path;  // the temporary file, from begin on
  FILE *file = nullptr;   // where the PNG goes, from begin on

  io_output() = default;
  io_output(const io_output &) = delete;
  io_output &operator=(const io_output &) = delete;
  ~io_output();
};

// The output's name in progress lines: the path, or "standard output".
const char *io_output_name(const char *path);

// Sets *error to the failure to write `path` for `reason`.
bool io_output_fail(GError **error, const char *path, const char *reason);

// Checks, without creating anything, that `path` can take the result:
// "-" always can (standard_output receives it); any other path is followed
// through its symbolic links to the file it names, which must be a regular
// file or not exist yet, must not be the picture or the constraints file
// (compared as files, not names), and must lie in a writable folder.
// `output` must be fresh (default-constructed).
bool io_output_prepare(io_output *output, const char *path, FILE *standard_output,
                       const char *image_path, const char *constraints_path, GError **error);

// Opens output->file: standard output, or a new temporary file next to the
// target with the target's owner and permission bits (a new file's: 0666
// less the umask). Until commit or abandon the temporary file is removed if
// the process exits or is ended by INT, TERM, HUP or QUIT.
bool io_output_begin(io_output *output, GError **error);

// Flushes the written PNG; renames the temporary file over the target. On
// failure the temporary file is removed and the target left alone. Either
// way the output is finished.
bool io_output_commit(io_output *output, GError **error);

// Removes the temporary file if there is one and finishes the output; the
// target is left alone. Safe after prepare, begin or a failed commit, and
// more than once.
void io_output_abandon(io_output *output);

// Removes the temporary file of an output that is being written, if any,
// without allocating (async-signal-safe): for an end of the process that
// runs no exit handlers.
void io_output_remove_pending(void);
