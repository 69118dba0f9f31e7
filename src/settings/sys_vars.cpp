// The settings object: defaults, loading with repair, saving, the report
// list's storage and the existence checks.
#include "sys_vars.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>
#include <utility>

#include "folder_text.h"

namespace quillet {
namespace {

const QString kOptions = QStringLiteral("Options");
const QString kLegacy = QStringLiteral("Settings");
const QString kOrvellaKey = QStringLiteral("Orvella");
const QString kFennickKey = QStringLiteral("Fennick");
const QString kHtmlReportsKey = QStringLiteral("HTML Reports");
const QString kConvertOptionKey = QStringLiteral("Convert Option");
const QString kFennickChoiceKey = QStringLiteral("Fennick Choice");
const QString kAutoConvertKey = QStringLiteral("Auto Convert");

// Runs one loading step; a step that fails is skipped and loading goes on.
template <typename Step>
void skip_on_failure(Step&& step) noexcept {
    try {
        std::forward<Step>(step)();
    } catch (...) {
    }
}

// A stored number as a 16-bit value: a fraction rounds to the nearest whole
// number (a half to the even one); no value for text that is not a number
// or lies outside the 16-bit range.
std::optional<std::int16_t> to_int16(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(rounded);
}

QString executable_folder() {
#ifdef Q_OS_LINUX
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    const QString target = self.canonicalFilePath();
    if (!target.isEmpty()) {
        return QFileInfo(target).absolutePath();
    }
#endif
    return QDir::currentPath();
}

QString& gSys_vars_file() {
    static QString file;
    return file;
}

}  // namespace

QChar folder_separator() {
    return QDir::separator();
}

QString format_document_date(const QDateTime& when) {
    if (!when.isValid()) {
        return {};
    }
    return QLocale::system().toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           when.time().toString(QStringLiteral("HH:mm:ss"));
}

cSys_vars::Options cSys_vars::user_options() {
    Options options;
    options.settings_file = QSettings(QSettings::IniFormat, QSettings::UserScope,
                                      QStringLiteral("Quillet"), QStringLiteral("Quillet"))
                                .fileName();
    options.program_folder = QCoreApplication::instance() != nullptr
                                 ? QCoreApplication::applicationDirPath()
                                 : executable_folder();
    return options;
}

cSys_vars::cSys_vars(Options options) : options_(std::move(options)) {
    if (options_.settings_file.isEmpty() || options_.program_folder.isEmpty()) {
        const Options user = user_options();
        if (options_.settings_file.isEmpty()) {
            options_.settings_file = user.settings_file;
        }
        if (options_.program_folder.isEmpty()) {
            options_.program_folder = user.program_folder;
        }
    }
    if (!options_.environment) {
        options_.environment = [](const char* name) { return qEnvironmentVariable(name); };
    }
    store_ = std::make_unique<QSettings>(options_.settings_file, QSettings::IniFormat);

    pr_Set_Defaults();
    pr_Reset_To_Defaults();
    pr_Load_Sys_Settings();
}

cSys_vars::~cSys_vars() = default;

void cSys_vars::set_Path_Orvella(const QString& vData) {
    path_orvella_ = with_separator(vData);
}

void cSys_vars::set_Path_Fennick(const QString& vData) {
    path_fennick_ = with_separator(vData);
}

void cSys_vars::set_Path_HTMLReports(const QString& vData) {
    path_html_reports_ = with_separator(vData);
}

void cSys_vars::pr_Set_Defaults() {
    const EnvLookup& env = options_.environment;
#ifdef Q_OS_WIN
    QString temp = env("temp").toLower();
    if (temp.isEmpty()) {
        temp = env("tmp").toLower();
    }
    if (temp.isEmpty()) {
        temp = QStringLiteral("c:\\temp\\");
    }
    default_path_orvella_ = with_separator(temp);
    default_path_fennick_ = QStringLiteral("c:\\program files\\orvella suite\\orvella\\db\\");
    default_path_html_reports_ =
        QStringLiteral("c:\\program files\\orvella suite\\dorrant\\reports\\");
#else
    QString temp;
    for (const char* name : {"TEMP", "TMP", "TMPDIR"}) {
        temp = env(name);
        if (!temp.isEmpty()) {
            break;
        }
    }
    if (temp.isEmpty()) {
        temp = QStringLiteral("/tmp");
    }
    default_path_orvella_ = with_separator(temp);

    QString data = env("XDG_DATA_HOME");
    if (data.isEmpty() || QDir::isRelativePath(data)) {
        QString home = env("HOME");
        if (home.isEmpty()) {
            home = QDir::homePath();
        }
        data = home + QStringLiteral("/.local/share");
    }
    const QString suite = QDir::cleanPath(data) + QStringLiteral("/orvella suite/");
    default_path_fennick_ = QDir::cleanPath(suite + QStringLiteral("orvella/db")) + '/';
    default_path_html_reports_ = QDir::cleanPath(suite + QStringLiteral("dorrant/reports")) + '/';
#endif
}

void cSys_vars::pr_Reset_To_Defaults() {
    path_orvella_ = default_path_orvella_;
    path_fennick_ = default_path_fennick_;
    path_html_reports_ = default_path_html_reports_;
    gen_convert_option_ = Default_Gen_ConvertOption();
    gen_fennick_choice_ = Default_Gen_FennickChoice();
}

void cSys_vars::pr_Load_Sys_Settings() {
    QSettings& store = *store_;
    skip_on_failure(
        [&] { path_fennick_ = read_setting(store, kOptions, kFennickKey, default_path_fennick_); });
    skip_on_failure(
        [&] { path_orvella_ = read_setting(store, kOptions, kOrvellaKey, default_path_orvella_); });
    skip_on_failure([&] {
        path_orvella_ = read_setting(store, kLegacy, QStringLiteral("SourcePath"), path_orvella_);
    });
    skip_on_failure([&] {
        path_html_reports_ =
            read_setting(store, kOptions, kHtmlReportsKey, default_path_html_reports_);
    });
    skip_on_failure([&] {
        path_html_reports_ =
            read_setting(store, kLegacy, QStringLiteral("DestPath"), path_html_reports_);
    });
    skip_on_failure([&] {
        if (const auto v = to_int16(read_setting(store, kOptions, kConvertOptionKey, "0"))) {
            gen_convert_option_ = *v;
        }
    });
    skip_on_failure([&] {
        // An absent key reads as 0, not as the default policy.
        if (const auto v = to_int16(read_setting(store, kOptions, kFennickChoiceKey, "0"))) {
            gen_fennick_choice_ = *v;
        }
    });
    skip_on_failure([&] {
        if (const auto v = to_int16(read_setting(store, kOptions, kAutoConvertKey, "0"))) {
            gen_auto_convert_ = *v != 0;
        }
    });
    for (const char* legacy_key : {"SourcePath", "DestPath", "Convert Option"}) {
        skip_on_failure([&] { delete_setting(store, kLegacy, QString::fromLatin1(legacy_key)); });
    }
    skip_on_failure([&] {
        if (gen_fennick_choice_ == 1) {
            pr_Set_FennickPath_to_DorrantDB();
        }
    });

    // A folder that no longer exists falls back to its default, which is
    // created with any missing parents. When even that fails the default is
    // kept as it is and loading goes on.
    const auto repair = [](QString& path, const QString& fallback) {
        skip_on_failure([&] {
            if (!fn_CheckPathExists(path)) {
                path = fallback;
                QDir().mkpath(fallback);
            }
        });
    };
    repair(path_fennick_, default_path_fennick_);
    repair(path_orvella_, default_path_orvella_);
    repair(path_html_reports_, default_path_html_reports_);

    file_count_ = 0;
    gen_prefix_[1] = QString();
    gen_prefix_[2] = QStringLiteral("~drnt");
    ext_num_ = 2;
    extension_[0] = QStringLiteral("htm");
    extension_[1] = QStringLiteral("fnr");
    extension_[2] = QStringLiteral("tmp");

    skip_on_failure([&] { pr_Save_Sys_Settings(); });
}

void cSys_vars::pr_Save_Sys_Settings() {
    QSettings& store = *store_;
    write_setting(store, kOptions, kOrvellaKey, path_orvella_);
    write_setting(store, kOptions, kFennickKey, path_fennick_);
    write_setting(store, kOptions, kHtmlReportsKey, path_html_reports_);
    write_setting(store, kOptions, kConvertOptionKey, QString::number(gen_convert_option_));
    write_setting(store, kOptions, kFennickChoiceKey, QString::number(gen_fennick_choice_));
    // A store that never had automatic conversion on stays as it was.
    if (gen_auto_convert_ || !read_setting(store, kOptions, kAutoConvertKey, {}).isEmpty()) {
        write_setting(store, kOptions, kAutoConvertKey, gen_auto_convert_ ? "1" : "0");
    }
    store.sync();
}

void cSys_vars::set_Rep_FileCount(int count) {
    if (count < 0) {
        throw std::out_of_range("negative report count");
    }
    if (static_cast<std::size_t>(count) > entries_.size()) {
        entries_.resize(static_cast<std::size_t>(count));
    }
    file_count_ = count;
}

ReportEntry& cSys_vars::entry(int index) {
    return const_cast<ReportEntry&>(std::as_const(*this).entry(index));
}

const ReportEntry& cSys_vars::entry(int index) const {
    if (index < 1 || index > file_count_) {
        throw std::out_of_range("report entry " + std::to_string(index) + " outside 1.." +
                                std::to_string(file_count_));
    }
    return entries_[static_cast<std::size_t>(index - 1)];
}

ReportEntry& cSys_vars::append_entry() {
    set_Rep_FileCount(file_count_ + 1);
    return entries_[static_cast<std::size_t>(file_count_ - 1)];
}

bool cSys_vars::fn_CheckPathExists(const QString& strPath) {
    if (strPath.isEmpty() || strPath.contains(QChar(u'\0'))) {
        return false;
    }
    try {
        return QFileInfo::exists(strPath);
    } catch (...) {
        return false;
    }
}

bool cSys_vars::fn_CheckFileExists(const QString& strFilename) {
    return fn_CheckPathExists(strFilename);
}

void use_settings_file_for_gSys_vars(const QString& ini_file) {
    gSys_vars_file() = ini_file;
}

cSys_vars& gSys_vars() {
    static cSys_vars instance([] {
        cSys_vars::Options options = cSys_vars::user_options();
        if (!gSys_vars_file().isEmpty()) {
            options.settings_file = gSys_vars_file();
        }
        return options;
    }());
    return instance;
}

}  // namespace quillet
