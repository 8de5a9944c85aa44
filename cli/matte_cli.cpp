#include "cli/matte_cli.h"

#include <algorithm>
#include <cstdarg>

#include "calc/c2f_driver.h"
#include "calc/engine_input.h"
#include "calc/foreground_colours.h"
#include "calc/level_suggestion.h"
#include "calc/worker_core.h"
#include "cli/io.h"
#include "cli/signals.h"

// Everything one run holds; released in one place whatever step failed.
struct matte_run {
  const cli_args *args;
  cli_progress *progress;
  FILE *out;  // where "-o -" writes
  FILE *err;
  GdkPixbuf *picture;
  GdkPixbuf *constraints;
  int x, y, w, h;  // the calculation region, clipped to the picture
  io_output output;
  int output_open;
  TIFF_img result;
  int result_made;
  TIFF_img colours;  // estimated foreground colours, or empty
  char error[1024];
};

static void fail(matte_run *run, const char *format, ...) __attribute__((format(printf, 2, 3)));

static void fail(matte_run *run, const char *format, ...) {
  va_list ap;
  va_start(ap, format);
  vsnprintf(run->error, sizeof run->error, format, ap);
  va_end(ap);
}

static void report(FILE *err, const char *message) {
  fprintf(err, "%s: %s\n", VELORIN_MATTE_NAME, message);
}

// A remark that does not stop the run, on a line of its own; --quiet drops it.
static void note(matte_run *run, const char *format, ...) __attribute__((format(printf, 2, 3)));

static void note(matte_run *run, const char *format, ...) {
  if (run->args->quiet) return;
  progress_end(run->progress);
  va_list ap;
  va_start(ap, format);
  fprintf(run->err, "%s: note: ", VELORIN_MATTE_NAME);
  vfprintf(run->err, format, ap);
  fputc('\n', run->err);
  va_end(ap);
}

static int read_inputs(matte_run *run) {
  const cli_args *args = run->args;
  progress_stage(run->progress, "reading %s", args->image_path);
  run->picture = io_read_picture(args->image_path, run->error, sizeof run->error);
  if (!run->picture) return 0;
  int width = gdk_pixbuf_get_width(run->picture), height = gdk_pixbuf_get_height(run->picture);
  int most = max_levels_for_picture(width, height);
  if (!args->levels_auto && args->options.levels_num > most) {
    fail(run, "--levels %d exceeds %d, the most a %d x %d picture allows", args->options.levels_num,
         most, width, height);
    return 0;
  }
  progress_stage(run->progress, "reading %s", args->constraints_path);
  run->constraints =
      io_read_constraints(args->constraints_path, width, height, run->error, sizeof run->error);
  return run->constraints != nullptr;
}

// The whole picture, or --region clipped to it the way the window clips its
// selection; refused when nothing or too little of it is left.
static int take_region(matte_run *run) {
  const cli_args *args = run->args;
  int width = gdk_pixbuf_get_width(run->picture), height = gdk_pixbuf_get_height(run->picture);
  run->x = args->region_is_set ? args->region_x : 0;
  run->y = args->region_is_set ? args->region_y : 0;
  run->w = args->region_is_set ? args->region_w : width;
  run->h = args->region_is_set ? args->region_h : height;
  if (!clip_region(&run->x, &run->y, &run->w, &run->h, width, height)) {
    fail(run, "--region %d,%d,%d,%d has no pixel inside the %d x %d picture", args->region_x,
         args->region_y, args->region_w, args->region_h, width, height);
    return 0;
  }
  int win_size = args->options.win_size;
  if (region_too_small(run->w, run->h, win_size)) {
    int side = 2 * win_size + 1;
    fail(run, "the calculation region (%d x %d) is too small for --win-size %d: it needs at least "
              "%d x %d pixels", run->w, run->h, win_size, side, side);
    return 0;
  }
  return 1;
}

static raw_pixels raw_of(GdkPixbuf *pixbuf) {
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
  return gdk_pixbuf_get_has_alpha(run->constraints) ? CONSTRAINTS_LAYER : CONSTRAINTS_TRIMAP;
}

// Whether every pixel of a pixbuf with alpha (R, G, B, A) is opaque.
static int fully_opaque(GdkPixbuf *pixbuf) {
  const int width = gdk_pixbuf_get_width(pixbuf), height = gdk_pixbuf_get_height(pixbuf);
  const size_t stride = gdk_pixbuf_get_rowstride(pixbuf);
  const size_t channels = gdk_pixbuf_get_n_channels(pixbuf);
  const guchar *alpha = gdk_pixbuf_read_pixels(pixbuf) + channels - 1;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (alpha[y * stride + x * channels] != 255) return 0;
  return 1;
}

