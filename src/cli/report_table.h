// Printing the report list as an aligned table or as JSON.
#pragma once

#include <QString>

#include "sys_vars.h"

namespace quillet::cli {

enum class View { Conversion, List };

// The whole report list in the given view, as text for standard output.
QString format_table(const cSys_vars& sys, View view);
QString format_json(const cSys_vars& sys, View view);

}  // namespace quillet::cli
