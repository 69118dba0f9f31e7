// The Fennick folder as the sibling program Dorrant names it: the first line
// of dorrant.ini that contains "database". The file is the first that exists
// of: beside this program, the user's configuration folder, the system's
// configuration folders (see dorrant_ini_candidates).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <string_view>

#include "folder_text.h"
#include "sys_vars.h"
#include "text_codec.h"

namespace quillet {
namespace {

constexpr std::string_view kWord = "database";

char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The outcome of one line: not a matching line, a matching line without a
// value, or the value after the word and one more character.
enum class LineMatch { none, no_value, value };

LineMatch match_line(std::string_view line, std::string_view& value) {
    const auto hit = std::search(line.begin(), line.end(), kWord.begin(), kWord.end(),
                                 [](char a, char b) { return ascii_lower(a) == b; });
    if (hit == line.end()) {
        return LineMatch::none;
    }
    const auto start = static_cast<std::size_t>(hit - line.begin()) + kWord.size() + 1;
    if (start >= line.size()) {
        return LineMatch::no_value;
    }
    value = line.substr(start);
    return LineMatch::value;
}

// Reads lines (ended by LF, CR LF or CR) until the first that contains the
// word. No value when there is no such line or it holds nothing after it.
std::optional<QByteArray> database_value(QFile& file) {
    while (!file.atEnd()) {
        QByteArray bytes = file.readLine();
        if (bytes.isEmpty()) {
            break;  // read error
        }
        if (bytes.endsWith('\n')) {
            bytes.chop(1);
        }
        std::string_view rest(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        while (true) {
            const std::size_t cr = rest.find('\r');
            const std::string_view line = rest.substr(0, cr);
            std::string_view value;
            switch (match_line(line, value)) {
                case LineMatch::value:
                    return QByteArray(value.data(), static_cast<qsizetype>(value.size()));
                case LineMatch::no_value:
                    return std::nullopt;
                case LineMatch::none:
                    break;
            }
            if (cr == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(cr + 1);
        }
    }
    return std::nullopt;
}

const QString kIniName = QStringLiteral("dorrant.ini");

// Where dorrant.ini may lie, in the order they are tried: beside the program,
// then Quillet/ in $XDG_CONFIG_HOME (~/.config), then Quillet/ in each folder
// of $XDG_CONFIG_DIRS (/etc/xdg). Relative XDG values are ignored, as the
// base-directory rules ask.
QStringList dorrant_ini_candidates(const QString& program_folder,
                                   const cSys_vars::EnvLookup& env) {
    QStringList files{with_separator(program_folder) + kIniName};
#ifndef Q_OS_WIN
    const QString own = QStringLiteral("/Quillet/") + kIniName;
    QString config_home = env("XDG_CONFIG_HOME");
    if (config_home.isEmpty() || QDir::isRelativePath(config_home)) {
        QString home = env("HOME");
        if (home.isEmpty()) {
            home = QDir::homePath();
        }
        config_home = home + QStringLiteral("/.config");
    }
    files << QDir::cleanPath(config_home + own);

    QString config_dirs = env("XDG_CONFIG_DIRS");
    if (config_dirs.isEmpty()) {
        config_dirs = QStringLiteral("/etc/xdg");
    }
    for (const QString& folder : config_dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (!QDir::isRelativePath(folder)) {
            files << QDir::cleanPath(folder + own);
        }
    }
#else
    (void)env;
#endif
    return files;
}

}  // namespace

QStringList cSys_vars::fn_Dorrant_Ini_Candidates() const {
    return dorrant_ini_candidates(options_.program_folder, options_.environment);
}

bool cSys_vars::pr_Set_FennickPath_to_DorrantDB() {
    const QStringList candidates = fn_Dorrant_Ini_Candidates();
    const auto ini = std::find_if(candidates.begin(), candidates.end(),
                                  [](const QString& file) { return QFileInfo(file).isFile(); });
    if (ini == candidates.end()) {
        return true;
    }
    QFile file(*ini);
    if (!file.open(QIODevice::ReadOnly)) {
        return true;
    }
    const std::optional<QByteArray> bytes = database_value(file);
    if (!bytes) {
        return true;
    }
    const QString value =
        from_cp1252(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
    if (value.contains(QChar(u'\0'))) {
        return false;
    }
    // Relative to the current folder, which stays as it is.
    const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(value));
    if (!QFileInfo(folder).isDir()) {
        return false;
    }
    path_fennick_ = with_separator(QDir::toNativeSeparators(folder));
    return true;
}

}  // namespace quillet