// A trimap saved with an opaque alpha channel reads as a stroke layer whose
// every pixel is a constraint: its unknown band would be pinned to its grey.
// The result stays what was asked for; the note says how to get the other.
static void note_opaque_layer(matte_run *run) {
  if (run->args->constraints == CHOOSE_BY_ALPHA_CHANNEL &&
      gdk_pixbuf_get_has_alpha(run->constraints) && fully_opaque(run->constraints))
    note(run, "stroke layer '%s' has no transparent pixel, so every pixel is a constraint; "
              "if it is a trimap, give --trimap", run->args->constraints_path);
}

// A matte needs something to separate: without a background or a foreground
// constraint the solve would return a meaningless flat matte.
static int check_usable(matte_run *run, const engine_input *input) {
  if (constraints_usable(input)) return 1;
  const char *kind = encoding_of(run) == CONSTRAINTS_LAYER ? "stroke layer" : "trimap";
  const char *missing = input->has_background ? "foreground"
                        : input->has_foreground ? "background"
                                                : "background or foreground";
  fail(run, "%s '%s' has no %s pixel inside the calculation region; the matte needs both",
       kind, run->args->constraints_path, missing);
  return 0;
}

static void on_engine_progress(const char *stage, int level, int levels, void *user) {
  progress_stage(static_cast<cli_progress *>(user), "%s, level %d of %d", stage, level, levels);
}

// The options the run uses: as given, or with --levels auto the pyramid
// suggested for this region and its constraints. A given --active is kept,
// lowered to the suggested levels if it asks for more.
static option_args decide_options(matte_run *run, engine_input *input) {
  const cli_args *args = run->args;
  option_args options = args->options;
  if (!args->levels_auto) return options;
  const level_suggestion s = suggest_levels(&input->image, input->constraint_mask,
                                            input->constraint_values, options.win_size);
  options.levels_num = s.levels;
  options.Active_levels_num = args->active_given ? std::min(options.Active_levels_num, s.levels)
                                                 : s.active;
  if (args->active_given && args->options.Active_levels_num > s.levels)
    note(run, "--levels auto chose %d levels, %d solved (--active %d lowered to %d)", s.levels,
         options.Active_levels_num, args->options.Active_levels_num, s.levels);
  else
    note(run, "--levels auto chose %d levels, %d solved", s.levels, options.Active_levels_num);
  return options;
}

// Runs the worker body with the engine's level lines off standard output
// and its stages reported as progress.
static worker_outcome run_worker(matte_run *run, engine_input *input,
                                 const option_args *options) {
  c2f_config config;
  config.options = *options;
  config.memory_limit = run->args->memory_limit;
  config.progress = on_engine_progress;
  config.progress_user = run->progress;
  progress_stage(run->progress, "calculating %d x %d pixels", run->w, run->h);
  // A grey alpha output shows no colours: no estimate for it.
  TIFF_img *colours = run->args->alpha_only ? nullptr : &run->colours;
  worker_outcome outcome = worker_core_run(&input->image, input->constraint_mask,
                                           input->constraint_values, &config, &run->result,
                                           colours);
  run->result_made = 1;
  return outcome;
}

// The region's size bounds the pyramid first; below that bound it was the
// constraints that vanished when down-sampled.
static void note_levels_lowered(matte_run *run, const option_args *options, int levels_used) {
  const int asked = options->levels_num;
  if (levels_used < worker_levels_for_region(run->w, run->h, options))
    note(run, "--levels lowered from %d to %d: a coarser level would keep no background or no "
              "foreground constraint (strokes too thin, or foreground strokes darker than mid "
              "grey, vanish when down-sampled)", asked, levels_used);
  else
    note(run, "--levels lowered from %d to %d: the calculation region is too small for more",
         asked, levels_used);
}

// Returns the exit status of the calculation step.
static int calculate(matte_run *run) {
  note_opaque_layer(run);
  raw_pixels picture = raw_of(run->picture), layer = raw_of(run->constraints);
  engine_input input =
      read_engine_input(&picture, &layer, encoding_of(run), run->x, run->y, run->w, run->h);
  if (!check_usable(run, &input)) {
    free_engine_input(&input);
    return MATTE_EXIT_INPUT;
  }
  const option_args options = decide_options(run, &input);
  worker_outcome outcome = run_worker(run, &input, &options);
  if (outcome.levels_lowered) note_levels_lowered(run, &options, outcome.levels_used);
  if (calculation_failed(outcome.status)) {
    // A failed run has no matte: never write its empty one as a result.
    const std::string failure =
        calculation_failure_message(outcome.status, &outcome.failure, FOR_COMMAND_LINE);
    if (failure.empty())
      fail(run, "failure: solver status %d", outcome.status);
    else
      fail(run, "%s", failure.c_str());
    return MATTE_EXIT_SOLVER;
  }
  return MATTE_EXIT_OK;
}

