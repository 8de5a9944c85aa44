// Foreground colour estimation on the pictures with ground truth: per
// picture the foreground error of the photo's own colours (the cut-out
// without estimation) next to that of the estimated colours, the estimation's
// time per megapixel on one core and its peak memory.
//
//   bench_foreground [--matte VELORIN_MATTE [--alpha-dir DIR]] [--runs N]
//                    [--params E,SWEEPS,SMALL_SWEEPS,SMALL_SIDE,STEP]
//                    [DATA_DIR] [-- velorin-matte options...]
//
// Foreground error: over the trimap's unknown pixels whose true alpha is
// above 0, the mean of true alpha x (mean over R, G, B of |F - F_true|),
// colours in 0..1. "true" columns estimate from the ground-truth alpha.
// With --matte, the computed matte comes from velorin-matte itself: it runs
// once with --alpha-only and once with --foreground on each picture; the
// "matte" columns score the colours of the --foreground output (estimated
// from the alpha it computed) and the SAD of both outputs' alpha, which must
// be equal. --alpha-dir DIR keeps those outputs (DIR/NAME_alpha.png,
// DIR/NAME_fg.png) and reuses them when present, for repeated runs.
// Time is the median CPU time of N runs (default 5) of the estimation alone;
// memory is the peak resident growth of a child process that runs it once,
// as a multiple of the picture's float size (3 floats a pixel).
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/load_pixbuf.h"
#include "bench/measure.h"
#include "engine/foreground.h"
#include "engine/tiff.h"

static const int kTrimapBackground = 0, kTrimapForeground = 255;
static const double kSadUnit = 1000.0;
static const int kMapThreshold = 128 * 1024;

namespace {

struct picture_set {
  std::string name;
  int width = 0, height = 0;
  TIFF_img image = {};       // 'c'
  TIFF_img true_alpha = {};  // 'g'
  std::vector<unsigned char> trimap;
  std::vector<float> true_fg;  // 3 floats a pixel, 0..1
};

struct options {
  std::string data_dir, matte, alpha_dir;
  std::vector<std::string> matte_options;
  foreground_params params = FOREGROUND_DEFAULTS;
  int runs = 5;
};

GdkPixbuf *load(const std::string &path) { return load_pixbuf("bench_foreground", path); }

// Sample (x, y) channel c of a pixbuf.
unsigned char sample(GdkPixbuf *p, int x, int y, int c) {
  return gdk_pixbuf_read_pixels(
      p)[y * gdk_pixbuf_get_rowstride(p) + x * gdk_pixbuf_get_n_channels(p) + c];
}

TIFF_img colour_record(GdkPixbuf *p) {
  TIFF_img t;
  get_TIFF_checked(&t, gdk_pixbuf_get_height(p), gdk_pixbuf_get_width(p), 'c');
  for (int c = 0; c < 3; c++)
    for (int y = 0; y < t.height; y++)
      for (int x = 0; x < t.width; x++) t.color_planes[c][y][x] = sample(p, x, y, c);
  return t;
}

// Channel `c` of a pixbuf as a 'g' record.
TIFF_img grey_record(GdkPixbuf *p, int c) {
  TIFF_img t;
  get_TIFF_checked(&t, gdk_pixbuf_get_height(p), gdk_pixbuf_get_width(p), 'g');
  for (int y = 0; y < t.height; y++)
    for (int x = 0; x < t.width; x++) t.plane[y][x] = sample(p, x, y, c);
  return t;
}

int alpha_channel(GdkPixbuf *p) {
  return gdk_pixbuf_get_has_alpha(p) ? gdk_pixbuf_get_n_channels(p) - 1 : 0;
}

bool same_size(GdkPixbuf *a, GdkPixbuf *b) {
  return gdk_pixbuf_get_width(a) == gdk_pixbuf_get_width(b) &&
         gdk_pixbuf_get_height(a) == gdk_pixbuf_get_height(b);
}

bool load_set(const std::string &dir, picture_set *set) {
  GdkPixbuf *image = load(dir + "/image.png"), *trimap = load(dir + "/trimap.png");
  GdkPixbuf *alpha = load(dir + "/gt_alpha.png"), *fg = load(dir + "/fg.png");
  bool ok = image && trimap && alpha && fg && same_size(image, trimap) && same_size(image, alpha) &&
            same_size(image, fg);
  if (ok) {
    set->width = gdk_pixbuf_get_width(image);
    set->height = gdk_pixbuf_get_height(image);
    set->image = colour_record(image);
    set->true_alpha = grey_record(alpha, 0);
    for (int y = 0; y < set->height; y++)
      for (int x = 0; x < set->width; x++) {
        set->trimap.push_back(sample(trimap, x, y, 0));
        for (int c = 0; c < 3; c++) set->true_fg.push_back(sample(fg, x, y, c) / 255.0f);
      }
  }
  for (GdkPixbuf *p : {image, trimap, alpha, fg})
    if (p) g_object_unref(p);
  return ok;
}

bool unknown(const picture_set &s, size_t i) {
  return s.trimap[i] != kTrimapBackground && s.trimap[i] != kTrimapForeground;
}

// The foreground error of colours `fg` (3 floats a pixel, 0..1).
double foreground_error(const picture_set &s, const std::vector<float> &fg) {
  double sum = 0;
  long count = 0;
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++) {
      const size_t i = static_cast<size_t>(y) * s.width + x;
      const double a = s.true_alpha.plane[y][x] / 255.0;
      if (!unknown(s, i) || a <= 0) continue;
      double d = 0;
      for (int c = 0; c < 3; c++) d += std::fabs(fg[i * 3 + c] - s.true_fg[i * 3 + c]);
      sum += a * d / 3;
      count++;
    }
  return count ? sum / count : 0;
}

