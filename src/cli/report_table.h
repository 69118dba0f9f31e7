// Printing the report list as an aligned table or as JSON.
#pragma once

#include <QString>
#include <cstdio>

#include "sys_vars.h"

namespace quillet::cli {

enum class View { Conversion, List };

// The whole report list in the given view: printed to stream as an aligned
// table, in pieces as it is made; or as JSON text.
void print_table(std::FILE* stream, const cSys_vars& sys, View view);
QString format_json(const cSys_vars& sys, View view);

// Rows printed one at a time as they come (watch mode): a header line, then
// one line per row with fixed column widths; or one JSON object per line.
QString format_table_header(View view);
QString format_table_row(int number, const ReportEntry& entry, View view);
QString format_json_row(int number, const ReportEntry& entry, View view);

}  // namespace quillet::cli
