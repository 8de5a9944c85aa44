// velorin-matte: pulls an alpha matte on the command line.
#include <cstdio>

#include "cli/matte_cli.h"

int main(int argc, char **argv) { return matte_cli_main(argc, argv, stdout, stderr); }
