// The window-geometry file without a window.
#include "gui/geometry_file.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// A fresh folder, removed with everything in it at the end of the test.
struct fresh_folder {
  std::string path;
  fresh_folder() {
    char *dir = g_dir_make_tmp("velorin-geometry-XXXXXX", NULL);
    path = dir;
    g_free(dir);
  }
  ~fresh_folder() { remove_tree(path); }
  static void remove_tree(const std::string &path) {
    if (GDir *folder = g_dir_open(path.c_str(), 0, NULL)) {
      while (const char *name = g_dir_read_name(folder)) remove_tree(path + "/" + name);
      g_dir_close(folder);
    }
    g_remove(path.c_str());
  }
};

TEST(GeometryRecord, IsFourLittleEndianSignedIntegers) {
  const window_geometry g = {-20, 258, 720, 480};
  unsigned char record[GEOMETRY_RECORD_BYTES];
  geometry_encode(&g, record);
  const unsigned char expected[GEOMETRY_RECORD_BYTES] = {0xEC, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0, 0,
                                                         0xD0, 0x02, 0,    0,    0xE0, 0x01, 0, 0};
  for (int i = 0; i < GEOMETRY_RECORD_BYTES; i++) EXPECT_EQ(record[i], expected[i]) << "byte " << i;
  const window_geometry back = geometry_decode(record);
  EXPECT_EQ(back.x, -20);
  EXPECT_EQ(back.height, 480);
}

// Both separators make folders; a short record reads as nothing; a file
// where a folder belongs fails the write.
TEST(GeometryFile, IsWrittenThroughMissingFoldersAndReadBackWholeOnly) {
  fresh_folder folder;
  const std::string &dir = folder.path;
  const std::string path = dir + "/one\\two/three/record";
  const window_geometry saved = {37, -45, 500, 400};
  ASSERT_TRUE(write_geometry_file(path.c_str(), &saved));
  EXPECT_TRUE(g_file_test((dir + "/one\\two/three").c_str(), G_FILE_TEST_IS_DIR));
  ASSERT_TRUE(write_geometry_file(path.c_str(), &saved));  // the folders exist now
  window_geometry read = {0, 0, 0, 0};
  ASSERT_TRUE(read_geometry_file(path.c_str(), &read));
  EXPECT_EQ(read.height, 400);

  ASSERT_TRUE(g_file_set_contents(path.c_str(), "\x0a\0\0\0\x0a\0\0\0\x64\0\0\0", 12, NULL));
  EXPECT_FALSE(read_geometry_file(path.c_str(), &read));
  testing::internal::CaptureStdout();
  EXPECT_FALSE(write_geometry_file((path + "/under-a-file").c_str(), &saved));
  EXPECT_NE(testing::internal::GetCapturedStdout().find("can't write persistence data"),
            std::string::npos);
}

}  // namespace
