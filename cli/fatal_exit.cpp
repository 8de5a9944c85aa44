#include "cli/fatal_exit.h"

#include <umfpack.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "calc/solver_status.h"
#include "cli/args.h"
#include "cli/cli_error.h"
#include "cli/output_file.h"
#include "engine/allocate.h"
#include "engine/fatal.h"

// Set while a scope lives. The text for an exhausted heap is made up front,
// as nothing can be allocated once it is needed.
static cli_progress *fatal_progress = nullptr;
static FILE *fatal_stream = nullptr;
static char out_of_memory_text[512];

// Writes `text` with its line ends and surrounding blanks turned into one
// line; the engine's messages start and end with newlines of their own.
static void write_one_line(const char *text) {
  while (*text == '\n' || *text == ' ') text++;
  size_t length = strlen(text);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == ' ')) length--;
  for (size_t i = 0; i < length; i++) fputc(text[i] == '\n' ? ' ' : text[i], fatal_stream);
}

[[noreturn]] static void end_run(const char *failure, const char *detail) {
  progress_end(fatal_progress);
  fputs(VELORIN_MATTE_NAME ": ", fatal_stream);
  fputs(failure, fatal_stream);
  write_one_line(detail);
  fputc('\n', fatal_stream);
  fflush(fatal_stream);
  io_output_remove_pending();
  _exit(MATTE_EXIT_SOLVER);
}

static void on_engine_fatal(const char *message, int) {
  if (is_allocation_failure(message)) end_run(out_of_memory_text, "");
  end_run("failure: ", message);
}

static void on_new_failed() { end_run(out_of_memory_text, ""); }

fatal_exit_scope::fatal_exit_scope(cli_progress *progress, FILE *err) {
  const failure_details none = {};
  const std::string text =
      calculation_failure_message(UMFPACK_ERROR_out_of_memory, &none, FOR_COMMAND_LINE);
  snprintf(out_of_memory_text, sizeof out_of_memory_text, "%s", text.c_str());
  fatal_progress = progress;
  fatal_stream = err;
  engine_set_fatal_handler(on_engine_fatal);
  previous_new_handler_ = std::set_new_handler(on_new_failed);
}

fatal_exit_scope::~fatal_exit_scope() {
  std::set_new_handler(previous_new_handler_);
  engine_set_fatal_handler(nullptr);
  fatal_progress = nullptr;
  fatal_stream = nullptr;
}
