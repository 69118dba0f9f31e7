// quillet-convert search and text: the documents whose text matches a query,
// and the plain text of one document.
#pragma once

#include "cli_arguments.h"
#include "sys_vars.h"

namespace quillet::cli {

int run_search(cSys_vars& sys, const Arguments& args);
int run_text(const Arguments& args);

}  // namespace quillet::cli
