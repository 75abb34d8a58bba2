// The serve command: loads the key and the catalogue, serves until SIGINT or SIGTERM,
// and reloads the catalogue on SIGHUP.
#pragma once

#include "command_line.h"

// Answers the process exit code.
int run_serve_command(const command_line& options);
