#include "cli/args.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/cli_error.h"

// "cholesky, lu": the words --solver takes.
static std::string solver_words(void) {
  std::string words;
  for (int i = 0; i < OPT_SOLVER.count; i++)
    words += std::string(i ? ", " : "") + OPT_SOLVER.items[i].word;
  return words;
}

// What a value-taking option stores, and the range it must fall in.
enum value_type { VALUE_INT, VALUE_DOUBLE };

struct numeric_option {
  const char *name;  // without the leading "--"
  value_type type;
  const option_range *range;  // lower/upper checked here unless bounded_later
  int bounded_later;          // upper bound depends on the picture or --levels
  size_t offset;              // field of option_args
};

static const numeric_option NUMERIC_OPTIONS[] = {
    {"levels", VALUE_INT, &OPT_LEVELS, 1, offsetof(option_args, levels_num)},
    {"active", VALUE_INT, &OPT_ACTIVE, 1, offsetof(option_args, Active_levels_num)},
    {"epsilon", VALUE_DOUBLE, &OPT_EPSILON, 0, offsetof(option_args, epsilon)},
    {"threshold", VALUE_DOUBLE, &OPT_THRESHOLD, 0, offsetof(option_args, threshold)},
    {"win-size", VALUE_INT, &OPT_WIN_SIZE, 0, offsetof(option_args, win_size)},
};
static const size_t NUMERIC_OPTION_COUNT = sizeof NUMERIC_OPTIONS / sizeof NUMERIC_OPTIONS[0];
// --levels takes this word instead of a number to have the levels suggested.
static const char LEVELS_AUTO[] = "auto";

// A number too large or too small for its type is written correctly, and
// the user should hear that it is out of range, not that it is no number.
enum number_parse { NUMBER_OK, NUMBER_INVALID, NUMBER_OUT_OF_RANGE };

static number_parse parse_int(const char *text, int *value) {
  char *end = nullptr;
  errno = 0;
  long v = strtol(text, &end, 10);
  if (end == text || *end != '\0') return NUMBER_INVALID;
  if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return NUMBER_OUT_OF_RANGE;
  *value = static_cast<int>(v);
  return NUMBER_OK;
}

static number_parse parse_double(const char *text, double *value) {
  char *end = nullptr;
  errno = 0;
  double v = strtod(text, &end);
  if (end == text || *end != '\0' || std::isnan(v)) return NUMBER_INVALID;
  if (errno == ERANGE || std::isinf(v)) return NUMBER_OUT_OF_RANGE;
  *value = v;
  return NUMBER_OK;
}

// The option's range as --help shows it.
static void range_text(const numeric_option *opt, char *text, size_t size) {
  if (opt->offset == offsetof(option_args, levels_num))
    snprintf(text, size, "%g..min(width, height)/10", opt->range->lower);
  else if (opt->offset == offsetof(option_args, Active_levels_num))
    snprintf(text, size, "%g..levels", opt->range->lower);
  else
    snprintf(text, size, "%g..%g", opt->range->lower, opt->range->upper);
}

static bool set_numeric(const numeric_option *opt, const char *text, option_args *options,
                        GError **error) {
  double value = 0;
  int whole = 0;
  const number_parse parsed =
      opt->type == VALUE_INT ? parse_int(text, &whole) : parse_double(text, &value);
  if (parsed == NUMBER_INVALID)
    return cli_fail(error, MATTE_EXIT_INPUT, "--%s: '%s' is not a %s", opt->name, text,
                    opt->type == VALUE_INT ? "whole number" : "number");
  if (parsed == NUMBER_OUT_OF_RANGE) {
    char range[64];
    range_text(opt, range, sizeof range);
    return cli_fail(error, MATTE_EXIT_INPUT, "--%s: %s is out of range (%s)", opt->name, text,
                    range);
  }
  if (opt->type == VALUE_INT) value = whole;
  const bool below = value < opt->range->lower;
  if (below && opt->bounded_later)
    return cli_fail(error, MATTE_EXIT_INPUT, "--%s: %s is below %g", opt->name, text,
                    opt->range->lower);
  if (below || (!opt->bounded_later && value > opt->range->upper))
    return cli_fail(error, MATTE_EXIT_INPUT, "--%s: %s is outside %g..%g", opt->name, text,
                    opt->range->lower, opt->range->upper);
  char *field = reinterpret_cast<char *>(options) + opt->offset;
  if (opt->type == VALUE_INT)
    *reinterpret_cast<int32_t *>(field) = whole;
  else
    *reinterpret_cast<double *>(field) = value;
  return true;
}

