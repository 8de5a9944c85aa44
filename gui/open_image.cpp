// The four open modes: what a chosen file does to the application state.
// Everything the open needs is built first and replaces the state only when
// all of it could be made, so a failed open changes nothing.
#include "gui/open_image.h"

#include "calc/engine_input.h"
#include "calc/options.h"
#include "calc/picture_memory.h"
#include "calc/picture_stream.h"
#include "calc/rgb2grey.h"
#include "gui/canvas.h"
#include "gui/globals.h"
#include "gui/history.h"
#include "gui/pixel.h"

static const guchar OPAQUE = 255;
static const double SURFACE_BYTES_PER_PIXEL = 4;  // cairo's ARGB32

// What an open puts in place. A NULL picture pair keeps the current picture.
struct opened_state {
  GdkPixbuf *no_alpha;
  GdkPixbuf *with_alpha;
  GdkPixbuf *init_layer;  // the new `initialisinglayer`, may be NULL
  cairo_surface_t *layer;
  cairo_surface_t *view;
};

static void release_opened(opened_state *o) {
  if (o->no_alpha) g_object_unref(o->no_alpha);
  if (o->with_alpha) g_object_unref(o->with_alpha);
  if (o->init_layer) g_object_unref(o->init_layer);
  if (o->layer) cairo_surface_destroy(o->layer);
  if (o->view) cairo_surface_destroy(o->view);
}

static void set_too_large_error(GError **error, int width, int height) {
  g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
              "a picture of %d x %d pixels is too large to hold or to show "
              "at %g %% zoom",
              width, height, scale * 100.0);
}

static bool same_size(GdkPixbuf *a, GdkPixbuf *b) {
  return gdk_pixbuf_get_width(a) == gdk_pixbuf_get_width(b) &&
         gdk_pixbuf_get_height(a) == gdk_pixbuf_get_height(b);
}

// A trimap marks the picture pixel by pixel: one of another size belongs to
// another picture.
static void set_trimap_size_error(GError **error, GdkPixbuf *trimap, GdkPixbuf *picture) {
  g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_FAILED,
              "the trimap is %d x %d pixels, the picture %d x %d", gdk_pixbuf_get_width(trimap),
              gdk_pixbuf_get_height(trimap), gdk_pixbuf_get_width(picture),
              gdk_pixbuf_get_height(picture));
}

// The transparent layer at picture size and the view at the zoomed size.
// Cairo refuses surfaces wider or higher than 32767 pixels, which a large
// picture at a high zoom can ask for.
static int create_surfaces(opened_state *o, int width, int height) {
  o->layer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  o->view = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, zoomed_length(width, scale),
                                       zoomed_length(height, scale));
  return cairo_surface_status(o->layer) == CAIRO_STATUS_SUCCESS &&
         cairo_surface_status(o->view) == CAIRO_STATUS_SUCCESS;
}

static GdkPixbuf *new_pixbuf(int has_alpha, int width, int height) {
  return gdk_pixbuf_new(GDK_COLORSPACE_RGB, has_alpha, 8, width, height);
}

// An RGB copy of `file`'s colours, its alpha dropped; NULL when out of memory.
static GdkPixbuf *colours_of(GdkPixbuf *file) {
  int width = gdk_pixbuf_get_width(file), height = gdk_pixbuf_get_height(file);
  GdkPixbuf *rgb = new_pixbuf(FALSE, width, height);
  if (!rgb) return NULL;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      guchar r, g, b, a;
      gdkpixbuf_get_pixel(file, x, y, &r, &g, &b, &a);
      gdkpixbuf_put_pixel(rgb, x, y, r, g, b, a);
    }
  return rgb;
}

// What an open makes of one pixel: a stroke of an opaque grey level, or
// unknown.
struct trimatte_pixel {
  bool known;
  guchar grey;
};

// One trimatte pixel, into the layer (premultiplied, so unknown is all
// zero) and into the initialising layer (straight RGBA).
static void put_trimatte_pixel(opened_state *o, int x, int y, trimatte_pixel p) {
  if (p.known) {
    cairoimagesurface_put_pixel(o->layer, x, y, OPAQUE, p.grey, p.grey, p.grey);
    gdkpixbuf_put_pixel(o->init_layer, x, y, p.grey, p.grey, p.grey, OPAQUE);
  } else {
    cairoimagesurface_put_pixel(o->layer, x, y, 0, 0, 0, 0);
    gdkpixbuf_put_pixel(o->init_layer, x, y, 0, 0, 0, 0);
  }
}