// The picture whose colours the RGBA output carries: the picture itself, or
// a copy with the estimated foreground colours over the region. A new
// reference either way; null (with the error set) if the copy cannot be made.
static GdkPixbuf *output_colours(matte_run *run) {
  if (!has_foreground_colours(&run->colours)) return GDK_PIXBUF(g_object_ref(run->picture));
  GdkPixbuf *copy = gdk_pixbuf_copy(run->picture);
  if (!copy) {
    fail(run, "not enough memory for the colours of %s", run->args->output_path);
    return nullptr;
  }
  paint_foreground_colours(&run->colours, run->x, run->y, gdk_pixbuf_get_pixels(copy),
                           gdk_pixbuf_get_rowstride(copy), gdk_pixbuf_get_n_channels(copy));
  return copy;
}

static int write_rgba(matte_run *run, const placed_alpha *alpha) {
  GdkPixbuf *colours = output_colours(run);
  if (!colours) return 0;
  int written = io_write_rgba(&run->output, colours, alpha, run->error, sizeof run->error);
  g_object_unref(colours);
  return written;
}

static int write_result(matte_run *run) {
  progress_stage(run->progress, "writing %s", io_output_name(run->args->output_path));
  if (!io_output_begin(&run->output, run->error, sizeof run->error)) return 0;
  placed_alpha alpha = {run->result.plane, run->x, run->y, run->w, run->h};
  int written =
      run->args->alpha_only
          ? io_write_alpha(&run->output, gdk_pixbuf_get_width(run->picture),
                           gdk_pixbuf_get_height(run->picture), &alpha, run->error,
                           sizeof run->error)
          : write_rgba(run, &alpha);
  if (!written) return 0;
  run->output_open = 0;
  return io_output_commit(&run->output, run->error, sizeof run->error);
}

static void release_run(matte_run *run) {
  if (run->output_open) io_output_abandon(&run->output);
  if (run->result_made) free_TIFF(&run->result);
  free_TIFF(&run->colours);
  if (run->constraints) g_object_unref(run->constraints);
  if (run->picture) g_object_unref(run->picture);
}

static int run_steps(matte_run *run) {
  if (!read_inputs(run) || !take_region(run)) return MATTE_EXIT_INPUT;
  // The output is checked before the long calculation, so a missing or
  // read-only folder is reported at once; its file is created only after it.
  if (!io_output_prepare(&run->output, run->args->output_path, run->out, run->args->image_path,
                         run->args->constraints_path, run->error, sizeof run->error))
    return MATTE_EXIT_INPUT;
  run->output_open = 1;
  int status = calculate(run);
  if (status != MATTE_EXIT_OK) return status;
  return write_result(run) ? MATTE_EXIT_OK : MATTE_EXIT_INPUT;
}

int matte_cli_run(const cli_args *args, cli_progress *progress, FILE *out, FILE *err) {
  matte_run run = {};
  run.args = args;
  run.progress = progress;
  run.out = out;
  run.err = err;
  int status = run_steps(&run);
  release_run(&run);
  if (status == MATTE_EXIT_OK)
    progress_stage(progress, "done: %s", io_output_name(args->output_path));
  progress_end(progress);
  if (status != MATTE_EXIT_OK) report(err, run.error);
  return status;
}

int matte_cli_main(int argc, char **argv, FILE *out, FILE *err) {
  signals_report_write_faults();
  cli_args args;
  char error[512] = "";
  switch (parse_cli_args(argc, argv, &args, error, sizeof error)) {
    case PARSE_HELP:
      print_usage(out);
      return MATTE_EXIT_OK;
    case PARSE_VERSION:
      fprintf(out, "%s %s\n", VELORIN_MATTE_NAME, VELORIN_VERSION);
      return MATTE_EXIT_OK;
    case PARSE_ERROR:
      report(err, error);
      fprintf(err, "Try '%s --help' for more information.\n", VELORIN_MATTE_NAME);
      return MATTE_EXIT_INPUT;
    case PARSE_RUN:
      break;
  }
  cli_progress progress;
  progress_init(&progress, err, args.quiet);
  return matte_cli_run(&args, &progress, out, err);
}
