// Where the document of a report entry lies on disk.
#pragma once

#include <QString>

namespace quillet {

class cSys_vars;
struct ReportEntry;

// The HTML reports folder, the entry's sub-folder when it has one (as it is
// named on disk) and the document's file name.
QString document_path(const cSys_vars& sys, const ReportEntry& entry);

}  // namespace quillet
