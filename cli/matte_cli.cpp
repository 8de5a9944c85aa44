#include "cli/matte_cli.h"

#include <algorithm>
#include <cstdarg>
#include <string>

#include "calc/c2f_driver.h"
#include "calc/engine_input.h"
#include "calc/foreground_colours.h"
#include "calc/level_suggestion.h"
#include "calc/picture_memory.h"
#include "calc/worker_core.h"
#include "cli/fatal_exit.h"
#include "cli/io.h"
#include "cli/signals.h"
#include "engine/solve_alpha.h"

// An image record whose planes are released with it.
struct owned_tiff {
  TIFF_img img = {};
  owned_tiff() = default;
  owned_tiff(const owned_tiff &) = delete;
  owned_tiff &operator=(const owned_tiff &) = delete;
  ~owned_tiff() { free_TIFF(&img); }
};

// Everything one run holds; released with it whatever step failed.
struct matte_run {
  const cli_args *args;
  cli_progress *progress;
  FILE *out;  // where "-o -" writes
  FILE *err;
  pixbuf_ptr picture;
  pixbuf_ptr constraints;
  int x = 0, y = 0, w = 0, h = 0;  // the calculation region, clipped to the picture
  io_output output;                // abandoned unless committed
  owned_tiff result;
  owned_tiff colours;  // estimated foreground colours, or empty

  matte_run(const cli_args *a, cli_progress *p, FILE *o, FILE *e)
      : args(a), progress(p), out(o), err(e) {}
};

static void report(FILE *err, const char *message) {
  fprintf(err, "%s: %s\n", VELORIN_MATTE_NAME, message);
}

// A remark that does not stop the run, on a line of its own; --quiet drops it.
static void note(const matte_run *run, const char *format, ...)
    __attribute__((format(printf, 2, 3)));

static void note(const matte_run *run, const char *format, ...) {
  if (run->args->quiet) return;
  progress_end(run->progress);
  va_list ap;
  va_start(ap, format);
  fprintf(run->err, "%s: note: ", VELORIN_MATTE_NAME);
  vfprintf(run->err, format, ap);
  fputc('\n', run->err);
  va_end(ap);
}

// The least memory the run takes for a width x height picture, known from
// its header: the picture and the constraints decoded, the output picture,
// and the calculation of the region (the whole picture, or --region clipped
// to it).
static double least_run_bytes(const cli_args *args, int width, int height) {
  int x = 0, y = 0, w = width, h = height;
  if (args->region_is_set) {
    x = args->region_x, y = args->region_y, w = args->region_w, h = args->region_h;
    clip_region(&x, &y, &w, &h, width, height);  // no pixel inside: 0 x 0
  }
  const double pixels = static_cast<double>(width) * height;
  const double output = args->alpha_only ? pixels : decoded_picture_bytes(width, height);
  return 2 * decoded_picture_bytes(width, height) + output +
         calculation_bytes(static_cast<double>(w) * h);
}

// A header can claim a picture far beyond memory in a few bytes; such a
// picture is refused for memory before it is decoded, as a factorisation is.
static bool memory_allows_picture(const matte_run *run, int width, int height, GError **error) {
  failure_details details;
  if (memory_allows(least_run_bytes(run->args, width, height), run->args->memory_limit, &details))
    return true;
  return cli_fail(
      error, MATTE_EXIT_SOLVER, "%s",
      calculation_failure_message(SOLVE_STATUS_OVER_MEMORY, &details, FOR_COMMAND_LINE).c_str());
}

static bool read_picture(matte_run *run, GError **error) {
  const char *path = run->args->image_path;
  progress_stage(run->progress, "reading %s", path);
  if (!io_check_file(path, IO_PICTURE, error)) return false;
  int width = 0, height = 0;
  if (io_header_size(path, &width, &height) && !memory_allows_picture(run, width, height, error))
    return false;
  run->picture = io_decode(path, IO_PICTURE, error);
  return run->picture != nullptr;
}

