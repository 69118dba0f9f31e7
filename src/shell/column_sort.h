// Sorting the report list by a grid column that has no sort key of its own:
// "Source filename" by name without regard to letter case, "Converted?" with
// "No" before "Yes", "No." by the list's own order. Both directions keep
// entries with equal keys in their previous order, as the sort keys do.
#pragma once

#include "report_columns.h"

namespace quillet {

class cSys_vars;

// The sort key code (0 student, 1 report name, 2 date, 3 comment) of the
// column field; -1 for a column that has none.
int sort_key_of(ReportColumn::Field field);

// Sorts entries 1..Rep_FileCount by field. For "No." the list is already in
// ascending order: descending turns it round.
void sort_by_column_field(cSys_vars& sys, ReportColumn::Field field, bool ascending);

}  // namespace quillet
