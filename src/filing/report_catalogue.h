// The catalogue of converted documents and the sorting of the report list.
#pragma once

#include "sys_vars.h"

namespace quillet {

// Rebuilds the report list of sys as the catalogue of converted documents
// (the HTML reports folder and its immediate sub-folders) and sorts it.
void pr_Get_List_Of_Converted_Files(cSys_vars& sys, const SortChoice& sort);
// Sorts entries 1..Rep_FileCount in place, stably.
void pr_Sort_Report_List(cSys_vars& sys, const SortChoice& sort);

}  // namespace quillet