static bool read_inputs(matte_run *run, GError **error) {
  const cli_args *args = run->args;
  if (!read_picture(run, error)) return false;
  const int width = gdk_pixbuf_get_width(run->picture.get());
  const int height = gdk_pixbuf_get_height(run->picture.get());
  const int most = max_levels_for_picture(width, height);
  if (!args->levels_auto && args->options.levels_num > most)
    return cli_fail(error, MATTE_EXIT_INPUT,
                    "--levels %d exceeds %d, the most a %d x %d picture allows",
                    args->options.levels_num, most, width, height);
  progress_stage(run->progress, "reading %s", args->constraints_path);
  run->constraints = io_read_constraints(args->constraints_path, width, height, error);
  return run->constraints != nullptr;
}

// The whole picture, or --region clipped to it the way the window clips its
// selection; refused when nothing or too little of it is left.
static bool take_region(matte_run *run, GError **error) {
  const cli_args *args = run->args;
  const int width = gdk_pixbuf_get_width(run->picture.get());
  const int height = gdk_pixbuf_get_height(run->picture.get());
  run->x = args->region_is_set ? args->region_x : 0;
  run->y = args->region_is_set ? args->region_y : 0;
  run->w = args->region_is_set ? args->region_w : width;
  run->h = args->region_is_set ? args->region_h : height;
  if (!clip_region(&run->x, &run->y, &run->w, &run->h, width, height))
    return cli_fail(error, MATTE_EXIT_INPUT,
                    "--region %d,%d,%d,%d has no pixel inside the %d x %d picture", args->region_x,
                    args->region_y, args->region_w, args->region_h, width, height);
  const int win_size = args->options.win_size;
  if (region_too_small(run->w, run->h, win_size)) {
    const int side = 2 * win_size + 1;
    return cli_fail(error, MATTE_EXIT_INPUT,
                    "the calculation region (%d x %d) is too small for --win-size %d: it "
                    "needs at least %d x %d pixels",
                    run->w, run->h, win_size, side, side);
  }
  return true;
}

static raw_pixels raw_of(const GdkPixbuf *pixbuf) {
  return rgb_pixels(gdk_pixbuf_read_pixels(pixbuf), gdk_pixbuf_get_rowstride(pixbuf),
                    gdk_pixbuf_get_n_channels(pixbuf));
}

static constraint_encoding encoding_of(const matte_run *run) {
  switch (run->args->constraints) {
    case CHOOSE_LAYER:
      return CONSTRAINTS_LAYER;
    case CHOOSE_TRIMAP:
      return CONSTRAINTS_TRIMAP;
    case CHOOSE_BY_ALPHA_CHANNEL:
      break;
  }
  return gdk_pixbuf_get_has_alpha(run->constraints.get()) ? CONSTRAINTS_LAYER : CONSTRAINTS_TRIMAP;
}

// Whether every pixel of a pixbuf with alpha (R, G, B, A) is opaque.
static bool fully_opaque(const GdkPixbuf *pixbuf) {
  const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  const size_t stride = gdk_pixbuf_get_rowstride(pixbuf);
  const size_t channels = gdk_pixbuf_get_n_channels(pixbuf);
  const guchar *alpha = gdk_pixbuf_read_pixels(pixbuf) + channels - 1;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (alpha[y * stride + x * channels] != 255) return false;
  return true;
}

// A trimap saved with an opaque alpha channel reads as a stroke layer whose
// every pixel is a constraint: its unknown band would be pinned to its grey.
// The result stays what was asked for; the note says how to get the other.
static void note_opaque_layer(const matte_run *run) {
  const GdkPixbuf *layer = run->constraints.get();
  if (run->args->constraints == CHOOSE_BY_ALPHA_CHANNEL && gdk_pixbuf_get_has_alpha(layer) &&
      fully_opaque(layer))
    note(run,
         "stroke layer '%s' has no transparent pixel, so every pixel is a constraint; "
         "if it is a trimap, give --trimap",
         run->args->constraints_path);
}

