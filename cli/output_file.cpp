#include "cli/output_file.h"

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "cli/signals.h"

// Linux gives up on a path after this many symbolic links; so does the output.
static const int MAX_LINK_HOPS = 40;
static const long FALLBACK_NAME_MAX = 255;
static const char TEMP_SUFFIX[] = ".XXXXXX";
static const mode_t NEW_FILE_MODE = 0666;

// The temporary file being written, for the exit and signal cleanup. The
// name lives in static storage so a handler never reads freed memory; the
// flag is raised before the file is created and lowered after it is renamed
// or removed, so a signal at any moment finds either no file or its name.
static char pending_temp[PATH_MAX];
static std::atomic<bool> temp_pending{false};

static void remove_pending_temp(void) {
  if (temp_pending.load()) unlink(pending_temp);  // async-signal-safe
}

static void watch_pending_temp(void) {
  static bool registered = false;
  if (!registered) {
    atexit(remove_pending_temp);  // an exit() while writing takes the file along
    registered = true;
  }
  signals_clean_up_on_interrupt(remove_pending_temp);
}

void io_output_failed(const char *path, const char *reason, char *error, size_t error_size) {
  if (strcmp(path, OUTPUT_TO_STANDARD_OUTPUT) == 0)
    snprintf(error, error_size, "cannot write to standard output: %s", reason);
  else
    snprintf(error, error_size, "cannot write '%s': %s", path, reason);
}

static int fail(const char *path, const char *reason, char *error, size_t error_size) {
  io_output_failed(path, reason, error, error_size);
  return 0;
}

static bool to_standard_output(const io_output *output) {
  return strcmp(output->path, OUTPUT_TO_STANDARD_OUTPUT) == 0;
}

const char *io_output_name(const char *path) {
  return strcmp(path, OUTPUT_TO_STANDARD_OUTPUT) == 0 ? "standard output" : path;
}

