#include "gui/geometry_file.h"

#include <glib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

static const char GEOMETRY_FILE_SUFFIX[] = "/Corvane/velorin/velorin-1.0";

static void put_le32(unsigned char *out, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; i++) out[i] = static_cast<unsigned char>(v >> (8 * i));
}

static int32_t get_le32(const unsigned char *in) {
  uint32_t v = 0;
  for (int i = 0; i < 4; i++) v |= static_cast<uint32_t>(in[i]) << (8 * i);
  return static_cast<int32_t>(v);
}

static bool is_set(const char *value) { return value != NULL && value[0] != '\0'; }

// An existing folder counts as created; an existing file in its place does
// not, since nothing could be written below it.
static bool make_folder(const char *path) {
  if (mkdir(path, 0777) == 0) return true;
  const int error = errno;
  struct stat st;
  if (error == EEXIST && stat(path, &st) == 0 && S_ISDIR(st.st_mode)) return true;
  printf("CreateDirectory failed (%d)\n", error);
  fflush(stdout);
  return false;
}

void geometry_encode(const window_geometry *geometry, unsigned char record[GEOMETRY_RECORD_BYTES]) {
  put_le32(record + 0, geometry->x);
  put_le32(record + 4, geometry->y);
  put_le32(record + 8, geometry->width);
  put_le32(record + 12, geometry->height);
}

window_geometry geometry_decode(const unsigned char record[GEOMETRY_RECORD_BYTES]) {
  window_geometry geometry;
  geometry.x = get_le32(record + 0);
  geometry.y = get_le32(record + 4);
  geometry.width = get_le32(record + 8);
  geometry.height = get_le32(record + 12);
  return geometry;
}

char *compose_appdata_path(void) {
  const char *appdata_dir = getenv("APPDATA");
  if (is_set(appdata_dir)) return g_strconcat(appdata_dir, GEOMETRY_FILE_SUFFIX, NULL);
  const char *config_dir = getenv("XDG_CONFIG_HOME");
  if (is_set(config_dir)) return g_strconcat(config_dir, GEOMETRY_FILE_SUFFIX, NULL);
  const char *home = getenv("HOME");
  if (is_set(home)) return g_strconcat(home, "/.config", GEOMETRY_FILE_SUFFIX, NULL);
  return NULL;
}

FILE *fopen_p(const char *path, const char *mode) {
  g_autofree char *copy = g_strdup(path);
  // Position 0 is skipped: a leading separator names the root, not a folder.
  for (size_t i = 1; copy[i] != '\0'; i++) {
    if (copy[i] != '/' && copy[i] != '\\') continue;
    const char separator = copy[i];
    copy[i] = '\0';
    const bool made = make_folder(copy);
    copy[i] = separator;
    if (!made) return NULL;
  }
  return fopen(path, mode);
}

bool read_geometry_file(const char *path, window_geometry *geometry) {
  FILE *file = fopen(path, "rb");
  if (file == NULL) return false;
  unsigned char record[GEOMETRY_RECORD_BYTES];
  const size_t got = fread(record, 1, sizeof record, file);
  fclose(file);
  if (got < sizeof record) return false;
  *geometry = geometry_decode(record);
  return true;
}

bool write_geometry_file(const char *path, const window_geometry *geometry) {
  FILE *file = fopen_p(path, "wb");
  if (file == NULL) {
    printf("can't write persistence data %s", path);
    fflush(stdout);
    return false;
  }
  unsigned char record[GEOMETRY_RECORD_BYTES];
  geometry_encode(geometry, record);
  const bool written = fwrite(record, 1, sizeof record, file) == sizeof record;
  return (fclose(file) == 0) && written;
}
