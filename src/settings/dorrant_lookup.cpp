// The Fennick folder as the sibling program Dorrant names it: the first line
// of dorrant.ini (next to this program) that contains "database".
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

}  // namespace

bool cSys_vars::pr_Set_FennickPath_to_DorrantDB() {
    const QString ini = with_separator(options_.program_folder) + QStringLiteral("dorrant.ini");
    if (!QFileInfo(ini).isFile()) {
        return true;
    }
    QFile file(ini);
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
