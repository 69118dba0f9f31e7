// Converting the entries of the report list into HTML documents on disk:
// destination naming, the sub-folder, the validity check, the overwrite
// policy and the atomic write of each document.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "document_dates.h"
#include "document_index_feed.h"
#include "section_headings.h"
#include "source_buffer.h"
#include "sys_vars.h"
#include "text_codec.h"

namespace quillet {

// Asks the user whether an existing document may be replaced ("Convert Option").
class OverwriteQuestion {
public:
    virtual ~OverwriteQuestion() = default;
    // True for Yes. text is the question, its two sentences joined by one LF.
    virtual bool ask(const QString& title, const QString& text) = 0;
};

// Answers every question the same way (command line without a terminal, tests).
class FixedAnswer final : public OverwriteQuestion {
public:
    explicit FixedAnswer(bool yes) : yes_(yes) {}
    bool ask(const QString&, const QString&) override { return yes_; }

private:
    bool yes_;
};

inline const QString kConvertOptionTitle = QStringLiteral("Convert Option");
inline const QString kConvertOptionQuestion = QStringLiteral(
    "An HTML version of the Orvella Report already exists.\n"
    "Do you want me to overwrite it with a newly converted one?");

// The settings a conversion reads, as the settings object held them at one
// moment: a batch on worker threads reads these, never the settings object.
struct FilingSettings {
    QString Path_Orvella, Path_Fennick, Path_HTMLReports;
    QString document_extension;  // Extension(0)
    std::int16_t Gen_ConvertOption = 0;

    static FilingSettings of(const cSys_vars& sys);
};

// The sub-folders of the HTML reports folder, lower-cased name -> name on
// disk, listed once and kept up to date as folders are created. Several
// converters of one batch may share one; every call is serialised.
class ReportFolders {
public:
    // Finds or makes the sub-folder name of root; its name on disk (an empty
    // name gives an empty one), or nullopt with the reason in failure.
    std::optional<QString> ensure(const QString& root, const QString& name, QString& failure);
    // Forgets the listing, so that the next call lists the folder again.
    void reset();

private:
    // link: set when the folder found is a link (to a folder).
    QString on_disk(const QString& root, const QString& name, bool* link);

    std::mutex mutex_;
    std::optional<QHash<QString, QString>> folders_;
    QString root_;
};

// The conversion of one batch. Holds the state of the entry being converted.
// One converter is used by one thread at a time; the converters of a parallel
// batch share their ReportFolders.
class ReportConverter {
public:
    ReportConverter(cSys_vars& sys, OverwriteQuestion& question,
                    const SectionHeadingTable& headings = standard_section_headings(),
                    std::shared_ptr<ReportFolders> folders = {},
                    std::optional<FilingSettings> fixed_settings = {});

    // Report name, student number and destination sub-folder of entry index.
    // Returns false (with the entry's comment set) when the source cannot be read.
    bool pr_Set_Report_Destination(int index);
    // Makes sure the sub-folder exists (letter case ignored when looking).
    // Returns false with a reason when it cannot be created.
    bool pr_Ensure_Report_Folder(const QString& name, QString* failure = nullptr);
    // Converts one source into one document. True when the document was written.
    bool fn_ConvertReport(const QString& source_path, const QString& destination_path, int index);

    // Converts entries 1..Rep_FileCount in order; after each entry calls
    // entry_done(index), also when the entry failed.
    void pr_Convert_Report_List(const std::function<void(int)>& entry_done = {});

    // The three steps of one entry, for batches that order entries themselves.
    // They work on entry alone (which need not be in the report list) and
    // read only the settings of the settings object.
    // 1. Report name, student number and sub-folder. False when the entry ends
    //    here (its comment says why).
    bool resolve_entry(ReportEntry& entry);
    // 2. Makes sure the sub-folder exists. The document's path; empty when
    //    there is nothing to convert; nullopt when the entry ends here.
    std::optional<QString> place_entry(ReportEntry& entry);
    // 3. Converts the source to the document at destination and records the
    //    outcome in entry.
    void convert_entry(ReportEntry& entry, const QString& destination);
    // Marks entry as failed with what.
    static void fail_entry(ReportEntry& entry, const QString& what);
    // Drops the source kept from the last entry.
    void forget_source();
    // The documents written from now on go to feed (shared by the converters
    // of one batch). pr_Convert_Report_List makes its own when none is set.
    void set_index_feed(std::shared_ptr<DocumentIndexFeed> feed) { index_feed_ = std::move(feed); }

    // Module-wide values of the entry under conversion.
    std::string strStudentNumber;  // Windows-1252 bytes
    QString strReportName;
    std::int16_t intReportKind = 0;

    // Converts one source into entry's document. True when it was written.
    bool fn_ConvertReport(const QString& source_path, const QString& destination_path,
                          ReportEntry& entry);

private:
    // The fixed settings, or those the settings object holds now.
    FilingSettings settings() const;
    QString source_path(const ReportEntry& entry) const;
    // The source bytes, read once per entry. False with reason when unreadable.
    bool read_source(const QString& path, QString* failure);
    void convert_list_entry(int index);

    cSys_vars& sys_;
    OverwriteQuestion& question_;
    const SectionHeadingTable& headings_;
    std::shared_ptr<ReportFolders> folders_;
    std::optional<FilingSettings> fixed_settings_;
    std::shared_ptr<DocumentIndexFeed> index_feed_;
    QString cached_path_;
    SourceBuffer cached_source_;
    bool cached_ = false;
    DateTexts dates_;
};

// True when name can be used as one folder name below the HTML reports folder.
bool is_safe_folder_name(const QString& name);

}  // namespace quillet
