#include "report_columns.h"

#include <array>

namespace quillet {

namespace {

using Field = ReportColumn::Field;

constexpr std::array kListColumns{
    ReportColumn{Field::number, "No.", "no", 500},
    ReportColumn{Field::student, "Student Number", "student", 2000},
    ReportColumn{Field::report, "Report name", "report", 2000},
    ReportColumn{Field::date, "Date", "date", 1800},
    ReportColumn{Field::comment, "Comment", "comment", 3000},
};

constexpr std::array kConversionColumns{
    ReportColumn{Field::number, "No.", "no", 500},
    ReportColumn{Field::source, "Source filename", "source", 2000},
    ReportColumn{Field::student, "Student Number", "student", 2000},
    ReportColumn{Field::report, "Report name", "report", 2000},
    ReportColumn{Field::date, "Date", "date", 1800},
    ReportColumn{Field::converted, "Converted?", "converted", 1200},
    ReportColumn{Field::comment, "Comment", "comment", 3000},
};

constexpr std::array kMatchColumns{
    ReportColumn{Field::number, "No.", "no", 500},
    ReportColumn{Field::student, "Student Number", "student", 2000},
    ReportColumn{Field::report, "Report name", "report", 2000},
    ReportColumn{Field::date, "Date", "date", 1800},
    ReportColumn{Field::match, "Match", "match", 3000},
};

}  // namespace

std::span<const ReportColumn> match_columns() {
    return kMatchColumns;
}

std::span<const ReportColumn> report_columns(bool conversion_view) {
    if (conversion_view) {
        return kConversionColumns;
    }
    return kListColumns;
}

const QString* report_cell_source(const ReportEntry& entry, ReportColumn::Field field) {
    switch (field) {
        case Field::source:
            return &entry.Rep_SourceFilename;
        case Field::student:
            // A Fennick document is named after the student; the others lie in
            // the student's sub-folder.
            return entry.Rep_ReportType == 1 ? &entry.Rep_DestinationFilename
                                             : &entry.Rep_DestinationPath;
        case Field::report:
            return &entry.Rep_DestinationFilename;
        case Field::date:
            return &entry.Rep_DestinationFileDate;
        case Field::comment:
            return &entry.Rep_Comment;
        case Field::number:
        case Field::converted:
        case Field::match:
            break;
    }
    return nullptr;
}

QString report_cell_text(int number, const ReportEntry& entry, ReportColumn::Field field) {
    if (const QString* text = report_cell_source(entry, field)) {
        return *text;
    }
    switch (field) {
        case Field::number:
            return QString::number(number);
        case Field::converted:
            return entry.Rep_Converted ? QStringLiteral("Yes") : QStringLiteral("No");
        default:
            return {};  // the passage of a match belongs to the search, not to the entry
    }
}

}  // namespace quillet
