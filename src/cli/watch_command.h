// quillet-convert watch: converts what is there, then every report that
// arrives or changes, until SIGINT or SIGTERM.
#pragma once

#include "cli_arguments.h"
#include "sys_vars.h"

namespace quillet::cli {

int run_watch(cSys_vars& sys, const Arguments& args);

}  // namespace quillet::cli
