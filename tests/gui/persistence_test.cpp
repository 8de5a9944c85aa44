#include "gui/geometry_file.h"
#include "gui/globals.h"
#include "gui/main_window.h"
#include "gui/persistence.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string make_temp_dir() {
  char *dir = g_dir_make_tmp("velorin-persist-XXXXXX", NULL);
  std::string path(dir);
  g_free(dir);
  return path;
}

bool is_dir(const std::string &path) { return g_file_test(path.c_str(), G_FILE_TEST_IS_DIR); }

void write_bytes(const std::string &path, const unsigned char *bytes, size_t n) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char *>(bytes), static_cast<std::streamsize>(n));
}

void pump_events() {
  for (int i = 0; i < 50; i++) {
    while (gtk_events_pending()) gtk_main_iteration();
    g_usleep(2000);
  }
}

gboolean send_delete_event(gpointer window) {
  GdkEvent *event = gdk_event_new(GDK_DELETE);
  event->any.window = GDK_WINDOW(g_object_ref(GTK_WIDGET(window)->window));
  event->any.send_event = TRUE;
  gtk_main_do_event(event);
  gdk_event_free(event);
  return FALSE;
}

gboolean give_up_waiting(gpointer) {
  ADD_FAILURE() << "the window did not close";
  gtk_main_quit();
  return FALSE;
}

// Closes the main window the way the user does, from inside the main loop,
// which its destroy handler then leaves.
void close_main_window_from_the_main_loop() {
  g_timeout_add(200, send_delete_event, main_window);
  guint watchdog = g_timeout_add_seconds(10, give_up_waiting, NULL);
  gtk_main();
  g_source_remove(watchdog);
}

GtkWidget *create_window_for_test() {
  static char argv0[] = "velorin";
  static char *argv[] = {argv0, NULL};
  return create_main_window(1, argv);
}

}  // namespace

TEST(GeometryRecord, IsFourLittleEndianSignedIntegers) {
  const window_geometry g = {-20, 258, 720, 480};
  unsigned char record[GEOMETRY_RECORD_BYTES];
  geometry_encode(&g, record);
  const unsigned char expected[16] = {0xEC, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0, 0,
                                      0xD0, 0x02, 0,    0,    0xE0, 0x01, 0, 0};
  for (int i = 0; i < 16; i++) EXPECT_EQ(record[i], expected[i]) << "byte " << i;
  const window_geometry back = geometry_decode(record);
  EXPECT_EQ(back.x, -20);
  EXPECT_EQ(back.y, 258);
  EXPECT_EQ(back.width, 720);
  EXPECT_EQ(back.height, 480);
}

TEST(GeometryPath, PrefersAppdataThenXdgConfigThenHome) {
  setenv("APPDATA", "/a", 1);
  setenv("XDG_CONFIG_HOME", "/x", 1);
  setenv("HOME", "/h", 1);
  char *p = compose_appdata_path();
  EXPECT_STREQ(p, "/a/Corvane/velorin/velorin-1.0");
  g_free(p);
  unsetenv("APPDATA");
  p = compose_appdata_path();
  EXPECT_STREQ(p, "/x/Corvane/velorin/velorin-1.0");
  g_free(p);
  setenv("XDG_CONFIG_HOME", "", 1);
  p = compose_appdata_path();
  EXPECT_STREQ(p, "/h/.config/Corvane/velorin/velorin-1.0");
  g_free(p);
}

TEST(FopenP, CreatesEveryMissingFolderButNotTheFile) {
  const std::string dir = make_temp_dir();
  // Both separators count; folders that exist already are fine.
  const std::string path = dir + "/one\\two/three/file";
  FILE *f = fopen_p(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fclose(f);
  EXPECT_TRUE(is_dir(dir + "/one"));
  EXPECT_TRUE(is_dir(dir + "/one\\two/three"));
  EXPECT_TRUE(g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR));
  f = fopen_p(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  fclose(f);
}

TEST(FopenP, AFileInPlaceOfAFolderFailsWithBothMessages) {
  const std::string dir = make_temp_dir();
  const unsigned char byte = 0;
  write_bytes(dir + "/Corvane", &byte, 1);
  const std::string path = dir + "/Corvane/velorin/velorin-1.0";
  const window_geometry g = {1, 2, 3, 4};
  testing::internal::CaptureStdout();
  EXPECT_FALSE(write_geometry_file(path.c_str(), &g));
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("CreateDirectory failed ("), std::string::npos) << out;
  EXPECT_NE(out.find("can't write persistence data " + path), std::string::npos) << out;
}