// A matte needs something to separate: without a background or a foreground
// constraint the solve would return a meaningless flat matte.
static bool check_usable(const matte_run *run, const engine_input *input, GError **error) {
  if (constraints_usable(input)) return true;
  const char *kind = encoding_of(run) == CONSTRAINTS_LAYER ? "stroke layer" : "trimap";
  const char *missing = input->has_background   ? "foreground"
                        : input->has_foreground ? "background"
                                                : "background or foreground";
  return cli_fail(error, MATTE_EXIT_INPUT,
                  "%s '%s' has no %s pixel inside the calculation region; the matte needs both",
                  kind, run->args->constraints_path, missing);
}

static void on_engine_progress(const char *stage, int level, int levels, void *user) {
  progress_stage(static_cast<cli_progress *>(user), "%s, level %d of %d", stage, level, levels);
}

// The options the run uses: as given, or with --levels auto the pyramid
// suggested for this region and its constraints. A given --active is kept,
// lowered to the suggested levels if it asks for more.
static option_args decide_options(const matte_run *run, engine_input *input) {
  const cli_args *args = run->args;
  option_args options = args->options;
  if (!args->levels_auto) return options;
  const level_suggestion s = suggest_levels(&input->image, input->constraint_mask,
                                            input->constraint_values, options.win_size);
  options.levels_num = s.levels;
  options.Active_levels_num =
      args->active_given ? std::min(options.Active_levels_num, s.levels) : s.active;
  if (args->active_given && args->options.Active_levels_num > s.levels)
    note(run, "--levels auto chose %d levels, %d solved (--active %d lowered to %d)", s.levels,
         options.Active_levels_num, args->options.Active_levels_num, s.levels);
  else
    note(run, "--levels auto chose %d levels, %d solved", s.levels, options.Active_levels_num);
  return options;
}

// Runs the worker body with the engine's level lines off standard output
// and its stages reported as progress.
static worker_outcome run_worker(matte_run *run, engine_input *input, const option_args *options) {
  c2f_config config;
  config.options = *options;
  config.memory_limit = run->args->memory_limit;
  config.progress = on_engine_progress;
  config.progress_user = run->progress;
  progress_stage(run->progress, "calculating %d x %d pixels", run->w, run->h);
  // A grey alpha output shows no colours: no estimate for it.
  TIFF_img *colours = run->args->alpha_only ? nullptr : &run->colours.img;
  return worker_core_run(&input->image, input->constraint_mask, input->constraint_values, &config,
                         &run->result.img, colours);
}

// The region's size bounds the pyramid first; below that bound it was the
// constraints that vanished when down-sampled.
static void note_levels_lowered(const matte_run *run, const option_args *options, int levels_used) {
  const int asked = options->levels_num;
  if (levels_used < worker_levels_for_region(run->w, run->h, options))
    note(run,
         "--levels lowered from %d to %d: a coarser level would keep no background or no "
         "foreground constraint (strokes too thin, or foreground strokes darker than mid "
         "grey, vanish when down-sampled)",
         asked, levels_used);
  else
    note(run, "--levels lowered from %d to %d: the calculation region is too small for more", asked,
         levels_used);
}

static bool calculate(matte_run *run, GError **error) {
  note_opaque_layer(run);
  const raw_pixels picture = raw_of(run->picture.get()), layer = raw_of(run->constraints.get());
  engine_input input =
      read_engine_input(&picture, &layer, encoding_of(run), run->x, run->y, run->w, run->h);
  if (!check_usable(run, &input, error)) {
    free_engine_input(&input);
    return false;
  }
  const option_args options = decide_options(run, &input);
  const worker_outcome outcome = run_worker(run, &input, &options);  // releases the input
  if (outcome.levels_lowered) note_levels_lowered(run, &options, outcome.levels_used);
  if (!calculation_failed(outcome.status)) return true;
  // A failed run has no matte: never write its empty one as a result.
  const std::string failure =
      calculation_failure_message(outcome.status, &outcome.failure, FOR_COMMAND_LINE);
  if (failure.empty())
    return cli_fail(error, MATTE_EXIT_SOLVER, "failure: solver status %d", outcome.status);
  return cli_fail(error, MATTE_EXIT_SOLVER, "%s", failure.c_str());
}

