// Source report discovery: fills the report list with the report files of
// the Fennick and/or Orvella folder.
#include <QDir>
#include <QStringList>

#include "sys_vars.h"

namespace quillet {

bool cSys_vars::pr_Generate_File_List(std::int16_t intWhatReport) {
    set_Rep_FileCount(0);
    pr_Find_Source_Reports(intWhatReport);
    return file_count_ > 0;
}

std::int16_t cSys_vars::fn_Source_Code_Of(const QString& file_name) const {
    const QString lower = file_name.toLower();
    for (int code = 1; code <= ext_num_ && code <= 2; ++code) {
        const auto slot = static_cast<std::size_t>(code);
        if (lower.endsWith(QLatin1Char('.') + extension_[slot]) &&
            lower.startsWith(gen_prefix_[slot])) {
            return static_cast<std::int16_t>(code);
        }
    }
    return 0;
}

ReportEntry& cSys_vars::pr_Append_Source_Report(std::int16_t code, const QString& listed_name,
                                                const QString& folder) {
    const auto slot = static_cast<std::size_t>(code);
    const QString suffix = QLatin1Char('.') + extension_.at(slot);
    ReportEntry& e = append_entry();
    e.Rep_SourceFilename = listed_name.toLower().remove(suffix);
    e.Rep_SourceFileExtension = extension_[slot];
    e.Rep_Converted = false;
    e.Rep_DestinationPath.clear();
    e.Rep_DestinationFilename.clear();
    e.Rep_DestinationFileDate.clear();
    e.Rep_Comment =
        code == 1 ? QStringLiteral("Invalid Fennick file") : QStringLiteral("Invalid Orvella file");
    e.Rep_ReportType = code;
    e.source_listed_name = listed_name;
    e.source_folder = folder;
    e.destination_listed_name.clear();
    e.destination_timestamp = QDateTime();
    return e;
}

void cSys_vars::pr_Find_Source_Reports(std::int16_t intWhatReport) {
    int first = 1;
    int last = ext_num_;
    if (intWhatReport == 1 || intWhatReport == 2) {
        first = last = intWhatReport;
    }
    for (int code = first; code <= last; ++code) {
        const QString* folder = code == 1 ? &path_fennick_ : code == 2 ? &path_orvella_ : nullptr;
        if (folder == nullptr || folder->isEmpty()) {
            continue;  // a code without a folder contributes nothing
        }
        const auto slot = static_cast<std::size_t>(code);
        const QString suffix = QLatin1Char('.') + extension_[slot];
        const QString& prefix = gen_prefix_[slot];

        // Plain files only: no folders, no hidden or system entries. Sorted
        // by name so that the order does not depend on the file system.
        const QStringList names =
            QDir(*folder).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        for (const QString& name : names) {
            const QString lower = name.toLower();
            if (lower.endsWith(suffix) && lower.startsWith(prefix)) {
                pr_Append_Source_Report(static_cast<std::int16_t>(code), name);
            }
        }
    }
}

}  // namespace quillet
