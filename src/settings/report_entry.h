// One entry of the report list: a source report found for a batch, or a
// converted document found for the catalogue.
#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace quillet {

struct ReportEntry {
    QString Rep_SourceFilename;       // lower case, without point and extension
    QString Rep_SourceFileExtension;  // "fnr" or "tmp"
    bool Rep_Converted = false;
    QString Rep_DestinationPath;      // sub-folder of Path_HTMLReports (as listed on disk for the
                                      // catalogue)
    QString Rep_DestinationFilename;  // report name / document name without ".htm"
    QString Rep_DestinationFileDate;  // last-modified date and time as display text
    QString Rep_Comment;
    std::int16_t Rep_ReportType = 0;  // source code 1/2 (batch) or catalogue kind 0..3

    // Names as the file system lists them, so that files are reached on a
    // case-sensitive file system although the Rep_* names are lower-cased.
    QString source_listed_name;       // source file name with extension, as listed
    QString destination_listed_name;  // document file name with extension, as listed (catalogue)
    // The folder the source lies in, with its separator, when it is not the
    // folder of its report source code (a report dropped on the window).
    QString source_folder;
    // The document's timestamp, for sorting by date; invalid when unknown.
    QDateTime destination_timestamp;

    // A Fennick report: its extension, lower-cased, is "fnr".
    bool is_fennick_source() const { return Rep_SourceFileExtension.toLower() == u"fnr"; }
};

}  // namespace quillet
