// The settings object: folders and policies with their defaults and
// persistence, the report list, source discovery, the converted catalogue
// and the sibling-program lookup.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "report_entry.h"

class QSettings;

namespace quillet {

// Which order the report list is sorted in. The shell keeps the process-wide
// choice; the command line has its own.
struct SortChoice {
    std::int16_t gintSortKey = 0;  // 0 student, 1 report name, 2 date, 3 comment; others: no change
    bool gblnSortAscending = true;
};

class cSys_vars {
public:
    using EnvLookup = std::function<QString(const char* name)>;

    struct Options {
        // The INI file that is the settings store.
        QString settings_file;
        // The folder of the running program (the first place dorrant.ini is looked for).
        QString program_folder;
        // Environment lookup; defaults to qEnvironmentVariable.
        EnvLookup environment;
    };

    // Works out the defaults, loads, repairs and saves (in that order).
    explicit cSys_vars(Options options);
    ~cSys_vars();
    cSys_vars(const cSys_vars&) = delete;
    cSys_vars& operator=(const cSys_vars&) = delete;

    // The per-user store and the running program's folder.
    static Options user_options();

    // Folders. Setters append the separator when missing.
    void set_Path_Orvella(const QString& vData);
    const QString& Path_Orvella() const { return path_orvella_; }
    const QString& Default_Path_Orvella() const { return default_path_orvella_; }
    void set_Path_Fennick(const QString& vData);
    const QString& Path_Fennick() const { return path_fennick_; }
    const QString& Default_Path_Fennick() const { return default_path_fennick_; }
    void set_Path_HTMLReports(const QString& vData);
    const QString& Path_HTMLReports() const { return path_html_reports_; }
    const QString& Default_Path_HTMLReports() const { return default_path_html_reports_; }

    // Policies.
    std::int16_t Gen_ConvertOption() const { return gen_convert_option_; }
    void set_Gen_ConvertOption(std::int16_t v) { gen_convert_option_ = v; }
    static constexpr std::int16_t Default_Gen_ConvertOption() { return 0; }
    std::int16_t Gen_FennickChoice() const { return gen_fennick_choice_; }
    void set_Gen_FennickChoice(std::int16_t v) { gen_fennick_choice_ = v; }
    static constexpr std::int16_t Default_Gen_FennickChoice() { return 1; }
    // Whether the desktop program converts each report as it arrives. Saved
    // only once it has been turned on (or was stored before).
    bool Gen_AutoConvert() const { return gen_auto_convert_; }
    void set_Gen_AutoConvert(bool v) { gen_auto_convert_ = v; }

    // Per report source code (0 HTML documents, 1 Fennick, 2 Orvella).
    const QString& Extension(int index) const { return extension_.at(index); }
    void set_Extension(int index, const QString& v) { extension_.at(index) = v; }
    const QString& Gen_Prefix(int index) const { return gen_prefix_.at(index); }
    void set_Gen_Prefix(int index, const QString& v) { gen_prefix_.at(index) = v; }
    std::int16_t ExtNum() const { return ext_num_; }
    void set_ExtNum(std::int16_t v) { ext_num_ = v; }

    // The report list: entries 1..Rep_FileCount().
    int Rep_FileCount() const { return file_count_; }
    void set_Rep_FileCount(int count);  // grows the storage as needed; never shrinks it
    ReportEntry& entry(int index);      // 1-based; throws std::out_of_range outside 1..count
    const ReportEntry& entry(int index) const;
    // Raises Rep_FileCount by one; the new entry keeps what that number held before.
    ReportEntry& append_entry();
    // Room for count entries, so that appending up to count moves none.
    void reserve_entries(int count) { entries_.reserve(static_cast<std::size_t>(count)); }

    // The report source code whose folder a file of this name qualifies for
    // (1 Fennick, 2 Orvella), or 0 when it qualifies for none.
    std::int16_t fn_Source_Code_Of(const QString& file_name) const;
    // Appends the source entry of one report file, listed_name as the file
    // system lists it. folder: where it lies, when not the code's own folder.
    ReportEntry& pr_Append_Source_Report(std::int16_t code, const QString& listed_name,
                                         const QString& folder = {});

    // Writes the five "Options" keys.
    void pr_Save_Sys_Settings();
    // Fills the report list with source reports (1 Fennick, 2 Orvella, other both).
    bool pr_Generate_File_List(std::int16_t intWhatReport);
    // Takes Path_Fennick from the first dorrant.ini of fn_Dorrant_Ini_Candidates(). Returns false
    // when the file named a folder that does not exist (nothing changes then).
    bool pr_Set_FennickPath_to_DorrantDB();
    // Where dorrant.ini is looked for, in order; the first that exists counts.
    QStringList fn_Dorrant_Ini_Candidates() const;

    static bool fn_CheckPathExists(const QString& strPath);
    static bool fn_CheckFileExists(const QString& strFilename);

    // The store's file, for callers that keep their own keys there (window placement).
    QSettings& store() { return *store_; }
    const QString& program_folder() const { return options_.program_folder; }

private:
    void pr_Set_Defaults();
    void pr_Reset_To_Defaults();
    void pr_Load_Sys_Settings();
    void pr_Find_Source_Reports(std::int16_t intWhatReport);

    Options options_;
    std::unique_ptr<QSettings> store_;

    QString path_orvella_, default_path_orvella_;
    QString path_fennick_, default_path_fennick_;
    QString path_html_reports_, default_path_html_reports_;
    std::int16_t gen_convert_option_ = 0;
    std::int16_t gen_fennick_choice_ = 1;
    bool gen_auto_convert_ = false;
    std::array<QString, 3> extension_;
    std::array<QString, 3> gen_prefix_;
    std::int16_t ext_num_ = 2;

    std::vector<ReportEntry> entries_;  // entries_[0] is entry 1
    int file_count_ = 0;
};

// The process-wide settings object, created on first use on the user's store
// (cSys_vars::user_options()), or on the INI file named before that first use.
cSys_vars& gSys_vars();
void use_settings_file_for_gSys_vars(const QString& ini_file);

// Settings-store access that ignores the letter case of section and key names.
QString read_setting(QSettings& store, const QString& section, const QString& key,
                     const QString& fallback);
void write_setting(QSettings& store, const QString& section, const QString& key,
                   const QString& value);
bool delete_setting(QSettings& store, const QString& section, const QString& key);

// Date text of a document's last-modified time, as the grid shows it.
QString format_document_date(const QDateTime& when);

// The platform's folder separator ("/" here, "\" on Windows).
QChar folder_separator();

}  // namespace quillet
