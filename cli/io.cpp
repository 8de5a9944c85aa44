#include "cli/io.h"

#include <png.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "calc/picture_stream.h"
#include "cli/cli_error.h"

static const int BITS_PER_SAMPLE = 8;
// zlib's fastest level: a 1 MP RGBA result is written in a quarter of the
// time the default level takes (0.07 s instead of 0.31 s of CPU), for about
// a quarter more bytes.
static const int PNG_COMPRESSION_LEVEL = 1;

const char IO_PICTURE[] = "picture";
const char IO_CONSTRAINTS[] = "constraints";

static bool refuse(GError **error, const char *what, const char *path, const char *reason) {
  return cli_fail(error, MATTE_EXIT_INPUT, "cannot read %s '%s': %s", what, path, reason);
}

bool io_check_file(const char *path, const char *what, GError **error) {
  if (g_file_test(path, G_FILE_TEST_IS_DIR))
    return refuse(error, what, path, "it is a folder, not a picture");
  if (!picture_file_whole(path))
    return refuse(error, what, path,
                  "the file ends before the picture does (a cut-off or damaged file)");
  return true;
}

bool io_header_size(const char *path, int *width, int *height) {
  *width = *height = 0;
  return !g_file_test(path, G_FILE_TEST_IS_DIR) && gdk_pixbuf_get_file_info(path, width, height) &&
         *width > 0 && *height > 0;
}

pixbuf_ptr io_decode(const char *path, const char *what, GError **error) {
  g_autoptr(GError) load_error = nullptr;
  pixbuf_ptr pixbuf(gdk_pixbuf_new_from_file(path, &load_error));
  // A loader that meets a cut-off or damaged file may return what it read
  // together with the error; that part is no picture to matte.
  if (load_error || !pixbuf) {
    // Memory that ran out is no fault of the file: it ends the run as the
    // calculation's own shortage does.
    const bool out_of_memory =
        g_error_matches(load_error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY);
    cli_fail(error, out_of_memory ? MATTE_EXIT_SOLVER : MATTE_EXIT_INPUT, "cannot read %s '%s': %s",
             what, path, load_error ? load_error->message : "unknown error");
    return nullptr;
  }
  if (gdk_pixbuf_get_bits_per_sample(pixbuf.get()) != BITS_PER_SAMPLE ||
      gdk_pixbuf_get_colorspace(pixbuf.get()) != GDK_COLORSPACE_RGB) {
    refuse(error, what, path, "not an 8-bit RGB picture");
    return nullptr;
  }
  return pixbuf;
}

static unsigned char placed_value(const placed_alpha *alpha, int x, int y) {
  int rx = x - alpha->x0, ry = y - alpha->y0;
  if (rx < 0 || ry < 0 || rx >= alpha->width || ry >= alpha->height) return 0;
  return alpha->plane[ry][rx];
}

static gboolean write_to_file(const gchar *buffer, gsize count, GError **gerror, gpointer file) {
  if (fwrite(buffer, 1, count, static_cast<FILE *>(file)) == count) return TRUE;
  g_set_error_literal(gerror, G_FILE_ERROR, g_file_error_from_errno(errno), strerror(errno));
  return FALSE;
}

// libpng reports errors by long jump; the message is kept for the caller.
struct png_failure {
  char message[256];
};

static void on_png_error(png_structp png, png_const_charp message) {
  png_failure *failure = static_cast<png_failure *>(png_get_error_ptr(png));
  snprintf(failure->message, sizeof failure->message, "%s", message);
  png_longjmp(png, 1);
}

static void on_png_warning(png_structp, png_const_charp) {}

// libpng's own writer says only "Write Error"; a full disk or a file-size
// limit should be named.
static void write_png_data(png_structp png, png_bytep data, png_size_t length) {
  if (fwrite(data, 1, length, static_cast<FILE *>(png_get_io_ptr(png))) != length)
    png_error(png, strerror(errno));
}

