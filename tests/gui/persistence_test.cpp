// Window geometry between runs: the record, where it lives, and what
// start-up and closing do with it.
#include "gui/geometry_file.h"
#include "gui/globals.h"
#include "gui/persistence.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/gui/gui_test_support.h"

namespace {

const char *const RECORD_PATH = "/Corvane/velorin/velorin-1.0";

// A fresh folder, made APPDATA for the code under test.
std::string use_fresh_appdata() {
  char *dir = g_dir_make_tmp("velorin-persist-XXXXXX", NULL);
  std::string path(dir);
  g_free(dir);
  setenv("APPDATA", path.c_str(), 1);
  return path;
}

void write_bytes(const std::string &path, const unsigned char *bytes, size_t n) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char *>(bytes), static_cast<std::streamsize>(n));
}

// A plain window showing the geometry that set_configuration applied.
GtkWidget *configured_window(int default_width, int default_height) {
  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), default_width, default_height);
  gtk_widget_show_all(window);
  set_configuration(window);
  for (int i = 0; i < 50; i++) {
    flush_events();
    g_usleep(2000);
  }
  return window;
}

}  // namespace

TEST(GeometryRecord, IsFourLittleEndianSignedIntegers) {
  const window_geometry g = {-20, 258, 720, 480};
  unsigned char record[GEOMETRY_RECORD_BYTES];
  geometry_encode(&g, record);
  const unsigned char expected[16] = {0xEC, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0, 0,
                                      0xD0, 0x02, 0,    0,    0xE0, 0x01, 0, 0};
  for (int i = 0; i < 16; i++) EXPECT_EQ(record[i], expected[i]) << "byte " << i;
  EXPECT_EQ(geometry_decode(record).x, -20);
}

TEST(GeometryPath, PrefersAppdataThenXdgConfigThenHome) {
  setenv("XDG_CONFIG_HOME", "/x", 1);
  setenv("HOME", "/h", 1);
  const struct { const char *appdata, *xdg, *expected; } cases[] = {
      {"/a", "/x", "/a/Corvane/velorin/velorin-1.0"},
      {NULL, "/x", "/x/Corvane/velorin/velorin-1.0"},
      {NULL, "", "/h/.config/Corvane/velorin/velorin-1.0"}};
  for (const auto &c : cases) {
    if (c.appdata) setenv("APPDATA", c.appdata, 1); else unsetenv("APPDATA");
    setenv("XDG_CONFIG_HOME", c.xdg, 1);
    char *p = compose_appdata_path();
    EXPECT_STREQ(p, c.expected);
    g_free(p);
  }
}

TEST(FopenP, CreatesEveryMissingFolderAlongBothSeparators) {
  const std::string dir = use_fresh_appdata();
  const std::string path = dir + "/one\\two/three/file";
  FILE *f = fopen_p(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fclose(f);
  EXPECT_TRUE(g_file_test((dir + "/one\\two/three").c_str(), G_FILE_TEST_IS_DIR));
  // Folders that exist already are fine.
  f = fopen_p(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  fclose(f);
}

// Under Xvfb there is no window manager, so the frame origin is the window's
// own position and moves and resizes are applied exactly as asked.
TEST(Persistence, ClosingAndReopeningRestoresPositionAndSize) {
  const std::string file = use_fresh_appdata() + RECORD_PATH;
  const window_geometry saved = {37, 45, 500, 400};
  ASSERT_TRUE(write_geometry_file(file.c_str(), &saved));
  GtkWidget *window = configured_window(720, 480);
  EXPECT_STREQ(appdata, file.c_str());
  EXPECT_EQ(window->allocation.width, 500);
  EXPECT_EQ(window->allocation.height, 400);

  ASSERT_EQ(remove(file.c_str()), 0);
  pre_quit_event(window);
  window_geometry stored = {0, 0, 0, 0};
  ASSERT_TRUE(read_geometry_file(file.c_str(), &stored));
  EXPECT_EQ(stored.x, 37);
  EXPECT_EQ(stored.y, 45);
  EXPECT_EQ(stored.width, 500);
  EXPECT_EQ(stored.height, 400);
  gtk_widget_destroy(window);
}

TEST(Persistence, NoFileAShortFileOrAnEmptySizeKeepTheDefaultSize) {
  const std::string dir = use_fresh_appdata();
  const unsigned char short_record[12] = {10, 0, 0, 0, 10, 0, 0, 0, 100, 0, 0, 0};
  const unsigned char zero_height[16] = {10, 0, 0, 0, 10, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0};
  const struct { const unsigned char *bytes; size_t n; } records[] = {
      {NULL, 0}, {short_record, sizeof short_record}, {zero_height, sizeof zero_height}};
  g_mkdir_with_parents((dir + "/Corvane/velorin").c_str(), 0700);
  for (const auto &r : records) {
    SCOPED_TRACE(r.n);
    if (r.bytes) write_bytes(dir + RECORD_PATH, r.bytes, r.n);
    GtkWidget *window = configured_window(320, 200);
    EXPECT_EQ(window->allocation.width, 320);
    EXPECT_EQ(window->allocation.height, 200);
    gtk_widget_destroy(window);
  }
}

TEST(Persistence, FirstCloseOfTheMainWindowCreatesTheFile) {
  const std::string dir = use_fresh_appdata();
  create_test_window();
  close_main_window();
  window_geometry stored = {0, 0, 0, 0};
  EXPECT_TRUE(read_geometry_file((dir + RECORD_PATH).c_str(), &stored));
  EXPECT_GT(stored.width, 0);
  EXPECT_GT(stored.height, 0);
}

TEST(Persistence, AnUnwritableFolderPrintsBothMessagesAndTheWindowStillCloses) {
  const std::string dir = use_fresh_appdata();
  const unsigned char byte = 0;
  write_bytes(dir + "/Corvane", &byte, 1);  // a file where the folder belongs
  create_test_window();
  testing::internal::CaptureStdout();
  close_main_window();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("CreateDirectory failed ("), std::string::npos) << out;
  EXPECT_NE(out.find("can't write persistence data " + dir + RECORD_PATH), std::string::npos)
      << out;
}
