#include "cli/output_file.h"

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "cli/cli_error.h"
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

void io_output_remove_pending(void) {
  if (temp_pending.load()) unlink(pending_temp);  // async-signal-safe
}

static void watch_pending_temp(void) {
  static bool registered = false;
  if (!registered) {
    atexit(io_output_remove_pending);  // an exit() while writing takes the file along
    registered = true;
  }
  signals_clean_up_on_interrupt(io_output_remove_pending);
}

// A string from GLib, released with it.
using glib_string = std::unique_ptr<char, decltype(&g_free)>;

static glib_string own(char *text) { return glib_string(text, g_free); }

bool io_output_fail(GError **error, const char *path, const char *reason) {
  if (strcmp(path, OUTPUT_TO_STANDARD_OUTPUT) == 0)
    return cli_fail(error, MATTE_EXIT_INPUT, "cannot write to standard output: %s", reason);
  return cli_fail(error, MATTE_EXIT_INPUT, "cannot write '%s': %s", path, reason);
}

static bool to_standard_output(const io_output *output) {
  return strcmp(output->path, OUTPUT_TO_STANDARD_OUTPUT) == 0;
}

const char *io_output_name(const char *path) {
  return strcmp(path, OUTPUT_TO_STANDARD_OUTPUT) == 0 ? "standard output" : path;
}

// The file `path` names once its symbolic links are followed, so the result
// replaces the link's target and the link stays. A link to a file that does
// not exist yet names that file. False with errno set on a loop or an
// unreadable link.
static bool follow_links(const char *path, std::string *target) {
  std::string current = path;
  for (int hop = 0; hop < MAX_LINK_HOPS; hop++) {
    struct stat st;
    if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *target = current;
      return true;
    }
    const glib_string link = own(g_file_read_link(current.c_str(), nullptr));
    if (!link) return false;  // errno from readlink
    if (g_path_is_absolute(link.get())) {
      current = link.get();
    } else {
      const glib_string folder = own(g_path_get_dirname(current.c_str()));
      current = own(g_build_filename(folder.get(), link.get(), nullptr)).get();
    }
  }
  errno = ELOOP;
  return false;
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
  const char *const inputs[] = {image_path, constraints_path};
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
static bool check_existing_target(io_output *output, const struct stat *st, const char *image_path,
                                  const char *constraints_path, GError **error) {
  if (S_ISDIR(st->st_mode)) return io_output_fail(error, output->path, strerror(EISDIR));
  if (!S_ISREG(st->st_mode)) {
    const glib_string reason = own(g_strdup_printf(
        "it is %s, not a regular file (-o - writes to standard output)", kind_of(st->st_mode)));
    return io_output_fail(error, output->path, reason.get());
  }
  const char *input = input_it_is(st, image_path, constraints_path);
  if (input) {
    const glib_string reason =
        own(g_strdup_printf("it is the input '%s'; choose another output file", input));
    return io_output_fail(error, output->path, reason.get());
  }
  output->target_exists = true;
  output->target_mode = st->st_mode & 07777;
  output->target_owner = st->st_uid;
  output->target_group = st->st_gid;
  return true;
}

// The checks of io_output_prepare for a path other than "-"; fills in
// output->target and what is kept of an existing one.
static bool check_target(io_output *output, const char *image_path, const char *constraints_path,
                         GError **error) {
  const char *path = output->path;
  if (!follow_links(path, &output->target)) return io_output_fail(error, path, strerror(errno));
  struct stat st;
  if (stat(output->target.c_str(), &st) == 0) {
    if (!check_existing_target(output, &st, image_path, constraints_path, error)) return false;
  } else if (errno != ENOENT) {
    return io_output_fail(error, path, strerror(errno));
  }
  // The rename at the end needs to write into the folder; say so now rather
  // than after the calculation.
  const glib_string folder = own(g_path_get_dirname(output->target.c_str()));
  if (access(folder.get(), W_OK | X_OK) != 0) return io_output_fail(error, path, strerror(errno));
  return true;
}