// The picture whose colours the RGBA output carries: the picture itself, or
// a copy with the estimated foreground colours over the region. Null (with
// *error set) if the copy cannot be made.
static pixbuf_ptr output_colours(const matte_run *run, GError **error) {
  GdkPixbuf *picture = run->picture.get();
  if (!has_foreground_colours(&run->colours.img))
    return pixbuf_ptr(GDK_PIXBUF(g_object_ref(picture)));
  pixbuf_ptr copy(gdk_pixbuf_copy(picture));
  if (!copy) {
    cli_fail(error, MATTE_EXIT_INPUT, "not enough memory for the colours of %s",
             run->args->output_path);
    return nullptr;
  }
  paint_foreground_colours(&run->colours.img, run->x, run->y, gdk_pixbuf_get_pixels(copy.get()),
                           gdk_pixbuf_get_rowstride(copy.get()),
                           gdk_pixbuf_get_n_channels(copy.get()));
  return copy;
}

static bool write_rgba(matte_run *run, const placed_alpha *alpha, GError **error) {
  const pixbuf_ptr colours = output_colours(run, error);
  return colours && io_write_rgba(&run->output, colours.get(), alpha, error);
}

static bool write_result(matte_run *run, GError **error) {
  progress_stage(run->progress, "writing %s", io_output_name(run->args->output_path));
  if (!io_output_begin(&run->output, error)) return false;
  const placed_alpha alpha = {run->result.img.plane, run->x, run->y, run->w, run->h};
  const bool written =
      run->args->alpha_only
          ? io_write_alpha(&run->output, gdk_pixbuf_get_width(run->picture.get()),
                           gdk_pixbuf_get_height(run->picture.get()), &alpha, error)
          : write_rgba(run, &alpha, error);
  return written && io_output_commit(&run->output, error);
}

static bool run_steps(matte_run *run, GError **error) {
  if (!read_inputs(run, error) || !take_region(run, error)) return false;
  // The output is checked before the long calculation, so a missing or
  // read-only folder is reported at once; its file is created only after it.
  return io_output_prepare(&run->output, run->args->output_path, run->out, run->args->image_path,
                           run->args->constraints_path, error) &&
         calculate(run, error) && write_result(run, error);
}

int matte_cli_run(const cli_args *args, cli_progress *progress, FILE *out, FILE *err) {
  g_autoptr(GError) error = nullptr;
  bool ok;
  {
    matte_run run(args, progress, out, err);
    ok = run_steps(&run, &error);
  }  // everything the run held is released before it reports
  if (ok) progress_stage(progress, "done: %s", io_output_name(args->output_path));
  progress_end(progress);
  if (ok) return MATTE_EXIT_OK;
  report(err, error->message);
  return error->code;
}

int matte_cli_main(int argc, const char *const *argv, FILE *out, FILE *err) {
  signals_report_write_faults();
  cli_args args;
  g_autoptr(GError) error = nullptr;
  switch (parse_cli_args(argc, argv, &args, &error)) {
    case PARSE_HELP:
      print_usage(out);
      return MATTE_EXIT_OK;
    case PARSE_VERSION:
      fprintf(out, "%s %s\n", VELORIN_MATTE_NAME, VELORIN_VERSION);
      return MATTE_EXIT_OK;
    case PARSE_ERROR:
      report(err, error->message);
      fprintf(err, "Try '%s --help' for more information.\n", VELORIN_MATTE_NAME);
      return MATTE_EXIT_INPUT;
    case PARSE_RUN:
      break;
  }
  cli_progress progress;
  progress_init(&progress, err, args.quiet);
  const fatal_exit_scope fatal_exit(&progress, err);
  return matte_cli_run(&args, &progress, out, err);
}
