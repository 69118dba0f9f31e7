// The columns in which the report list is shown: the list view (5 columns)
// and the conversion view (7 columns), with each column's header, starting
// width and cell text. The grid and quillet-convert both show them.
#pragma once

#include <QString>
#include <span>

#include "report_entry.h"

namespace quillet {

struct ReportColumn {
    enum class Field { number, source, student, report, date, converted, comment, match };
    Field field;
    const char* header;
    const char* key;  // the name of the field in quillet-convert's JSON output
    int width_twips;
};

// The columns of a view, in order. The last one is always "Comment".
std::span<const ReportColumn> report_columns(bool conversion_view);
// The columns of the documents that a text search found: the list view's,
// with the passage that matched ("Match") in place of "Comment".
std::span<const ReportColumn> match_columns();

// The text that row number shows for entry in the field's column.
QString report_cell_text(int number, const ReportEntry& entry, ReportColumn::Field field);
// The member of entry that the field's column shows as it is; null for the
// columns whose text is made for the row (number, converted, match).
const QString* report_cell_source(const ReportEntry& entry, ReportColumn::Field field);

}  // namespace quillet
