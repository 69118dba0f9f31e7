#include "report_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <vector>

namespace quillet::cli {

namespace {

struct Column {
    const char* header;
    const char* key;
    bool in_list_view;
};

constexpr Column kColumns[] = {
    {"No.", "no", true},
    {"Source filename", "source", false},
    {"Student Number", "student", true},
    {"Report name", "report", true},
    {"Date", "date", true},
    {"Converted?", "converted", false},
    {"Comment", "comment", true},
};

QString cell(const ReportEntry& entry, int number, int column) {
    switch (column) {
        case 0:
            return QString::number(number);
        case 1:
            return entry.Rep_SourceFilename;
        case 2:
            return entry.Rep_ReportType == 1 ? entry.Rep_DestinationFilename
                                             : entry.Rep_DestinationPath;
        case 3:
            return entry.Rep_DestinationFilename;
        case 4:
            return entry.Rep_DestinationFileDate;
        case 5:
            return entry.Rep_Converted ? QStringLiteral("Yes") : QStringLiteral("No");
        default:
            return entry.Rep_Comment;
    }
}

std::vector<int> columns_of(View view) {
    std::vector<int> columns;
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        if (view == View::Conversion || kColumns[c].in_list_view) {
            columns.push_back(c);
        }
    }
    return columns;
}

}  // namespace

QString format_table(const cSys_vars& sys, View view) {
    const std::vector<int> columns = columns_of(view);
    std::vector<QStringList> rows;
    rows.reserve(static_cast<std::size_t>(sys.Rep_FileCount()) + 1);
    QStringList header;
    for (const int c : columns) {
        header << QString::fromLatin1(kColumns[c].header);
    }
    rows.push_back(header);
    for (int n = 1; n <= sys.Rep_FileCount(); ++n) {
        QStringList row;
        for (const int c : columns) {
            // Keep each row on one line whatever a name holds.
            row << cell(sys.entry(n), n, c)
                       .replace(QLatin1Char('\n'), QLatin1Char(' '))
                       .replace(QLatin1Char('\r'), QLatin1Char(' '));
        }
        rows.push_back(row);
    }

    std::vector<qsizetype> widths(columns.size(), 0);
    for (const QStringList& row : rows) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            widths[c] = std::max(widths[c], row[static_cast<qsizetype>(c)].size());
        }
    }
    QString text;
    for (const QStringList& row : rows) {
        QString line;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const QString& value = row[static_cast<qsizetype>(c)];
            if (c + 1 == columns.size()) {
                line += value;
            } else {
                line += value.leftJustified(widths[c]) + QStringLiteral("  ");
            }
        }
        text += line + QLatin1Char('\n');
    }
    return text;
}

QString format_json(const cSys_vars& sys, View view) {
    const std::vector<int> columns = columns_of(view);
    QJsonArray array;
    for (int n = 1; n <= sys.Rep_FileCount(); ++n) {
        const ReportEntry& entry = sys.entry(n);
        QJsonObject object;
        for (const int c : columns) {
            const QString key = QString::fromLatin1(kColumns[c].key);
            if (c == 0) {
                object.insert(key, n);
            } else if (c == 5) {
                object.insert(key, entry.Rep_Converted);
            } else {
                object.insert(key, cell(entry, n, c));
            }
        }
        array.append(object);
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

}  // namespace quillet::cli
