// Sorting the report list by a click on a column header. "Student Number",
// "Report name", "Date" and "Comment" have the sort keys of the View menu;
// "No." is the list's own order, which a second click turns round. The
// conversion view's "Source filename" and "Converted?" are shown only while a
// batch writes the list, which no sort may reorder then.
#pragma once

#include "report_columns.h"

namespace quillet {

class cSys_vars;

// The sort key code (0 student, 1 report name, 2 date, 3 comment) of the
// column field; -1 for a column that has none.
int sort_key_of(ReportColumn::Field field);

// Turns entries 1..Rep_FileCount round: the last comes first.
void reverse_report_list(cSys_vars& sys);

}  // namespace quillet