static bool parse_region(const char *text, cli_args *args, GError **error) {
  const int FIELDS = 4;  // X,Y,W,H
  int v[FIELDS];
  const char *field = text;
  for (int k = 0; k < FIELDS; k++) {
    const bool last = k == FIELDS - 1;
    const char *comma = strchr(field, ',');
    const std::string number = last ? field : comma ? std::string(field, comma) : "";
    const number_parse parsed =
        (comma != nullptr) == last ? NUMBER_INVALID : parse_int(number.c_str(), &v[k]);
    if (parsed == NUMBER_INVALID)
      return cli_fail(error, MATTE_EXIT_INPUT, "--region: '%s' is not X,Y,W,H", text);
    if (parsed == NUMBER_OUT_OF_RANGE)
      return cli_fail(error, MATTE_EXIT_INPUT, "--region: %s in '%s' is out of range",
                      number.c_str(), text);
    if (!last) field = comma + 1;
  }
  if (v[2] <= 0 || v[3] <= 0)
    return cli_fail(error, MATTE_EXIT_INPUT, "--region: width and height must be positive in '%s'",
                    text);
  args->region_is_set = 1;
  args->region_x = v[0];
  args->region_y = v[1];
  args->region_w = v[2];
  args->region_h = v[3];
  return true;
}

static bool parse_solver(const char *text, option_args *options, GError **error) {
  const int item = option_item_by_word(&OPT_SOLVER, text);
  if (item < 0)
    return cli_fail(error, MATTE_EXIT_INPUT, "--solver: '%s' is not one of %s", text,
                    solver_words().c_str());
  options->solver = item;
  return true;
}

// Bytes from "123", "500M", "1.5G", "2GB", "64k" (K, M, G, T: powers of 1024).
static bool parse_size(const char *text, uint64_t *bytes) {
  char *end = nullptr;
  errno = 0;
  double value = strtod(text, &end);
  if (end == text || errno == ERANGE || !std::isfinite(value) || value <= 0) return false;
  static const char kUnits[] = "kmgt";
  const char *unit = *end ? strchr(kUnits, tolower(static_cast<unsigned char>(*end))) : nullptr;
  if (unit) {
    value *= std::pow(1024.0, 1 + (unit - kUnits));
    end++;
    if (*end == 'B' || *end == 'b') end++;
  }
  if (*end != '\0' || value < 1 || value >= 9.2e18) return false;
  *bytes = static_cast<uint64_t>(value);
  return true;
}

static bool parse_max_memory(const char *text, cli_args *args, GError **error) {
  if (parse_size(text, &args->memory_limit)) return true;
  return cli_fail(error, MATTE_EXIT_INPUT,
                  "--max-memory: '%s' is not a size (bytes, or a number with K, M, G or T)", text);
}

static void set_defaults(cli_args *args) {
  memset(args, 0, sizeof *args);
  args->constraints = CHOOSE_BY_ALPHA_CHANNEL;
  opts_set_default(&args->options);
}

// Splits "--name=value" into name and value; otherwise value is null.
static void split_long_option(const char *arg, char *name, size_t name_size, const char **value) {
  const char *eq = strchr(arg, '=');
  size_t length = eq ? static_cast<size_t>(eq - arg) : strlen(arg);
  if (length >= name_size) length = name_size - 1;
  memcpy(name, arg, length);
  name[length] = '\0';
  *value = eq ? eq + 1 : nullptr;
}

