#include "report_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <span>
#include <vector>

#include "report_columns.h"

namespace quillet::cli {

namespace {

std::span<const ReportColumn> columns_of(View view) {
    return report_columns(view == View::Conversion);
}

// Keeps each row on one line whatever a name holds.
QString one_line(QString text) {
    return text.replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
}

}  // namespace

QString format_table(const cSys_vars& sys, View view) {
    const auto columns = columns_of(view);
    std::vector<QStringList> rows;
    rows.reserve(static_cast<std::size_t>(sys.Rep_FileCount()) + 1);
    QStringList header;
    for (const ReportColumn& column : columns) {
        header << QString::fromLatin1(column.header);
    }
    rows.push_back(header);
    for (int n = 1; n <= sys.Rep_FileCount(); ++n) {
        QStringList row;
        for (const ReportColumn& column : columns) {
            row << one_line(report_cell_text(n, sys.entry(n), column.field));
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
    QJsonArray array;
    for (int n = 1; n <= sys.Rep_FileCount(); ++n) {
        const ReportEntry& entry = sys.entry(n);
        QJsonObject object;
        for (const ReportColumn& column : columns_of(view)) {
            const QString key = QString::fromLatin1(column.key);
            if (column.field == ReportColumn::Field::number) {
                object.insert(key, n);
            } else if (column.field == ReportColumn::Field::converted) {
                object.insert(key, entry.Rep_Converted);
            } else {
                object.insert(key, report_cell_text(n, entry, column.field));
            }
        }
        array.append(object);
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

}  // namespace quillet::cli