// Makes the initialising layer of width x height and writes it and the
// layer from `pixel_at(x, y)`, a trimatte_pixel.
template <typename PixelFn>
static int build_trimatte(opened_state *o, int width, int height, PixelFn pixel_at) {
  o->init_layer = new_pixbuf(TRUE, width, height);
  if (!o->init_layer) return FALSE;
  cairo_surface_flush(o->layer);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) put_trimatte_pixel(o, x, y, pixel_at(x, y));
  cairo_surface_mark_dirty(o->layer);
  return TRUE;
}

static int build_default(opened_state *o, GdkPixbuf *file) {
  if (gdk_pixbuf_get_has_alpha(file)) {
    o->no_alpha = colours_of(file);
    o->with_alpha = GDK_PIXBUF(g_object_ref(file));
  } else {
    o->no_alpha = GDK_PIXBUF(g_object_ref(file));
    o->with_alpha = gdk_pixbuf_add_alpha(file, FALSE, 0, 0, 0);
  }
  return o->no_alpha && o->with_alpha;
}

// The file's alpha as a trimatte: 255 sure foreground (white), 0 sure
// background (black), anything between unknown.
static int build_alpha_as_input(opened_state *o, GdkPixbuf *file) {
  o->no_alpha = colours_of(file);
  o->with_alpha = GDK_PIXBUF(g_object_ref(file));
  if (!o->no_alpha) return FALSE;
  return build_trimatte(o, gdk_pixbuf_get_width(file), gdk_pixbuf_get_height(file),
                        [file](int x, int y) {
                          guchar r, g, b, a;
                          gdkpixbuf_get_pixel(file, x, y, &r, &g, &b, &a);
                          return trimatte_pixel{a == 0 || a == OPAQUE, a};
                        });
}

// A file without alpha is the current picture with strokes painted on it:
// every pixel that differs from the picture is a stroke of its grey level,
// every unchanged one unknown. Only the overlap of the two is compared.
static int build_layer_from_painted_copy(opened_state *o, GdkPixbuf *file) {
  int width = MIN(gdk_pixbuf_get_width(file), gdk_pixbuf_get_width(pixbuf_image));
  int height = MIN(gdk_pixbuf_get_height(file), gdk_pixbuf_get_height(pixbuf_image));
  return build_trimatte(o, width, height, [file](int x, int y) {
    guchar r0, g0, b0, a0, r1, g1, b1, a1;
    gdkpixbuf_get_pixel(pixbuf_image, x, y, &r0, &g0, &b0, &a0);
    gdkpixbuf_get_pixel(file, x, y, &r1, &g1, &b1, &a1);
    bool changed = r0 != r1 || g0 != g1 || b0 != b1;
    return trimatte_pixel{changed, (guchar)rgb2grey(r1, g1, b1)};
  });
}