// Takes the option's value from "=value" or from the next argument.
static const char *take_value(const char *inline_value, int argc, const char *const *argv, int *i,
                              const char *name, GError **error) {
  if (inline_value) return inline_value;
  if (*i + 1 >= argc) {
    cli_fail(error, MATTE_EXIT_INPUT, "%s needs a value", name);
    return nullptr;
  }
  return argv[++*i];
}

static const numeric_option *find_numeric(const char *name) {
  for (size_t k = 0; k < NUMERIC_OPTION_COUNT; k++)
    if (strncmp(name, "--", 2) == 0 && strcmp(name + 2, NUMERIC_OPTIONS[k].name) == 0)
      return &NUMERIC_OPTIONS[k];
  return nullptr;
}

static bool set_flag(const char *name, cli_args *args) {
  if (strcmp(name, "--layer") == 0)
    args->constraints = CHOOSE_LAYER;
  else if (strcmp(name, "--trimap") == 0)
    args->constraints = CHOOSE_TRIMAP;
  else if (strcmp(name, "--alpha-only") == 0)
    args->alpha_only = 1;
  else if (strcmp(name, "--foreground") == 0)
    args->options.estimate_foreground = 1;
  else if (strcmp(name, "--quiet") == 0 || strcmp(name, "-q") == 0)
    args->quiet = 1;
  else
    return false;
  return true;
}

// Handles one option at argv[*i]; returns false with *error set on failure.
static bool parse_option(int argc, const char *const *argv, int *i, cli_args *args,
                         GError **error) {
  char name[64];
  const char *inline_value;
  split_long_option(argv[*i], name, sizeof name, &inline_value);
  constraint_choice before = args->constraints;
  if (set_flag(name, args)) {
    if (inline_value) return cli_fail(error, MATTE_EXIT_INPUT, "%s takes no value", name);
    if (before != CHOOSE_BY_ALPHA_CHANNEL && before != args->constraints)
      return cli_fail(error, MATTE_EXIT_INPUT, "--layer and --trimap exclude each other");
    return true;
  }
  const numeric_option *numeric = find_numeric(name);
  const bool is_output = strcmp(name, "-o") == 0 || strcmp(name, "--output") == 0;
  const bool is_region = strcmp(name, "--region") == 0;
  const bool is_solver = strcmp(name, "--solver") == 0;
  const bool is_max_memory = strcmp(name, "--max-memory") == 0;
  if (!numeric && !is_output && !is_region && !is_solver && !is_max_memory)
    return cli_fail(error, MATTE_EXIT_INPUT, "unknown option '%s' (see --help)", name);
  const char *value = take_value(inline_value, argc, argv, i, name, error);
  if (!value) return false;
  if (is_output) {
    // Two outputs are a typo in a script; silently writing only one of
    // them would hide it.
    if (args->output_path)
      return cli_fail(error, MATTE_EXIT_INPUT, "only one output file may be given");
    args->output_path = value;
    return true;
  }
  if (is_region) return parse_region(value, args, error);
  if (is_solver) return parse_solver(value, &args->options, error);
  if (is_max_memory) return parse_max_memory(value, args, error);
  if (numeric->offset == offsetof(option_args, levels_num)) {
    // The last --levels counts, "auto" or a number.
    args->levels_auto = strcmp(value, LEVELS_AUTO) == 0;
    if (args->levels_auto) return true;
  }
  if (numeric->offset == offsetof(option_args, Active_levels_num)) args->active_given = 1;
  return set_numeric(numeric, value, &args->options, error);
}

static bool check_complete(const cli_args *args, int operand_count, GError **error) {
  if (operand_count < 2)
    return cli_fail(error, MATTE_EXIT_INPUT, "expected IMAGE and CONSTRAINTS (see --help)");
  if (!args->output_path || !*args->output_path)
    return cli_fail(error, MATTE_EXIT_INPUT, "no output file: give -o OUTPUT.png");
  if (!args->levels_auto && args->options.Active_levels_num > args->options.levels_num)
    return cli_fail(error, MATTE_EXIT_INPUT, "--active %d exceeds --levels %d",
                    args->options.Active_levels_num, args->options.levels_num);
  return true;
}