double sad(const picture_set &s, const TIFF_img &alpha) {
  double sum = 0;
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++)
      if (unknown(s, static_cast<size_t>(y) * s.width + x))
        sum += std::abs(alpha.plane[y][x] - s.true_alpha.plane[y][x]) / 255.0;
  return sum / kSadUnit;
}

std::vector<float> picture_colours(const picture_set &s) {
  std::vector<float> fg;
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++)
      for (int c = 0; c < 3; c++) fg.push_back(s.image.color_planes[c][y][x] / 255.0f);
  return fg;
}

std::vector<float> estimate(const picture_set &s, const TIFF_img &alpha,
                            const foreground_params &params) {
  std::vector<float> fg(static_cast<size_t>(s.width) * s.height * 3);
  estimateForeground(&s.image, alpha.plane, fg.data(), nullptr, &params);
  return fg;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double cpu_seconds_median(const picture_set &s, const foreground_params &params, int runs) {
  std::vector<double> times;
  std::vector<float> fg(static_cast<size_t>(s.width) * s.height * 3);
  for (int r = 0; r < runs; r++) {
    const double start = cpuSeconds();
    estimateForeground(&s.image, s.true_alpha.plane, fg.data(), nullptr, &params);
    times.push_back(cpuSeconds() - start);
  }
  return median(times);
}

struct memory_call {
  const picture_set *set;
  const foreground_params *params;
};

// A "VmRSS" or "VmHWM" line of /proc/self/status, in MiB.
double status_mib(const char *key) {
  FILE *f = fopen("/proc/self/status", "r");
  char line[256];
  double kib = -1;
  while (f && fgets(line, sizeof line, f))
    if (strncmp(line, key, strlen(key)) == 0) kib = atof(line + strlen(key) + 1);
  if (f) fclose(f);
  return kib / 1024;
}

// In the child: peak resident growth over one estimation, output included.
// The child's inherited peak is reset first (clear_refs 5), so the peak
// read afterwards is this estimation's.
void measure_memory(const void *context, void *result) {
  const memory_call *call = static_cast<const memory_call *>(context);
  const picture_set &s = *call->set;
  FILE *clear = fopen("/proc/self/clear_refs", "w");
  if (clear) {
    fputs("5", clear);
    fclose(clear);
  }
  const double before = status_mib("VmRSS:");
  std::vector<float> fg(static_cast<size_t>(s.width) * s.height * 3);
  estimateForeground(&s.image, s.true_alpha.plane, fg.data(), nullptr, call->params);
  *static_cast<double *>(result) = status_mib("VmHWM:") - before;
}

// The options velorin-matte runs with: the defaults on trimaps; on the
// stroke pictures (about 98 % unknown pixels) a full-size solve makes a huge
// factor and a poor matte, so the suggested pyramid, every level solved
// (--levels auto). Options after "--" follow.
std::vector<std::string> matte_options(const options &o, const std::string &name) {
  std::vector<std::string> words;
  if (name.find("scribble") != std::string::npos) words = {"--levels", "auto"};
  words.insert(words.end(), o.matte_options.begin(), o.matte_options.end());
  return words;
}

bool run_matte(const options &o, const picture_set &s, const std::string &extra,
               const std::string &out) {
  if (g_file_test(out.c_str(), G_FILE_TEST_EXISTS)) return true;
  if (o.matte.empty()) return false;
  const std::string dir = o.data_dir + "/" + s.name;
  std::vector<std::string> words = {
      o.matte, "--quiet", extra, dir + "/image.png", dir + "/trimap.png", "-o", out};
  const std::vector<std::string> more = matte_options(o, s.name);
  words.insert(words.end(), more.begin(), more.end());
  std::vector<char *> argv;
  for (std::string &w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  int status = -1;
  GError *error = nullptr;
  if (!g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr,
                    nullptr, &status, &error)) {
    fprintf(stderr, "bench_foreground: %s\n", error->message);
    g_error_free(error);
    return false;
  }
  return g_spawn_check_exit_status(status, nullptr);
}

std::vector<float> colours_of(GdkPixbuf *p) {
  std::vector<float> fg;
  for (int y = 0; y < gdk_pixbuf_get_height(p); y++)
    for (int x = 0; x < gdk_pixbuf_get_width(p); x++)
      for (int c = 0; c < 3; c++) fg.push_back(sample(p, x, y, c) / 255.0f);
  return fg;
}

bool same_alpha(const TIFF_img &a, const TIFF_img &b) {
  for (int y = 0; y < a.height; y++)
    if (std::memcmp(a.plane[y], b.plane[y], static_cast<size_t>(a.width)) != 0) return false;
  return true;
}

struct matte_scores {
  bool computed = false;     // an --alpha-only matte was there or made
  double from_computed = 0;  // error estimating here from that matte
  double sad_alpha_only = 0;
  bool written = false;      // a --foreground output was there or made
  double written_error = 0;  // error of its colours
  double sad_foreground = 0;
  bool alpha_identical = false;
};

// velorin-matte's two outputs for this picture, scored.
matte_scores score_matte(const options &o, const picture_set &s, const std::string &work) {
  matte_scores m;
  const std::string alpha_path = work + "/" + s.name + "_alpha.png";
  const std::string fg_path = work + "/" + s.name + "_fg.png";
  GdkPixbuf *alpha_only = run_matte(o, s, "--alpha-only", alpha_path) ? load(alpha_path) : nullptr;
  if (!alpha_only) return m;
  TIFF_img a = grey_record(alpha_only, 0);
  g_object_unref(alpha_only);
  m.computed = true;
  m.sad_alpha_only = sad(s, a);
  m.from_computed = foreground_error(s, estimate(s, a, o.params));
  GdkPixbuf *with_fg = run_matte(o, s, "--foreground", fg_path) ? load(fg_path) : nullptr;
  if (with_fg) {
    TIFF_img b = grey_record(with_fg, alpha_channel(with_fg));
    m.written = true;
    m.sad_foreground = sad(s, b);
    m.alpha_identical = same_alpha(a, b);
    m.written_error = foreground_error(s, colours_of(with_fg));
    free_TIFF(&b);
    g_object_unref(with_fg);
  }
  free_TIFF(&a);
  return m;
}

bool parse(int argc, char **argv, options *o) {
  o->data_dir = VELORIN_DATA_DIR;
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--") {
      o->matte_options.assign(argv + i + 1, argv + argc);
      break;
    } else if (a == "--matte" && has_value) {
      o->matte = argv[++i];
    } else if (a == "--alpha-dir" && has_value) {
      o->alpha_dir = argv[++i];
    } else if (a == "--runs" && has_value) {
      o->runs = std::max(1, atoi(argv[++i]));
    } else if (a == "--params" && has_value) {
      foreground_params &p = o->params;
      if (sscanf(argv[++i], "%f,%d,%d,%d,%lf", &p.regularisation, &p.sweeps, &p.small_sweeps,
                 &p.small_side, &p.level_step) != 5)
        return false;
    } else if (a[0] != '-') {
      o->data_dir = a;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  // Large blocks always mapped and unmapped: otherwise glibc raises its
  // threshold after the first free, keeps later blocks in the heap, and a
  // child inherits them resident, hiding its own growth.
  mallopt(M_MMAP_THRESHOLD, kMapThreshold);
  options o;
  if (!parse(argc, argv, &o)) {
    fprintf(stderr,
            "usage: bench_foreground [--matte VELORIN_MATTE [--alpha-dir DIR]] [--runs N]\n"
            "                        [--params E,SWEEPS,SMALL_SWEEPS,SMALL_SIDE,STEP]\n"
            "                        [DATA_DIR] [-- velorin-matte options...]\n");
    return 2;
  }
  std::string work = o.alpha_dir;
  const bool temporary = work.empty() && !o.matte.empty();
  if (temporary) {
    gchar *made = g_dir_make_tmp("bench_foreground_XXXXXX", nullptr);
    work = made ? made : ".";
    g_free(made);
  }
  const foreground_params &p = o.params;
  printf("parameters: regularisation %g, sweeps %d, %d on levels up to %d pixels, step %g\n",
         p.regularisation, p.sweeps, p.small_sweeps, p.small_side, p.level_step);
  printf("%-22s %9s %7s %7s %7s %7s %7s %7s %6s %6s %6s\n", "picture", "size", "photo", "true",
         "matte", "SAD", "output", "SAD_out", "alpha", "s/MP", "mem_x");
  std::vector<std::string> names;
  GDir *dir = g_dir_open(o.data_dir.c_str(), 0, nullptr);
  for (const char *n; dir && (n = g_dir_read_name(dir));) names.push_back(n);
  if (dir) g_dir_close(dir);
  std::sort(names.begin(), names.end());
  for (const std::string &name : names) {
    picture_set s;
    s.name = name;
    if (!g_file_test((o.data_dir + "/" + name + "/fg.png").c_str(), G_FILE_TEST_EXISTS) ||
        !load_set(o.data_dir + "/" + name, &s))
      continue;
    const double photo = foreground_error(s, picture_colours(s));
    const double from_truth = foreground_error(s, estimate(s, s.true_alpha, o.params));
    const double megapixels = s.width * static_cast<double>(s.height) / 1e6;
    const double per_mp = cpu_seconds_median(s, o.params, o.runs) / megapixels;
    const memory_call call = {&s, &o.params};
    double grown = -1;
    if (!runInChild(measure_memory, &call, &grown, sizeof grown, 0)) grown = -1;
    const double float_mib = megapixels * 1e6 * 3 * sizeof(float) / (1024.0 * 1024.0);
    matte_scores m;
    if (!work.empty()) m = score_matte(o, s, work);
    char size[32];
    snprintf(size, sizeof size, "%dx%d", s.width, s.height);
    printf("%-22s %9s %7.4f %7.4f ", name.c_str(), size, photo, from_truth);
    if (m.computed)
      printf("%7.4f %7.3f ", m.from_computed, m.sad_alpha_only);
    else
      printf("%7s %7s ", "-", "-");
    if (m.written)
      printf("%7.4f %7.3f %6s ", m.written_error, m.sad_foreground,
             m.alpha_identical ? "same" : "MOVED");
    else
      printf("%7s %7s %6s ", "-", "-", "-");
    printf("%6.3f %6.2f\n", per_mp, grown / float_mib);
    fflush(stdout);
    free_TIFF(&s.image);
    free_TIFF(&s.true_alpha);
  }
  if (temporary) {
    GDir *w = g_dir_open(work.c_str(), 0, nullptr);
    for (const char *n; w && (n = g_dir_read_name(w));) remove((work + "/" + n).c_str());
    if (w) g_dir_close(w);
    remove(work.c_str());
  }
  return 0;
}