// The file `path` names once its symbolic links are followed (g_free), so
// the result replaces the link's target and the link stays. A link to a
// file that does not exist yet names that file. Null with errno set on a
// loop or an unreadable link.
static char *follow_links(const char *path) {
  char *current = g_strdup(path);
  for (int hop = 0; hop < MAX_LINK_HOPS; hop++) {
    struct stat st;
    if (lstat(current, &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char *link = g_file_read_link(current, nullptr);
    if (!link) {
      int reason = errno;
      g_free(current);
      errno = reason;
      return nullptr;
    }
    char *next = link;
    if (!g_path_is_absolute(link)) {
      char *folder = g_path_get_dirname(current);
      next = g_build_filename(folder, link, nullptr);
      g_free(folder);
      g_free(link);
    }
    g_free(current);
    current = next;
  }
  g_free(current);
  errno = ELOOP;
  return nullptr;
}

static const char *kind_of(mode_t mode) {
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

// Writing over the picture or the constraints would destroy an input; the
// comparison is by file so that other spellings, links and hard links count.
static const char *input_it_is(const struct stat *target, const char *image_path,
                               const char *constraints_path) {
  const char *inputs[] = {image_path, constraints_path};
  for (const char *input : inputs) {
    struct stat st;
    if (input && stat(input, &st) == 0 && st.st_dev == target->st_dev &&
        st.st_ino == target->st_ino)
      return input;
  }
  return nullptr;
}

// Refuses an existing target that is not a regular file or is an input;
// records the owner and mode of one that is.
static int check_existing_target(io_output *output, const struct stat *st,
                                 const char *image_path, const char *constraints_path,
                                 char *error, size_t error_size) {
  if (S_ISDIR(st->st_mode)) return fail(output->path, strerror(EISDIR), error, error_size);
  if (!S_ISREG(st->st_mode)) {
    char reason[160];
    snprintf(reason, sizeof reason, "it is %s, not a regular file (-o - writes to standard output)",
             kind_of(st->st_mode));
    return fail(output->path, reason, error, error_size);
  }
  const char *input = input_it_is(st, image_path, constraints_path);
  if (input) {
    char reason[PATH_MAX + 64];
    snprintf(reason, sizeof reason, "it is the input '%s'; choose another output file", input);
    return fail(output->path, reason, error, error_size);
  }
  output->target_exists = 1;
  output->target_mode = st->st_mode & 07777;
  output->target_owner = st->st_uid;
  output->target_group = st->st_gid;
  return 1;
}

// The checks of io_output_prepare for a path other than "-"; fills in
// output->target and what is kept of an existing one.
static int check_target(io_output *output, const char *image_path,
                        const char *constraints_path, char *error, size_t error_size) {
  const char *path = output->path;
  output->target = follow_links(path);
  if (!output->target) return fail(path, strerror(errno), error, error_size);
  struct stat st;
  if (stat(output->target, &st) == 0) {
    if (!check_existing_target(output, &st, image_path, constraints_path, error, error_size))
      return 0;
  } else if (errno != ENOENT) {
    return fail(path, strerror(errno), error, error_size);
  }
  // The rename at the end needs to write into the folder; say so now rather
  // than after the calculation.
  char *folder = g_path_get_dirname(output->target);
  int writable = access(folder, W_OK | X_OK) == 0;
  int reason = errno;
  g_free(folder);
  if (!writable) return fail(path, strerror(reason), error, error_size);
  return 1;
}

int io_output_prepare(io_output *output, const char *path, FILE *standard_output,
                      const char *image_path, const char *constraints_path, char *error,
                      size_t error_size) {
  *output = io_output{};
  output->path = path;
  output->standard_output = standard_output;
  if (to_standard_output(output) ||
      check_target(output, image_path, constraints_path, error, error_size))
    return 1;
  io_output_abandon(output);
  return 0;
}

// ".NAME.XXXXXX" in the target's folder, with NAME cut (at a character
// boundary) so that the temporary name fits where the target's name fits.
static char *temp_template(const char *target) {
  char *folder = g_path_get_dirname(target);
  char *base = g_path_get_basename(target);
  long name_max = pathconf(folder, _PC_NAME_MAX);
  if (name_max <= 0) name_max = FALLBACK_NAME_MAX;
  size_t keep = strlen(base);
  const size_t room = static_cast<size_t>(name_max) - 1 - (sizeof TEMP_SUFFIX - 1);
  if (keep > room) {
    keep = room;
    while (keep > 0 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80) keep--;
  }
  base[keep] = '\0';
  char *name = g_strdup_printf(".%s%s", base, TEMP_SUFFIX);
  char *temp = g_build_filename(folder, name, nullptr);
  g_free(name);
  g_free(base);
  g_free(folder);
  return temp;
}

// The permissions the result gets: those of the file it replaces, or a new
// file's. mkstemp makes the file private.
static void give_permissions(const io_output *output, int fd) {
  if (output->target_exists) {
    if (fchown(fd, output->target_owner, output->target_group) != 0) {
      // Only root may give a file away; for anyone else it stays theirs.
    }
    fchmod(fd, output->target_mode);
    return;
  }
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, NEW_FILE_MODE & ~mask);
}

int io_output_begin(io_output *output, char *error, size_t error_size) {
  if (to_standard_output(output)) {
    output->file = output->standard_output;
    return 1;
  }
  char *temp = temp_template(output->target);
  if (strlen(temp) >= sizeof pending_temp) {
    g_free(temp);
    return fail(output->path, strerror(ENAMETOOLONG), error, error_size);
  }
  watch_pending_temp();
  strcpy(pending_temp, temp);
  g_free(temp);
  temp_pending = true;
  int fd = mkstemp(pending_temp);  // fills in the name where the cleanup reads it
  if (fd < 0) {
    int reason = errno;
    temp_pending = false;
    return fail(output->path, strerror(reason), error, error_size);
  }
  output->temp_path = g_strdup(pending_temp);
  give_permissions(output, fd);
  output->file = fdopen(fd, "wb");
  if (!output->file) {
    int reason = errno;
    close(fd);
    io_output_abandon(output);
    return fail(output->path, strerror(reason), error, error_size);
  }
  return 1;
}

// Flushes the PNG to standard output, or to disk and renames it into place;
// returns 0 with errno set on failure.
static int finish_writing(io_output *output) {
  FILE *file = output->file;
  output->file = nullptr;
  if (to_standard_output(output)) return fflush(file) == 0 && !ferror(file);
  int ok = fflush(file) == 0 && fsync(fileno(file)) == 0;
  int reason = errno;
  if (fclose(file) != 0 && ok) {
    ok = 0;
    reason = errno;
  }
  if (ok && rename(output->temp_path, output->target) != 0) {
    ok = 0;
    reason = errno;
  }
  if (ok) {  // the temporary name is gone; nothing is left to clean up
    temp_pending = false;
    g_free(output->temp_path);
    output->temp_path = nullptr;
  }
  errno = reason;
  return ok;
}

int io_output_commit(io_output *output, char *error, size_t error_size) {
  int ok = finish_writing(output);
  int reason = errno;
  io_output_abandon(output);
  return ok ? 1 : fail(output->path, strerror(reason ? reason : EIO), error, error_size);
}

void io_output_abandon(io_output *output) {
  if (output->file && output->file != output->standard_output) fclose(output->file);
  output->file = nullptr;
  if (output->temp_path) {
    unlink(output->temp_path);
    temp_pending = false;
  }
  g_free(output->temp_path);
  g_free(output->target);
  output->temp_path = nullptr;
  output->target = nullptr;
}