// A file with alpha is a ready trimatte, laid unscaled over the picture.
static int build_layer_from_trimatte(opened_state *o, GdkPixbuf *file) {
  o->init_layer = gdk_pixbuf_copy(file);
  if (!o->init_layer) return FALSE;
  cairo_t *cr = cairo_create(o->layer);
  gdk_cairo_set_source_pixbuf(cr, file, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  return TRUE;
}

// A trimap read as velorin-matte reads one, so that both pull the same
// matte from it: sure background and foreground become black and white
// strokes, everything else unknown.
static int build_layer_from_trimap(opened_state *o, GdkPixbuf *file) {
  return build_trimatte(o, gdk_pixbuf_get_width(file), gdk_pixbuf_get_height(file),
                        [file](int x, int y) {
                          guchar r, g, b, a;
                          gdkpixbuf_get_pixel(file, x, y, &r, &g, &b, &a);
                          trimap_class kind = classify_trimap_pixel(r, g, b);
                          return trimatte_pixel{kind != TRIMAP_UNKNOWN,
                                                kind == TRIMAP_FOREGROUND ? OPAQUE : guchar(0)};
                        });
}

static int build_opened(opened_state *o, GdkPixbuf *file, open_mode mode) {
  switch (mode) {
    case OPEN_AS_TRIMAP:
      return build_layer_from_trimap(o, file);
    case OPEN_ALPHA_AS_INPUT:
      return build_alpha_as_input(o, file);
    case OPEN_AS_LAYER:
      return gdk_pixbuf_get_has_alpha(file) ? build_layer_from_trimatte(o, file)
                                            : build_layer_from_painted_copy(o, file);
    case OPEN_DEFAULT:
      break;
  }
  return build_default(o, file);
}

static void replace_picture(opened_state *o) {
  g_object_unref(pixbuf_no_alpha);
  g_object_unref(pixbuf_alpha);
  pixbuf_no_alpha = o->no_alpha;
  pixbuf_alpha = o->with_alpha;
  pixbuf_image = in_edit_mode ? pixbuf_no_alpha : pixbuf_alpha;
  o->no_alpha = o->with_alpha = NULL;

  int width = gdk_pixbuf_get_width(pixbuf_no_alpha);
  int height = gdk_pixbuf_get_height(pixbuf_no_alpha);
  int view_width = zoomed_length(width, scale), view_height = zoomed_length(height, scale);
  gtk_widget_set_size_request(drawing_area, view_width, view_height);
  // The selection covers the whole view (window pixels).
  left_x = top_y = 0;
  selection_w = view_width;
  selection_h = view_height;
  opts_set_default(pass_option_args);
  pass_option_args->img_width = width;
  pass_option_args->img_height = height;
}

// Puts everything `o` holds in place; `o` is left empty.
static void commit_opened(opened_state *o, open_mode mode) {
  cairo_surface_destroy(surf_layer);
  cairo_surface_destroy(win_surf);
  surf_layer = o->layer;
  win_surf = o->view;
  if (initialisinglayer) g_object_unref(initialisinglayer);
  initialisinglayer = o->init_layer;
  o->layer = o->view = NULL;
  o->init_layer = NULL;
  if (o->no_alpha) replace_picture(o);
  if (mode == OPEN_DEFAULT) release_history();
  compose_win_surf();
  gtk_widget_queue_draw(drawing_area);
}

// The least memory an open of a width x height file takes, known from its
// header: the file decoded and, when it becomes the picture, its second
// pixbuf (with or without alpha), the stroke layer and the zoomed view.
static double least_open_bytes(int width, int height, open_mode mode) {
  double bytes = decoded_picture_bytes(width, height);
  if (mode == OPEN_DEFAULT || mode == OPEN_ALPHA_AS_INPUT)
    bytes += decoded_picture_bytes(width, height) + SURFACE_BYTES_PER_PIXEL * width * height +
             SURFACE_BYTES_PER_PIXEL * zoomed_length(width, scale) *
                 (double)zoomed_length(height, scale);
  return bytes;
}

// Refuses, before anything is decoded, a JPEG or PNG that ends before its
// picture does and a picture whose header claims more than memory holds.
static bool file_may_open(const char *filename, open_mode mode, GError **error) {
  if (!picture_file_whole(filename)) {
    g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_CORRUPT_IMAGE,
                "the file ends before the picture does (a cut-off or damaged file)");
    return false;
  }
  int width = 0, height = 0;
  failure_details need;
  if (!gdk_pixbuf_get_file_info(filename, &width, &height) || width <= 0 || height <= 0 ||
      memory_allows(least_open_bytes(width, height, mode), 0, &need))
    return true;
  g_set_error(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
              "a picture of %d x %d pixels needs at least %s to open, %s available", width, height,
              human_bytes(need.needed_bytes).c_str(), human_bytes(need.available_bytes).c_str());
  return false;
}

int open_image_file(const char *filename, open_mode mode, GError **error) {
  if (!file_may_open(filename, mode, error)) return -1;
  g_autoptr(GError) load_error = NULL;
  g_autoptr(GdkPixbuf) file = gdk_pixbuf_new_from_file(filename, &load_error);
  // A loader that meets a damaged file may hand back the part it read
  // together with the error: that is no picture to work on.
  if (load_error || !file) {
    if (load_error) g_propagate_error(error, g_steal_pointer(&load_error));
    return -1;
  }
  if (mode == OPEN_ALPHA_AS_INPUT && !gdk_pixbuf_get_has_alpha(file)) mode = OPEN_DEFAULT;
  bool keeps_picture = mode == OPEN_AS_LAYER || mode == OPEN_AS_TRIMAP;
  GdkPixbuf *picture = keeps_picture ? pixbuf_image : file;
  int width = gdk_pixbuf_get_width(picture), height = gdk_pixbuf_get_height(picture);
  if (mode == OPEN_AS_TRIMAP && !same_size(file, picture)) {
    set_trimap_size_error(error, file, picture);
    return -1;
  }

  opened_state o = {};
  int ok = create_surfaces(&o, width, height) && build_opened(&o, file, mode);
  g_clear_object(&file);  // no longer needed: the opened state holds what it kept
  if (!ok) {
    release_opened(&o);
    set_too_large_error(error, width, height);
    return -1;
  }
  commit_opened(&o, mode);
  return 0;
}