// --help and --version answer whatever else is on the command line.
static parse_outcome find_help_or_version(int argc, const char *const *argv) {
  for (int i = 1; i < argc && strcmp(argv[i], "--") != 0; i++) {
    if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) return PARSE_HELP;
    if (strcmp(argv[i], "--version") == 0) return PARSE_VERSION;
  }
  return PARSE_RUN;
}

parse_outcome parse_cli_args(int argc, const char *const *argv, cli_args *args, GError **error) {
  set_defaults(args);
  parse_outcome early = find_help_or_version(argc, argv);
  if (early != PARSE_RUN) return early;
  int operand_count = 0;
  bool options_ended = false;
  for (int i = 1; i < argc; i++) {
    const char *arg = argv[i];
    if (!options_ended && strcmp(arg, "--") == 0) {
      options_ended = true;
    } else if (!options_ended && arg[0] == '-' && arg[1] != '\0') {
      if (!parse_option(argc, argv, &i, args, error)) return PARSE_ERROR;
    } else if (operand_count < 2) {
      (operand_count++ == 0 ? args->image_path : args->constraints_path) = arg;
    } else {
      cli_fail(error, MATTE_EXIT_INPUT, "unexpected operand '%s'", arg);
      return PARSE_ERROR;
    }
  }
  return check_complete(args, operand_count, error) ? PARSE_RUN : PARSE_ERROR;
}

void print_usage(FILE *stream) {
  fprintf(stream,
          "Usage: %s [options] IMAGE CONSTRAINTS -o OUTPUT.png\n"
          "Pull an alpha matte out of IMAGE with closed-form matting.\n\n"
          "CONSTRAINTS is a stroke layer (a PNG with alpha: opaque pixels fix alpha\n"
          "to their grey level) or a trimap without alpha (0 = background,\n"
          "255 = foreground, anything else unknown), of the picture's size.\n\n"
          "Options:\n"
          "  -o, --output FILE     the PNG to write (whole or not at all); - is standard output\n"
          "  --layer               read CONSTRAINTS as a stroke layer\n"
          "  --trimap              read CONSTRAINTS as a trimap\n",
          VELORIN_MATTE_NAME);
  for (size_t k = 0; k < NUMERIC_OPTION_COUNT; k++) {
    const numeric_option *opt = &NUMERIC_OPTIONS[k];
    char label[32], range[64];
    snprintf(label, sizeof label, "--%s N", opt->name);
    range_text(opt, range, sizeof range);
    if (opt->offset == offsetof(option_args, levels_num))
      snprintf(label, sizeof label, "--%s N|%s", opt->name, LEVELS_AUTO);
    fprintf(stream, "  %-22s%s\n  %-22sdefault %g, range %s\n", label, opt->range->meaning, "",
            opt->range->default_value, range);
    if (opt->offset == offsetof(option_args, levels_num))
      fprintf(stream,
              "  %-22s%s: the deepest pyramid the region and its constraints\n"
              "  %-22sallow, every level solved (--active lowers the solved ones)\n",
              "", LEVELS_AUTO, "");
  }
  fprintf(stream,
          "  --region X,Y,W,H      calculate only this rectangle (clipped to the picture)\n");
  fprintf(stream, "  --solver NAME         %s\n  %-22sdefault %s\n", OPT_SOLVER.meaning, "",
          OPT_SOLVER.items[OPT_SOLVER.default_value].word);
  fprintf(stream,
          "  --max-memory SIZE     refuse a solve whose factorisation, or a picture whose least\n"
          "                        calculation, would bring the run above SIZE (bytes, or\n"
          "                        with K, M, G, T); default: the memory the system has\n"
          "                        available\n"
          "  --alpha-only          write an 8-bit grey alpha PNG instead of RGBA\n"
          "  --foreground          %s\n"
          "                        (the RGBA output carries them, not the picture's)\n"
          "  -q, --quiet           no progress on standard error\n"
          "  -h, --help            show this help\n"
          "  --version             show the version\n\n"
          "Exit status: 0 success, 2 usage or input error, 3 solver failure.\n",
          OPT_FOREGROUND.meaning);
}
