// Converting the entries of the report list into HTML documents on disk:
// destination naming, the sub-folder, the validity check, the overwrite
// policy and the atomic write of each document.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

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

// The conversion of one batch. Holds the state of the entry being converted.
class ReportConverter {
public:
    ReportConverter(cSys_vars& sys, OverwriteQuestion& question,
                    const SectionHeadingTable& headings = standard_section_headings());

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

    // Module-wide values of the entry under conversion.
    std::string strStudentNumber;  // Windows-1252 bytes
    QString strReportName;
    std::int16_t intReportKind = 0;

private:
    QString source_path(const ReportEntry& entry) const;
    // The sub-folder's name as it stands on disk (letter case may differ).
    QString folder_name_on_disk(const QString& name);
    // Finds or makes the sub-folder; its name on disk, or nullopt with the reason.
    std::optional<QString> ensure_folder(const QString& name, QString& failure);
    void load_folders();
    // The source bytes, read once per entry. False with reason when unreadable.
    bool read_source(const QString& path, QString* failure);
    void convert_entry(int index);

    cSys_vars& sys_;
    OverwriteQuestion& question_;
    const SectionHeadingTable& headings_;
    // Sub-folders of Path_HTMLReports, lower-cased name -> name on disk, read
    // once per batch and kept up to date as folders are created.
    std::optional<QHash<QString, QString>> folders_;
    QString folders_root_;
    QString cached_path_;
    SourceBuffer cached_source_;
    bool cached_ = false;
};

// True when name can be used as one folder name below the HTML reports folder.
bool is_safe_folder_name(const QString& name);

}  // namespace quillet
