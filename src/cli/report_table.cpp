#include "report_table.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "command_support.h"
#include "report_columns.h"
#include "sys_vars.h"

namespace quillet::cli {

namespace {

std::span<const ReportColumn> columns_of(View view) {
    return report_columns(view == View::Conversion);
}

// The cells of row number.
QStringList row_cells(int number, const ReportEntry& entry, std::span<const ReportColumn> columns) {
    QStringList row;
    for (const ReportColumn& column : columns) {
        row << report_cell_text(number, entry, column.field);
    }
    return row;
}

QStringList header_cells(std::span<const ReportColumn> columns) {
    QStringList header;
    for (const ReportColumn& column : columns) {
        header << QString::fromLatin1(column.header);
    }
    return header;
}

// Appends one cell of a table line to text, on one line whatever a name
// holds; every cell but the last is padded to its column's width, and two
// blanks go between columns.
void append_cell(QStringView cell, qsizetype width, bool last, QString& text) {
    text += cell;
    QChar* const end = text.data() + text.size();
    for (QChar* c = end - cell.size(); c != end; ++c) {
        if (*c == u'\n' || *c == u'\r') {
            *c = u' ';
        }
    }
    if (!last) {
        text.resize(text.size() + std::max<qsizetype>(width - cell.size(), 0) + 2, u' ');
    }
}

// Appends one line of the table to text.
void append_table_line(const QStringList& cells, const std::vector<qsizetype>& widths,
                       QString& text) {
    for (qsizetype c = 0; c < cells.size(); ++c) {
        append_cell(cells[c], widths[static_cast<std::size_t>(c)], c + 1 == cells.size(), text);
    }
    text += QLatin1Char('\n');
}

QString table_line(const QStringList& cells, const std::vector<qsizetype>& widths) {
    QString line;
    append_table_line(cells, widths, line);
    return line;
}

// Widths for rows printed one at a time, before their texts are known: the
// header's, or the column's designed width at about 100 twips a character.
std::vector<qsizetype> streamed_widths(std::span<const ReportColumn> columns) {
    const QDateTime widest_date(QDate(2000, 12, 28), QTime(23, 59, 59));
    std::vector<qsizetype> widths;
    for (const ReportColumn& column : columns) {
        qsizetype width = std::max<qsizetype>(static_cast<qsizetype>(std::strlen(column.header)),
                                              column.width_twips / 100);
        if (column.field == ReportColumn::Field::date) {
            width = std::max(width, format_document_date(widest_date).size());
        }
        widths.push_back(width);
    }
    return widths;
}

QJsonObject json_row(int number, const ReportEntry& entry, std::span<const ReportColumn> columns) {
    QJsonObject object;
    for (const ReportColumn& column : columns) {
        const QString key = QString::fromLatin1(column.key);
        if (column.field == ReportColumn::Field::number) {
            object.insert(key, number);
        } else if (column.field == ReportColumn::Field::converted) {
            object.insert(key, entry.Rep_Converted);
        } else {
            object.insert(key, report_cell_text(number, entry, column.field));
        }
    }
    return object;
}

}  // namespace

void print_table(std::FILE* stream, const cSys_vars& sys, View view) {
    const auto columns = columns_of(view);
    const QStringList header = header_cells(columns);
    const int count = sys.Rep_FileCount();
    std::vector<qsizetype> widths;
    for (const QString& cell : header) {
        widths.push_back(cell.size());
    }
    // A cell made one line keeps its length; the numbers run from 1 to count.
    const auto cell_width = [&](int n, ReportColumn::Field field) {
        if (field == ReportColumn::Field::number) {
            return n == count ? QString::number(n).size() : qsizetype{0};
        }
        const QString* source = report_cell_source(sys.entry(n), field);
        return source != nullptr ? source->size() : report_cell_text(n, sys.entry(n), field).size();
    };
    for (int n = 1; n <= count; ++n) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            widths[c] = std::max(widths[c], cell_width(n, columns[c].field));
        }
    }

    // The lines go out in pieces of about this many characters.
    constexpr qsizetype kPiece = 64 * 1024;
    QString text;
    text.reserve(kPiece + 1024);
    append_table_line(header, widths, text);
    for (int n = 1; n <= count; ++n) {
        const ReportEntry& entry = sys.entry(n);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const bool last = c + 1 == columns.size();
            if (const QString* source = report_cell_source(entry, columns[c].field)) {
                append_cell(*source, widths[c], last, text);
            } else {
                append_cell(report_cell_text(n, entry, columns[c].field), widths[c], last, text);
            }
        }
        text += QLatin1Char('\n');
        if (text.size() >= kPiece) {
            print(stream, text);
            text.resize(0);
        }
    }
    print(stream, text);
}

QString format_json(const cSys_vars& sys, View view) {
    QJsonArray array;
    for (int n = 1; n <= sys.Rep_FileCount(); ++n) {
        array.append(json_row(n, sys.entry(n), columns_of(view)));
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

QString format_table_header(View view) {
    const auto columns = columns_of(view);
    return table_line(header_cells(columns), streamed_widths(columns));
}

QString format_table_row(int number, const ReportEntry& entry, View view) {
    const auto columns = columns_of(view);
    return table_line(row_cells(number, entry, columns), streamed_widths(columns));
}

QString format_json_row(int number, const ReportEntry& entry, View view) {
    return QString::fromUtf8(QJsonDocument(json_row(number, entry, columns_of(view)))
                                 .toJson(QJsonDocument::Compact)) +
           QLatin1Char('\n');
}

}  // namespace quillet::cli