bool io_output_prepare(io_output *output, const char *path, FILE *standard_output,
                       const char *image_path, const char *constraints_path, GError **error) {
  output->path = path;
  output->standard_output = standard_output;
  if (to_standard_output(output) || check_target(output, image_path, constraints_path, error))
    return true;
  io_output_abandon(output);
  return false;
}

// ".NAME.XXXXXX" in the target's folder, with NAME cut (at a character
// boundary) so that the temporary name fits where the target's name fits.
static std::string temp_template(const std::string &target) {
  const glib_string folder = own(g_path_get_dirname(target.c_str()));
  const glib_string base = own(g_path_get_basename(target.c_str()));
  long name_max = pathconf(folder.get(), _PC_NAME_MAX);
  if (name_max <= 0) name_max = FALLBACK_NAME_MAX;
  size_t keep = strlen(base.get());
  const size_t room = static_cast<size_t>(name_max) - 1 - (sizeof TEMP_SUFFIX - 1);
  if (keep > room) {
    keep = room;
    while (keep > 0 && (static_cast<unsigned char>(base.get()[keep]) & 0xC0) == 0x80) keep--;
  }
  const std::string name = "." + std::string(base.get(), keep) + TEMP_SUFFIX;
  return own(g_build_filename(folder.get(), name.c_str(), nullptr)).get();
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
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, NEW_FILE_MODE & ~mask);
}

bool io_output_begin(io_output *output, GError **error) {
  if (to_standard_output(output)) {
    output->file = output->standard_output;
    return true;
  }
  const std::string temp = temp_template(output->target);
  if (temp.size() >= sizeof pending_temp)
    return io_output_fail(error, output->path, strerror(ENAMETOOLONG));
  watch_pending_temp();
  strcpy(pending_temp, temp.c_str());
  temp_pending = true;
  const int fd = mkstemp(pending_temp);  // fills in the name where the cleanup reads it
  if (fd < 0) {
    const int reason = errno;
    temp_pending = false;
    return io_output_fail(error, output->path, strerror(reason));
  }
  output->temp_path = pending_temp;
  give_permissions(output, fd);
  output->file = fdopen(fd, "wb");
  if (!output->file) {
    const int reason = errno;
    close(fd);
    io_output_abandon(output);
    return io_output_fail(error, output->path, strerror(reason));
  }
  return true;
}

// Flushes the PNG to standard output, or to disk and renames it into place;
// returns false with errno set on failure.
static bool finish_writing(io_output *output) {
  FILE *file = output->file;
  output->file = nullptr;
  if (to_standard_output(output)) return fflush(file) == 0 && !ferror(file);
  bool ok = fflush(file) == 0 && fsync(fileno(file)) == 0;
  int reason = errno;
  if (fclose(file) != 0 && ok) {
    ok = false;
    reason = errno;
  }
  if (ok && rename(output->temp_path.c_str(), output->target.c_str()) != 0) {
    ok = false;
    reason = errno;
  }
  if (ok) {  // the temporary name is gone; nothing is left to clean up
    temp_pending = false;
    output->temp_path.clear();
  }
  errno = reason;
  return ok;
}

bool io_output_commit(io_output *output, GError **error) {
  const bool ok = finish_writing(output);
  const int reason = errno;
  io_output_abandon(output);
  return ok || io_output_fail(error, output->path, strerror(reason ? reason : EIO));
}

void io_output_abandon(io_output *output) {
  if (output->file && output->file != output->standard_output) fclose(output->file);
  output->file = nullptr;
  if (!output->temp_path.empty()) {
    unlink(output->temp_path.c_str());
    temp_pending = false;
  }
  output->temp_path.clear();
  output->target.clear();
}

io_output::~io_output() { io_output_abandon(this); }