static void flush_png_data(png_structp) {}  // the output is flushed when it is committed

// Writes rows of grey bytes; returns false with failure->message set on error.
static bool write_grey_png(FILE *file, png_bytepp rows, int width, int height,
                           png_failure *failure) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, failure, on_png_error, on_png_warning);
  if (!png) {
    snprintf(failure->message, sizeof failure->message, "out of memory");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    if (!info) snprintf(failure->message, sizeof failure->message, "out of memory");
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, file, write_png_data, flush_png_data);
  png_set_compression_level(png, PNG_COMPRESSION_LEVEL);
  png_set_IHDR(png, info, width, height, BITS_PER_SAMPLE, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

static bool sizes_match(const char *path, int w, int h, int width, int height, GError **error) {
  if (w == width && h == height) return true;
  return cli_fail(error, MATTE_EXIT_INPUT,
                  "constraints '%s' are %d x %d pixels, but the picture is %d x %d", path, w, h,
                  width, height);
}

pixbuf_ptr io_read_constraints(const char *path, int width, int height, GError **error) {
  // A header that names another size saves decoding the file, which for a
  // few bytes claiming a huge picture would cost gigabytes.
  int w = 0, h = 0;
  if (io_header_size(path, &w, &h) && !sizes_match(path, w, h, width, height, error))
    return nullptr;
  if (!io_check_file(path, IO_CONSTRAINTS, error)) return nullptr;
  pixbuf_ptr pixbuf = io_decode(path, IO_CONSTRAINTS, error);
  if (pixbuf && !sizes_match(path, gdk_pixbuf_get_width(pixbuf.get()),
                             gdk_pixbuf_get_height(pixbuf.get()), width, height, error))
    return nullptr;
  return pixbuf;
}

bool io_write_rgba(io_output *output, const GdkPixbuf *picture, const placed_alpha *alpha,
                   GError **error) {
  const int width = gdk_pixbuf_get_width(picture), height = gdk_pixbuf_get_height(picture);
  const int channels = gdk_pixbuf_get_n_channels(picture);
  const int stride = gdk_pixbuf_get_rowstride(picture);
  const guchar *pixels = gdk_pixbuf_read_pixels(picture);
  const pixbuf_ptr result(gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, BITS_PER_SAMPLE, width, height));
  if (!result) return io_output_fail(error, output->path, g_strerror(ENOMEM));
  guchar *out = gdk_pixbuf_get_pixels(result.get());
  const int out_stride = gdk_pixbuf_get_rowstride(result.get());
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      const guchar *in = pixels + static_cast<size_t>(y) * stride + x * channels;
      guchar *o = out + static_cast<size_t>(y) * out_stride + x * 4;
      o[0] = in[0];
      o[1] = in[1];
      o[2] = in[2];
      o[3] = placed_value(alpha, x, y);
    }
  }
  g_autoptr(GError) save_error = nullptr;
  const std::string level = std::to_string(PNG_COMPRESSION_LEVEL);
  if (gdk_pixbuf_save_to_callback(result.get(), write_to_file, output->file, "png", &save_error,
                                  "compression", level.c_str(), nullptr))
    return true;
  return io_output_fail(error, output->path, save_error ? save_error->message : "unknown error");
}

bool io_write_alpha(io_output *output, int picture_width, int picture_height,
                    const placed_alpha *alpha, GError **error) {
  const size_t width = static_cast<size_t>(picture_width);
  std::vector<unsigned char> grey(width * picture_height);
  std::vector<png_bytep> rows(static_cast<size_t>(picture_height));
  for (int y = 0; y < picture_height; y++) {
    rows[y] = grey.data() + y * width;
    for (int x = 0; x < picture_width; x++) rows[y][x] = placed_value(alpha, x, y);
  }
  png_failure failure = {""};
  return write_grey_png(output->file, rows.data(), picture_width, picture_height, &failure) ||
         io_output_fail(error, output->path, failure.message);
}
