// Converting every entry of the report list, one after the other.
#include <exception>

#include "report_conversion.h"

namespace quillet {

namespace {
// A buffer this size is kept from one entry to the next; larger ones are freed.
constexpr std::size_t kKeptSourceCapacity = 4 * 1024 * 1024;
}  // namespace

void ReportConverter::fail_entry(ReportEntry& entry, const QString& what) {
    entry.Rep_Converted = false;
    entry.Rep_DestinationFilename.clear();
    entry.Rep_Comment = what;
}

std::optional<QString> ReportConverter::place_entry(ReportEntry& entry) {
    QString failure;
    const FilingSettings now = settings();
    // The sub-folder as it is on disk, which may differ in letter case.
    const std::optional<QString> folder =
        folders_->ensure(now.Path_HTMLReports, entry.Rep_DestinationPath, failure);
    if (!folder) {
        fail_entry(entry, failure);
        return std::nullopt;
    }
    if (entry.Rep_DestinationFilename.isEmpty()) {
        return QString();
    }
    return now.Path_HTMLReports + *folder + folder_separator() + entry.Rep_DestinationFilename +
           QLatin1Char('.') + now.document_extension;
}

void ReportConverter::convert_entry(ReportEntry& entry, const QString& destination) {
    if (destination.isEmpty()) {
        return;
    }
    strReportName = entry.Rep_DestinationFilename;
    if (entry.is_fennick_source()) {
        intReportKind = 1;
    } else if (strReportName == QLatin1String("Analysis")) {
        intReportKind = 2;
    } else if (strReportName == QLatin1String("Dyslexia")) {
        intReportKind = 3;
    } else {
        // Neither marker: no outline, so no anchors and a bare table of contents.
        intReportKind = 0;
    }

    if (fn_ConvertReport(source_path(entry), destination, entry)) {
        entry.Rep_Converted = true;
        if (index_feed_) {
            index_feed_->add(destination);
        }
    } else {
        entry.Rep_DestinationFilename.clear();
    }
}

void ReportConverter::forget_source() {
    cached_ = false;
    cached_source_.release_if_larger_than(kKeptSourceCapacity);
}

void ReportConverter::convert_list_entry(int index) {
    ReportEntry& entry = sys_.entry(index);
    entry.Rep_Converted = false;
    if (!resolve_entry(entry)) {
        entry.Rep_DestinationFilename.clear();
        return;
    }
    if (const std::optional<QString> destination = place_entry(entry)) {
        convert_entry(entry, *destination);
    }
}

void ReportConverter::pr_Convert_Report_List(const std::function<void(int)>& entry_done) {
    folders_->reset();
    const bool own_feed = !index_feed_;
    if (own_feed) {
        index_feed_ = std::make_shared<DocumentIndexFeed>(settings().Path_HTMLReports);
    }
    const int count = sys_.Rep_FileCount();
    for (int index = 1; index <= count; ++index) {
        try {
            convert_list_entry(index);
        } catch (const std::exception& error) {
            fail_entry(sys_.entry(index), QString::fromLocal8Bit(error.what()));
        }
        forget_source();
        if (entry_done) {
            entry_done(index);
        }
    }
    folders_->reset();
    if (own_feed) {
        index_feed_.reset();  // the index is current when the batch returns
    }
}

}  // namespace quillet
