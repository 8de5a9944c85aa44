#include "cli/cli_error.h"

#include <cstdarg>

G_DEFINE_QUARK(velorin - matte - error - quark, cli_error)

bool cli_fail(GError **error, matte_exit_status status, const char *format, ...) {
  va_list ap;
  va_start(ap, format);
  g_propagate_error(error, g_error_new_valist(CLI_ERROR, status, format, ap));
  va_end(ap);
  return false;
}