TEST(GeometryFile, ShortOrMissingFileIsNotRead) {
  const std::string dir = make_temp_dir();
  window_geometry g = {7, 7, 7, 7};
  EXPECT_FALSE(read_geometry_file((dir + "/none").c_str(), &g));
  const unsigned char bytes[15] = {1};
  write_bytes(dir + "/short", bytes, sizeof bytes);
  EXPECT_FALSE(read_geometry_file((dir + "/short").c_str(), &g));
  EXPECT_EQ(g.x, 7);
  const window_geometry w = {-20, 30, 500, 300};
  ASSERT_TRUE(write_geometry_file((dir + "/ok").c_str(), &w));
  ASSERT_TRUE(read_geometry_file((dir + "/ok").c_str(), &g));
  EXPECT_EQ(g.x, -20);
  EXPECT_EQ(g.height, 300);
}

// Under Xvfb there is no window manager, so the frame origin is the window's
// own position and moves and resizes are applied exactly as asked.
TEST(Persistence, ClosingAndReopeningRestoresPositionAndSize) {
  const std::string dir = make_temp_dir();
  setenv("APPDATA", dir.c_str(), 1);
  const std::string file = dir + "/Corvane/velorin/velorin-1.0";
  const window_geometry saved = {37, 45, 500, 400};
  ASSERT_TRUE(write_geometry_file(file.c_str(), &saved));

  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 720, 480);
  gtk_widget_show_all(window);
  set_configuration(window);
  pump_events();
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

TEST(Persistence, ShortFileAndFirstRunKeepTheDefaultGeometry) {
  const std::string dir = make_temp_dir();
  setenv("APPDATA", dir.c_str(), 1);
  GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 320, 200);
  gtk_widget_show_all(window);
  set_configuration(window);  // first run: no file
  pump_events();
  EXPECT_EQ(window->allocation.width, 320);

  g_mkdir_with_parents((dir + "/Corvane/velorin").c_str(), 0700);
  const unsigned char bytes[12] = {10, 0, 0, 0, 10, 0, 0, 0, 100, 0, 0, 0};
  write_bytes(dir + "/Corvane/velorin/velorin-1.0", bytes, sizeof bytes);
  set_configuration(window);
  pump_events();
  EXPECT_EQ(window->allocation.width, 320);
  EXPECT_EQ(window->allocation.height, 200);
  gtk_widget_destroy(window);
}

TEST(Persistence, FirstCloseOfTheMainWindowCreatesTheFile) {
  const std::string dir = make_temp_dir();
  setenv("APPDATA", dir.c_str(), 1);
  create_window_for_test();
  close_main_window_from_the_main_loop();
  EXPECT_TRUE(is_dir(dir + "/Corvane/velorin"));
  window_geometry stored = {0, 0, 0, 0};
  EXPECT_TRUE(read_geometry_file((dir + "/Corvane/velorin/velorin-1.0").c_str(), &stored));
  EXPECT_GT(stored.width, 0);
  EXPECT_GT(stored.height, 0);
}

TEST(Persistence, AnUnwritableFolderStillLetsTheWindowClose) {
  const std::string dir = make_temp_dir();
  setenv("APPDATA", dir.c_str(), 1);
  const unsigned char byte = 0;
  write_bytes(dir + "/Corvane", &byte, 1);  // a file where the folder belongs
  create_window_for_test();
  testing::internal::CaptureStdout();
  close_main_window_from_the_main_loop();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("CreateDirectory failed ("), std::string::npos) << out;
  EXPECT_NE(out.find("can't write persistence data"), std::string::npos) << out;
}
